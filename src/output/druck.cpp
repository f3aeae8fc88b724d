#include "output/druck.h"

#include "app/uebersetzung.h"
#include "controls/bitbtn2.h"
#include "controls/einpassen.h"
#include "controls/fensterrahmen.h"
#include "controls/meldform.h"
#include "controls/meldungen.h"
#include "controls/numedit.h"
#include "output/drucker.h"
#include "output/druckgeometrie.h"
#include "output/drucspez.h"
#include "output/screenshot.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QWindow>

#include <stdexcept>

TDruckForm *DruckForm = nullptr;

namespace {

QLabel *beschriftung(QWidget *parent, const char *name, const char *text, QPoint pos)
{
    auto *l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(pos);
    l->adjustSize();
    return l;
}

TNumEditQ *zahlenfeld(QWidget *parent, const char *name, double wert, QRect geometrie)
{
    auto *f = new TNumEditQ(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setGeometry(geometrie);
    f->SetFloat(wert);
    return f;
}

TBitBtn2 *knopf(QWidget *parent, const char *name, const char *text, int modalResult, QRect geometrie)
{
    auto *b = new TBitBtn2(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromUtf8(text));
    b->setModalResult(modalResult);
    b->setGeometry(geometrie);
    return b;
}

// How long printing waits for the server: for the answer whether the queue is there (a few
// requests, each with its own time limit), and for the job to be made and taken.
constexpr int FristVorbereitung = 5 * DruckserverFrist;
constexpr int FristAuftrag = 30000;

// What a job needs from the server before its page is made.
struct Vorbereitung
{
    DruckerAuskunft auskunft;
    // A new printer object when none was set up: making it asks the server. One set up in
    // "Einrichten..." stays with the interface thread, which a preparation given up on must
    // not share.
    std::shared_ptr<QPrinter> neu;
};

Vorbereitung vorbereiten(const QString &name, bool eingerichtet)
{
    Vorbereitung v;
    v.auskunft = druckerAbfragen(name);
    if (eingerichtet || !druckHindernis(v.auskunft).isEmpty())
        return v;
    // A new printer object takes the queue with its own defaults.
    v.neu = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (v.neu->printerName() != v.auskunft.name)
        v.neu->setPrinterName(v.auskunft.name);
    return v;
}

} // namespace

TDruckForm::TDruckForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DruckForm"));
    setWindowTitle(QStringLiteral("Bildschirminhalt drucken"));
    setFixedSize(457, 248);
    // 9 points at 96 dpi, whatever the desktop's text size is.
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPixelSize(12);
    setFont(schrift);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 457, 201);

    PosGroupBox = new QGroupBox(QStringLiteral(" Position und Größe "), Panel1);
    PosGroupBox->setObjectName(QStringLiteral("PosGroupBox"));
    PosGroupBox->setGeometry(16, 12, 425, 109);
    LiRandLab = beschriftung(PosGroupBox, "LiRandLab", "&Linker Rand:", {24, 28});
    LiRandEdit = zahlenfeld(PosGroupBox, "LiRandEdit", 2.5, {112, 26, 57, 21});
    ObRandLab = beschriftung(PosGroupBox, "ObRandLab", "&Oberer Rand:", {24, 56});
    ObRandEdit = zahlenfeld(PosGroupBox, "ObRandEdit", 1.8, {112, 54, 57, 21});
    BreiteLab = beschriftung(PosGroupBox, "BreiteLab", "&Breite:", {248, 28});
    BreiteEdit = zahlenfeld(PosGroupBox, "BreiteEdit", 16.0, {312, 26, 57, 21});
    HoeheLab = beschriftung(PosGroupBox, "HoeheLab", "&Höhe:", {248, 56});
    HoeheEdit = zahlenfeld(PosGroupBox, "HoeheEdit", 17.0, {312, 54, 57, 21});
    LiRandLab->setBuddy(LiRandEdit);
    ObRandLab->setBuddy(ObRandEdit);
    BreiteLab->setBuddy(BreiteEdit);
    HoeheLab->setBuddy(HoeheEdit);
    Label4 = beschriftung(PosGroupBox, "Label4", "cm", {176, 28});
    Label8 = beschriftung(PosGroupBox, "Label8", "cm", {176, 56});
    Label6 = beschriftung(PosGroupBox, "Label6", "cm", {376, 28});
    Label10 = beschriftung(PosGroupBox, "Label10", "cm", {376, 56});
    SeitRatio = new QCheckBox(QStringLiteral("Korrektes &Seitenverhältnis"), PosGroupBox);
    SeitRatio->setObjectName(QStringLiteral("SeitRatio"));
    SeitRatio->setGeometry(24, 81, 185, 20);
    SeitRatio->setChecked(true);

    DruckerGroupBox = new QGroupBox(QStringLiteral(" Drucker "), Panel1);
    DruckerGroupBox->setObjectName(QStringLiteral("DruckerGroupBox"));
    DruckerGroupBox->setGeometry(16, 136, 425, 53);
    DruckerInfo = new QLabel(QStringLiteral("-"), DruckerGroupBox);
    DruckerInfo->setObjectName(QStringLiteral("DruckerInfo"));
    DruckerInfo->setGeometry(10, 16, 399, 29);
    DruckerInfo->setAlignment(Qt::AlignCenter);
    // A long device name with the reason why the queue stopped takes two lines.
    DruckerInfo->setWordWrap(true);

    DruckBtn = knopf(this, "DruckBtn", "Drucken", mrOk, {136, 213, 97, 25});
    DruckBtn->setDefault(true);
    AbbrBtn = knopf(this, "AbbrBtn", "Abbrechen", mrCancel, {240, 213, 97, 25});
    AbbrBtn->setCancel(true);
    DrEinrBtn = knopf(this, "DrEinrBtn", "Einrichten...", mrNone, {344, 213, 97, 25});

    // The buttons first, then the fields on the panel.
    setTabOrder(DruckBtn, AbbrBtn);
    setTabOrder(AbbrBtn, DrEinrBtn);
    setTabOrder(DrEinrBtn, LiRandEdit);
    setTabOrder(LiRandEdit, ObRandEdit);
    setTabOrder(ObRandEdit, BreiteEdit);
    setTabOrder(BreiteEdit, HoeheEdit);
    setTabOrder(HoeheEdit, SeitRatio);

    connect(DruckBtn, &QAbstractButton::clicked, this, &TDruckForm::DruckBtnClick);
    connect(DrEinrBtn, &QAbstractButton::clicked, this, &TDruckForm::DrEinrBtnClick);
    connect(SeitRatio, &QAbstractButton::clicked, this, &TDruckForm::SeitRatioClick);
    connect(BreiteEdit, &QLineEdit::textChanged, this, &TDruckForm::BreiteEditChange);
    connect(HoeheEdit, &QLineEdit::textChanged, this, &TDruckForm::HoeheEditChange);

    m_zeileBlick.setInterval(20);
    connect(&m_zeileBlick, &QTimer::timeout, this, [this] {
        if (!m_zeile || !m_zeile->fertig())
            return;
        DruckerInfo->setText(druckerZeile(m_zeile->ergebnis()));
        m_zeile.reset();
        m_zeileBlick.stop();
    });
}

