#include "output/druckgeometrie.h"

#include "controls/zahlen.h"
#include "surface/bereichmarker.h"

#include <algorithm>

qint32 zehntelMm(long double cm)
{
    return ganzzahlGerundet(double(cm * 100));
}

qint32 pixelZehntelMm(int pixel, int dpi)
{
    return dpi > 0 ? ganzzahlGerundet(pixel * (254.0 / dpi)) : 0;
}

void RaenderKorrigieren(qint32 &l, qint32 &t, qint32 offX, qint32 offY)
{
    l = std::max<qint64>(0, qint64(l) - offX);
    t = std::max<qint64>(0, qint64(t) - offY);
}

double seitenverhaeltnis(const TRect &bereich, QSize bild)
{
    const bool bereichAktiv = AuswahlbereichAktiv(bereich);
    const qint64 breite = bereichAktiv ? qint64(bereich.Right) - bereich.Left : bild.width();
    const qint64 hoehe = bereichAktiv ? qint64(bereich.Bottom) - bereich.Top : bild.height();
    if (breite <= 0 || hoehe <= 0)
        return 0;
    return double(breite) / double(hoehe);
}
