#include "surface/mauszeiger.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QTest>

class TstMauszeiger : public QObject
{
    Q_OBJECT

private slots:
    void pointerTable_data();
    void pointerTable();
    void zoomStepPrecedence_data();
    void zoomStepPrecedence();
    void ownPointers_data();
    void ownPointers();
};

void TstMauszeiger::pointerTable_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("modus");
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("img1");
    QTest::addColumn<int>("img2");
    const auto z = [](Zeiger p) { return int(p); };
    QTest::newRow("pen, normal") << 1 << 1 << 0 << z(Zeiger::Pfeil) << z(Zeiger::Keiner);
    QTest::newRow("selection, normal") << 1 << 13 << 0 << z(Zeiger::Pfeil) << z(Zeiger::Keiner);
    QTest::newRow("magnifier, normal") << 1 << 14 << 0 << z(Zeiger::Pfeil) << z(Zeiger::Keiner);
    QTest::newRow("zoom, normal") << 1 << 15 << 0 << z(Zeiger::Pfeil) << z(Zeiger::Pfeil);
    QTest::newRow("zoom, panning") << 1 << 15 << int(ssLeft) << z(Zeiger::Pfeil) << z(Zeiger::Hand);
    QTest::newRow("pen, hidden") << 2 << 1 << 0 << z(Zeiger::Keiner) << z(Zeiger::Keiner);
    QTest::newRow("magnifier, hidden") << 2 << 14 << 0 << z(Zeiger::Keiner) << z(Zeiger::Keiner);
    QTest::newRow("zoom panning, hidden") << 2 << 15 << int(ssLeft) << z(Zeiger::Keiner) << z(Zeiger::Keiner);
}

void TstMauszeiger::pointerTable()
{
    QFETCH(int, setting);
    QFETCH(int, modus);
    QFETCH(int, shift);
    QFETCH(int, img1);
    QFETCH(int, img2);
    QCOMPARE(zeigerFuer(setting, modus, TShiftState(shift)), (ZeigerPaar{Zeiger(img1), Zeiger(img2)}));
}

void TstMauszeiger::zoomStepPrecedence_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("expected");
    QTest::newRow("nothing held") << 1 << 0 << int(Zeiger::Pfeil);
    QTest::newRow("Shift beats all") << 1 << int(ssShift | ssLeft | ssCtrl) << int(Zeiger::Pipette);
    QTest::newRow("left beats Ctrl") << 1 << int(ssLeft | ssCtrl) << int(Zeiger::Hand);
    QTest::newRow("Ctrl hides") << 1 << int(ssCtrl) << int(Zeiger::Keiner);
    QTest::newRow("hidden setting") << 2 << int(ssShift) << int(Zeiger::Keiner);
}

void TstMauszeiger::zoomStepPrecedence()
{
    QFETCH(int, setting);
    QFETCH(int, shift);
    QFETCH(int, expected);
    QCOMPARE(zoomZeiger(setting, TShiftState(shift)), Zeiger(expected));
}

void TstMauszeiger::ownPointers_data()
{
    QTest::addColumn<int>("pointer");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::addColumn<QRgb>("atHotSpot");
    // The hand's hot spot lies on its black outline; the eyedropper's on its black tip.
    QTest::newRow("HAND") << int(Zeiger::Hand) << QPoint(9, 8) << qRgb(0, 0, 0);
    QTest::newRow("PIPETTE") << int(Zeiger::Pipette) << QPoint(8, 24) << qRgb(0, 0, 0);
}

void TstMauszeiger::ownPointers()
{
    QFETCH(int, pointer);
    QFETCH(QPoint, hotSpot);
    QFETCH(QRgb, atHotSpot);
    MauszeigerRegistrieren();
    const QCursor c = cursorFuer(Zeiger(pointer));
    QCOMPARE(c.shape(), Qt::BitmapCursor);
    QCOMPARE(c.hotSpot(), hotSpot);
    const QImage img = c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(img.size(), QSize(32, 32));
    QCOMPARE(img.pixel(hotSpot), atHotSpot);
    // Two colours and transparency, nothing else.
    int black = 0, white = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb p = img.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            QVERIFY(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255));
            (p == qRgb(0, 0, 0) ? black : white)++;
        }
    QVERIFY(black > 20 && white > 20);
    QCOMPARE(cursorFuer(Zeiger::Bewegen).shape(), Qt::SizeAllCursor);
    QCOMPARE(cursorFuer(Zeiger::Keiner).shape(), Qt::BlankCursor);
}

QTEST_MAIN(TstMauszeiger)
#include "tst_mauszeiger.moc"
