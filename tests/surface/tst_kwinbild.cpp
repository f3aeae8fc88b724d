#include "surface/kwinantwort.h"

#include <QTest>

#include <thread>
#include <unistd.h>

// KWin's answer for a picture of `breite` × `hoehe` in `format`, lines `zeile` bytes apart.
static QVariantMap antwort(QImage::Format format, uint breite, uint hoehe, uint zeile)
{
    return {{QStringLiteral("type"), QStringLiteral("raw")},
            {QStringLiteral("format"), uint(format)},
            {QStringLiteral("width"), breite},
            {QStringLiteral("height"), hoehe},
            {QStringLiteral("stride"), zeile},
            {QStringLiteral("scale"), 1.0}};
}

// The bytes KWin writes for `bild`: its lines `zeile` bytes apart, the padding filled with junk.
static QByteArray pixel(const QImage &bild, int zeile)
{
    QByteArray daten(qsizetype(zeile) * bild.height(), char(0x5A));
    for (int y = 0; y < bild.height(); ++y)
        memcpy(daten.data() + qsizetype(y) * zeile, bild.constScanLine(y), size_t(bild.bytesPerLine()));
    return daten;
}

// Every pixel tells its place; opaque, as a screen is.
static QImage musterBild(QSize groesse)
{
    QImage bild(groesse, QImage::Format_RGB32);
    for (int y = 0; y < groesse.height(); ++y)
        for (int x = 0; x < groesse.width(); ++x)
            bild.setPixel(x, y, qRgb(x * 7 & 0xFF, y * 13 & 0xFF, (x + y) & 0xFF));
    return bild;
}

class TstKwinBild : public QObject
{
    Q_OBJECT

private slots:
    void pixelFormate_data();
    void pixelFormate();
    void pufferUebernommen_data();
    void pufferUebernommen();
    void kaputteAntworten_data();
    void kaputteAntworten();
    void pipeBisZumEnde();
    void folgeNachFehler_data();
    void folgeNachFehler();
    void skalierungsHinweis_data();
    void skalierungsHinweis();
};

void TstKwinBild::pixelFormate_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("zeilenRest"); // bytes after each line's pixels
    // KWin renders into premultiplied ARGB32; the others are what a different renderer gives.
    QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << 0;
    QTest::newRow("ARGB32 premultiplied, padded lines") << int(QImage::Format_ARGB32_Premultiplied) << 12;
    QTest::newRow("RGB32 with an undefined padding byte") << int(QImage::Format_RGB32) << 0;
    QTest::newRow("RGBA8888 premultiplied (GLES)") << int(QImage::Format_RGBA8888_Premultiplied) << 4;
    QTest::newRow("RGB888") << int(QImage::Format_RGB888) << 3;
}

void TstKwinBild::pixelFormate()
{
    QFETCH(int, format);
    QFETCH(int, zeilenRest);
    const QImage soll = musterBild(QSize(37, 23));
    QImage gesendet = soll.convertToFormat(QImage::Format(format));
    if (format == QImage::Format_RGB32) // what the padding byte holds is up to the sender
        for (int y = 0; y < gesendet.height(); ++y)
            for (int x = 0; x < gesendet.width(); ++x)
                reinterpret_cast<QRgb *>(gesendet.scanLine(y))[x] &= 0x00FFFFFFu;
    const int zeile = int(gesendet.bytesPerLine()) + zeilenRest;
    QString fehler;
    QByteArray daten = pixel(gesendet, zeile);
    const QImage bild = kwinBild(antwort(QImage::Format(format), 37, 23, uint(zeile)), daten, &fehler);
    QVERIFY2(!bild.isNull(), qPrintable(fehler));
    // The picture has its own pixels: the pipe's buffer may go.
    daten.fill('\0');
    QCOMPARE(bild.format(), QImage::Format_RGB32);
    QCOMPARE(bild, soll);
    // The padding byte itself, which pixel() and == pass over.
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            QCOMPARE(reinterpret_cast<const QRgb *>(bild.constScanLine(y))[x] >> 24, 0xFFu);
}

void TstKwinBild::pufferUebernommen_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("durchsichtig"); // one pixel not opaque
    QTest::addColumn<bool>("uebernommen");  // the picture lives in the pipe's buffer
    QTest::newRow("KWin's premultiplied ARGB32, opaque")
        << int(QImage::Format_ARGB32_Premultiplied) << false << true;
    QTest::newRow("premultiplied ARGB32, a pixel see-through")
        << int(QImage::Format_ARGB32_Premultiplied) << true << false;
    QTest::newRow("ARGB32, opaque") << int(QImage::Format_ARGB32) << false << true;
    QTest::newRow("ARGB32, a pixel see-through") << int(QImage::Format_ARGB32) << true << false;
    QTest::newRow("RGB32") << int(QImage::Format_RGB32) << false << true;
}

