// The arithmetic of a printed page: the dialog's centimetres as whole tenths of a millimetre,
// the printer's unprintable border, and the picture's aspect ratio.
#pragma once

#include "app/data.h"

#include <QRect>
#include <QSize>
#include <QString>

// A field's value in cm as 0.1 mm: the nearest whole number, a half to the even one.
qint32 zehntelMm(long double cm);

// The distance of `pixel` device pixels at `dpi` pixels per inch, in 0.1 mm, rounded as above.
qint32 pixelZehntelMm(int pixel, int dpi);

// Margins counted from the paper edge become margins counted from the printable area, whose
// edge lies offX and offY from the paper edge; a margin inside the border puts the picture at
// the edge of the printable area.
void RaenderKorrigieren(qint32 &l, qint32 &t, qint32 offX, qint32 offY);

// Width / height of what a print takes: the selection area when it is active, else the whole
// picture. 0 when there is no ratio (an area or a picture without width or height).
double seitenverhaeltnis(const TRect &bereich, QSize bild);

// Where a picture at l, t with w × h (0.1 mm, margins from the paper edge as typed) reaches
// beyond `bedruckbar`, the part of the paper a printer prints on (0.1 mm from the paper edge):
// a sentence for each side where it is cut, empty when it fits.
QString ueberstand(qint32 l, qint32 t, qint32 w, qint32 h, const QRect &bedruckbar);
