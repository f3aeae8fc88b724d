// The arithmetic of the magnifier and the zoom view: lens geometry and picture, zoom steps,
// offsets, the pixel under the pointer, the crosshair bars and the enlarged drawing.
#include "bildhilfe.h"
#include "surface/lupe.h"
#include "surface/zoom.h"

#include <QGuiApplication>
#include <QTest>

#include <cmath>

class TstZoomrechnung : public QObject
{
    Q_OBJECT

private slots:
    void lensGeometry_data();
    void lensGeometry();
    void lensPicture_data();
    void lensPicture();
    void zoomSteps();
    void pixelAndCrosshair_data();
    void pixelAndCrosshair();
    void offsetClamp_data();
    void offsetClamp();
    void zoomAboutAPointKeepsItsPixel();
    void colourCode();
    void drawingMatchesThePixelUnderEachPoint_data();
    void drawingMatchesThePixelUnderEachPoint();
};

void TstZoomrechnung::lensGeometry_data()
{
    QTest::addColumn<int>("sdicke");
    QTest::addColumn<int>("fak");
    QTest::addColumn<QPoint>("zeiger");
    QTest::addColumn<QSize>("groesse");
    QTest::addColumn<TRect>("quelle");
    QTest::addColumn<QRectF>("linse");
    QTest::addColumn<QPoint>("kreuz");
    QTest::newRow("13, factor 2, (400, 300)")
        << 13 << 2 << QPoint(400, 300) << QSize(320, 240) << TRect{320, 240, 480, 360}
        << QRectF(QPointF(240, 180), QPointF(560, 420)) << QPoint(160, 120);
    QTest::newRow("13, factor 2, corner")
        << 13 << 2 << QPoint(0, 0) << QSize(320, 240) << TRect{0, 0, 160, 120}
        << QRectF(QPointF(-1, -1), QPointF(319, 239)) << QPoint(1, 1);
    QTest::newRow("3, factor 4") << 3 << 4 << QPoint(400, 300) << QSize(74, 56) << TRect{391, 293, 409, 307}
                                 << QRectF(QPointF(363, 272), QPointF(437, 328)) << QPoint(37, 28);
    QTest::newRow("7, factor 2") << 7 << 2 << QPoint(400, 300) << QSize(172, 129) << TRect{357, 268, 443, 332}
                                 << QRectF(QPointF(314, 236), QPointF(486, 365)) << QPoint(86, 64);
    QTest::newRow("21, factor 4, bottom-right corner")
        << 21 << 4 << QPoint(1919, 1079) << QSize(517, 388) << TRect{1791, 983, 1920, 1080}
        << QRectF(QPointF(1404, 693), QPointF(1921, 1081)) << QPoint(515, 386);
}

void TstZoomrechnung::lensGeometry()
{
    QFETCH(int, sdicke);
    QFETCH(int, fak);
    QFETCH(QPoint, zeiger);
    QFETCH(QSize, groesse);
    QFETCH(TRect, quelle);
    QFETCH(QRectF, linse);
    QFETCH(QPoint, kreuz);
    const LupenGeometrie g = lupenGeometrie(zeiger.x(), zeiger.y(), sdicke, fak, QSize(1920, 1080));
    QCOMPARE(g.Groesse, groesse);
    QCOMPARE(g.Quelle, quelle);
    QCOMPARE(g.Linse, linse);
    QCOMPARE(g.Kreuz, kreuz);
}

void TstZoomrechnung::lensPicture_data()
{
    QTest::addColumn<int>("fak");
    QTest::newRow("200%") << 2;
    QTest::newRow("400%") << 4;
}

