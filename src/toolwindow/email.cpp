// The tool window's e-mail commands: the output picture as the attachment of a new message in
// the user's e-mail program, a new message with the screenshot folder beside it, and the
// question at the end of the run about the pictures handed over.
#include "output/email.h"
#include "controls/meldungen.h"
#include "output/mail.h"
#include "output/oeffnen.h"
#include "output/ordner.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

void TToolForm::verbindeEmail()
{
    connect(Aktionen.value(QStringLiteral("EmailBtn")), &QAction::triggered, this, &TToolForm::EmailBtnClick);

    EmailMenu = new QMenu(this);
    EmailMenu->setObjectName(QStringLiteral("EmailMenu"));
    const struct
    {
        const char *name;
        const char *caption;
        void (TToolForm::*handler)();
    } eintraege[] = {
        {"EmailPNGMenuItem", "Als &PNG-Bild versenden...", &TToolForm::EmailPNGMenuItemClick},
        {"EmailJPGMenuItem", "Als &JPG-Bild versenden...", &TToolForm::EmailJPGMenuItemClick},
        {"EMailProgrammOeffnen1", "E-&Mail-Programm und Screenshot-Ordner öffnen...",
         &TToolForm::EMailProgrammOeffnen1Click},
    };
    for (const auto &e : eintraege) {
        QAction *a = EmailMenu->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        connect(a, &QAction::triggered, this, e.handler);
        Aktionen.insert(a->objectName(), a);
    }
}

void TToolForm::EmailBtnClick()
{
    CheckPanels();
    menuUnterButton(EmailMenu, "EmailBtn");
}

void TToolForm::EmailPNGMenuItemClick()
{
    EmailVersenden(FormatPng);
}

void TToolForm::EmailJPGMenuItemClick()
{
    EmailVersenden(FormatJpg);
}

void TToolForm::EmailVersenden(int format)
{
    if (!ausgabeBildDa())
        return;
    // A tool marker drawn into the picture, or text still in its entry, must not go along.
    CheckPanels();
    const Ablage a = EmailAblegen(*this, ScreenForm->Img1Bmp, format);
    AuswahlBmp = QImage();
    if (!a.Ok) {
        zeigeFehler(this, a.Fehler);
        // A folder that cannot be created leaves everything as it was; a file that could not
        // be written ends like a hand-over.
        if (!a.Datei.isEmpty())
            setzeImmerOben();
        return;
    }
    const qint64 uebergabe =
        MailSenden(QStringLiteral("Screenshot"), {a.Datei}, this,
                   [this, datei = a.Datei](int ergebnis) { emailBeantwortet(datei, ergebnis); });
    // Noted from the start: a picture whose hand-over is still open when the program ends is
    // offered later, not forgotten.
    EmailVormerken({a.Datei, uebergabe});
    emailWartenZeigen();
}

void TToolForm::emailBeantwortet(const QString &datei, int ergebnis)
{
    if (ergebnis == 0) {
        EmailDateiList.append(datei);
    } else {
        QFile::remove(datei);
        EmailVergessen(datei);
        --Cfg.EmailNr; // the next picture gets its number
    }
    emailWartenZeigen();
    if (ergebnis == 0)
        zeigeInformation(this, EmailUebermitteltText());
    else
        zeigeWarnung(this, EmailAbgebrochenText());
    // The e-mail program's window may have covered the tool window.
    setzeImmerOben();
}

void TToolForm::emailWartenZeigen()
{
    // While the e-mail program has not answered, the pointer over the tool window says that
    // work goes on in the background.
    if (MailOffen() > 0)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void TToolForm::EMailProgrammOeffnen1Click()
{
    DokumentOeffnen(QStringLiteral("mailto:?subject=Screenshot"), this);
    ScreenshotOrdnerOeffnen1Click();
}

bool TToolForm::emailBilderAnbieten(bool amEnde)
{
    const QList<EmailBild> liste = EmailListeLesen();
    QList<EmailBild> frei;
    QList<EmailBild> behalten;
    for (const EmailBild &b : liste) {
        if (!QFileInfo::exists(b.Datei))
            continue;
        // At the end, this run's hand-overs that passed the message on count too; a later
        // start only sees what still runs.
        if (amEnde ? MailLiestVielleicht(b.Uebergabe) : MailLaeuftNoch(b.Uebergabe))
            behalten.append(b);
        else
            frei.append(b);
    }
    if (!frei.isEmpty()) {
        switch (bestaetigen(this, EmailAufraeumenText(frei.size(), EmailOrdner(), behalten.size()))) {
        case Antwort::Abbrechen:
            // At the end the program goes on; at a start the pictures are offered again later.
            if (amEnde)
                return false;
            behalten += frei;
            break;
        case Antwort::Ja:
            for (const EmailBild &b : std::as_const(frei))
                QFile::remove(b.Datei);
            break;
        case Antwort::Nein:
            break;
        }
    }
    // Written only when it changed: the start and the end stay free of disk work otherwise.
    if (behalten != liste)
        EmailListeSchreiben(behalten);
    return true;
}

void TToolForm::EmailFruehereAnbieten()
{
    emailBilderAnbieten(false);
}

bool TToolForm::EmailAufraeumen()
{
    // The pictures an e-mail program may still read stay and are offered at a later start.
    if (!emailBilderAnbieten(true))
        return false;
    EmailDateiList.clear();
    MailLoslassen();
    emailWartenZeigen();
    return true;
}
