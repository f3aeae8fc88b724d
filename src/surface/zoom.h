// The zoom view's arithmetic: steps, scale and offset, the picture pixel under the pointer,
// the crosshair bars, the colour code, and drawing the visible part of the enlarged picture.
#pragma once

#include "app/data.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

// Scale and offset of the zoom view: picture pixel (px, py) is shown as the block from
// (Ox + px·Fak, Oy + py·Fak), Fak × Fak view pixels large. Factors are whole numbers, so the
// blocks start at whole view pixels: at zoomRaster() + (px·Fak, py·Fak).
struct ZoomSicht
{
    float Fak = 1;
    float Ox = 0, Oy = 0;
    friend bool operator==(const ZoomSicht &, const ZoomSicht &) = default;
};

// The factor as the whole number it is.
int zoomGanz(float fak);

// Where the block of picture pixel (0, 0) starts: the offset rounded up. The view shows the
// same at every offset with the same raster, and moving the raster moves the view by as much.
QPoint zoomRaster(const ZoomSicht &v);

int zoomStufeHoeher(int nr); // at most 8
int zoomStufeTiefer(int nr); // at least 1

// The offset at a new factor that keeps the picture point under the view point (sx, sy)
// where it is.
QPointF zoomUmPunkt(const ZoomSicht &v, float sx, float sy, float fak);

// The offset clamped so that the enlarged picture covers the view; one smaller than the view
// lies against its right and bottom edges.
QPointF zoomOffsetBegrenzt(float ax, float ay, QSize ansicht, QSize bild, float fak);

// The picture pixel under the view point (x, y).
QPoint zoomBildpunkt(const ZoomSicht &v, int x, int y);

// The crosshair: a vertical and a horizontal bar on the zoomed pixel under (sx, sy), each
// across the whole view. At factors 1 and 2 they are solid bands one pixel wider than a
// zoomed pixel; from 3 on they frame its column and row.
struct ZoomBalken
{
    QRect X, Y; // vertical, horizontal
    bool Gefuellt = true;
    friend bool operator==(const ZoomBalken &, const ZoomBalken &) = default;
};
ZoomBalken zoomFadenkreuz(const ZoomSicht &v, int sx, int sy, QSize ansicht);

// The parts of a bar that it inverts: the bar itself when solid, else its outline, each pixel
// once.
void balkenTeile(const QRect &balken, bool gefuellt, QRect teile[4], int &anzahl);

// "#" and red, green, blue as two upper-case hexadecimal digits each.
QString farbCode(QRgb farbe);

// The factor in percent: "100%" … "1000%".
QString zoomProzent(float fak);

// Draws the view rectangle `ziel` of the enlarged `bild` (RGB32) into 32-bit pixels starting
// at `nach`, `zeilenLaenge` bytes from row to row; view pixels outside the picture become
// black. Each picture row is enlarged once and copied for the other view rows it covers.
void zoomZeichnen(uchar *nach, qsizetype zeilenLaenge, const QRect &ziel, const QImage &bild,
                  const ZoomSicht &v);

// The same into `puffer` from (0, 0); `puffer` is resized only when it is too small.
void zoomZeichnen(QImage &puffer, const QRect &ziel, const QImage &bild, const ZoomSicht &v);
