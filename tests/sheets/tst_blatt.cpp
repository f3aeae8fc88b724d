// The sheets' pixels, drawn into a background picture for a given primary screen size.
#include "sheets/blatt.h"

#include <QTest>

#include <functional>

// The expected colour of a pixel inside the sheet.
using Regel = std::function<QRgb(int x, int y)>;
Q_DECLARE_METATYPE(Regel)

namespace {

constexpr QRgb Grau = 0xFFB8B8B8, Weiss = 0xFFFFFFFF, Schwarz = 0xFF000000;

// A picture in which every pixel differs from white, black and the ruling.
QImage vorher(QSize s)
{
    QImage bild(s, QImage::Format_RGB32);
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            bild.setPixel(x, y, qRgb(10 + (x & 0x3F), 20 + (y & 0x3F), 30));
    return bild;
}

// The first pixel where the sheet differs from the rule inside the sheet, or from the old
// picture outside it.
QString ersterFehler(const QImage &bild, const QImage &alt, QSize blatt, const Regel &regel)
{
    for (int y = 0; y < bild.height(); ++y) {
        for (int x = 0; x < bild.width(); ++x) {
            const bool drin = x < blatt.width() && y < blatt.height();
            const QRgb soll = drin ? regel(x, y) : alt.pixel(x, y);
            if (bild.pixel(x, y) != soll)
                return QString::asprintf("(%d, %d): %08x, expected %08x", x, y, bild.pixel(x, y), soll);
        }
    }
    return {};
}

QRgb karo(int x, int y)
{
    return x % 48 == 0 || y % 48 == 0 ? Grau : Weiss;
}

QRgb linien(int, int y)
{
    return (y + 1) % 72 == 0 ? Grau : Weiss;
}

// Crosses on the grid points (48 j, 48 k), j = 0 … 40 and k = 0 … 22.
QRgb punkte(int x, int y)
{
    // The nearest grid point.
    const int j = (x + 24) / 48, k = (y + 24) / 48;
    const int dx = x - 48 * j, dy = y - 48 * k;
    if (j > 40 || k > 22)
        return Weiss;
    return (dy == 0 && qAbs(dx) <= 2) || (dx == 0 && qAbs(dy) <= 2) ? Grau : Weiss;
}

enum Art { WeissesBlatt, SchwarzesBlatt, Kariert, Punktraster, Linien };

void zeichne(Art art, QImage &bild, QSize blatt)
{
    switch (art) {
    case WeissesBlatt:
        return BlattFuellen(bild, blatt, Palette::Weiss);
    case SchwarzesBlatt:
        return BlattFuellen(bild, blatt, Palette::Schwarz);
    case Kariert:
        return KaroBlatt(bild, blatt, KaroAbstand);
    case Punktraster:
        return PunktBlatt(bild, blatt, PunktAbstand);
    case Linien:
        return LinienBlatt(bild, blatt, LinienAbstand);
    }
}

} // namespace

class TstBlatt : public QObject
{
    Q_OBJECT

private slots:
    void naechsteGanzzahl_data();
    void naechsteGanzzahl();
    void blattAufFullHd_data();
    void blattAufFullHd();
    void bildGroesserOderKleiner_data();
    void bildGroesserOderKleiner();
};

void TstBlatt::naechsteGanzzahl_data()
{
    QTest::addColumn<int>("zaehler");
    QTest::addColumn<int>("nenner");
    QTest::addColumn<int>("ergebnis");
    QTest::newRow("22.5 goes to the even 22") << 1080 << 48 << 22;
    QTest::newRow("23.5 goes to the even 24") << 1128 << 48 << 24;
    QTest::newRow("exact") << 1080 << 72 << 15;
    QTest::newRow("below a half") << 1100 << 48 << 23;
    QTest::newRow("above a half") << 1090 << 48 << 23;
    QTest::newRow("a half of one") << 24 << 48 << 0;
}

void TstBlatt::naechsteGanzzahl()
{
    QFETCH(int, zaehler);
    QFETCH(int, nenner);
    QFETCH(int, ergebnis);
    QCOMPARE(::naechsteGanzzahl(zaehler, nenner), ergebnis);
}