// The dialog goes with the tool window that owns it.
TDruckForm::~TDruckForm()
{
    if (DruckForm == this)
        DruckForm = nullptr;
}

double TDruckForm::liRand() const
{
    return double(LiRandEdit->GetFloat());
}

void TDruckForm::setLiRand(double cm)
{
    LiRandEdit->SetFloat(cm);
}

double TDruckForm::obRand() const
{
    return double(ObRandEdit->GetFloat());
}

void TDruckForm::setObRand(double cm)
{
    ObRandEdit->SetFloat(cm);
}

double TDruckForm::breite() const
{
    return double(BreiteEdit->GetFloat());
}

void TDruckForm::setBreite(double cm)
{
    BreiteEdit->SetFloat(cm);
}

double TDruckForm::hoehe() const
{
    return double(HoeheEdit->GetFloat());
}

void TDruckForm::setHoehe(double cm)
{
    HoeheEdit->SetFloat(cm);
}

bool TDruckForm::seitRatio() const
{
    return SeitRatio->isChecked();
}

void TDruckForm::setSeitRatio(bool an)
{
    SeitRatio->setChecked(an);
}

DruckWerte TDruckForm::werte() const
{
    return {liRand(), obRand(), breite(), hoehe(), seitRatio()};
}

void TDruckForm::setWerte(const DruckWerte &w)
{
    setLiRand(w.LiRand);
    setObRand(w.ObRand);
    setBreite(w.Breite);
    setHoehe(w.Hoehe);
    setSeitRatio(w.SeitRatio);
}

