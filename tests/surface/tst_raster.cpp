// Raster operations: exact pixels of segments, outlines and fills in every raster mode,
// clipping, wide strokes, and the rectangles reported for repaint.
#include "bildhilfe.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(TPenMode)

namespace {

constexpr QRgb Weiss = 0xFFFFFFFF;
const Stift Schwarz1{0x000000, pmCopy, 1};

QSet<QPoint> gezeichnet(const QImage &vorher, const QImage &nachher)
{
    return unterschiede(vorher, nachher);
}

bool achtVerbunden(const QSet<QPoint> &punkte)
{
    if (punkte.isEmpty())
        return true;
    QSet<QPoint> gesehen{*punkte.begin()};
    QList<QPoint> offen{*punkte.begin()};
    while (!offen.isEmpty()) {
        const QPoint p = offen.takeLast();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint q = p + QPoint(dx, dy);
                if (punkte.contains(q) && !gesehen.contains(q)) {
                    gesehen.insert(q);
                    offen.append(q);
                }
            }
    }
    return gesehen.size() == punkte.size();
}

} // namespace

class TstRaster : public QObject
{
    Q_OBJECT

private slots:
    void segment_data();
    void segment();
    void outlinesTouchEachPixelOnce_data();
    void outlinesTouchEachPixelOnce();
    void rectangleOutlineIsTheBorder_data();
    void rectangleOutlineIsTheBorder();
    void ellipseInsideBoxSymmetricConnected_data();
    void ellipseInsideBoxSymmetricConnected();
    void smallEllipses_data();
    void smallEllipses();
    void fillsInRasterMode_data();
    void fillsInRasterMode();
    void clippedEqualsCutOut_data();
    void clippedEqualsCutOut();
    void widePenCentredAndDotForClick_data();
    void widePenCentredAndDotForClick();
    void maskIsIdempotent();
    void copyArea();
};

void TstRaster::segment_data()
{
    QTest::addColumn<QPoint>("p");
    QTest::addColumn<QPoint>("q");
    const QPoint m(20, 20);
    for (const QPoint d : {QPoint(7, 3), QPoint(3, 7), QPoint(-3, 7), QPoint(-7, 3), QPoint(-7, -3),
                           QPoint(-3, -7), QPoint(3, -7), QPoint(7, -3), QPoint(9, 0), QPoint(0, -9),
                           QPoint(5, 5), QPoint(-6, 6), QPoint(8, 1), QPoint(1, 0), QPoint(0, 0)})
        QTest::addRow("(%d,%d)", d.x(), d.y()) << m << m + d;
}

// Half open: the start is drawn, the end is not; one pixel per step along the major axis, at
// the ideal line rounded; zero length draws nothing.
void TstRaster::segment()
{
    QFETCH(QPoint, p);
    QFETCH(QPoint, q);
    const QImage vorher = einfarbig(40, 40, Weiss);
    QImage bild = vorher;
    Rechtecke teile;
    const QRect r = strecke(bild, p, q, Schwarz1, &teile);
    const QSet<QPoint> px = gezeichnet(vorher, bild);
    const int dx = q.x() - p.x(), dy = q.y() - p.y();
    const int n = std::max(std::abs(dx), std::abs(dy));
    QCOMPARE(px.size(), n);
    if (n == 0) {
        QVERIFY(r.isEmpty());
        return;
    }
    QVERIFY(px.contains(p));
    QVERIFY(!px.contains(q));
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    for (const QPoint &a : px) {
        const int i = xMajor ? (a.x() - p.x()) * (dx > 0 ? 1 : -1) : (a.y() - p.y()) * (dy > 0 ? 1 : -1);
        QVERIFY(i >= 0 && i < n);
        const double ideal =
            xMajor ? p.y() + double(dy) * i / std::abs(dx) : p.x() + double(dx) * i / std::abs(dy);
        QVERIFY2(std::abs((xMajor ? a.y() : a.x()) - ideal) <= 0.5, "pixel off the ideal line");
    }
    QVERIFY(abgedeckt(vorher, bild, teile));
    QVERIFY(r.contains(px.values().first()));
}

