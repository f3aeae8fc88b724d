#include "sheets/blatt.h"

#include "surface/raster.h"

namespace {

constexpr Stift Linie{BlattLinienFarbe, pmCopy, 1};

void weiss(QImage &bild, QSize blatt)
{
    BlattFuellen(bild, blatt, Palette::Weiss);
}

} // namespace

int naechsteGanzzahl(int zaehler, int nenner)
{
    const int q = zaehler / nenner;
    const int r2 = 2 * (zaehler % nenner);
    if (r2 > nenner || (r2 == nenner && q % 2 != 0))
        return q + 1;
    return q;
}

void BlattFuellen(QImage &hintergrund, QSize blatt, TColor farbe)
{
    rechteckFuellen(hintergrund, TRect{0, 0, blatt.width(), blatt.height()}, farbe, pmCopy);
}

// The lines reach one pixel beyond the sheet on the right and at the bottom.
void KaroBlatt(QImage &hintergrund, QSize blatt, int a)
{
    const int w = blatt.width(), h = blatt.height();
    weiss(hintergrund, blatt);
    for (int k = 0, n = naechsteGanzzahl(h, a); k <= n; ++k)
        strecke(hintergrund, {0, a * k}, {w + 1, a * k}, Linie);
    for (int k = 0, n = naechsteGanzzahl(w, a); k <= n; ++k)
        strecke(hintergrund, {a * k, 0}, {a * k, h + 1}, Linie);
}

void PunktBlatt(QImage &hintergrund, QSize blatt, int a)
{
    weiss(hintergrund, blatt);
    const int nH = naechsteGanzzahl(blatt.height(), a), nW = naechsteGanzzahl(blatt.width(), a);
    for (int k = 0; k <= nH; ++k) {
        for (int j = 0; j <= nW; ++j) {
            const int x = a * j, y = a * k;
            strecke(hintergrund, {x - 2, y}, {x + 3, y}, Linie);
            strecke(hintergrund, {x, y - 2}, {x, y + 3}, Linie);
        }
    }
}

void LinienBlatt(QImage &hintergrund, QSize blatt, int a)
{
    weiss(hintergrund, blatt);
    for (int k = 1, n = naechsteGanzzahl(blatt.height(), a); k <= n; ++k)
        strecke(hintergrund, {0, a * k - 1}, {blatt.width() + 1, a * k - 1}, Linie);
}

int FarbeFuerSchwarzesBlatt(int farbcode)
{
    return farbcode >= 1 && farbcode <= 4 ? farbcode + 10 : farbcode;
}
