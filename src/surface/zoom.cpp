#include "surface/zoom.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

int zoomStufeHoeher(int nr)
{
    return std::min(nr + 1, 8);
}

int zoomStufeTiefer(int nr)
{
    return std::max(nr - 1, 1);
}

QPointF zoomUmPunkt(const ZoomSicht &v, float sx, float sy, float fak)
{
    const float px = (sx - v.Ox) / v.Fak;
    const float py = (sy - v.Oy) / v.Fak;
    return QPointF(sx - px * fak, sy - py * fak);
}

QPointF zoomOffsetBegrenzt(float ax, float ay, QSize ansicht, QSize bild, float fak)
{
    const float minX = float(ansicht.width()) - float(bild.width()) * fak;
    const float minY = float(ansicht.height()) - float(bild.height()) * fak;
    if (ax < minX)
        ax = minX;
    if (ay < minY)
        ay = minY;
    if (ax > 0)
        ax = 0;
    if (ay > 0)
        ay = 0;
    // A picture smaller than the view: against its right and bottom edges.
    if (ax < minX)
        ax = minX;
    if (ay < minY)
        ay = minY;
    return QPointF(ax, ay);
}

QPoint zoomBildpunkt(const ZoomSicht &v, int x, int y)
{
    return QPoint(int(std::floor((float(x) - v.Ox) / v.Fak)), int(std::floor((float(y) - v.Oy) / v.Fak)));
}

namespace {

// The start of the zoomed pixel under s, on the grid of the rounded offset.
int rasterAnfang(float o, int s, int z)
{
    // Zoomed pixels start where the drawing's floor((x − o) / z) steps: at ceil(o) + k·z.
    const int rest = int(std::ceil(o)) % z; // the sign of the dividend: 0 or negative
    return rest + z * int(std::floor(float(s - rest) / float(z)));
}

} // namespace

ZoomBalken zoomFadenkreuz(const ZoomSicht &v, int sx, int sy, QSize ansicht)
{
    const int z = std::max(1, int(std::lrint(v.Fak)));
    ZoomBalken b;
    b.Gefuellt = z <= 2;
    const int dicke = b.Gefuellt ? z + 1 : z;
    b.X = QRect(rasterAnfang(v.Ox, sx, z), 0, dicke, ansicht.height());
    b.Y = QRect(0, rasterAnfang(v.Oy, sy, z), ansicht.width(), dicke);
    return b;
}

void balkenTeile(const QRect &r, bool gefuellt, QRect teile[4], int &anzahl)
{
    anzahl = 0;
    if (r.isEmpty())
        return;
    if (gefuellt || r.width() <= 2 || r.height() <= 2) {
        teile[anzahl++] = r;
        return;
    }
    teile[anzahl++] = QRect(r.left(), r.top(), 1, r.height());
    teile[anzahl++] = QRect(r.right(), r.top(), 1, r.height());
    teile[anzahl++] = QRect(r.left() + 1, r.top(), r.width() - 2, 1);
    teile[anzahl++] = QRect(r.left() + 1, r.bottom(), r.width() - 2, 1);
}

QString farbCode(QRgb farbe)
{
    return QStringLiteral("#%1%2%3")
        .arg(qRed(farbe), 2, 16, QLatin1Char('0'))
        .arg(qGreen(farbe), 2, 16, QLatin1Char('0'))
        .arg(qBlue(farbe), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString zoomProzent(float fak)
{
    return QStringLiteral("%1%").arg(std::lrint(fak * 100));
}

void zoomZeichnen(QImage &puffer, const QRect &ziel, const QImage &bild, const ZoomSicht &v)
{
    if (ziel.isEmpty())
        return;
    if (puffer.width() < ziel.width() || puffer.height() < ziel.height() ||
        puffer.format() != QImage::Format_RGB32)
        puffer = QImage(std::max(puffer.width(), ziel.width()), std::max(puffer.height(), ziel.height()),
                        QImage::Format_RGB32);
    const int bw = bild.width(), bh = bild.height();
    // The picture column of every view column of the rectangle, −1 outside the picture.
    std::vector<int> spalte(size_t(ziel.width()));
    for (int i = 0; i < ziel.width(); ++i) {
        const int px = int(std::floor((float(ziel.left() + i) - v.Ox) / v.Fak));
        spalte[size_t(i)] = px >= 0 && px < bw ? px : -1;
    }
    const size_t zeilenBytes = size_t(ziel.width()) * 4;
    int vorigeZeile = -2;
    for (int j = 0; j < ziel.height(); ++j) {
        QRgb *nach = reinterpret_cast<QRgb *>(puffer.scanLine(j));
        const int py = int(std::floor((float(ziel.top() + j) - v.Oy) / v.Fak));
        const int zeile = py >= 0 && py < bh ? py : -1;
        // Rows of one zoomed pixel row are equal: copy the one above.
        if (zeile == vorigeZeile && j > 0) {
            std::memcpy(nach, puffer.constScanLine(j - 1), zeilenBytes);
            continue;
        }
        vorigeZeile = zeile;
        if (zeile < 0) {
            std::fill(nach, nach + ziel.width(), qRgb(0, 0, 0));
            continue;
        }
        const QRgb *von = reinterpret_cast<const QRgb *>(bild.constScanLine(zeile));
        for (int i = 0; i < ziel.width(); ++i) {
            const int px = spalte[size_t(i)];
            nach[i] = px >= 0 ? von[px] : qRgb(0, 0, 0);
        }
    }
}
