#include "surface/raster.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Pieces of a long figure are reported in steps of this many pixels.
constexpr int Stueck = 64;

// One pixel operation of a raster mode.
struct Pixel
{
    TPenMode modus;
    QRgb farbe;

    Pixel(TPenMode m, TColor c) : modus(m), farbe(m == pmBlack ? qRgb(0, 0, 0) : toQRgb(c)) {}

    void setze(QRgb *p) const
    {
        switch (modus) {
        case pmMask:
            *p &= farbe;
            break;
        case pmNot:
            *p ^= 0x00FFFFFF;
            break;
        default:
            *p = farbe;
        }
    }

    void spanne(QRgb *p, int n) const
    {
        switch (modus) {
        case pmMask:
            for (int i = 0; i < n; ++i)
                p[i] &= farbe;
            break;
        case pmNot:
            for (int i = 0; i < n; ++i)
                p[i] ^= 0x00FFFFFF;
            break;
        default:
            std::fill_n(p, n, farbe);
        }
    }
};

// Direct pixel access to a picture, detached once per operation.
class Raster
{
public:
    Raster(QImage &bild, const Pixel &pixel)
        : m_bits(bild.bits()), m_bpl(bild.bytesPerLine()), m_b(bild.width()), m_h(bild.height()),
          m_pixel(pixel)
    {}

    bool innen(int x, int y) const { return x >= 0 && y >= 0 && x < m_b && y < m_h; }

    void punkt(int x, int y)
    {
        if (innen(x, y))
            m_pixel.setze(zeile(y) + x);
    }

    // Columns x1…x2 inclusive of row y.
    void spanne(int y, int x1, int x2)
    {
        if (y < 0 || y >= m_h)
            return;
        x1 = std::max(x1, 0);
        x2 = std::min(x2, m_b - 1);
        if (x1 <= x2)
            m_pixel.spanne(zeile(y) + x1, x2 - x1 + 1);
    }

    QRect flaeche() const { return QRect(0, 0, m_b, m_h); }

private:
    QRgb *zeile(int y) const { return reinterpret_cast<QRgb *>(m_bits + qsizetype(y) * m_bpl); }

    uchar *m_bits;
    qsizetype m_bpl;
    int m_b, m_h;
    Pixel m_pixel;
};

