// Writing the output picture to a file whose extension names the format.
#pragma once

#include "output/ergebnis.h"

#include <QString>

class QImage;

enum class Bildformat { Png, Jpeg, Bmp };

// The extension of the path's file name part, from its last ".", dot included, in lower case;
// empty when the name has no dot.
QString Dateiendung(const QString &pfad);

// ".png" → PNG, ".jpg" → JPEG, anything else → BMP.
Bildformat FormatNachEndung(const QString &pfad);

// Writes the picture to the path in the format its extension names; true on success. The file
// appears only once it is complete: a failed write leaves no partial file behind and keeps a
// file of the same name as it was. The application's pointer is the busy pointer meanwhile.
Ergebnis BildSpeichern(const QImage &bild, const QString &pfad);

QString DateiFehlerText(const QString &pfad);

// The save dialog writes only .bmp, .png and .jpg files (in any case of letters).
Ergebnis SpeichernUnterPruefen(const QString &pfad);