void TstKwinBild::pufferUebernommen()
{
    // At 1080p a copy of the picture costs more than reading it: KWin's format is taken over.
    QFETCH(int, format);
    QFETCH(bool, durchsichtig);
    QFETCH(bool, uebernommen);
    QImage gesendet = musterBild(QSize(16, 9)).convertToFormat(QImage::Format(format));
    if (durchsichtig)
        gesendet.setPixel(5, 4, 0x40102030u); // a quarter opaque
    QByteArray daten = pixel(gesendet, int(gesendet.bytesPerLine()));
    const uchar *puffer = reinterpret_cast<const uchar *>(daten.constData());
    QString fehler;
    const QImage bild = kwinBild(antwort(QImage::Format(format), 16, 9, uint(gesendet.bytesPerLine())),
                                 std::move(daten), &fehler);
    QVERIFY2(!bild.isNull(), qPrintable(fehler));
    QCOMPARE(bild.format(), QImage::Format_RGB32);
    QCOMPARE(bild.constBits() == puffer, uebernommen);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = reinterpret_cast<const QRgb *>(bild.constScanLine(y))[x];
            QCOMPARE(qAlpha(p), 0xFF);
            if (!durchsichtig || x != 5 || y != 4)
                QCOMPARE(p, musterBild(QSize(16, 9)).pixel(x, y));
        }
}

void TstKwinBild::kaputteAntworten_data()
{
    QTest::addColumn<QVariantMap>("werte");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("gut");
    const QVariantMap gut = antwort(QImage::Format_ARGB32_Premultiplied, 16, 8, 64);
    QVariantMap w = gut;
    QTest::newRow("all there") << gut << 512 << true;
    QTest::newRow("last line unpadded")
        << antwort(QImage::Format_ARGB32_Premultiplied, 16, 8, 80) << 80 * 7 + 64 << true;
    QTest::newRow("pixels cut short") << gut << 511 << false;
    QTest::newRow("no pixels") << gut << 0 << false;
    w[QStringLiteral("type")] = QStringLiteral("file");
    QTest::newRow("other type") << w << 512 << false;
    QTest::newRow("stride below the width")
        << antwort(QImage::Format_ARGB32_Premultiplied, 16, 8, 60) << 512 << false;
    QTest::newRow("zero width") << antwort(QImage::Format_ARGB32_Premultiplied, 0, 8, 64) << 512 << false;
    QTest::newRow("absurd height") << antwort(QImage::Format_ARGB32_Premultiplied, 16, 4000000000u, 64) << 512
                                   << false;
    QTest::newRow("one bit a pixel") << antwort(QImage::Format_Mono, 16, 8, 64) << 512 << false;
    QTest::newRow("palette") << antwort(QImage::Format_Indexed8, 16, 8, 64) << 512 << false;
    w = gut;
    w[QStringLiteral("format")] = 999u;
    QTest::newRow("unknown format") << w << 512 << false;
    w = gut;
    w.remove(QStringLiteral("stride"));
    QTest::newRow("no stride") << w << 512 << false;
}

void TstKwinBild::kaputteAntworten()
{
    QFETCH(QVariantMap, werte);
    QFETCH(int, bytes);
    QFETCH(bool, gut);
    QString fehler;
    const QImage bild = kwinBild(werte, QByteArray(bytes, char(0x7F)), &fehler);
    QCOMPARE(bild.isNull(), !gut);
    QCOMPARE(fehler.isEmpty(), gut);
}

