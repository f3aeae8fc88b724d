// The output picture, and storing it under an automatic name in the screenshot folder.
#pragma once

#include "app/data.h"
#include "output/ergebnis.h"

#include <QDateTime>
#include <QString>

// `AuswahlBmp` := the selection area of the drawing picture when one is active, else a copy of
// the whole picture.
void SetAuswahlBmp(ToolState &t, const QImage &img1Bmp);

// Format codes of the automatic files.
enum : int { FormatPng = 0, FormatJpg = 1 };
QString FormatEndung(int format);

// Local time as "yyyymmdd-hhnnss".
QString Zeitstempel(const QDateTime &zeit);

// folder/yyyymmdd-hhnnss-NNN.ext, the number with at least three digits.
QString AutoDateiname(const QString &ordner, const QDateTime &zeit, int nr, int format);

struct Ablage : Ergebnis
{
    QString Datei; // the file written
};

// Writes the picture into the folder under the next automatic name, raising `nr` (past names
// already taken). Fails, leaving `nr` as it was, when the file cannot be written.
Ablage AutoDateiSchreiben(const QImage &bild, const QString &ordner, std::int32_t &nr, int format,
                          const QDateTime &jetzt = {});

// Stores `AuswahlBmp` (the selection area when nurAuswahl, else the whole picture) in the
// screenshot folder, creating it when missing, and raises `Cfg.ScreenshotNr`. Fails, leaving
// the number as it was, when the folder cannot be created or the file cannot be written.
// An invalid `jetzt` means the current time at the moment of naming.
Ablage ScreenshotAblegen(ToolState &t, const QImage &img1Bmp, bool nurAuswahl, int format,
                         const QDateTime &jetzt = {});
