#include "output/druckgeometrie.h"

#include "controls/zahlen.h"

#include <QStringList>

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

QString ueberstand(qint32 l, qint32 t, qint32 w, qint32 h, const QRect &bedruckbar)
{
    // The picture starts at the margin typed, or at the printable area's edge when the margin
    // lies inside the unprintable border.
    const auto ende = [](qint32 rand, qint32 groesse, qint32 anfang) {
        return std::max<qint64>(rand, anfang) + groesse;
    };
    const auto cm = [](qint64 zehntelMm) { return dezimalText(zehntelMm / 100.0L, 1); };
    const qint64 rechts = ende(l, w, bedruckbar.left());
    const qint64 unten = ende(t, h, bedruckbar.top());
    const qint64 rechtsBis = qint64(bedruckbar.left()) + bedruckbar.width();
    const qint64 untenBis = qint64(bedruckbar.top()) + bedruckbar.height();
    QStringList saetze;
    if (rechts > rechtsBis)
        saetze << QStringLiteral("Rechts reicht es bis %1 cm vom linken Papierrand, bedruckt wird bis %2 cm.")
                      .arg(cm(rechts), cm(rechtsBis));
    if (unten > untenBis)
        saetze << QStringLiteral("Unten reicht es bis %1 cm vom oberen Papierrand, bedruckt wird bis %2 cm.")
                      .arg(cm(unten), cm(untenBis));
    return saetze.join(QLatin1Char(' '));
}
