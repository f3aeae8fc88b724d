#include "app/sitzung.h"
#include "surface/ausschnitt.h"
#include "surface/gnomeskalierung.h"

#include <QTest>

// The desktop picture of the cases: every pixel tells its own place, so that a cut-out shows
// where it came from.
static QImage desktopBild(QSize groesse)
{
    QImage bild(groesse, QImage::Format_ARGB32);
    for (int y = 0; y < groesse.height(); ++y)
        for (int x = 0; x < groesse.width(); ++x)
            bild.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) * 16 + (y >> 8)));
    return bild;
}

class TstAusschnitt : public QObject
{
    Q_OBJECT

private slots:
    void exactAtScaleOne_data();
    void exactAtScaleOne();
    void scaledDesktop_data();
    void scaledDesktop();
    void wholePicture_data();
    void wholePicture();
    void session_data();
    void session();
    void gnomeScalingNote_data();
    void gnomeScalingNote();
};

void TstAusschnitt::exactAtScaleOne_data()
{
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<QRect>("monitor");
    QTest::newRow("one monitor") << QRect(0, 0, 1280, 720) << QRect(0, 0, 1280, 720);
    QTest::newRow("right of two") << QRect(0, 0, 2560, 720) << QRect(1280, 0, 1280, 720);
    // A monitor left of the primary one: the desktop starts at negative coordinates.
    QTest::newRow("negative origin") << QRect(-1024, 0, 2304, 768) << QRect(-1024, 0, 1024, 768);
    QTest::newRow("lower, shorter monitor") << QRect(0, 0, 2304, 1080) << QRect(1920, 312, 384, 768);
}

void TstAusschnitt::exactAtScaleOne()
{
    QFETCH(QRect, desktop);
    QFETCH(QRect, monitor);
    const QImage bild = desktopBild(desktop.size());
    const QImage teil = monitorAusschnitt(bild, desktop, monitor);
    QCOMPARE(teil.format(), QImage::Format_RGB32);
    QCOMPARE(teil.size(), monitor.size());
    const QImage erwartet =
        bild.copy(monitor.translated(-desktop.topLeft())).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(teil, erwartet);
}

void TstAusschnitt::scaledDesktop_data()
{
    QTest::addColumn<QSize>("bildGroesse");
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<QRect>("monitor");
    QTest::addColumn<QPoint>("quelle"); // the picture's pixel at the monitor's top left
    QTest::newRow("scale 2") << QSize(2560, 1440) << QRect(0, 0, 1280, 720) << QRect(0, 0, 1280, 720)
                             << QPoint(0, 0);
    QTest::newRow("scale 2, second monitor")
        << QSize(5120, 1440) << QRect(0, 0, 2560, 720) << QRect(1280, 0, 1280, 720) << QPoint(2560, 0);
    QTest::newRow("scale 1.5") << QSize(1920, 1080) << QRect(0, 0, 1280, 720) << QRect(0, 0, 1280, 720)
                               << QPoint(0, 0);
    QTest::newRow("scale 1.5, odd border")
        << QSize(1921, 1080) << QRect(0, 0, 1281, 720) << QRect(427, 0, 854, 720) << QPoint(641, 0);
}

void TstAusschnitt::scaledDesktop()
{
    QFETCH(QSize, bildGroesse);
    QFETCH(QRect, desktop);
    QFETCH(QRect, monitor);
    QFETCH(QPoint, quelle);
    const QImage bild = desktopBild(bildGroesse);
    const QImage teil = monitorAusschnitt(bild, desktop, monitor);
    QCOMPARE(teil.size(), monitor.size());
    QCOMPARE(teil.format(), QImage::Format_RGB32);
    // The corner comes from the monitor's own part of the picture, not from its neighbour.
    const QRgb ecke = teil.pixel(0, 0), soll = bild.pixel(quelle);
    QVERIFY2(qAbs(qRed(ecke) - qRed(soll)) <= 2 && qAbs(qGreen(ecke) - qGreen(soll)) <= 2 &&
                 qBlue(ecke) == qBlue(soll),
             qPrintable(QString::number(ecke, 16) + QStringLiteral(" != ") + QString::number(soll, 16)));
}

