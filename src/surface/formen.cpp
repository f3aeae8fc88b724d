#include "surface/formen.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

int vorzeichen(int v)
{
    return (v > 0) - (v < 0);
}

Stift zeichenStift(const ToolState &t)
{
    return Stift{t.Scol, t.Smode, t.Sdicke};
}

void kreisMarke(QImage &bild, int x, int y, int r, Rechtecke &geaendert)
{
    dazu(geaendert, ellipseRahmen(bild, TRect{x - r, y - r, x + r + 1, y + r + 1}, NotStift));
}

// One barb: its signs come from the quadrant of phi, so a component on a quadrant boundary,
// whose sign is in doubt, is the one that rounds to zero.
QPoint barbe(float phi, int laenge, bool erste)
{
    const float s = float(laenge * std::fabs(std::sin(double(phi))));
    const int by = rundeGerade(s);
    const int bx = rundeGerade(std::sqrt(double(laenge) * laenge - double(s) * double(s)));
    const double p = phi;
    int vx, vy;
    if (erste) {
        if (p <= 0 || p > 3 * Pi / 2)
            vx = -1, vy = 1;
        else if (p <= Pi / 2)
            vx = -1, vy = -1;
        else if (p <= Pi)
            vx = 1, vy = -1;
        else
            vx = 1, vy = 1;
    } else {
        if (p <= Pi / 2 || p > 2 * Pi)
            vx = -1, vy = -1;
        else if (p <= Pi)
            vx = 1, vy = -1;
        else if (p <= 3 * Pi / 2)
            vx = 1, vy = 1;
        else
            vx = -1, vy = 1;
    }
    return QPoint(vx * bx, vy * by);
}

void figurZeichnen(const ToolState &t, SurfaceState &s, Rechtecke &geaendert)
{
    QImage &bild = s.Img1Bmp;
    const Stift stift = zeichenStift(t);
    const TRect r = normRect(s.Sx, s.Sy, s.Lx, s.Ly);
    switch (t.Modus) {
    case 3:
        strecke(bild, {s.Lx, s.Ly}, {s.Sx, s.Sy}, stift, &geaendert);
        break;
    case 4:
        rechteckRahmen(bild, r, stift, &geaendert);
        break;
    case 5:
        pfeil(bild, s.Lx, s.Ly, s.Sx, s.Sy, true, stift, t.Sdicke, geaendert);
        break;
    case 9:
        doppelPfeil(bild, s.Lx, s.Ly, s.Sx, s.Sy, stift, t.Sdicke, geaendert);
        break;
    case 10:
        ellipseRahmen(bild, r, stift, &geaendert);
        break;
    case 11:
        dazu(geaendert, rechteckFuellen(bild, r, t.Scol, t.Smode));
        break;
    case 12:
        dazu(geaendert, ellipseFuellen(bild, r, t.Scol, t.Smode));
        break;
    default:
        break;
    }
}

} // namespace

int rundeGerade(double v)
{
    return int(std::nearbyint(v)); // the default rounding mode: to nearest, ties to even
}

