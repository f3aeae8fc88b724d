// The e-mail pictures: stored under automatic names in the e-mail folder for the hand-over to
// the e-mail program, the texts the user sees about it, and the clean-up at the end of the run.
#pragma once

#include "app/data.h"
#include "output/screenshot.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Stores `AuswahlBmp` (the selection area when one is active, else the whole picture) in the
// e-mail folder, creating it when missing, and raises `Cfg.EmailNr`. Fails, leaving the number
// as it was, when the folder cannot be created or the file cannot be written. An invalid
// `jetzt` means the current time at the moment of naming.
Ablage EmailAblegen(ToolState &t, const QImage &img1Bmp, int format, const QDateTime &jetzt = {});

QString EmailUebermitteltText();
QString EmailAbgebrochenText();

// The question about the pictures handed over; `behalten` more stay because an e-mail
// program may still read them.
QString EmailAufraeumenText(qsizetype anzahl, const QString &ordner, qsizetype behalten = 0);

// A picture handed to an e-mail program and not yet offered for deletion, with the number of
// its hand-over (see MailSenden).
struct EmailBild
{
    QString Datei;
    qint64 Uebergabe = 0;
    bool operator==(const EmailBild &) const = default;
};

// The pictures handed over and not yet offered for deletion, this run's and those an earlier
// run kept because an e-mail program might still read them. Kept in a file in the user's
// state folder from the hand-over on, so that no picture is forgotten, even after a crash.
QString EmailListeDatei();
QList<EmailBild> EmailListeLesen();
void EmailListeSchreiben(const QList<EmailBild> &bilder);
void EmailVormerken(const EmailBild &bild);
void EmailVergessen(const QString &datei);
