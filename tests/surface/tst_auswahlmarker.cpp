#include "surface/auswahlmarker.h"

#include <QApplication>
#include <QTest>

class TstAuswahlMarker : public QObject
{
    Q_OBJECT

private slots:
    void activeArea_data();
    void activeArea();
    void layoutAndText();
    void markersOverTheSurface();
};

void TstAuswahlMarker::activeArea_data()
{
    QTest::addColumn<TRect>("r");
    QTest::addColumn<bool>("active");
    QTest::newRow("none") << KeinBereich << false;
    QTest::newRow("at the origin") << TRect{0, 0, 2, 0} << true;
    QTest::newRow("right 1 counts as none") << TRect{0, 0, 1, 50} << false;
    QTest::newRow("negative top") << TRect{5, -1, 50, 50} << false;
    QTest::newRow("normal") << TRect{100, 100, 200, 150} << true;
}

void TstAuswahlMarker::activeArea()
{
    QFETCH(TRect, r);
    QFETCH(bool, active);
    QCOMPARE(AuswahlbereichAktiv(r), active);
}

void TstAuswahlMarker::layoutAndText()
{
    const BereichMarkerLayout m = bereichMarkerLayout({100, 100, 200, 150}, 13);
    QVERIFY(m.Sichtbar);
    QCOMPARE(m.InfoText, QStringLiteral(" (100,100) - (199,149)  B:100 H:50"));
    QCOMPARE(m.Info, QRect(100, 81, 234, 19));
    QCOMPARE(m.X1, QRect(100, 100, 1, 50));
    QCOMPARE(m.Y1, QRect(100, 100, 100, 1));
    QCOMPARE(m.X2, QRect(199, 100, 1, 50));
    QCOMPARE(m.Y2, QRect(100, 149, 100, 1));
    QVERIFY(!bereichMarkerLayout({100, 100, 200, 150}, 15).Sichtbar);
    QVERIFY(!bereichMarkerLayout({0, 0, 1, 150}, 13).Sichtbar);
}

void TstAuswahlMarker::markersOverTheSurface()
{
    QWidget surface;
    surface.resize(400, 300);
    QPalette pal;
    pal.setColor(QPalette::Window, QColor(10, 200, 30));
    surface.setPalette(pal);
    surface.setAutoFillBackground(true);
    TAuswahlMarker marker(&surface);
    surface.show();
    QVERIFY(marker.BereichInfoPan->isHidden());

    marker.zeigen({100, 100, 200, 150}, 1);
    QVERIFY(marker.BereichX2Pan->isVisible());
    QCOMPARE(marker.BereichInfoPan->text(), QStringLiteral(" (100,100) - (199,149)  B:100 H:50"));
    QCOMPARE(marker.BereichInfoPan->geometry(), QRect(100, 81, 234, 19));
    QCOMPARE(marker.BereichInfoPan->cursor().shape(), Qt::SizeAllCursor);

    const QImage shot = surface.grab().toImage();
    // Dotted edges: black and white alternate along the top edge; inside stays untouched.
    QCOMPARE(shot.pixel(100, 100), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(101, 100), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(102, 100), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(199, 102), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(199, 103), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(150, 120), qRgb(10, 200, 30));
    QCOMPARE(shot.pixel(300, 82), qRgb(238, 238, 238));

    // Gone again without an area, and in the zoom view.
    marker.zeigen({0, 0, 1, 40}, 1);
    QVERIFY(marker.BereichX1Pan->isHidden() && marker.BereichInfoPan->isHidden());
    marker.zeigen({100, 100, 200, 150}, 15);
    QVERIFY(marker.BereichY2Pan->isHidden());
}

QTEST_MAIN(TstAuswahlMarker)
#include "tst_auswahlmarker.moc"