void TstRaster::outlinesTouchEachPixelOnce_data()
{
    QTest::addColumn<TRect>("box");
    const QList<TRect> boxen{{5, 5, 6, 6},   {5, 5, 7, 6},   {5, 5, 6, 7},    {5, 5, 7, 7},   {5, 5, 8, 8},
                             {5, 5, 45, 6},  {5, 5, 6, 45},  {5, 5, 45, 7},   {5, 5, 7, 45},  {5, 5, 45, 9},
                             {3, 4, 60, 57}, {0, 0, 64, 48}, {10, 2, 50, 43}, {2, 20, 62, 28}};
    for (const TRect &b : boxen)
        QTest::addRow("%dx%d", b.Right - b.Left, b.Bottom - b.Top) << b;
}

// Inverting an outline sets exactly the pixels that copy mode sets, so each is touched once;
// inverting twice restores the picture.
void TstRaster::outlinesTouchEachPixelOnce()
{
    QFETCH(TRect, box);
    const QImage muster = musterBild(64, 64);
    for (auto rahmen : {&rechteckRahmen, &ellipseRahmen}) {
        QImage kopie = muster, invertiert = muster;
        rahmen(kopie, box, Stift{0xFFFFFF ^ 0x123456, pmCopy, 1}, nullptr);
        Rechtecke teile;
        rahmen(invertiert, box, NotStift, &teile);
        QCOMPARE(gezeichnet(muster, invertiert), gezeichnet(muster, kopie));
        QVERIFY(abgedeckt(muster, invertiert, teile));
        rahmen(invertiert, box, NotStift, nullptr);
        QCOMPARE(invertiert, muster);
    }
}

void TstRaster::rectangleOutlineIsTheBorder_data()
{
    outlinesTouchEachPixelOnce_data();
}

void TstRaster::rectangleOutlineIsTheBorder()
{
    QFETCH(TRect, box);
    const QImage vorher = einfarbig(64, 64, Weiss);
    QImage bild = vorher;
    rechteckRahmen(bild, box, Schwarz1);
    QSet<QPoint> erwartet;
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x)
            if (x == box.Left || x == box.Right - 1 || y == box.Top || y == box.Bottom - 1)
                erwartet.insert(QPoint(x, y));
    QCOMPARE(gezeichnet(vorher, bild), erwartet);
}

void TstRaster::ellipseInsideBoxSymmetricConnected_data()
{
    outlinesTouchEachPixelOnce_data();
}

void TstRaster::ellipseInsideBoxSymmetricConnected()
{
    QFETCH(TRect, box);
    const QImage vorher = einfarbig(64, 64, Weiss);
    QImage bild = vorher;
    ellipseRahmen(bild, box, Schwarz1);
    const QSet<QPoint> px = gezeichnet(vorher, bild);
    QVERIFY(achtVerbunden(px));
    bool links = false, rechts = false, oben = false, unten = false;
    for (const QPoint &p : px) {
        QVERIFY(p.x() >= box.Left && p.x() < box.Right && p.y() >= box.Top && p.y() < box.Bottom);
        QVERIFY(px.contains(QPoint(box.Left + box.Right - 1 - p.x(), p.y())));
        QVERIFY(px.contains(QPoint(p.x(), box.Top + box.Bottom - 1 - p.y())));
        links = links || p.x() == box.Left;
        rechts = rechts || p.x() == box.Right - 1;
        oben = oben || p.y() == box.Top;
        unten = unten || p.y() == box.Bottom - 1;
    }
    QVERIFY(links && rechts && oben && unten);
}

void TstRaster::smallEllipses_data()
{
    QTest::addColumn<TRect>("box");
    QTest::addColumn<QStringList>("bild");
    QTest::newRow("1x1") << TRect{1, 1, 2, 2} << QStringList{"...", ".#.", "..."};
    QTest::newRow("2x2") << TRect{1, 1, 3, 3} << QStringList{"....", ".##.", ".##.", "...."};
    QTest::newRow("3x1") << TRect{1, 1, 4, 2} << QStringList{".....", ".###.", "....."};
    QTest::newRow("1x3") << TRect{1, 1, 2, 4} << QStringList{"...", ".#.", ".#.", ".#.", "..."};
}

