// The magnifier's lens: its size by stroke width, where it and its source lie, and its
// picture (the source enlarged, a black frame, the inverted pointer cross, the factor label).
#pragma once

#include "app/data.h"

#include <QImage>
#include <QRectF>

// W := round(sdicke × 320 / 13), H := round(W × 3 / 4): 74 × 56 … 517 × 388.
QSize lupenGroesse(int sdicke);

// Moves a rectangle into bounds keeping its size where it fits; one larger than the bounds
// is cut at its left or top.
TRect einpassen(TRect r, const TRect &grenzen);
QRectF einpassen(QRectF r, const QRectF &grenzen);

struct LupenGeometrie
{
    QSize Groesse; // of the lens
    TRect Quelle;  // in the view's bitmap
    QRectF Linse;  // on the view; may stick out of it by one pixel, hiding the frame there
    QPoint Kreuz;  // the pointer in lens coordinates
};

LupenGeometrie lupenGeometrie(int sx, int sy, int sdicke, int fak, QSize ansicht);

// The lens's bitmap: white, the source enlarged by `fak` from its top-left corner, framed in
// black, the pointer cross inverted, " 200% " or " 400% " on light grey at (1, 1).
QImage lupeZeichnen(const QImage &bild, const LupenGeometrie &g, int fak);
