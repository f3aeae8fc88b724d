#include "surface/bereich.h"

#include "surface/bereichmarker.h"
#include "surface/formen.h"

#include <algorithm>
#include <cstdlib>

namespace {

int vorzeichen(int v)
{
    return (v > 0) - (v < 0);
}

// clamp as the area moves: the upper bound wins when the bounds cross.
int begrenzt(int v, int lo, int hi)
{
    if (v < lo)
        v = lo;
    if (v > hi)
        v = hi;
    return v;
}

// A gesture may reach past the picture (the pointer is held while it leaves the surface);
// the area is what of it lies on the picture.
TRect bildBereich(const TRect &r, QSize bild)
{
    const TRect k{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, bild.width()),
                  std::min(r.Bottom, bild.height())};
    return k.Right > k.Left && k.Bottom > k.Top ? k : KeinBereich;
}

void bereichAusGeste(ToolState &t, const SurfaceState &s)
{
    if (s.Lx < 0 || s.Ly < 0 || (s.Sx == s.Lx && s.Sy == s.Ly))
        t.BereichRect = KeinBereich;
    else
        t.BereichRect = bildBereich(normRect(s.Sx, s.Sy, s.Lx, s.Ly), s.Img1Bmp.size());
}

} // namespace

void fadenkreuzMarke(SurfaceState &s, Rechtecke &geaendert)
{
    if (s.Sx < 0 || s.Sy < 0)
        return;
    QImage &bild = s.Img1Bmp;
    strecke(bild, {0, s.Sy}, {bild.width(), s.Sy}, NotStift, &geaendert);
    strecke(bild, {s.Sx, 0}, {s.Sx, bild.height()}, NotStift, &geaendert);
}

void bereichSchritt(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y, Rechtecke &geaendert)
{
    fadenkreuzMarke(s, geaendert);
    ObjektVorschau(t, s, geaendert);
    s.Sx = x;
    s.Sy = y;
    if ((shift & ssShift) && s.Lx >= 0 && s.Ly >= 0) {
        const int dx = s.Sx - s.Lx, dy = s.Sy - s.Ly;
        const int seite = std::min(std::abs(dx), std::abs(dy));
        s.Sx = s.Lx + vorzeichen(dx) * seite;
        s.Sy = s.Ly + vorzeichen(dy) * seite;
    }
    fadenkreuzMarke(s, geaendert);
    if (shift & ssLeft) {
        if (s.Lx < 0 || s.Ly < 0) {
            t.BereichRect = KeinBereich;
            s.Lx = s.Sx;
            s.Ly = s.Sy;
        }
        ObjektVorschau(t, s, geaendert);
    } else if (s.Lx >= 0 && s.Ly >= 0) {
        fadenkreuzMarke(s, geaendert);
        bereichAusGeste(t, s);
        s.Lx = s.Ly = s.Sx = s.Sy = -1;
    }
}

QString fadenkreuzText(const SurfaceState &s)
{
    if (s.Sx < 0 || s.Sy < 0)
        return {};
    if (s.Lx < 0 || s.Ly < 0)
        return QStringLiteral("(%1,%2)").arg(s.Sx).arg(s.Sy);
    const int x1 = std::min(s.Sx, s.Lx), y1 = std::min(s.Sy, s.Ly);
    const int x2 = std::max(s.Sx, s.Lx), y2 = std::max(s.Sy, s.Ly);
    return QStringLiteral("(%1,%2) - (%3,%4)  B:%5 H:%6")
        .arg(x1)
        .arg(y1)
        .arg(x2)
        .arg(y2)
        .arg(x2 - x1 + 1)
        .arg(y2 - y1 + 1);
}

int panelLinks(const QRect &panel, int sx, int sy, int flaecheBreite)
{
    const int links = panel.left(), oben = panel.top();
    if (sx < 0 || sy < 0)
        return links;
    // Bounds inclusive: the panel moves before the pointer is on it.
    if (sx < links || sx > links + panel.width() || sy < oben || sy > oben + panel.height())
        return links;
    return links == -1 ? flaecheBreite - panel.width() + 1 : -1;
}

bool bereichVerschieben(TRect &r, int dx, int dy, QSize flaeche)
{
    // Without an area the arithmetic would make one out of (−1, −1, −1, −1); there is
    // nothing to move.
    if (!AuswahlbereichAktiv(r))
        return false;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    r.Left = begrenzt(r.Left + dx, 0, flaeche.width() - w);
    r.Top = begrenzt(r.Top + dy, 0, flaeche.height() - h);
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
    return true;
}

TRect bereichAusEingabe(qint32 links, qint32 oben, qint32 breite, qint32 hoehe, QSize flaeche)
{
    if (breite <= 0 || hoehe <= 0)
        return KeinBereich;
    const int l = begrenzt(links, 0, flaeche.width() - 1);
    const int t = begrenzt(oben, 0, flaeche.height() - 1);
    // Right and bottom in 64 bits: a width near the field's maximum plus the left would
    // overflow.
    const auto bis = [](qint64 v, int lo, int hi) {
        if (v < lo)
            v = lo;
        return int(v > hi ? hi : v);
    };
    return {l, t, bis(qint64(breite) + l, l + 1, flaeche.width()),
            bis(qint64(hoehe) + t, t + 1, flaeche.height())};
}