void TstRaster::smallEllipses()
{
    QFETCH(TRect, box);
    QFETCH(QStringList, bild);
    const QImage vorher = einfarbig(int(bild[0].size()), int(bild.size()), Weiss);
    QImage b = vorher;
    ellipseRahmen(b, box, Schwarz1);
    for (int y = 0; y < bild.size(); ++y)
        for (int x = 0; x < bild[y].size(); ++x)
            QCOMPARE(b.pixel(x, y) == Weiss ? '.' : '#', bild[y][x].toLatin1());
}

void TstRaster::fillsInRasterMode_data()
{
    QTest::addColumn<TPenMode>("modus");
    QTest::newRow("copy") << pmCopy;
    QTest::newRow("mask") << pmMask;
}

// A fill covers outline and inside, inside the box, with the raster mode applied to every
// pixel: mask keeps the picture visible and tints it.
void TstRaster::fillsInRasterMode()
{
    QFETCH(TPenMode, modus);
    const QImage muster = musterBild(64, 64);
    const TColor gelb = Palette::Gelb;
    for (const TRect &box : QList<TRect>{{5, 5, 6, 6}, {5, 5, 45, 7}, {3, 4, 60, 57}, {10, 2, 13, 43}}) {
        QImage rechteck = muster, ellipse = muster, flaeche = einfarbig(64, 64, Weiss),
               rahmen = einfarbig(64, 64, Weiss);
        const QRect rr = rechteckFuellen(rechteck, box, gelb, modus);
        QCOMPARE(rr, QRect(QPoint(box.Left, box.Top), QPoint(box.Right - 1, box.Bottom - 1)));
        ellipseFuellen(ellipse, box, gelb, modus);
        ellipseFuellen(flaeche, box, Palette::Schwarz, pmCopy);
        ellipseRahmen(rahmen, box, Schwarz1);
        for (int y = 0; y < 64; ++y) {
            int laeufe = 0;
            for (int x = 0; x < 64; ++x) {
                const QRgb m = muster.pixel(x, y);
                const QRgb soll = modus == pmMask ? (m & toQRgb(gelb)) : toQRgb(gelb);
                const bool inBox = x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
                const bool gefuellt = flaeche.pixel(x, y) != Weiss;
                QCOMPARE(rechteck.pixel(x, y), inBox ? soll : m);
                QCOMPARE(ellipse.pixel(x, y), gefuellt ? soll : m);
                QVERIFY(!gefuellt || inBox);
                QVERIFY(gefuellt || rahmen.pixel(x, y) == Weiss); // the outline lies within the fill
                laeufe += gefuellt && (x == 0 || flaeche.pixel(x - 1, y) == Weiss);
            }
            QVERIFY(laeufe <= 1); // each row of the fill is one run
        }
    }
}

void TstRaster::clippedEqualsCutOut_data()
{
    QTest::addColumn<int>("breite");
    QTest::newRow("1 px") << 1;
    QTest::newRow("7 px") << 7;
    QTest::newRow("21 px") << 21;
}

// Figures that leave the picture are drawn as far as they are inside it: the same pixels as
// on a larger picture, cut out.
void TstRaster::clippedEqualsCutOut()
{
    QFETCH(int, breite);
    const int rand = 100;
    const Stift stift{Palette::Rot, pmCopy, breite};
    QImage gross = einfarbig(60 + 2 * rand, 50 + 2 * rand, Weiss);
    QImage klein = einfarbig(60, 50, Weiss);
    const auto beide = [&](auto &&zeichne) {
        zeichne(gross, QPoint(rand, rand));
        zeichne(klein, QPoint(0, 0));
    };
    const auto box = [](QPoint o, int l, int t, int r, int b) {
        return TRect{o.x() + l, o.y() + t, o.x() + r, o.y() + b};
    };
    beide([&](QImage &b, QPoint o) { strecke(b, o + QPoint(-30, -20), o + QPoint(80, 70), stift); });
    beide([&](QImage &b, QPoint o) { strecke(b, o + QPoint(70, 10), o + QPoint(-5, 45), stift); });
    beide([&](QImage &b, QPoint o) { rechteckRahmen(b, box(o, -10, -8, 30, 20), stift); });
    beide([&](QImage &b, QPoint o) { ellipseRahmen(b, box(o, 40, 30, 90, 75), stift); });
    beide([&](QImage &b, QPoint o) { ellipseFuellen(b, box(o, -20, 35, 15, 60), Palette::Blau, pmCopy); });
    beide([&](QImage &b, QPoint o) { rechteckFuellen(b, box(o, 50, -5, 70, 5), Palette::Gruen, pmCopy); });
    QCOMPARE(gross.copy(rand, rand, 60, 50), klein);
}

