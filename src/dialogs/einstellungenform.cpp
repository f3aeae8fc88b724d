#include "dialogs/einstellungenform.h"

#include "app/data.h"
#include "app/uebersetzung.h"
#include "controls/bitbtn2.h"
#include "controls/einpassen.h"
#include "controls/numedit.h"
#include "dialogs/dialogplatz.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <initializer_list>

TEinstellungenForm *EinstellungenForm = nullptr;

namespace {

// The folder placeholders, explained with folders as they are on Linux.
const char *const MemoZeilen[] = {
    "%exedir% = Ordner des Programms skizzomat", "(z.B. /usr/local/bin)", "", "%docdir% = Dokumente-Ordner ",
    "(z.B. /home/<Benutzername>/Dokumente)",
};

template<class T> T *steuerelement(QWidget *parent, const char *name, QRect geometrie)
{
    auto *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometrie);
    return w;
}

QGroupBox *rahmen(QWidget *parent, const char *name, QRect geometrie)
{
    return steuerelement<QGroupBox>(parent, name, geometrie);
}

QLabel *beschriftung(QWidget *parent, const char *name, QPoint pos)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(pos);
    return l;
}

TNumEditZ *groessenfeld(QWidget *parent, const char *name, QRect geometrie, int min)
{
    auto *f = steuerelement<TNumEditZ>(parent, name, geometrie);
    f->setMinValue(min);
    f->setMaxValue(100);
    return f;
}

// Exactly the button of `wahl` checked, or none when no button stands for it.
void waehle(std::initializer_list<QRadioButton *> knoepfe, QRadioButton *wahl)
{
    for (QRadioButton *k : knoepfe) {
        // An exclusive button cannot be unchecked on its own.
        k->setAutoExclusive(false);
        k->setChecked(k == wahl);
        k->setAutoExclusive(true);
    }
}

QString ordner(const QLineEdit *feld, const QString &vorgabe)
{
    const QString text = getrimmt(feld->text());
    return text.isEmpty() ? vorgabe : text;
}

// The field's value within its range, also when OK comes while the field still has the focus
// and its text has not been brought into the range yet: a button 1000 pixels high made a tool
// window 20038 pixels high that no monitor could show.
int groesse(const TNumEditZ *feld)
{
    return std::clamp(feld->GetInt(), feld->MinValue(), feld->MaxValue());
}

} // namespace

TEinstellungenForm::TEinstellungenForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("EinstellungenForm"));
    setFixedSize(908, 433);
    // 9 points at 96 dpi, whatever the desktop's text size is.
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPixelSize(12);
    setFont(schrift);
    QPalette farben = palette();
    farben.setColor(QPalette::WindowText, Qt::black);
    setPalette(farben);

    // Captions only: a stock picture would be stretched over the whole face.
    OkBtn = steuerelement<TBitBtn2>(this, "OkBtn", {688, 392, 97, 25});
    OkBtn->setDefault(true);
    OkBtn->setModalResult(mrOk);
    AbbrBtn = steuerelement<TBitBtn2>(this, "AbbrBtn", {792, 392, 97, 25});
    AbbrBtn->setCancel(true);
    AbbrBtn->setModalResult(mrCancel);

    Panel1 = steuerelement<QWidget>(this, "Panel1", {0, 0, 908, 386});

    GroupBox1 = rahmen(Panel1, "GroupBox1", {16, 12, 425, 53});
    RadioMauszeiger1 = steuerelement<QRadioButton>(GroupBox1, "RadioMauszeiger1", {24, 25, 113, 20});
    RadioMauszeiger2 = steuerelement<QRadioButton>(GroupBox1, "RadioMauszeiger2", {152, 25, 257, 20});

    GroupBox3 = rahmen(Panel1, "GroupBox3", {464, 12, 425, 53});
    MausradZoomCheck = steuerelement<QCheckBox>(GroupBox3, "MausradZoomCheck", {24, 24, 385, 20});

    GroupBox2 = rahmen(Panel1, "GroupBox2", {16, 84, 425, 69});
    AutoOpenCheck = steuerelement<QCheckBox>(GroupBox2, "AutoOpenCheck", {24, 24, 385, 20});
    AutoCloseCheck = steuerelement<QCheckBox>(GroupBox2, "AutoCloseCheck", {24, 44, 385, 20});

    GroupBox4 = rahmen(Panel1, "GroupBox4", {464, 84, 425, 69});
    AutoScreenshotCheck = steuerelement<QCheckBox>(GroupBox4, "AutoScreenshotCheck", {24, 24, 385, 20});

    GroupBox5 = rahmen(Panel1, "GroupBox5", {16, 172, 425, 109});
    RadioScreen0 = steuerelement<QRadioButton>(GroupBox5, "RadioScreen0", {24, 24, 385, 20});
    RadioScreen1 = steuerelement<QRadioButton>(GroupBox5, "RadioScreen1", {24, 48, 385, 20});
    RadioScreen2 = steuerelement<QRadioButton>(GroupBox5, "RadioScreen2", {24, 72, 385, 20});

    GroupBox7 = rahmen(Panel1, "GroupBox7", {464, 172, 425, 197});
    ScreenshotOrdnerLab = beschriftung(GroupBox7, "ScreenshotOrdnerLab", {24, 20});
    ScreenshotDirEdit = steuerelement<QLineEdit>(GroupBox7, "ScreenshotDirEdit", {24, 36, 377, 21});
    EmailOrdnerLab = beschriftung(GroupBox7, "EmailOrdnerLab", {24, 60});
    EmailDirEdit = steuerelement<QLineEdit>(GroupBox7, "EmailDirEdit", {24, 76, 377, 21});
    Memo1 = steuerelement<QPlainTextEdit>(GroupBox7, "Memo1", {24, 111, 377, 78});
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setReadOnly(true);
    Memo1->setEnabled(false);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->viewport()->setAutoFillBackground(false);
    Memo1->document()->setDocumentMargin(0);
    QStringList zeilen;
    for (const char *z : MemoZeilen)
        zeilen << QString::fromUtf8(z);
    Memo1->setPlainText(zeilen.join(QLatin1Char('\n')));

    GroupBox6 = rahmen(Panel1, "GroupBox6", {16, 301, 425, 68});
    ToolSizeXLab = beschriftung(GroupBox6, "ToolSizeXLab", {24, 29});
    ToolSizeXEdit = groessenfeld(GroupBox6, "ToolSizeXEdit", {78, 27, 50, 21}, 25);
    ToolSizeXLab->setBuddy(ToolSizeXEdit);
    ToolSizeYLab = beschriftung(GroupBox6, "ToolSizeYLab", {176, 29});
    ToolSizeYEdit = groessenfeld(GroupBox6, "ToolSizeYEdit", {230, 27, 50, 21}, 24);
    ToolSizeYLab->setBuddy(ToolSizeYEdit);

    // The buttons first, then the group boxes row by row, left before right.
    const QWidget *const reihe[] = {
        OkBtn,         AbbrBtn,           RadioMauszeiger1,    RadioMauszeiger2, MausradZoomCheck,
        AutoOpenCheck, AutoCloseCheck,    AutoScreenshotCheck, RadioScreen0,     RadioScreen1,
        RadioScreen2,  ScreenshotDirEdit, EmailDirEdit,        ToolSizeXEdit,    ToolSizeYEdit};
    for (size_t i = 1; i < std::size(reihe); ++i)
        setTabOrder(const_cast<QWidget *>(reihe[i - 1]), const_cast<QWidget *>(reihe[i]));

    TexteSetzen();
}

