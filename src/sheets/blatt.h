// Blank and ruled sheets drawn into the background picture. Each covers the rectangle of the
// primary screen's size from the picture's top-left corner; the rest of a larger picture keeps
// what it showed.
#pragma once

#include "app/data.h"

#include <QImage>
#include <QSize>

// The colour of the ruling, and the spacings of the menu's sheets.
constexpr TColor BlattLinienFarbe = 0xB8B8B8;
constexpr int KaroAbstand = 48;
constexpr int PunktAbstand = 48;
constexpr int LinienAbstand = 72;

// The nearest whole number to zaehler / nenner (both positive), a half going to the even one.
int naechsteGanzzahl(int zaehler, int nenner);

// Fills the sheet with a colour, without ruling.
void BlattFuellen(QImage &hintergrund, QSize blatt, TColor farbe);
// White, with lines every a pixels from the top and the left edge.
void KaroBlatt(QImage &hintergrund, QSize blatt, int a);
// White, with a 5 × 5 cross every a pixels, the first on the top-left corner.
void PunktBlatt(QImage &hintergrund, QSize blatt, int a);
// White, with a line on the last row of every band of a rows.
void LinienBlatt(QImage &hintergrund, QSize blatt, int a);

// On a black sheet the transparent marker colours leave no trace: the colour code of the
// opaque colour of the same hue for them, any other code as it is.
int FarbeFuerSchwarzesBlatt(int farbcode);
