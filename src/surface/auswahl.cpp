#include "surface/auswahl.h"

#include "app/data.h"
#include "app/uebersetzung.h"
#include "controls/bitbtn2.h"
#include "controls/einpassen.h"
#include "controls/fensterrahmen.h"
#include "controls/numedit.h"
#include "surface/bereich.h"
#include "surface/scrwin.h"
#include "surface/steuerung.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>

TAuswahlForm *AuswahlForm = nullptr;

namespace {

// A label with its access key in front of its field, both inside the group box.
QLabel *feldMitLabel(QWidget *box, const QString &text, QPoint label, QPoint feld, TNumEditZ *&edit)
{
    edit = new TNumEditZ(box);
    edit->setGeometry(QRect(feld, QSize(65, 21)));
    auto *lab = new QLabel(text, box);
    lab->move(label);
    lab->adjustSize();
    lab->setBuddy(edit);
    return lab;
}

TBitBtn2 *knopf(QWidget *dialog, const QString &text, int links, int ergebnis)
{
    auto *b = new TBitBtn2(dialog);
    b->setText(text);
    b->setGeometry(links, 129, 97, 25);
    b->setStyle3D(1);
    b->setShadow(0);
    b->setSelColor(0);
    b->setModalResult(ergebnis);
    return b;
}

} // namespace

TAuswahlForm::TAuswahlForm(TSteuerung &steuerung, TScreenForm &surface, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_steuerung(steuerung), m_surface(surface)
{
    setObjectName(QStringLiteral("AuswahlForm"));
    setWindowTitle(QStringLiteral("Auswahlbereich"));
    setFixedSize(457, 165);
    // Arial 9 pt at 96 dpi.
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    setFont(f);

    PosGroupBox = new QGroupBox(QStringLiteral(" Position und Größe "), this);
    PosGroupBox->setObjectName(QStringLiteral("PosGroupBox"));
    PosGroupBox->setGeometry(16, 12, 425, 93);
    LinksLab = feldMitLabel(PosGroupBox, QStringLiteral("&Links:"), {24, 28}, {104, 26}, LinksEdit);
    ObenLab = feldMitLabel(PosGroupBox, QStringLiteral("&Oben:"), {24, 56}, {104, 54}, ObenEdit);
    BreiteLab = feldMitLabel(PosGroupBox, QStringLiteral("&Breite:"), {248, 28}, {304, 26}, BreiteEdit);
    HoeheLab = feldMitLabel(PosGroupBox, QStringLiteral("&Höhe:"), {248, 56}, {304, 54}, HoeheEdit);
    const std::pair<QWidget *, const char *> namen[] = {
        {LinksLab, "LinksLab"}, {LinksEdit, "LinksEdit"}, {ObenLab, "ObenLab"},
        {ObenEdit, "ObenEdit"}, {BreiteLab, "BreiteLab"}, {BreiteEdit, "BreiteEdit"},
        {HoeheLab, "HoeheLab"}, {HoeheEdit, "HoeheEdit"},
    };
    for (const auto &[w, name] : namen)
        w->setObjectName(QString::fromLatin1(name));
    // Tab goes down the left column, then down the right one.
    setTabOrder(LinksEdit, ObenEdit);
    setTabOrder(ObenEdit, BreiteEdit);
    setTabOrder(BreiteEdit, HoeheEdit);

    OkBtn = knopf(this, QStringLiteral("OK"), 136, mrOk);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    LoeschenBtn = knopf(this, QStringLiteral("Auswahl löschen"), 240, mrAbort);
    LoeschenBtn->setObjectName(QStringLiteral("LoeschenBtn"));
    AbbrBtn = knopf(this, QStringLiteral("Abbrechen"), 344, mrCancel);
    AbbrBtn->setObjectName(QStringLiteral("AbbrBtn"));
    AbbrBtn->setCancel(true);
    setTabOrder(HoeheEdit, OkBtn);
    setTabOrder(OkBtn, LoeschenBtn);
    setTabOrder(LoeschenBtn, AbbrBtn);
    connect(OkBtn, &QAbstractButton::clicked, this, &TAuswahlForm::OkBtnClick);
    connect(LoeschenBtn, &QAbstractButton::clicked, this, &TAuswahlForm::LoeschenBtnClick);
    texteSetzen();
}

void TAuswahlForm::texteSetzen()
{
    const auto text = [](const char *ziel) {
        return Oberflaechentext((QByteArrayLiteral("TAuswahlForm.") + ziel).constData());
    };
    setWindowTitle(Oberflaechentext("TAuswahlForm"));
    titelEinpassen(PosGroupBox, text("PosGroupBox"));
    for (QLabel *lab : {LinksLab, ObenLab, BreiteLab, HoeheLab})
        beschriftungEinpassen(lab, text(lab->objectName().toLatin1().constData()));
    for (TBitBtn2 *knopf : {OkBtn, LoeschenBtn, AbbrBtn})
        knopf->setText(text(knopf->objectName().toLatin1().constData()));
}

void TAuswahlForm::showEvent(QShowEvent *e)
{
    if (const QScreen *s = QGuiApplication::primaryScreen())
        rahmenMittig(*this, s->geometry());
    // Over a frozen picture the dialog belongs to the surface: a window manager keeps a
    // transient window above its owner, also where it lifts the surface above every
    // stays-on-top window.
    if (QWindow *w = windowHandle()) {
        QWidget &eigner = m_surface.isVisible() ? m_surface : m_steuerung.fenster();
        w->setTransientParent(eigner.windowHandle());
    }
    // The translation file is read after the windows are built.
    texteSetzen();
    QDialog::showEvent(e);
    FormActivate();
}

void TAuswahlForm::FormActivate()
{
    // The tool's marker leaves the picture, typed text goes into it: what the area then
    // takes is the drawing alone.
    m_steuerung.CheckPanels();
    const TRect &r = m_steuerung.zustand().BereichRect;
    LinksEdit->SetInt(r.Left);
    BreiteEdit->SetInt(r.Right - r.Left);
    ObenEdit->SetInt(r.Top);
    HoeheEdit->SetInt(r.Bottom - r.Top);
    OkBtn->setFocus();
}

void TAuswahlForm::OkBtnClick()
{
    // Read as typed: Enter in a field confirms before the field has tidied its text.
    m_steuerung.zustand().BereichRect = bereichAusEingabe(
        LinksEdit->GetInt(), ObenEdit->GetInt(), BreiteEdit->GetInt(), HoeheEdit->GetInt(), flaeche());
    bereichZeigen();
}

void TAuswahlForm::LoeschenBtnClick()
{
    m_steuerung.zustand().BereichRect = KeinBereich;
    bereichZeigen();
}

QSize TAuswahlForm::flaeche() const
{
    // The area lies on the frozen picture, which is the size of the frozen monitor.
    if (!m_surface.Img1Bmp.isNull())
        return m_surface.Img1Bmp.size();
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1, 1);
}

void TAuswahlForm::bereichZeigen()
{
    m_surface.AuswahlBereichZeigen();
    m_steuerung.panelsAbgleichen();
}