void TDruckForm::texteSetzen()
{
    const auto text = [](const char *ziel) {
        return Oberflaechentext((QByteArrayLiteral("TDruckForm.") + ziel).constData());
    };
    setWindowTitle(Oberflaechentext("TDruckForm"));
    for (QGroupBox *box : {PosGroupBox, DruckerGroupBox})
        titelEinpassen(box, text(box->objectName().toLatin1().constData()));
    for (QLabel *lab : {LiRandLab, ObRandLab, BreiteLab, HoeheLab})
        beschriftungEinpassen(lab, text(lab->objectName().toLatin1().constData()));
    beschriftungEinpassen(SeitRatio, text("SeitRatio"));
    for (TBitBtn2 *knopf : {DruckBtn, AbbrBtn, DrEinrBtn})
        knopf->setText(text(knopf->objectName().toLatin1().constData()));
}

void TDruckForm::showEvent(QShowEvent *e)
{
    // The translation file is read after the windows are built.
    texteSetzen();
    // Centred on the monitor the user works on: the frozen one, else the tool window's.
    const QWidget *bezug = m_bezug ? m_bezug.data() : parentWidget();
    if (const QScreen *s = bezug ? bezug->screen() : QGuiApplication::primaryScreen())
        rahmenMittig(*this, s->geometry());
    QDialog::showEvent(e);
    FormActivate();
}

void TDruckForm::FormActivate()
{
    fakxy = m_zustand && m_bild ? seitenverhaeltnis(m_zustand->BereichRect, m_bild->size()) : 0;
    DruckerZeileSetzen();
    SeitRatioClick();
    DruckBtn->setFocus();
}

int TDruckForm::Drucken(ToolState &zustand, const QImage &bild, QWidget *bezug)
{
    m_zustand = &zustand;
    m_bild = &bild;
    m_bezug = bezug;
    const auto vergessen = qScopeGuard([this] {
        m_zustand = nullptr;
        m_bild = nullptr;
        m_bezug = nullptr;
    });
    return exec();
}

QString TDruckForm::druckerName() const
{
    return m_druckerName;
}

bool TDruckForm::auftragHaengt()
{
    if (!m_auftrag || m_auftrag->fertig())
        return false;
    zeigeFehler(this, QStringLiteral("Der Druckserver hat den letzten Auftrag noch nicht angenommen. Bitte "
                                     "später noch einmal versuchen."));
    return true;
}

void TDruckForm::DruckerZeileSetzen()
{
    DruckerInfo->setText(QStringLiteral("Der Druckserver wird gefragt …"));
    m_zeile.emplace([name = druckerName()] { return druckerAbfragen(name); });
    m_zeileBlick.start();
}

void TDruckForm::DruckBtnClick()
{
    const qint32 l = zehntelMm(LiRandEdit->GetFloat());
    const qint32 t = zehntelMm(ObRandEdit->GetFloat());
    const qint32 w = zehntelMm(BreiteEdit->GetFloat());
    const qint32 h = zehntelMm(HoeheEdit->GetFloat());
    // The button ends the dialog once its handlers are done, unless the result is taken back;
    // the dialog ends here instead, once the job is given away or has failed, and stays open
    // where the values are to be corrected.
    setResult(mrNone);
    // What cannot give a picture on paper is said here; the dialog stays open to correct it.
    if (w <= 0 || h <= 0) {
        zeigeWarnung(this,
                     QStringLiteral("Es wird nichts gedruckt: Breite und Höhe müssen größer als 0 sein."));
        return;
    }
    if (!m_zustand || !m_bild || auftragHaengt())
        return;
    SetAuswahlBmp(*m_zustand, *m_bild);
    const QImage bild = m_zustand->AuswahlBmp;
    m_zustand->AuswahlBmp = QImage();
    if (bild.isNull()) {
        zeigeWarnung(this, QStringLiteral("Es wird nichts gedruckt: Der Auswahlbereich ist leer."));
        return;
    }

    // The notice goes away however the job ends; an error then reaches the error display. The
    // dialog takes no input while the server is asked.
    bool offenLassen = false;
    // A disabled dialog loses its focus; it comes back where it was.
    const QPointer<QWidget> fokus = focusWidget();
    const auto warten = [this, &fokus](bool an) {
        setEnabled(!an);
        if (!an && fokus)
            fokus->setFocus();
        if (!MeldForm)
            return;
        if (!an) {
            MeldForm->hide();
            return;
        }
        MeldForm->Zeigen(QStringLiteral("Ausdruck wird vorbereitet.||Bitte warten."));
        // Over this dialog, which a window manager keeps above the surface the notice belongs to.
        if (QWindow *w = MeldForm->windowHandle()) {
            w->setTransientParent(windowHandle());
            MeldForm->raise();
        }
    };
    const auto danach = qScopeGuard([&] {
        warten(false);
        if (!offenLassen)
            done(mrOk);
    });
    warten(true);
    const Nebenlauf<Vorbereitung> frage(
        [name = druckerName(), eingerichtet = bool(m_drucker)] { return vorbereiten(name, eingerichtet); });
    if (!abwarten([&] { return frage.fertig(); }, FristVorbereitung))
        druckfehler(druckHindernis(keineAntwort()));
    const Vorbereitung &v = frage.ergebnis();
    if (const QString hindernis = druckHindernis(v.auskunft); !hindernis.isEmpty())
        druckfehler(hindernis);
    const std::shared_ptr<QPrinter> drucker = m_drucker ? m_drucker : v.neu;
    // 0.1 mm from the paper edge.
    const QRect bedruckbar = bedruckbarerBereich(*drucker);
    if (const QString zuGross = ueberstand(l, t, w, h, bedruckbar); !zuGross.isEmpty()) {
        warten(false);
        if (bestaetigen(this, QStringLiteral("Das Bild passt nicht auf das Papier und wird abgeschnitten. ") +
                                  zuGross + QStringLiteral("\r\n\r\nTrotzdem drucken?")) != Antwort::Ja) {
            offenLassen = true;
            return;
        }
        warten(true);
    }
    m_auftrag.emplace([drucker, l, t, w, h, bild] {
        try {
            SeiteDrucken(*drucker, l, t, w, h, bild);
            return QString();
        } catch (const std::exception &e) {
            return QString::fromLocal8Bit(e.what());
        }
    });
    if (!abwarten([this] { return m_auftrag->fertig(); }, FristAuftrag))
        druckfehler(
            QStringLiteral("Der Druckserver antwortet nicht (%1); ob der Auftrag noch ankommt, ist offen")
                .arg(v.auskunft.server));
    if (const QString fehler = m_auftrag->ergebnis(); !fehler.isEmpty())
        druckfehler(fehler);
}