TRect normRect(int x1, int y1, int x2, int y2)
{
    return TRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

QSize radiererHalbmasse(int sdicke)
{
    const int hw = rundeGerade(sdicke * 60.0 / 13.0);
    return QSize(hw, rundeGerade(hw * 3.0 / 4.0));
}

void WerkzeugMarke(const ToolState &t, SurfaceState &s, Rechtecke &geaendert)
{
    if (s.Sx < 0 || s.Sy < 0)
        return;
    switch (t.Modus) {
    case 1:
    case 3:
    case 4:
    case 5:
    case 9:
    case 10:
        kreisMarke(s.Img1Bmp, s.Sx, s.Sy, t.Sdicke / 2, geaendert);
        break;
    case 11:
    case 12:
        kreisMarke(s.Img1Bmp, s.Sx, s.Sy, 1, geaendert);
        break;
    case 2: {
        const QSize h = radiererHalbmasse(t.Sdicke);
        rechteckRahmen(
            s.Img1Bmp,
            TRect{s.Sx - h.width(), s.Sy - h.height(), s.Sx + h.width() + 1, s.Sy + h.height() + 1}, NotStift,
            &geaendert);
        break;
    }
    default:
        break;
    }
}

bool istFormModus(int modus)
{
    switch (modus) {
    case 3:
    case 4:
    case 5:
    case 9:
    case 10:
    case 11:
    case 12:
        return true;
    default:
        return false;
    }
}

void formBeschraenken(int modus, int lx, int ly, int &sx, int &sy)
{
    const int dx = sx - lx, dy = sy - ly;
    switch (modus) {
    case 3:
    case 5:
    case 9: {
        const double alpha = dx == 0 ? Pi / 2 : std::atan(double(std::abs(dy)) / std::abs(dx));
        if (std::fabs(alpha - Pi / 4) <= Pi / 10) {
            const int d = rundeGerade((std::abs(dx) + std::abs(dy)) / 2.0);
            sx = lx + vorzeichen(dx) * d;
            sy = ly + vorzeichen(dy) * d;
        } else if (std::abs(dy) > std::abs(dx)) {
            sx = lx;
        } else {
            sy = ly;
        }
        break;
    }
    case 4:
    case 10:
    case 11:
    case 12: {
        const int seite = std::min(std::abs(dx), std::abs(dy));
        sx = lx + vorzeichen(dx) * seite;
        sy = ly + vorzeichen(dy) * seite;
        break;
    }
    default:
        break;
    }
}

int widerhakenLaenge(int sdicke)
{
    // The factor is kept in single precision: 7 and 21 give 25 and 73, not 24 and 74.
    const float f = float(sdicke * 0.7);
    return rundeGerade(5.0 * double(f));
}

Widerhaken widerhaken(int x1, int y1, int x2, int y2, int sdicke)
{
    const int laenge = widerhakenLaenge(sdicke);
    // Direction of the shaft in [0, 2π), y growing downwards, in single precision.
    float theta;
    if (x2 == x1) {
        theta = float(y2 > y1 ? Pi / 2 : 3 * Pi / 2);
    } else {
        theta = float(std::atan(double(y2 - y1) / double(x2 - x1)));
        if (x1 > x2)
            theta = float(double(theta) + Pi);
        else if (y2 < y1)
            theta = float(double(theta) + 2 * Pi);
    }
    const float delta = 0.34906584f; // 20°
    const QPoint tip(x2, y2);
    return Widerhaken{tip + barbe(float(double(theta) - delta), laenge, true),
                      tip + barbe(float(double(theta) + delta), laenge, false)};
}

void pfeil(QImage &bild, int x1, int y1, int x2, int y2, bool mitSchaft, const Stift &stift, int sdicke,
           Rechtecke &geaendert)
{
    if (mitSchaft)
        strecke(bild, {x1, y1}, {x2, y2}, stift, &geaendert);
    const Widerhaken w = widerhaken(x1, y1, x2, y2, sdicke);
    strecke(bild, {x2, y2}, w.links, stift, &geaendert);
    strecke(bild, {x2, y2}, w.rechts, stift, &geaendert);
}

void doppelPfeil(QImage &bild, int x1, int y1, int x2, int y2, const Stift &stift, int sdicke,
                 Rechtecke &geaendert)
{
    pfeil(bild, x1, y1, x2, y2, true, stift, sdicke, geaendert);
    pfeil(bild, x2, y2, x1, y1, false, stift, sdicke, geaendert);
}

void ObjektVorschau(const ToolState &t, SurfaceState &s, Rechtecke &geaendert)
{
    if (s.Lx < 0 || s.Ly < 0 || s.Sx < 0 || s.Sy < 0)
        return;
    QImage &bild = s.Img1Bmp;
    const TRect r = normRect(s.Sx, s.Sy, s.Lx, s.Ly);
    switch (t.Modus) {
    case 3:
        strecke(bild, {s.Lx, s.Ly}, {s.Sx, s.Sy}, NotStift, &geaendert);
        break;
    case 4:
    case 11:
        rechteckRahmen(bild, r, NotStift, &geaendert);
        break;
    case 5:
        pfeil(bild, s.Lx, s.Ly, s.Sx, s.Sy, true, NotStift, t.Sdicke, geaendert);
        break;
    case 9:
        doppelPfeil(bild, s.Lx, s.Ly, s.Sx, s.Sy, NotStift, t.Sdicke, geaendert);
        break;
    case 10:
    case 12:
        ellipseRahmen(bild, r, NotStift, &geaendert);
        break;
    case 13:
        // The two edges through the anchor both invert it; the third, one pixel long, restores
        // the inversion there. The crosshair marker draws the other two edges.
        strecke(bild, {s.Lx, s.Ly}, {s.Sx, s.Ly}, NotStift, &geaendert);
        strecke(bild, {s.Lx, s.Ly}, {s.Lx, s.Sy}, NotStift, &geaendert);
        strecke(bild, {s.Lx, s.Ly}, {s.Lx + 1, s.Ly}, NotStift, &geaendert);
        break;
    default:
        break;
    }
}

void FigurVerwerfen(const ToolState &t, SurfaceState &s, Rechtecke &geaendert)
{
    ObjektVorschau(t, s, geaendert);
    s.Lx = s.Ly = -1;
}

void formSchritt(const ToolState &t, SurfaceState &s, TShiftState shift, int x, int y, Rechtecke &geaendert)
{
    WerkzeugMarke(t, s, geaendert);
    ObjektVorschau(t, s, geaendert);
    s.Sx = x;
    s.Sy = y;
    if ((shift & ssShift) && s.Lx >= 0 && s.Ly >= 0)
        formBeschraenken(t.Modus, s.Lx, s.Ly, s.Sx, s.Sy);
    WerkzeugMarke(t, s, geaendert);
    if (shift & ssLeft) {
        if (s.Lx < 0 || s.Ly < 0) {
            s.Lx = s.Sx;
            s.Ly = s.Sy;
        }
        ObjektVorschau(t, s, geaendert);
    } else if (s.Lx >= 0 && s.Ly >= 0) {
        WerkzeugMarke(t, s, geaendert);
        figurZeichnen(t, s, geaendert);
        s.Lx = s.Ly = s.Sx = s.Sy = -1;
    }
}