// The lens at (400, 300) on a patterned picture: each source pixel as an f × f block, the
// frame, the cross inverted except at its centre, the label's grey.
void TstZoomrechnung::lensPicture()
{
    QFETCH(int, fak);
    const QImage bild = musterBild(1920, 1080);
    const LupenGeometrie g = lupenGeometrie(400, 300, 13, fak, bild.size());
    const QImage lupe = lupeZeichnen(bild, g, fak);
    QCOMPARE(lupe.size(), QSize(320, 240));
    const auto quelle = [&](int x, int y) {
        return bild.pixel(g.Quelle.Left + x / fak, g.Quelle.Top + y / fak);
    };
    for (const QPoint p : {QPoint(100, 50), QPoint(101, 51), QPoint(250, 200), QPoint(318, 238)})
        QCOMPARE(lupe.pixel(p), quelle(p.x(), p.y()));
    for (const QPoint p : {QPoint(0, 0), QPoint(319, 100), QPoint(150, 239), QPoint(0, 239)})
        QCOMPARE(lupe.pixel(p), qRgb(0, 0, 0));
    const QPoint c = g.Kreuz;
    for (const QPoint d : {QPoint(-8, 0), QPoint(8, 0), QPoint(0, -8), QPoint(0, 8), QPoint(3, 0)})
        QCOMPARE(lupe.pixel(c + d), ~quelle(c.x() + d.x(), c.y() + d.y()) | 0xFF000000u);
    QCOMPARE(lupe.pixel(c), quelle(c.x(), c.y()));
    QCOMPARE(lupe.pixel(c + QPoint(9, 0)), quelle(c.x() + 9, c.y()));
    QCOMPARE(lupe.pixel(1, 1), qRgb(238, 238, 238));
    // The label says which factor: the two lenses differ there.
    const QImage andere = lupeZeichnen(bild, g, 6 - fak);
    QVERIFY(lupe.copy(1, 1, 40, 12) != andere.copy(1, 1, 40, 12));
}

void TstZoomrechnung::zoomSteps()
{
    QCOMPARE(zoomStufeHoeher(7), 8);
    QCOMPARE(zoomStufeHoeher(8), 8);
    QCOMPARE(zoomStufeTiefer(2), 1);
    QCOMPARE(zoomStufeTiefer(1), 1);
    QCOMPARE(zoomProzent(ZoomTabelle[8]), QStringLiteral("1000%"));
    QCOMPARE(zoomProzent(ZoomTabelle[1]), QStringLiteral("100%"));
}

void TstZoomrechnung::pixelAndCrosshair_data()
{
    QTest::addColumn<float>("fak");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<QPoint>("zeiger");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QRect>("senkrecht");
    QTest::addColumn<QRect>("waagrecht");
    QTest::addColumn<bool>("gefuellt");
    QTest::newRow("factor 4") << 4.0f << QPointF(-100, -60) << QPoint(10, 10) << QPoint(27, 17)
                              << QRect(8, 0, 4, 1080) << QRect(0, 8, 1920, 4) << false;
    QTest::newRow("factor 3, offset off the grid")
        << 3.0f << QPointF(-101, -62) << QPoint(10, 10) << QPoint(37, 24) << QRect(10, 0, 3, 1080)
        << QRect(0, 10, 1920, 3) << false;
    // A wheel turn at an odd spot leaves the offset between pixels; the bars still frame the
    // zoomed pixel the picture shows there.
    QTest::newRow("factor 4, fractional offset")
        << 4.0f << QPointF(-201.5, -50.67) << QPoint(10, 10) << QPoint(52, 15) << QRect(7, 0, 4, 1080)
        << QRect(0, 10, 1920, 4) << false;
    QTest::newRow("factor 2, solid") << 2.0f << QPointF(-1, 0) << QPoint(10, 10) << QPoint(5, 5)
                                     << QRect(9, 0, 3, 1080) << QRect(0, 10, 1920, 3) << true;
}

void TstZoomrechnung::pixelAndCrosshair()
{
    QFETCH(float, fak);
    QFETCH(QPointF, offset);
    QFETCH(QPoint, zeiger);
    QFETCH(QPoint, pixel);
    QFETCH(QRect, senkrecht);
    QFETCH(QRect, waagrecht);
    QFETCH(bool, gefuellt);
    const ZoomSicht v{fak, float(offset.x()), float(offset.y())};
    QCOMPARE(zoomBildpunkt(v, zeiger.x(), zeiger.y()), pixel);
    const ZoomBalken b = zoomFadenkreuz(v, zeiger.x(), zeiger.y(), QSize(1920, 1080));
    QCOMPARE(b.X, senkrecht);
    QCOMPARE(b.Y, waagrecht);
    QCOMPARE(b.Gefuellt, gefuellt);
    // The bars frame exactly the zoomed pixel under the pointer.
    if (!gefuellt)
        QCOMPARE(zoomBildpunkt(v, b.X.left(), b.Y.top()), pixel);
}