void TstBlatt::blattAufFullHd_data()
{
    QTest::addColumn<int>("art");
    QTest::addColumn<Regel>("regel");
    QTest::newRow("white") << int(WeissesBlatt) << Regel([](int, int) { return Weiss; });
    QTest::newRow("black") << int(SchwarzesBlatt) << Regel([](int, int) { return Schwarz; });
    QTest::newRow("squared") << int(Kariert) << Regel(karo);
    QTest::newRow("dot grid") << int(Punktraster) << Regel(punkte);
    QTest::newRow("lined") << int(Linien) << Regel(linien);
}

// A 1920 × 1080 primary screen and picture: every pixel against the sheet's rule.
void TstBlatt::blattAufFullHd()
{
    QFETCH(int, art);
    QFETCH(Regel, regel);
    const QSize s(1920, 1080);
    QImage bild = vorher(s);
    zeichne(Art(art), bild, s);
    QCOMPARE(ersterFehler(bild, QImage(), s, regel), QString());

    auto zeileGrau = [&](int y) {
        for (int x = 0; x < s.width(); ++x)
            if (bild.pixel(x, y) != Grau)
                return false;
        return true;
    };
    QList<int> zeilen;
    for (int y = 0; y < s.height(); ++y)
        if (zeileGrau(y))
            zeilen.append(y);
    if (art == Kariert) {
        QCOMPARE(zeilen.size(), 23);
        QCOMPARE(zeilen.constFirst(), 0);
        QCOMPARE(zeilen.constLast(), 1056);
        QCOMPARE(bild.pixel(1872, 500), Grau);
        QCOMPARE(bild.pixel(1919, 500), Weiss);
    } else if (art == Linien) {
        QCOMPARE(zeilen.size(), 15);
        QCOMPARE(zeilen.constFirst(), 71);
        QCOMPARE(zeilen.constLast(), 1079);
    } else if (art == Punktraster) {
        // The corner cross has only its right and lower arms; the last row's are whole.
        QCOMPARE(bild.pixel(0, 0), Grau);
        QCOMPARE(bild.pixel(2, 0), Grau);
        QCOMPARE(bild.pixel(0, 2), Grau);
        QCOMPARE(bild.pixel(3, 0), Weiss);
        for (const QPoint p : {QPoint(48, 1054), QPoint(48, 1058), QPoint(46, 1056), QPoint(50, 1056)})
            QCOMPARE(bild.pixel(p), Grau);
        QCOMPARE(bild.pixel(48, 1059), Weiss);
    }
}

void TstBlatt::bildGroesserOderKleiner_data()
{
    QTest::addColumn<int>("art");
    QTest::addColumn<QSize>("bildGroesse");
    QTest::addColumn<QSize>("blatt");
    QTest::newRow("picture wider and taller, white")
        << int(WeissesBlatt) << QSize(2000, 1200) << QSize(1920, 1080);
    QTest::newRow("picture smaller, squared") << int(Kariert) << QSize(800, 600) << QSize(1920, 1080);
    QTest::newRow("picture smaller, dot grid") << int(Punktraster) << QSize(801, 97) << QSize(1920, 1080);
    QTest::newRow("no primary screen") << int(Linien) << QSize(64, 64) << QSize();
}

// The sheet covers the primary screen's size from the corner: a larger picture keeps the rest
// of its old background; a smaller one is clipped.
void TstBlatt::bildGroesserOderKleiner()
{
    QFETCH(int, art);
    QFETCH(QSize, bildGroesse);
    QFETCH(QSize, blatt);
    const QImage alt = vorher(bildGroesse);
    QImage bild = alt;
    zeichne(Art(art), bild, blatt);
    QCOMPARE(bild.size(), bildGroesse);
    const Regel regel = art == Kariert       ? Regel(karo)
                        : art == Punktraster ? Regel(punkte)
                                             : [](int, int) { return Weiss; };
    QCOMPARE(ersterFehler(bild, alt, blatt, regel), QString());
}

QTEST_GUILESS_MAIN(TstBlatt)
#include "tst_blatt.moc"
