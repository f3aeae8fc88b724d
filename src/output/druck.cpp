#include "output/druck.h"

#include "controls/bitbtn2.h"
#include "controls/fensterrahmen.h"
#include "controls/numedit.h"
#include "dialogs/meldform.h"
#include "dialogs/meldungen.h"
#include "output/drucker.h"
#include "output/druckgeometrie.h"
#include "output/drucspez.h"
#include "output/screenshot.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>
#include <QScreen>

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

void TDruckForm::showEvent(QShowEvent *e)
{
    // Centred on the monitor the user works on: the frozen one, else the tool window's.
    const QWidget *bezug =
        ScreenForm && ScreenForm->isVisible() ? static_cast<QWidget *>(ScreenForm) : parentWidget();
    if (const QScreen *s = bezug ? bezug->screen() : QGuiApplication::primaryScreen())
        rahmenMittig(*this, s->geometry());
    QDialog::showEvent(e);
    FormActivate();
}

void TDruckForm::FormActivate()
{
    fakxy = ToolForm && ScreenForm ? seitenverhaeltnis(ToolForm->BereichRect, ScreenForm->Img1Bmp.size()) : 0;
    DruckerZeileSetzen();
    SeitRatioClick();
    DruckBtn->setFocus();
}

QPrinter &TDruckForm::Drucker()
{
    // Until the user picks one, jobs follow the default queue, which may change meanwhile. A
    // new printer object takes the default queue with its own defaults (a renamed one would
    // keep the old queue's paper, and one without a queue would stay a PDF writer).
    if (!m_drucker || (!m_eingerichtet && m_drucker->printerName() != standardDrucker()))
        m_drucker = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_drucker;
}

void TDruckForm::DruckerZeileSetzen()
{
    const QString name = Drucker().printerName();
    if (name.isEmpty()) {
        DruckerInfo->setText(QStringLiteral("- Kein Drucker -"));
        return;
    }
    const QString anschluss = druckerAnschluss(name);
    DruckerInfo->setText(anschluss.isEmpty() ? name : name + QStringLiteral(" an ") + anschluss);
}

void TDruckForm::DruckBtnClick()
{
    const qint32 l = zehntelMm(LiRandEdit->GetFloat());
    const qint32 t = zehntelMm(ObRandEdit->GetFloat());
    const qint32 w = zehntelMm(BreiteEdit->GetFloat());
    const qint32 h = zehntelMm(HoeheEdit->GetFloat());
    // What cannot give a picture on paper is said here; the dialog stays open to correct it.
    if (w <= 0 || h <= 0) {
        setResult(mrNone);
        zeigeWarnung(this,
                     QStringLiteral("Es wird nichts gedruckt: Breite und Höhe müssen größer als 0 sein."));
        return;
    }
    if (!ToolForm || !ScreenForm)
        return;
    SetAuswahlBmp(*ToolForm, ScreenForm->Img1Bmp);
    if (ToolForm->AuswahlBmp.isNull()) {
        setResult(mrNone);
        zeigeWarnung(this, QStringLiteral("Es wird nichts gedruckt: Der Auswahlbereich ist leer."));
        return;
    }

    // The notice and the output image go away however the job ends; an error then reaches the
    // error display.
    const auto danach = qScopeGuard([] {
        if (MeldForm)
            MeldForm->hide();
        if (ToolForm)
            ToolForm->AuswahlBmp = QImage();
    });
    if (MeldForm)
        MeldForm->Zeigen(QStringLiteral("Ausdruck wird vorbereitet.||Bitte warten."));
    SeiteDrucken(Drucker(), l, t, w, h, ToolForm->AuswahlBmp);
}

void TDruckForm::DrEinrBtnClick()
{
    // Qt's dialog changes the printer it is given while the user picks, also when he then
    // cancels; it works on a copy that replaces the printer only when confirmed.
    const QPrinter &bisher = Drucker();
    auto neu = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!bisher.printerName().isEmpty())
        neu->setPrinterName(bisher.printerName());
    neu->setPageLayout(bisher.pageLayout());
    neu->setCopyCount(bisher.copyCount());
    neu->setCollateCopies(bisher.collateCopies());
    neu->setDuplex(bisher.duplex());
    neu->setColorMode(bisher.colorMode());
    QPrintDialog dialog(neu.get(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    // Only the printer and its paper: the page is always one, and the output a printer.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() == QDialog::Accepted) {
        m_drucker = std::move(neu);
        m_eingerichtet = true;
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