void TstAusschnitt::wholePicture_data()
{
    QTest::addColumn<int>("alpha"); // of one pixel in the middle
    QTest::addColumn<bool>("ohneKopie");
    QTest::newRow("opaque: taken over in place") << 0xFF << true;
    // A translucent pixel has no RGB32 bits of its own: it is shown as over black.
    QTest::newRow("one translucent pixel") << 0x80 << false;
    QTest::newRow("one clear pixel") << 0 << false;
}

void TstAusschnitt::wholePicture()
{
    QFETCH(int, alpha);
    QFETCH(bool, ohneKopie);
    const QRect desktop(0, 0, 640, 360);
    QImage bild = desktopBild(desktop.size());
    bild.setPixel(320, 180, qRgba(200, 100, 50, alpha));
    const QImage erwartet = bild.convertToFormat(QImage::Format_RGB32);
    const uchar *pixel = bild.constBits();
    const QImage teil = monitorAusschnitt(std::move(bild), desktop, desktop);
    QCOMPARE(teil.format(), QImage::Format_RGB32);
    QCOMPARE(teil, erwartet);
    QCOMPARE(teil.constBits() == pixel, ohneKopie);
}

void TstAusschnitt::session_data()
{
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<bool>("wayland");
    QTest::newRow("X11") << QByteArray() << QByteArray("x11") << false;
    QTest::newRow("nothing known") << QByteArray() << QByteArray() << false;
    QTest::newRow("compositor socket") << QByteArray("wayland-0") << QByteArray() << true;
    QTest::newRow("login manager only") << QByteArray() << QByteArray("Wayland ") << true;
    QTest::newRow("tty") << QByteArray() << QByteArray("tty") << false;
}

void TstAusschnitt::session()
{
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    QFETCH(bool, wayland);
    QCOMPARE(waylandSitzung(waylandDisplay, sessionType), wayland);
}

void TstAusschnitt::gnomeScalingNote_data()
{
    QTest::addColumn<QSize>("bild");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QString>("prozent"); // empty: no note
    // GNOME's default at scale 2: XWayland sees the screen's own pixels.
    QTest::newRow("unscaled XWayland at scale 2") << QSize(3840, 2160) << QSize(3840, 2160) << QString();
    QTest::newRow("scale 1") << QSize(1920, 1080) << QSize(1920, 1080) << QString();
    QTest::newRow("scaled by the shell, 2")
        << QSize(3840, 2160) << QSize(1920, 1080) << QStringLiteral("200 %");
    QTest::newRow("scaled by the shell, 1.5")
        << QSize(2880, 1620) << QSize(1920, 1080) << QStringLiteral("150 %");
    QTest::newRow("no picture") << QSize() << QSize(1920, 1080) << QString();
}

void TstAusschnitt::gnomeScalingNote()
{
    QFETCH(QSize, bild);
    QFETCH(QSize, desktop);
    QFETCH(QString, prozent);
    const QString hinweis = gnomeSkalierungsHinweis(bild, desktop);
    QCOMPARE(hinweis.isEmpty(), prozent.isEmpty());
    if (!prozent.isEmpty()) {
        QVERIFY2(hinweis.contains(prozent), qPrintable(hinweis));
        // The feature by its key, the way back by the names of GNOME's German settings.
        QVERIFY(hinweis.contains(QStringLiteral("gsettings reset org.gnome.mutter experimental-features")));
        QVERIFY(hinweis.contains(QStringLiteral("„Bildschirme“")));
        QVERIFY(hinweis.contains(QStringLiteral("„Skalieren“")));
    }
}

QTEST_GUILESS_MAIN(TstAusschnitt)
#include "tst_ausschnitt.moc"