// The dialog goes with the tool window that owns it.
TEinstellungenForm::~TEinstellungenForm()
{
    if (EinstellungenForm == this)
        EinstellungenForm = nullptr;
}

void TEinstellungenForm::TexteSetzen()
{
    setWindowTitle(Oberflaechentext("TEinstellungenForm"));
    for (QWidget *w : findChildren<QWidget *>()) {
        const QByteArray ziel = "TEinstellungenForm." + w->objectName().toLatin1();
        const QString text = Oberflaechentext(ziel.constData());
        if (text.isEmpty())
            continue;
        // A translated caption may be longer than the control was made for.
        if (auto *g = qobject_cast<QGroupBox *>(w))
            titelEinpassen(g, text);
        else if (auto *k = qobject_cast<TBitBtn2 *>(w))
            k->setText(text); // fits its caption while painting
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            beschriftungEinpassen(b, text);
        else if (auto *l = qobject_cast<QLabel *>(w))
            beschriftungEinpassen(l, text);
    }
}

void TEinstellungenForm::showEvent(QShowEvent *e)
{
    // A showing of our own, not the window manager giving the window back.
    if (!e->spontaneous()) {
        TexteSetzen();
        FormActivate();
        mittigAufBildschirm(this, parentWidget());
        OkBtn->setFocus();
    }
    QDialog::showEvent(e);
}

void TEinstellungenForm::FormActivate()
{
    waehle({RadioMauszeiger1, RadioMauszeiger2}, Cfg.MauszeigerMode == 1   ? RadioMauszeiger1
                                                 : Cfg.MauszeigerMode == 2 ? RadioMauszeiger2
                                                                           : nullptr);
    AutoOpenCheck->setChecked(Cfg.AutoOpen);
    AutoCloseCheck->setChecked(Cfg.AutoClose);
    MausradZoomCheck->setChecked(Cfg.MausradZoom);
    AutoScreenshotCheck->setChecked(Cfg.AutoScreenshot);
    ScreenshotDirEdit->setText(Cfg.ScreenshotDir);
    EmailDirEdit->setText(Cfg.EmailDir);
    QRadioButton *const monitore[] = {RadioScreen0, RadioScreen1, RadioScreen2};
    waehle({RadioScreen0, RadioScreen1, RadioScreen2},
           Cfg.MonitorMode >= 0 && Cfg.MonitorMode <= 2 ? monitore[Cfg.MonitorMode] : nullptr);
    ToolSizeXEdit->SetInt(Cfg.WerkzeugGroesseX);
    ToolSizeYEdit->SetInt(Cfg.WerkzeugGroesseY);
}

void TEinstellungenForm::Uebernehmen()
{
    Cfg.MauszeigerMode = RadioMauszeiger2->isChecked() ? 2 : 1;
    Cfg.AutoOpen = AutoOpenCheck->isChecked();
    Cfg.AutoClose = AutoCloseCheck->isChecked();
    Cfg.MausradZoom = MausradZoomCheck->isChecked();
    Cfg.AutoScreenshot = AutoScreenshotCheck->isChecked();
    const Settings vorgaben;
    Cfg.ScreenshotDir = ordner(ScreenshotDirEdit, vorgaben.ScreenshotDir);
    Cfg.EmailDir = ordner(EmailDirEdit, vorgaben.EmailDir);
    Cfg.MonitorMode = RadioScreen1->isChecked() ? 1 : RadioScreen2->isChecked() ? 2 : 0;
    Cfg.WerkzeugGroesseX = groesse(ToolSizeXEdit);
    Cfg.WerkzeugGroesseY = groesse(ToolSizeYEdit);
    emit uebernommen();
}
