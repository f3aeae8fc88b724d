// Raster operations on the picture (RGB32). Every operation clips to the image and returns
// the rectangle it changed; outlines can also report a tight cover of small rectangles so
// that a long diagonal or a large outline is repainted without its whole bounding box.
//
// Conventions: a segment covers its start and stops one pixel short of its end; a box
// (left, top, right, bottom) is right- and bottom-exclusive, and a 1-px outline touches
// columns left…right−1 and rows top…bottom−1, each pixel once. Pens wider than one pixel are
// round-ended strokes centred on the geometry, drawn through QPainter.
#pragma once

#include "app/data.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QVarLengthArray>

// Changed areas of the picture, for partial repaint.
using Rechtecke = QVarLengthArray<QRect, 16>;

inline void dazu(Rechtecke &r, const QRect &q)
{
    if (!q.isEmpty())
        r.append(q);
}

struct Stift
{
    TColor Farbe = 0;
    TPenMode Modus = pmCopy;
    int Breite = 1; // 0 and 1 both mean a 1-px pen
};

// The inverting 1-px pen of markers and previews.
constexpr Stift NotStift{0, pmNot, 1};

QRect strecke(QImage &bild, QPoint p, QPoint q, const Stift &stift, Rechtecke *teile = nullptr);
QRect rechteckRahmen(QImage &bild, const TRect &box, const Stift &stift, Rechtecke *teile = nullptr);
QRect ellipseRahmen(QImage &bild, const TRect &box, const Stift &stift, Rechtecke *teile = nullptr);
// Fills cover outline and inside together, each pixel once, in the pen's colour and mode.
QRect rechteckFuellen(QImage &bild, const TRect &box, TColor farbe, TPenMode modus);
QRect ellipseFuellen(QImage &bild, const TRect &box, TColor farbe, TPenMode modus);
// Plain copy of `bereich` from `quelle` to the same place in `ziel`.
QRect bereichKopieren(QImage &ziel, const QImage &quelle, const QRect &bereich);
