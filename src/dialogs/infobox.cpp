#include "dialogs/infobox.h"

#include "app/uebersetzung.h"
#include "controls/bitbtn2.h"
#include "dialogs/dialogplatz.h"
#include "dialogs/einstellungenform.h"
#include "output/oeffnen.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QWindow>

TInfoBox *InfoBox = nullptr;

namespace {

const char *const Impressum = "Skizzomat ist ein Programm von Quenderwerk.\n"
                              "© 2015 Quenderwerk. Alle Rechte vorbehalten.\n"
                              "\n"
                              "Fragen, Hinweise und Fehlermeldungen bitte an:\n"
                              "kontakt@skizzomat.example";

const char *const Lizenz =
    "Lizenzbedingungen\n"
    "\n"
    "1. Skizzomat darf kostenlos genutzt werden, privat wie beruflich und auf beliebig vielen "
    "Rechnern.\n"
    "\n"
    "2. Das Programm darf unverändert und vollständig weitergegeben werden. Ein Verkauf oder eine "
    "Weitergabe gegen Entgelt ist nicht gestattet.\n"
    "\n"
    "3. Das Programm wird so bereitgestellt, wie es ist, ohne Gewähr dafür, dass es sich für einen "
    "bestimmten Zweck eignet oder fehlerfrei arbeitet.\n"
    "\n"
    "4. Für Schäden, die aus der Nutzung entstehen, haftet Quenderwerk nur bei Vorsatz und grober "
    "Fahrlässigkeit.\n"
    "\n"
    "5. Wer das Programm nutzt, erkennt diese Bedingungen an.";

QLabel *beschriftung(QWidget *parent, const char *name, const QString &text, QPoint pos)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(pos);
    l->adjustSize();
    return l;
}

TBitBtn2 *knopf(QWidget *parent, const char *name, QRect geometrie)
{
    auto *b = new TBitBtn2(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometrie);
    return b;
}

} // namespace

TInfoBox::TInfoBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("InfoBox"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(624, 565);
    QFont schrift(QStringLiteral("Arial"));
    schrift.setPixelSize(12);
    setFont(schrift);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 608, 418);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel1->setLineWidth(1);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(20, 16, 40, 40);
    Image1->setPixmap(QApplication::windowIcon().pixmap(40, 40));

    TitelLabel = beschriftung(Panel1, "TitelLabel", QApplication::applicationName(), {72, 16});
    QFont titel = schrift;
    titel.setPixelSize(16);
    titel.setBold(true);
    TitelLabel->setFont(titel);
    TitelLabel->adjustSize();

    // Only shows: nothing in it takes the pointer or the focus.
    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(64, 36, 433, 133);
    Panel2->setAttribute(Qt::WA_TransparentForMouseEvents);
    VersionLabel = beschriftung(Panel2, "VersionLabel", QStringLiteral("Version ") + ProgrammVersion, {8, 4});
    Memo1 = new QLabel(QString::fromUtf8(Impressum), Panel2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(6, 25, 417, 105);
    Memo1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Memo1->setWordWrap(true);

    Label2 = beschriftung(Panel1, "Label2", QStringLiteral("Internet:"), {74, 172});
    Label1 = beschriftung(Panel1, "Label1",
                          QStringLiteral("<a href=\"%1\">%1</a>").arg(ProgrammWebseite.toHtmlEscaped()),
                          {128, 172});
    Label1->setTextFormat(Qt::RichText);
    Label1->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    Label1->adjustSize();
    connect(Label1, &QLabel::linkActivated, this, &TInfoBox::Label1Click);

    Memo2 = new QPlainTextEdit(QString::fromUtf8(Lizenz), Panel1);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(72, 200, 512, 186);
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    EinstellBtn = knopf(this, "EinstellBtn", {509, 448, 105, 29});
    HilfeBtn = knopf(this, "HilfeBtn", {509, 486, 105, 29});
    OkBtn = knopf(this, "OkBtn", {509, 524, 105, 29});
    OkBtn->setCancel(true);
    OkBtn->setModalResult(mrOk);
    setTabOrder(EinstellBtn, HilfeBtn);
    setTabOrder(HilfeBtn, OkBtn);
    setTabOrder(OkBtn, Memo2);
    connect(EinstellBtn, &QAbstractButton::clicked, this, &TInfoBox::EinstellBtnClick);
    connect(HilfeBtn, &QAbstractButton::clicked, this, &TInfoBox::HilfeBtnClick);

    TexteSetzen();
}

// The box goes with the tool window that owns it.
TInfoBox::~TInfoBox()
{
    if (InfoBox == this)
        InfoBox = nullptr;
}

void TInfoBox::TexteSetzen()
{
    EinstellBtn->setText(Oberflaechentext("TInfoBox.EinstellBtn"));
    HilfeBtn->setText(Oberflaechentext("TInfoBox.HilfeBtn"));
    OkBtn->setText(Oberflaechentext("TInfoBox.OkBtn"));
}

void TInfoBox::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        TexteSetzen();
        mittigAufBildschirm(this, parentWidget());
        EinstellBtn->setFocus();
    }
    QDialog::showEvent(e);
}

void TInfoBox::EinstellBtnClick()
{
    TEinstellungenForm *d = EinstellungenForm;
    if (!d)
        return;
    // Above the box, which stays on top: a window manager keeps a transient window above its
    // owner. The native window must exist to carry that.
    d->winId();
    if (QWindow *w = d->windowHandle())
        w->setTransientParent(windowHandle());
    if (d->exec() == mrOk)
        d->Uebernehmen();
}

void TInfoBox::HilfeBtnClick()
{
    DokumentOeffnen(ProgrammHilfeseite, this);
}

void TInfoBox::Label1Click()
{
    DokumentOeffnen(ProgrammWebseite, this);
}
