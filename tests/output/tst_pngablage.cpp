// The clipboard's picture kept as PNG: every way of reading it gives the copied pixels, also
// when the picture is drawn on while it is still being encoded.
#include "output/pngablage.h"

#include "testbilder.h"

#include <QTest>

class TstPngAblage : public QObject
{
    Q_OBJECT

private slots:
    void givesTheCopiedPixels_data();
    void givesTheCopiedPixels();
};

void TstPngAblage::givesTheCopiedPixels_data()
{
    QTest::addColumn<QImage>("bild");
    QTest::newRow("pattern, odd size") << musterBild(301, 203);
    QTest::newRow("noise, large enough for several encoder threads") << rauschBild(1500, 900);
    QTest::newRow("one pixel") << musterBild(1, 1);
    QImage mitAlpha = musterBild(64, 33).convertToFormat(QImage::Format_ARGB32);
    QTest::newRow("another format") << mitAlpha;
}

void TstPngAblage::givesTheCopiedPixels()
{
    QFETCH(QImage, bild);
    const QImage soll = bild.convertToFormat(QImage::Format_RGB32).copy();
    QImage bildDanach = bild.copy(); // the picture, drawn on right after the copy command
    PngAblage ablage(bildDanach);
    bildDanach.fill(Qt::red);

    QCOMPARE(ablage.formats(), (QStringList{"image/png", "application/x-qt-image"}));
    QVERIFY(ablage.hasImage());
    QVERIFY(!ablage.hasText());
    QCOMPARE(QImage::fromData(ablage.data("image/png"), "PNG").convertToFormat(QImage::Format_RGB32), soll);
    const QImage gelesen = qvariant_cast<QImage>(ablage.imageData());
    QCOMPARE(gelesen.format(), QImage::Format_RGB32);
    QCOMPARE(gelesen, soll);
    // Qt serves its own image type to other processes as PNG bytes.
    QCOMPARE(ablage.data("application/x-qt-image"), ablage.data("image/png"));
    QVERIFY(ablage.data("text/plain").isEmpty());

    // For a clipboard manager: PNG alone, and the same bytes.
    const QByteArray png = ablage.png();
    ablage.nurPngAnbieten();
    QCOMPARE(ablage.formats(), QStringList{"image/png"});
    QVERIFY(!ablage.hasFormat("application/x-qt-image"));
    QCOMPARE(ablage.data("image/png"), png);
    QCOMPARE(qvariant_cast<QImage>(ablage.imageData()), soll);
}

QTEST_GUILESS_MAIN(TstPngAblage)
#include "tst_pngablage.moc"
