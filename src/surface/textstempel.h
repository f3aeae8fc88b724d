// Text and symbol stamps: their sizes, fonts, markers and how they go into the picture.
#pragma once

#include "surface/raster.h"

#include <QFont>
#include <QString>

// Point size of the text entry for a stroke width: 9, 16, 24, 39 for the four levels; 3
// before any thickness is chosen.
int textPunktgroesse(int sdicke);
// Point size of a stamp: 17, 39, 72, 116 for the four levels.
int stempelPunktgroesse(int sdicke);
// Points at 96 dpi, whatever the X server's resolution.
int punktZuPixel(int pt);

// Arial bold at the entry's size for the stroke width.
QFont textSchrift(int sdicke);

// The stamp symbols: a green check mark and a red cross.
enum class Stempel { Haekchen, Kreuz };
constexpr TColor HaekchenFarbe = 0x00C400; // RGB 0, 196, 0
constexpr TColor KreuzFarbe = 0x0000DC;    // RGB 220, 0, 0

// Writes committed text with its top-left corner at `pos`, opaque in the colour's RGB value
// whatever the raster mode; at 20 points or more a colour other than black gets a black
// shadow one pixel to the right and below.
QRect textSchreiben(QImage &bild, QPoint pos, const QString &text, const QFont &schrift, int punktgroesse,
                    TColor farbe);

// Stamps the symbol centred on (x, y) with a black shadow at +1, +1.
QRect SetzeZeichen(QImage &bild, int x, int y, Stempel zeichen, int sdicke);

// The inverted markers of the text and stamp tools at (sx, sy); nothing for negative
// positions. Drawing one twice restores the picture.
QRect textBalken(QImage &bild, int sx, int sy, int hoehe);
QRect stempelMarker(QImage &bild, int sx, int sy, Stempel zeichen, int sdicke, Rechtecke *teile = nullptr);

// The stamp tools' step: erase the marker, move, stamp once per press (Lx, Ly latch the
// press until the button is released), draw the marker.
Rechtecke stempelSchritt(const ToolState &t, SurfaceState &s, TShiftState shift, int xneu, int yneu);

// The text tool's step. The bar shows where a line would start while the entry is closed; a
// left press asks for the entry to be placed there (`s.Eintrag.Platzieren`).
Rechtecke textSchritt(SurfaceState &s, TShiftState shift, int xneu, int yneu);
