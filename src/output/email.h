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

// The question at the end of the run about the pictures handed over.
QString EmailAufraeumenText(qsizetype anzahl, const QString &ordner);

// Deletes the files in list order; one that cannot be deleted is skipped.
void EmailDateienLoeschen(const QStringList &dateien);