void TDruckForm::DrEinrBtnClick()
{
    if (auftragHaengt())
        return;
    // Qt's dialog asks the server on this thread: it opens only once the server answered.
    const Nebenlauf<DruckerAuskunft> frage([name = druckerName()] { return druckerAbfragen(name); });
    setEnabled(false);
    const bool beantwortet = abwarten([&] { return frage.fertig(); }, FristVorbereitung);
    setEnabled(true);
    DrEinrBtn->setFocus();
    const DruckerAuskunft a = beantwortet ? frage.ergebnis() : keineAntwort();
    if (a.lage == DruckerAuskunft::NichtErreichbar || a.lage == DruckerAuskunft::AntwortetNicht) {
        m_zeile.reset();
        m_zeileBlick.stop();
        DruckerInfo->setText(druckerZeile(a));
        zeigeFehler(this, druckerZeile(a) + QLatin1Char('.'));
        return;
    }

    // Qt's dialog changes the printer it is given while the user picks, also when he then
    // cancels; it works on a copy that replaces the printer only when confirmed.
    auto neu = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (m_drucker) {
        neu->setPrinterName(m_drucker->printerName());
        neu->setPageLayout(m_drucker->pageLayout());
        neu->setCopyCount(m_drucker->copyCount());
        neu->setCollateCopies(m_drucker->collateCopies());
        neu->setDuplex(m_drucker->duplex());
        neu->setColorMode(m_drucker->colorMode());
    }
    QPrintDialog dialog(neu.get(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    // Only the printer and its paper: the page is always one, and the output a printer.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    // It prints nothing: its button takes the choice.
    if (auto *knoepfe = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = knoepfe->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("&Übernehmen"));
    if (dialog.exec() == QDialog::Accepted) {
        m_drucker = std::move(neu);
        m_druckerName = m_drucker->printerName();
    }
    DruckerZeileSetzen();
}

void TDruckForm::SeitRatioClick()
{
    if (SeitRatio->isChecked() && fakxy > 0)
        HoeheEdit->SetFloat(BreiteEdit->GetFloat() / fakxy);
}

// The focus test keeps the fields from driving each other: a value written by the coupling
// changes a field without the focus.
void TDruckForm::BreiteEditChange()
{
    if (SeitRatio->isChecked() && BreiteEdit->hasFocus() && fakxy > 0)
        HoeheEdit->SetFloat(BreiteEdit->GetFloat() / fakxy);
}

void TDruckForm::HoeheEditChange()
{
    if (SeitRatio->isChecked() && HoeheEdit->hasFocus() && fakxy > 0)
        BreiteEdit->SetFloat(HoeheEdit->GetFloat() * fakxy);
}