void TstRaster::widePenCentredAndDotForClick_data()
{
    QTest::addColumn<int>("breite");
    for (int w : {3, 7, 13, 21})
        QTest::addRow("%d px", w) << w;
}

// A wide pen is centred on the geometry: a horizontal segment covers `breite` rows around its
// line; a click leaves a round dot centred on the point.
void TstRaster::widePenCentredAndDotForClick()
{
    QFETCH(int, breite);
    const Stift stift{0, pmCopy, breite};
    const QImage vorher = einfarbig(80, 80, Weiss);
    QImage linie = vorher;
    Rechtecke teile;
    const QRect r = strecke(linie, {20, 40}, {60, 40}, stift, &teile);
    int oben = 80, unten = -1;
    for (int y = 0; y < 80; ++y)
        if (linie.pixel(40, y) != Weiss) {
            oben = std::min(oben, y);
            unten = y;
        }
    QCOMPARE(oben, 40 - breite / 2);
    QCOMPARE(unten, 40 + breite / 2);
    QVERIFY(abgedeckt(vorher, linie, teile));
    QVERIFY(r.contains(QRect(20, oben, 41, breite)));

    QImage punkt = vorher;
    Rechtecke punktTeile;
    strecke(punkt, {40, 40}, {40, 40}, stift, &punktTeile);
    const QSet<QPoint> px = gezeichnet(vorher, punkt);
    QVERIFY(px.contains(QPoint(40, 40)));
    QVERIFY(abgedeckt(vorher, punkt, punktTeile));
    for (const QPoint &p : px) {
        QVERIFY(std::hypot(p.x() - 40, p.y() - 40) <= breite / 2.0 + 0.75);
        QVERIFY(px.contains(QPoint(80 - p.x(), p.y())));
        QVERIFY(px.contains(QPoint(p.y(), p.x())));
    }
    QVERIFY(px.contains(QPoint(40 - breite / 2, 40)) && px.contains(QPoint(40, 40 + breite / 2)));
}

// A transparent colour drawn back and forth, across itself, gives the pixels of one pass.
void TstRaster::maskIsIdempotent()
{
    const QImage muster = musterBild(120, 90);
    for (int breite : {1, 3, 13}) {
        const Stift stift{Palette::Gelb, pmMask, breite};
        QImage einmal = muster, mehrmals = muster;
        strecke(einmal, {10, 10}, {100, 70}, stift);
        strecke(mehrmals, {10, 10}, {100, 70}, stift);
        strecke(mehrmals, {100, 70}, {10, 10}, stift);
        strecke(mehrmals, {10, 10}, {100, 70}, stift);
        if (breite == 1) // the 1-px segment leaves its end out; the way back covers it
            strecke(einmal, {100, 70}, {99, 70}, stift);
        QCOMPARE(mehrmals, einmal);
        QImage kreuz = einmal;
        rechteckRahmen(kreuz, {20, 5, 90, 80}, stift);
        rechteckRahmen(kreuz, {20, 5, 90, 80}, stift);
        QImage ref = einmal;
        rechteckRahmen(ref, {20, 5, 90, 80}, stift);
        QCOMPARE(kreuz, ref);
    }
}

void TstRaster::copyArea()
{
    const QImage quelle = musterBild(50, 40);
    QImage ziel = einfarbig(50, 40, Weiss);
    QCOMPARE(bereichKopieren(ziel, quelle, QRect(-5, 30, 20, 20)), QRect(0, 30, 15, 10));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            QCOMPARE(ziel.pixel(x, y), (x < 15 && y >= 30) ? quelle.pixel(x, y) : Weiss);
    // The same pixels: nothing to do, and the two stay shared.
    QImage geteilt = quelle;
    QVERIFY(bereichKopieren(geteilt, quelle, QRect(0, 0, 10, 10)).isEmpty());
    QCOMPARE(geteilt.constBits(), quelle.constBits());
}

QTEST_GUILESS_MAIN(TstRaster)
#include "tst_raster.moc"
