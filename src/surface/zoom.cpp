#include "surface/zoom.h"

#include "surface/sicherung.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

int zoomGanz(float fak)
{
    return std::max(1, int(std::lrint(fak)));
}

QPoint zoomRaster(const ZoomSicht &v)
{
    return QPoint(int(std::ceil(v.Ox)), int(std::ceil(v.Oy)));
}

namespace {

// a / b rounded down, b > 0.
int abgerundet(int a, int b)
{
    return a >= 0 ? a / b : -((b - 1 - a) / b);
}

} // namespace

QPoint zoomBildpunkt(const ZoomSicht &v, int x, int y)
{
    // floor((x − Ox) / f) in whole numbers: a block starts at ceil(Ox) + k·f. Computed in
    // floating point, the quotient can round up onto the next whole number far from the origin.
    const int f = zoomGanz(v.Fak);
    const QPoint r = zoomRaster(v);
    return QPoint(abgerundet(x - r.x(), f), abgerundet(y - r.y(), f));
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

namespace {

constexpr QRgb Schwarz = 0xFF000000u;

// `anzahl` picture pixels from `von`, each F times.
template<int F> QRgb *bloecke(QRgb *nach, const QRgb *von, int anzahl)
{
    for (int i = 0; i < anzahl; ++i, nach += F) {
        const QRgb c = von[i];
        for (int k = 0; k < F; ++k)
            nach[k] = c;
    }
    return nach;
}

QRgb *bloecke(QRgb *nach, const QRgb *von, int anzahl, int f)
{
    switch (f) {
    case 2:
        return bloecke<2>(nach, von, anzahl);
    case 3:
        return bloecke<3>(nach, von, anzahl);
    case 4:
        return bloecke<4>(nach, von, anzahl);
    case 5:
        return bloecke<5>(nach, von, anzahl);
    case 6:
        return bloecke<6>(nach, von, anzahl);
    case 8:
        return bloecke<8>(nach, von, anzahl);
    case 10:
        return bloecke<10>(nach, von, anzahl);
    default:
        for (int i = 0; i < anzahl; ++i)
            nach = std::fill_n(nach, f, von[i]);
        return nach;
    }
}

// View columns [x0, x1) of a view row that shows the picture row `von` (`bw` pixels; null
// for a row outside the picture), blocks starting at rx + k·f.
void zeileZeichnen(QRgb *nach, int x0, int x1, const QRgb *von, int bw, int rx, int f)
{
    if (!von) {
        std::fill(nach, nach + (x1 - x0), Schwarz);
        return;
    }
    // Black left and right of the picture.
    const int a = std::clamp(rx, x0, x1), b = std::clamp(rx + bw * f, a, x1);
    nach = std::fill_n(nach, a - x0, Schwarz);
    int x = a;
    if (x < b) {
        // A block cut by the left edge, the whole blocks, a block cut by the right edge.
        int px = (x - rx) / f;
        const int kopfEnde = std::min(b, rx + (px + 1) * f);
        if (x > rx + px * f) {
            nach = std::fill_n(nach, kopfEnde - x, von[px]);
            x = kopfEnde;
            ++px;
        }
        const int ganze = (b - x) / f;
        nach = bloecke(nach, von + px, ganze, f);
        x += ganze * f;
        if (x < b)
            nach = std::fill_n(nach, b - x, von[px + ganze]);
    }
    std::fill_n(nach, x1 - b, Schwarz);
}

} // namespace

void zoomZeichnen(uchar *nach, qsizetype zeilenLaenge, const QRect &ziel, const QImage &bild,
                  const ZoomSicht &v)
{
    if (ziel.isEmpty())
        return;
    const int f = zoomGanz(v.Fak);
    const QPoint r = zoomRaster(v);
    const int bh = bild.height(), ende = ziel.bottom() + 1;
    const size_t zeilenBytes = size_t(ziel.width()) * 4;
    // A large rectangle (a whole view after a zoom step) is far larger than the caches: its
    // copied rows go past them, which saves reading each target row in before writing it.
    const bool gross = zeilenBytes * size_t(ziel.height()) > (size_t(8) << 20);
    for (int y = ziel.top(); y < ende;) {
        const int py = abgerundet(y - r.y(), f);
        const bool drin = py >= 0 && py < bh;
        // The view rows that show the same picture row, or the same black.
        const int bis = py < 0 ? std::min(ende, r.y()) : drin ? std::min(ende, r.y() + (py + 1) * f) : ende;
        const uchar *erste = nach;
        zeileZeichnen(reinterpret_cast<QRgb *>(nach), ziel.left(), ziel.right() + 1,
                      drin ? reinterpret_cast<const QRgb *>(bild.constScanLine(py)) : nullptr, bild.width(),
                      r.x(), f);
        nach += zeilenLaenge;
        for (++y; y < bis; ++y, nach += zeilenLaenge) {
            if (gross)
                grossKopieren(nach, erste, zeilenBytes);
            else
                std::memcpy(nach, erste, zeilenBytes);
        }
    }
}

void zoomZeichnen(QImage &puffer, const QRect &ziel, const QImage &bild, const ZoomSicht &v)
{
    if (ziel.isEmpty())
        return;
    if (puffer.width() < ziel.width() || puffer.height() < ziel.height() ||
        puffer.format() != QImage::Format_RGB32)
        puffer = QImage(std::max(puffer.width(), ziel.width()), std::max(puffer.height(), ziel.height()),
                        QImage::Format_RGB32);
    zoomZeichnen(puffer.bits(), puffer.bytesPerLine(), ziel, bild, v);
}