QRect ecken(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

bool breit(const Stift &s)
{
    return s.Breite > 1;
}

// Half-open Bresenham segment; reports its pixels in pieces.
QRect strecke1(QImage &bild, QPoint p, QPoint q, const Stift &stift, Rechtecke *teile)
{
    const int dx = std::abs(q.x() - p.x()), sx = p.x() < q.x() ? 1 : -1;
    const int dy = -std::abs(q.y() - p.y()), sy = p.y() < q.y() ? 1 : -1;
    const int schritte = std::max(dx, -dy);
    if (schritte == 0)
        return {};
    Raster r(bild, Pixel(stift.Modus, stift.Farbe));
    int err = dx + dy, x = p.x(), y = p.y();
    QRect gesamt, stueck;
    for (int i = 0; i < schritte; ++i) {
        if (r.innen(x, y)) {
            r.punkt(x, y);
            stueck |= QRect(x, y, 1, 1);
        }
        if (teile && ((i + 1) % Stueck == 0 || i + 1 == schritte)) {
            dazu(*teile, stueck);
            gesamt |= stueck;
            stueck = {};
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return gesamt | stueck;
}

void painterFuer(QPainter &p, const Stift &stift)
{
    QRgb farbe = stift.Modus == pmBlack ? qRgb(0, 0, 0) : toQRgb(stift.Farbe);
    switch (stift.Modus) {
    case pmMask:
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case pmNot:
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
    default:
        p.setCompositionMode(QPainter::CompositionMode_Source);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(farbe), stift.Breite, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    // Pixel centres: without this the stroke sits half a pixel off the geometry.
    p.translate(0.5, 0.5);
}

// The area a wide pen can reach around the geometric rectangle `g` (inclusive corners).
QRect umBreite(const QRect &g, const Stift &stift, const QRect &flaeche)
{
    const int h = stift.Breite / 2 + 2;
    return g.adjusted(-h, -h, h, h) & flaeche;
}

// Covers a wide segment by pieces along its length.
void breiteStueckeMelden(QPoint p, QPoint q, const Stift &stift, const QRect &flaeche, Rechtecke *teile)
{
    if (!teile)
        return;
    const int n = std::max(1, std::max(std::abs(q.x() - p.x()), std::abs(q.y() - p.y())) / Stueck + 1);
    QPoint a = p;
    for (int i = 1; i <= n; ++i) {
        const QPoint b(p.x() + int((qint64(q.x() - p.x()) * i) / n),
                       p.y() + int((qint64(q.y() - p.y()) * i) / n));
        dazu(*teile, umBreite(ecken(a.x(), a.y(), b.x(), b.y()), stift, flaeche));
        a = b;
    }
}

// Left half of a 1-px ellipse in the box, one run per row: columns lo[i]…hi[i] of row top+i.
// The right half mirrors it. Integer ellipse after A. Zingl, which stays inside the box and is
// symmetric and 8-connected.
struct EllipsenZeilen
{
    int x0, y0, x1, y1; // inclusive box
    std::vector<int> lo, hi;

    explicit EllipsenZeilen(const TRect &box)
        : x0(box.Left), y0(box.Top), x1(box.Right - 1), y1(box.Bottom - 1), lo(size_t(y1 - y0 + 1), x1),
          hi(size_t(y1 - y0 + 1), x0)
    {
        qint64 a = x1 - x0, b = y1 - y0, b1 = b & 1;
        qint64 dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
        qint64 err = dx + dy + b1 * a * a;
        int xl = x0, xr = x1;
        int yu = y0 + int((b + 1) / 2), yo = yu - int(b1);
        a *= 8 * a;
        b1 = 8 * b * b;
        do {
            merke(xl, yu);
            merke(xl, yo);
            const qint64 e2 = 2 * err;
            if (e2 <= dy) {
                ++yu;
                --yo;
                err += dy += a;
            }
            if (e2 >= dx || 2 * err > dy) {
                ++xl;
                --xr;
                err += dx += b1;
            }
        } while (xl <= xr);
        // Flat ellipses stop too early: finish the tips.
        while (yu - yo <= b) {
            merke(xl - 1, yu++);
            merke(xl - 1, yo--);
        }
    }

    void merke(int x, int y)
    {
        if (y < y0 || y > y1)
            return;
        const size_t i = size_t(y - y0);
        lo[i] = std::min(lo[i], x);
        hi[i] = std::max(hi[i], x);
    }

    int spiegel(int x) const { return x0 + x1 - x; }
};

// Qt draws nothing for a zero-length wide segment, and its wide points are not round for
// every width; a click still leaves a round dot of the pen's width.
QRect punktBreit(QImage &bild, QPoint p, const Stift &stift)
{
    const int r = stift.Breite / 2;
    return ellipseFuellen(bild, TRect{p.x() - r, p.y() - r, p.x() + r + 1, p.y() + r + 1}, stift.Farbe,
                          stift.Modus);
}

bool leer(const TRect &box)
{
    return box.Right <= box.Left || box.Bottom <= box.Top;
}

} // namespace

QRect strecke(QImage &bild, QPoint p, QPoint q, const Stift &stift, Rechtecke *teile)
{
    if (bild.isNull())
        return {};
    if (!breit(stift))
        return strecke1(bild, p, q, stift, teile);
    if (p == q) {
        const QRect r = punktBreit(bild, p, stift);
        if (teile)
            dazu(*teile, r);
        return r;
    }
    const QRect flaeche = bild.rect();
    QPainter painter(&bild);
    painterFuer(painter, stift);
    painter.drawLine(p, q);
    breiteStueckeMelden(p, q, stift, flaeche, teile);
    return umBreite(ecken(p.x(), p.y(), q.x(), q.y()), stift, flaeche);
}

QRect rechteckRahmen(QImage &bild, const TRect &box, const Stift &stift, Rechtecke *teile)
{
    if (bild.isNull() || leer(box))
        return {};
    const int l = box.Left, t = box.Top, r = box.Right - 1, b = box.Bottom - 1;
    const QRect flaeche = bild.rect();
    const QRect aussen = ecken(l, t, r, b);
    if (breit(stift)) {
        if (l == r || t == b)
            return strecke(bild, {l, t}, {r, b}, stift, teile);
        QPainter painter(&bild);
        painterFuer(painter, stift);
        painter.drawRect(QRectF(l, t, r - l, b - t));
        if (teile) {
            for (const QRect &kante :
                 {ecken(l, t, r, t), ecken(l, b, r, b), ecken(l, t, l, b), ecken(r, t, r, b)})
                dazu(*teile, umBreite(kante, stift, flaeche));
        }
        return umBreite(aussen, stift, flaeche);
    }
    Raster ras(bild, Pixel(stift.Modus, stift.Farbe));
    ras.spanne(t, l, r);
    if (b > t)
        ras.spanne(b, l, r);
    for (int y = t + 1; y < b; ++y) {
        if (y < 0 || y >= bild.height())
            continue;
        ras.punkt(l, y);
        if (r > l)
            ras.punkt(r, y);
    }
    if (teile) {
        dazu(*teile, ecken(l, t, r, t) & flaeche);
        dazu(*teile, ecken(l, b, r, b) & flaeche);
        dazu(*teile, ecken(l, t, l, b) & flaeche);
        dazu(*teile, ecken(r, t, r, b) & flaeche);
    }
    return aussen & flaeche;
}

QRect ellipseRahmen(QImage &bild, const TRect &box, const Stift &stift, Rechtecke *teile)
{
    if (bild.isNull() || leer(box))
        return {};
    const QRect flaeche = bild.rect();
    const int l = box.Left, t = box.Top, r = box.Right - 1, b = box.Bottom - 1;
    const QRect aussen = ecken(l, t, r, b);
    if (breit(stift)) {
        if (l == r || t == b)
            return strecke(bild, {l, t}, {r, b}, stift, teile);
        {
            QPainter painter(&bild);
            painterFuer(painter, stift);
            painter.drawEllipse(QRectF(l, t, r - l, b - t));
        }
        if (teile) {
            // The wide stroke follows the 1-px ellipse of the same box.
            Rechtecke duenn;
            const EllipsenZeilen e(box);
            for (size_t i0 = 0; i0 < e.lo.size(); i0 += Stueck / 2) {
                const size_t i1 = std::min(e.lo.size(), i0 + Stueck / 2);
                const int lo = *std::min_element(e.lo.begin() + i0, e.lo.begin() + i1);
                const int hi = *std::max_element(e.hi.begin() + i0, e.hi.begin() + i1);
                const int y0 = t + int(i0), y1 = t + int(i1) - 1;
                dazu(*teile, umBreite(ecken(lo, y0, hi, y1), stift, flaeche));
                dazu(*teile, umBreite(ecken(e.spiegel(hi), y0, e.spiegel(lo), y1), stift, flaeche));
            }
        }
        return umBreite(aussen, stift, flaeche);
    }
    const EllipsenZeilen e(box);
    Raster ras(bild, Pixel(stift.Modus, stift.Farbe));
    QRect band;
    for (size_t i = 0; i < e.lo.size(); ++i) {
        const int y = t + int(i);
        const int lo = e.lo[i], hi = e.hi[i];
        const int rlo = e.spiegel(hi), rhi = e.spiegel(lo);
        if (rlo <= hi + 1) {
            ras.spanne(y, lo, rhi); // the two runs meet: one span, each pixel once
        } else {
            ras.spanne(y, lo, hi);
            ras.spanne(y, rlo, rhi);
        }
        if (teile) {
            band |= QRect(lo, y, hi - lo + 1, 1);
            if (int(i + 1) % (Stueck / 2) == 0 || i + 1 == e.lo.size()) {
                dazu(*teile, band & flaeche);
                dazu(*teile, QRect(QPoint(e.spiegel(band.right()), band.top()),
                                   QPoint(e.spiegel(band.left()), band.bottom())) &
                                 flaeche);
                band = {};
            }
        }
    }
    return aussen & flaeche;
}

QRect rechteckFuellen(QImage &bild, const TRect &box, TColor farbe, TPenMode modus)
{
    if (bild.isNull() || leer(box))
        return {};
    const QRect r = QRect(QPoint(box.Left, box.Top), QPoint(box.Right - 1, box.Bottom - 1)) & bild.rect();
    if (r.isEmpty())
        return {};
    Raster ras(bild, Pixel(modus, farbe));
    for (int y = r.top(); y <= r.bottom(); ++y)
        ras.spanne(y, r.left(), r.right());
    return r;
}

QRect ellipseFuellen(QImage &bild, const TRect &box, TColor farbe, TPenMode modus)
{
    if (bild.isNull() || leer(box))
        return {};
    const EllipsenZeilen e(box);
    Raster ras(bild, Pixel(modus, farbe));
    for (size_t i = 0; i < e.lo.size(); ++i)
        ras.spanne(box.Top + int(i), e.lo[i], e.spiegel(e.lo[i]));
    return QRect(QPoint(box.Left, box.Top), QPoint(box.Right - 1, box.Bottom - 1)) & bild.rect();
}

QRect bereichKopieren(QImage &ziel, const QImage &quelle, const QRect &bereich)
{
    const QRect r = bereich & ziel.rect() & quelle.rect();
    if (r.isEmpty() || ziel.depth() != 32 || quelle.depth() != 32)
        return {};
    // Still the same pixels (nothing drawn since the freeze): writing would only unshare them.
    if (ziel.constBits() == quelle.constBits())
        return {};
    const qsizetype bytes = qsizetype(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(ziel.scanLine(y) + r.left() * 4, quelle.constScanLine(y) + r.left() * 4, size_t(bytes));
    return r;
}
