#include "surface/textstempel.h"

#include "surface/formen.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace {

QFont stempelSchrift(int sdicke)
{
    // U+2714 and U+2718 of DejaVu Sans: the shapes of a heavy check mark and ballot cross.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(std::max(1, punktZuPixel(stempelPunktgroesse(sdicke))));
    return f;
}

QRect textAusgabe(QImage &bild, const QRect &flaeche, int ausrichtung, const QString &text,
                  const QFont &schrift, TColor farbe)
{
    QPainter p(&bild);
    p.setFont(schrift);
    p.setPen(QColor::fromRgb(toQRgb(farbe)));
    QRect belegt;
    p.drawText(flaeche, ausrichtung | Qt::TextDontClip | Qt::TextSingleLine, text, &belegt);
    // Glyphs may reach past their advance (italic overhang, antialiasing); a few pixels of
    // margin keep the repaint covering them.
    return belegt.adjusted(-2, -2, 2, 2).intersected(bild.rect());
}

} // namespace

int textPunktgroesse(int sdicke)
{
    return rundeGerade(sdicke * 24.0 / 13.0) + (sdicke < 10 ? 3 : 0);
}

int stempelPunktgroesse(int sdicke)
{
    return rundeGerade(sdicke * 24.0 / 13.0 * 3.0);
}

int punktZuPixel(int pt)
{
    return rundeGerade(pt * 96.0 / 72.0);
}

QFont textSchrift(int sdicke)
{
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(std::max(1, punktZuPixel(textPunktgroesse(sdicke))));
    return f;
}

QRect textSchreiben(QImage &bild, QPoint pos, const QString &text, const QFont &schrift, int punktgroesse,
                    TColor farbe)
{
    if (text.isEmpty())
        return {};
    const QRect flaeche(pos, QSize(1, 1));
    QRect geaendert;
    if (punktgroesse >= 20 && farbe != Palette::Schwarz)
        geaendert = textAusgabe(bild, flaeche.translated(1, 1), Qt::AlignLeft | Qt::AlignTop, text, schrift,
                                Palette::Schwarz);
    return geaendert | textAusgabe(bild, flaeche, Qt::AlignLeft | Qt::AlignTop, text, schrift, farbe);
}

QRect SetzeZeichen(QImage &bild, int x, int y, Stempel zeichen, int sdicke)
{
    const QFont schrift = stempelSchrift(sdicke);
    const QString text = zeichen == Stempel::Haekchen ? QStringLiteral("\u2714") : QStringLiteral("\u2718");
    const TColor farbe = zeichen == Stempel::Haekchen ? HaekchenFarbe : KreuzFarbe;
    const int h = QFontMetrics(schrift).height();
    // Centred horizontally on x, the top edge at y − h/2.
    const QRect anker(x, y - h / 2, 0, 1);
    const int ausrichtung = Qt::AlignHCenter | Qt::AlignTop;
    QRect geaendert = textAusgabe(bild, anker.translated(1, 1), ausrichtung, text, schrift, Palette::Schwarz);
    return geaendert | textAusgabe(bild, anker, ausrichtung, text, schrift, farbe);
}

QRect textBalken(QImage &bild, int sx, int sy, int hoehe)
{
    if (sx < 0 || sy < 0)
        return {};
    return rechteckRahmen(bild, TRect{sx, sy - hoehe, sx + 2, sy}, NotStift);
}

QRect stempelMarker(QImage &bild, int sx, int sy, Stempel zeichen, int sdicke, Rechtecke *teile)
{
    if (sx < 0 || sy < 0)
        return {};
    if (zeichen == Stempel::Haekchen) {
        const int v = rundeGerade(4.0 * sdicke / 13.0);
        const QPoint a(sx - 5 * v, sy), b(sx - 3 * v, sy + 3 * v), c(sx + 2 * v, sy - 4 * v);
        return strecke(bild, a, b, NotStift, teile) | strecke(bild, b, c, NotStift, teile);
    }
    const int v = rundeGerade(10.0 * sdicke / 13.0);
    return strecke(bild, {sx - v, sy - v}, {sx + v + 1, sy + v + 1}, NotStift, teile) |
           strecke(bild, {sx - v, sy + v}, {sx + v + 1, sy - v - 1}, NotStift, teile);
}

Rechtecke stempelSchritt(const ToolState &t, SurfaceState &s, TShiftState shift, int xneu, int yneu)
{
    const Stempel zeichen = t.Modus == 7 ? Stempel::Haekchen : Stempel::Kreuz;
    Rechtecke geaendert;
    dazu(geaendert, stempelMarker(s.Img1Bmp, s.Sx, s.Sy, zeichen, t.Sdicke));
    s.Sx = xneu;
    s.Sy = yneu;
    if ((shift & ssLeft) && s.Lx == -1 && s.Ly == -1) {
        s.Lx = s.Sx;
        s.Ly = s.Sy;
        dazu(geaendert, SetzeZeichen(s.Img1Bmp, s.Sx, s.Sy, zeichen, t.Sdicke));
    }
    dazu(geaendert, stempelMarker(s.Img1Bmp, s.Sx, s.Sy, zeichen, t.Sdicke));
    return geaendert;
}

Rechtecke textSchritt(SurfaceState &s, TShiftState shift, int xneu, int yneu)
{
    Rechtecke geaendert;
    const int h = s.Eintrag.Hoehe;
    if (!s.Eintrag.Offen)
        dazu(geaendert, textBalken(s.Img1Bmp, s.Sx, s.Sy, h));
    s.Sx = xneu;
    s.Sy = yneu;
    if (shift & ssLeft) {
        s.Eintrag.Platzieren = true;
        s.Eintrag.Platz = {s.Sx, s.Sy};
        // The entry is open from here on; no bar until it closes.
        s.Eintrag.Offen = true;
        s.Sx = s.Sy = s.Lx = s.Ly = -1;
        return geaendert;
    }
    if (!s.Eintrag.Offen)
        dazu(geaendert, textBalken(s.Img1Bmp, s.Sx, s.Sy, h));
    return geaendert;
}