void TstZoomrechnung::offsetClamp_data()
{
    QTest::addColumn<QPointF>("wunsch");
    QTest::addColumn<float>("fak");
    QTest::addColumn<QPointF>("ergebnis");
    QTest::newRow("inside") << QPointF(-300, -200) << 2.0f << QPointF(-300, -200);
    QTest::newRow("past the left and top edges") << QPointF(50, 10) << 2.0f << QPointF(0, 0);
    QTest::newRow("past the right and bottom edges") << QPointF(-5000, -5000) << 2.0f << QPointF(-400, -300);
    QTest::newRow("factor 1") << QPointF(-3, 7) << 1.0f << QPointF(0, 0);
}

void TstZoomrechnung::offsetClamp()
{
    QFETCH(QPointF, wunsch);
    QFETCH(float, fak);
    QFETCH(QPointF, ergebnis);
    QCOMPARE(zoomOffsetBegrenzt(float(wunsch.x()), float(wunsch.y()), QSize(400, 300), QSize(400, 300), fak),
             ergebnis);
}

void TstZoomrechnung::zoomAboutAPointKeepsItsPixel()
{
    ZoomSicht v{2, -150, -90};
    for (const float fak : {3.0f, 4.0f, 8.0f, 10.0f, 2.0f}) {
        const QPoint vorher = zoomBildpunkt(v, 201, 133);
        const QPointF o = zoomUmPunkt(v, 201, 133, fak);
        v = {fak, float(o.x()), float(o.y())};
        QCOMPARE(zoomBildpunkt(v, 201, 133), vorher);
    }
}

void TstZoomrechnung::colourCode()
{
    QCOMPARE(farbCode(qRgb(255, 128, 0)), QStringLiteral("#FF8000"));
    QCOMPARE(farbCode(qRgb(255, 0, 0)), QStringLiteral("#FF0000"));
    QCOMPARE(farbCode(qRgb(0, 10, 171)), QStringLiteral("#000AAB"));
}

void TstZoomrechnung::drawingMatchesThePixelUnderEachPoint_data()
{
    QTest::addColumn<ZoomSicht>("sicht");
    QTest::addColumn<QRect>("ziel");
    QTest::newRow("factor 2") << ZoomSicht{2, -100, -60} << QRect(0, 0, 160, 120);
    QTest::newRow("factor 3, half-pixel offset") << ZoomSicht{3, -10.5f, -7.5f} << QRect(13, 5, 70, 41);
    QTest::newRow("factor 10, part of the view") << ZoomSicht{10, -1000, -500} << QRect(37, 21, 99, 77);
    QTest::newRow("past the picture") << ZoomSicht{4, 20, 10} << QRect(0, 0, 60, 40);
}

void TstZoomrechnung::drawingMatchesThePixelUnderEachPoint()
{
    QFETCH(ZoomSicht, sicht);
    QFETCH(QRect, ziel);
    const QImage bild = musterBild(160, 120);
    QImage puffer;
    zoomZeichnen(puffer, ziel, bild, sicht);
    for (int y = 0; y < ziel.height(); ++y)
        for (int x = 0; x < ziel.width(); ++x) {
            const QPoint p = zoomBildpunkt(sicht, ziel.left() + x, ziel.top() + y);
            const QRgb erwartet = bild.rect().contains(p) ? bild.pixel(p) : qRgb(0, 0, 0);
            if (puffer.pixel(x, y) != erwartet)
                QFAIL(qPrintable(QStringLiteral("view pixel %1,%2").arg(x).arg(y)));
        }
}

QTEST_MAIN(TstZoomrechnung)
#include "tst_zoomrechnung.moc"
