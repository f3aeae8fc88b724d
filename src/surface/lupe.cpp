#include "surface/lupe.h"

#include "surface/formen.h"
#include "surface/raster.h"
#include "surface/textstempel.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

QSize lupenGroesse(int sdicke)
{
    const int w = rundeGerade(sdicke * 320.0 / 13.0);
    return QSize(w, rundeGerade(w * 3.0 / 4.0));
}

namespace {

template<typename R, typename V> void passen(V &l, V &t, V &r, V &b, const R &g)
{
    if (l < g.l)
        r += g.l - l, l = g.l;
    if (t < g.t)
        b += g.t - t, t = g.t;
    if (r > g.r)
        l -= r - g.r, r = g.r;
    if (b > g.b)
        t -= b - g.b, b = g.b;
    if (l < g.l)
        l = g.l;
    if (t < g.t)
        t = g.t;
}

template<typename V> struct Grenzen
{
    V l, t, r, b;
};

} // namespace

TRect einpassen(TRect r, const TRect &g)
{
    passen(r.Left, r.Top, r.Right, r.Bottom, Grenzen<int>{g.Left, g.Top, g.Right, g.Bottom});
    return r;
}

QRectF einpassen(QRectF r, const QRectF &g)
{
    float l = float(r.left()), t = float(r.top()), rr = float(r.right()), b = float(r.bottom());
    passen(l, t, rr, b, Grenzen<float>{float(g.left()), float(g.top()), float(g.right()), float(g.bottom())});
    return QRectF(QPointF(l, t), QPointF(rr, b));
}

LupenGeometrie lupenGeometrie(int sx, int sy, int sdicke, int fak, QSize ansicht)
{
    LupenGeometrie g;
    g.Groesse = lupenGroesse(sdicke);
    const int w = g.Groesse.width(), h = g.Groesse.height();
    const int sw = w / fak, sh = h / fak;
    const int ql = sx - sw / 2, qt = sy - sh / 2;
    g.Quelle = einpassen(TRect{ql, qt, ql + sw, qt + sh}, TRect{0, 0, ansicht.width(), ansicht.height()});
    const float ll = float(sx - w / 2), lt = float(sy - h / 2);
    g.Linse = einpassen(QRectF(QPointF(ll, lt), QPointF(ll + float(w), lt + float(h))),
                        QRectF(QPointF(-1, -1), QPointF(ansicht.width() + 1, ansicht.height() + 1)));
    g.Kreuz = QPoint(sx - int(std::lrint(g.Linse.left())), sy - int(std::lrint(g.Linse.top())));
    return g;
}

QImage lupeZeichnen(const QImage &bild, const LupenGeometrie &g, int fak)
{
    const int w = g.Groesse.width(), h = g.Groesse.height();
    QImage lupe(w, h, QImage::Format_RGB32);
    lupe.fill(qRgb(255, 255, 255));
    const QRect quelle =
        QRect(QPoint(g.Quelle.Left, g.Quelle.Top), QPoint(g.Quelle.Right - 1, g.Quelle.Bottom - 1)) &
        bild.rect();
    for (int y = 0; y < std::min(h, quelle.height() * fak); ++y) {
        const QRgb *von =
            reinterpret_cast<const QRgb *>(bild.constScanLine(quelle.top() + y / fak)) + quelle.left();
        QRgb *nach = reinterpret_cast<QRgb *>(lupe.scanLine(y));
        for (int x = 0; x < std::min(w, quelle.width() * fak); ++x)
            nach[x] = von[x / fak];
    }
    rechteckRahmen(lupe, TRect{0, 0, w, h}, Stift{0, pmCopy, 1});
    const int cx = g.Kreuz.x(), cy = g.Kreuz.y();
    strecke(lupe, {cx - 8, cy}, {cx + 9, cy}, NotStift);
    strecke(lupe, {cx, cy - 8}, {cx, cy + 9}, NotStift);
    // "MS Sans Serif" 8 pt at 96 dpi.
    QFont schrift(QStringLiteral("MS Sans Serif"));
    schrift.setPixelSize(punktZuPixel(8));
    const QString text = QStringLiteral(" %1% ").arg(fak * 100);
    const QFontMetrics m(schrift);
    const QRect feld(1, 1, m.horizontalAdvance(text), m.height());
    QPainter p(&lupe);
    p.fillRect(feld, QColor(238, 238, 238));
    p.setFont(schrift);
    p.setPen(Qt::black);
    p.drawText(feld, Qt::AlignLeft | Qt::AlignVCenter, text);
    return lupe;
}