void TstKwinBild::pipeBisZumEnde()
{
    // A 1080p picture is far more than a pipe holds: the reader must keep going until the
    // writer closes, and drop what goes beyond the expected size without blocking the writer.
    int enden[2];
    QVERIFY(pipe(enden) == 0);
    const qsizetype groesse = qsizetype(1920) * 1080 * 4;
    QByteArray gesendet(groesse + 1000, '\0');
    for (qsizetype i = 0; i < gesendet.size(); ++i)
        gesendet[i] = char(i * 31 % 251);
    std::thread schreiber([&] {
        for (qsizetype ab = 0; ab < gesendet.size();) {
            const ssize_t n = write(enden[1], gesendet.constData() + ab,
                                    size_t(std::min<qsizetype>(100000, gesendet.size() - ab)));
            if (n <= 0)
                break;
            ab += n;
        }
        close(enden[1]);
    });
    bool vollstaendig = false;
    const QByteArray gelesen = pipeLesen(enden[0], std::chrono::milliseconds(10000), groesse, &vollstaendig);
    schreiber.join();
    QVERIFY(vollstaendig);
    QCOMPARE(gelesen.size(), groesse);
    QVERIFY(gelesen == gesendet.left(groesse));

    // Into memory made ready beforehand, where it has room.
    QVERIFY(pipe(enden) == 0);
    QByteArray bereit(100, Qt::Uninitialized);
    const char *bereitDaten = bereit.constData();
    QVERIFY(write(enden[1], "abcdef", 6) == 6);
    close(enden[1]);
    const QByteArray hinein =
        pipeLesen(enden[0], std::chrono::milliseconds(10000), 100, &vollstaendig, std::move(bereit));
    close(enden[0]);
    QVERIFY(vollstaendig);
    QCOMPARE(hinein, QByteArray("abcdef"));
    QCOMPARE(hinein.constData(), bereitDaten);

    // A writer that never finishes: the time limit ends the wait, and says so.
    QVERIFY(pipe(enden) == 0);
    QVERIFY(write(enden[1], "abc", 3) == 3);
    const QByteArray teil = pipeLesen(enden[0], std::chrono::milliseconds(50), 100, &vollstaendig);
    QVERIFY(!vollstaendig);
    QCOMPARE(teil, QByteArray("abc"));
    close(enden[0]);
    close(enden[1]);
}

void TstKwinBild::folgeNachFehler_data()
{
    QTest::addColumn<QString>("fehlername");
    QTest::addColumn<int>("folge");
    QTest::newRow("XWayland's monitor name unknown to KWin")
        << "org.kde.KWin.ScreenShot2.Error.InvalidScreen" << int(KwinFolge::Arbeitsflaeche);
    QTest::newRow("desktop entry not installed")
        << "org.kde.KWin.ScreenShot2.Error.NoAuthorized" << int(KwinFolge::PortalAbJetzt);
    QTest::newRow("no KWin") << "org.freedesktop.DBus.Error.ServiceUnknown" << int(KwinFolge::PortalAbJetzt);
    QTest::newRow("KWin without the interface")
        << "org.freedesktop.DBus.Error.UnknownObject" << int(KwinFolge::PortalAbJetzt);
    QTest::newRow("KWin too busy to answer")
        << "org.freedesktop.DBus.Error.NoReply" << int(KwinFolge::Portal);
    QTest::newRow("pipe refused") << "org.kde.KWin.ScreenShot2.Error.FileDescriptor"
                                  << int(KwinFolge::Portal);
    QTest::newRow("pixels broken, no D-Bus error") << "" << int(KwinFolge::Portal);
}

void TstKwinBild::folgeNachFehler()
{
    QFETCH(QString, fehlername);
    QFETCH(int, folge);
    QCOMPARE(int(kwinFolge(fehlername)), folge);
}

void TstKwinBild::skalierungsHinweis_data()
{
    QTest::addColumn<QSize>("bild");
    QTest::addColumn<QSize>("monitor");
    QTest::addColumn<QString>("prozent"); // empty: no note
    QTest::newRow("scale 1") << QSize(1920, 1080) << QSize(1920, 1080) << QString();
    QTest::newRow("scale 2, scaled by the system") << QSize(3840, 2160) << QSize(1920, 1080) << "200 %";
    QTest::newRow("scale 1.5, scaled by the system") << QSize(2880, 1620) << QSize(1920, 1080) << "150 %";
    QTest::newRow("scale 2, XWayland scaling itself") << QSize(3840, 2160) << QSize(3840, 2160) << QString();
    QTest::newRow("no picture") << QSize() << QSize(1920, 1080) << QString();
}

void TstKwinBild::skalierungsHinweis()
{
    QFETCH(QSize, bild);
    QFETCH(QSize, monitor);
    QFETCH(QString, prozent);
    const QString hinweis = kwinSkalierungsHinweis(bild, monitor);
    QCOMPARE(hinweis.isEmpty(), prozent.isEmpty());
    if (!prozent.isEmpty()) {
        QVERIFY2(hinweis.contains(prozent), qPrintable(hinweis));
        // The setting as KDE's display settings name it in German.
        QVERIFY(hinweis.contains(QStringLiteral("„Herkömmliche Anwendungen (X11):“")));
        QVERIFY(hinweis.contains(QStringLiteral("„Skalierung selbst durchführen“")));
    }
}

QTEST_GUILESS_MAIN(TstKwinBild)
#include "tst_kwinbild.moc"
