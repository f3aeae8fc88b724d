// The undo snapshot of a left press, which copies only the tiles written since the previous
// press: whatever happened to the picture in between, the backup must equal the picture as
// it was just before the press.
#include "bildhilfe.h"
#include "surface/gesten.h"
#include "surface/sicherung.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace {

struct Zustand
{
    ToolState t;
    SurfaceState s;

    explicit Zustand(const QImage &bild)
    {
        // As after a freeze: every picture shares the captured pixels.
        t.OrigScrBmp = bild;
        t.BackupBmp = bild;
        t.BackupOrigScrBmp = bild;
        s.Img1Bmp = bild;
        t.Modus = 1;
        t.Sdicke = 7;
        t.Scol = Palette::Rot;
        t.Smode = pmCopy;
    }

    // A left press; the backup must then hold the picture as it was before it (the text
    // tool's: as it is after it, without the marker).
    void druecken(int x, int y)
    {
        const QImage vorher = s.Img1Bmp.copy();
        mausDruecken(t, s, ssLeft, x, y);
        const QImage &erwartet = t.Modus == 6 ? s.Img1Bmp : vorher;
        QVERIFY2(t.BackupBmp == erwartet, "the backup is not the picture of the press");
        QVERIFY2(t.BackupBmp.constBits() != s.Img1Bmp.constBits(), "the backup shares the picture");
    }
};

const int Modi[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
const int Dicken[] = {3, 7, 13, 21};
const TColor Farben[] = {Palette::Rot, Palette::Gelb, Palette::Blau, Palette::Schwarz};

} // namespace

class TstSicherung : public QObject
{
    Q_OBJECT

private slots:
    void randomSessionsKeepBackupExact_data();
    void randomSessionsKeepBackupExact();
    void pressCopiesOnlyWrittenTiles();
    void largePictureGetsBuffersOfItsOwn_data();
    void largePictureGetsBuffersOfItsOwn();
    void unseenWritesAreCopied_data();
    void unseenWritesAreCopied();
};

void TstSicherung::randomSessionsKeepBackupExact_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u})
        QTest::addRow("seed %u", seed) << seed;
}

// Long random sessions: gestures of every tool, hovering, tool changes and the ways the
// picture is replaced or written behind the gestures' back, with a left press now and then.
void TstSicherung::randomSessionsKeepBackupExact()
{
    QFETCH(quint32, seed);
    QRandomGenerator rnd(seed);
    // Sizes that are no multiple of the tile size, so that partial tiles at the right and
    // bottom edges are exercised.
    const QSize groessen[] = {QSize(301, 203), QSize(130, 70)};
    QSize groesse = groessen[0];
    Zustand z(musterBild(groesse.width(), groesse.height()));
    const auto punkt = [&] {
        // Now and then outside the picture: operations clip.
        return QPoint(rnd.bounded(-20, groesse.width() + 20), rnd.bounded(-20, groesse.height() + 20));
    };
    bool links = false;
    int druecke = 0, schnell = 0;
    for (int i = 0; i < 3000; ++i) {
        const int wurf = rnd.bounded(100);
        const QPoint p = punkt();
        if (wurf < 8) {
            if (links)
                mausLoslassen(z.t, z.s, 0, p.x(), p.y());
            // A fast press: nothing replaced the picture since the last one.
            schnell += !z.s.Aenderungen.Alles;
            ++druecke;
            z.druecken(p.x(), p.y());
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("at action %1").arg(i)));
            links = true;
        } else if (wurf < 50) {
            mausBewegen(z.t, z.s, links ? ssLeft : 0, p.x(), p.y());
        } else if (wurf < 58) {
            mausLoslassen(z.t, z.s, 0, p.x(), p.y());
            links = false;
        } else if (wurf < 64) {
            Zeichenbewegung(z.t, z.s, 0, -1, -1);
            links = false;
        } else if (wurf < 72) {
            z.t.Modus = Modi[rnd.bounded(int(std::size(Modi)))];
            z.t.Sdicke = Dicken[rnd.bounded(int(std::size(Dicken)))];
            z.t.Scol = Farben[rnd.bounded(int(std::size(Farben)))];
            z.t.Smode = rnd.bounded(2) ? pmCopy : pmMask;
            z.s.Lx = z.s.Ly = z.s.Sx = z.s.Sy = -1;
            links = false;
        } else if (wurf < 74) {
            // Cleared in place, as announced.
            z.s.Img1Bmp.fill(qRgb(rnd.bounded(256), 0, 0));
            bildGanzGeaendert(z.s);
        } else if (wurf < 76) {
            // Undone by exchanging picture and backup, as announced.
            std::swap(z.s.Img1Bmp, z.t.BackupBmp);
            bildGanzGeaendert(z.s);
        } else if (wurf < 78) {
            // A new picture, perhaps of another size, not announced.
            groesse = groessen[rnd.bounded(2)];
            const QImage neu = musterBild(groesse.width(), groesse.height());
            z.t.OrigScrBmp = neu;
            z.s.Img1Bmp = rnd.bounded(2) ? neu : neu.copy();
            z.s.Lx = z.s.Ly = z.s.Sx = z.s.Sy = -1;
            links = false;
        } else if (wurf < 80) {
            // Written in place behind the gestures' back, not announced, followed by a
            // gesture that is accounted for.
            QImage &b = z.s.Img1Bmp;
            b.setPixel(rnd.bounded(b.width()), rnd.bounded(b.height()), qRgb(1, 2, 3));
            mausBewegen(z.t, z.s, links ? ssLeft : 0, p.x(), p.y());
        } else if (wurf < 82) {
            // The backup is shared with the picture, as after a freeze.
            z.t.BackupBmp = z.s.Img1Bmp;
        } else if (wurf < 84) {
            // The backup is shared with another image, which then is written to: the
            // backup's own pixels stay as they were.
            QImage andere = z.t.BackupBmp;
            if (!andere.isNull())
                andere.setPixel(0, 0, qRgb(9, 9, 9));
        } else if (wurf < 86) {
            // The backup is written, not announced.
            QImage &b = z.t.BackupBmp;
            if (!b.isNull())
                b.setPixel(rnd.bounded(b.width()), rnd.bounded(b.height()), qRgb(4, 5, 6));
        } else if (wurf < 88) {
            // Undone: the picture is the backup again.
            bildAusSicherung(z.t, z.s);
            QVERIFY(z.s.Img1Bmp == z.t.BackupBmp);
            QVERIFY(z.s.Img1Bmp.constBits() != z.t.BackupBmp.constBits());
        } else {
            // A stroke of several moves with the button down.
            for (int k = 0; k < 5; ++k) {
                const QPoint q = punkt();
                mausBewegen(z.t, z.s, links ? ssLeft : 0, q.x(), q.y());
            }
        }
    }
    // The fast path was taken often enough for the check to mean something.
    QVERIFY2(schnell * 3 > druecke, qPrintable(QStringLiteral("%1 of %2 presses").arg(schnell).arg(druecke)));
}

// After a short stroke the press copies the stroke's tiles and leaves every other tile of
// the backup alone (here: a pixel planted in the backup far from the stroke survives).
void TstSicherung::pressCopiesOnlyWrittenTiles()
{
    Zustand z(musterBild(640, 480));
    z.druecken(20, 20);
    mausBewegen(z.t, z.s, ssLeft, 40, 30);
    mausLoslassen(z.t, z.s, 0, 40, 30);
    // Planted through a const pointer, so that no key changes.
    const QRgb gepflanzt = qRgb(1, 2, 3);
    const_cast<QRgb *>(reinterpret_cast<const QRgb *>(z.t.BackupBmp.constScanLine(400)))[600] = gepflanzt;
    const QImage vorher = z.s.Img1Bmp.copy();
    mausDruecken(z.t, z.s, ssLeft, 30, 30);
    QCOMPARE(z.t.BackupBmp.pixel(600, 400), gepflanzt);
    z.t.BackupBmp.setPixel(600, 400, vorher.pixel(600, 400));
    QVERIFY(z.t.BackupBmp == vorher);
}

// A picture large enough for buffers of their own (as after a freeze, shared with the
// capture): the first press gives picture and backup separate buffers, which keep the
// picture's properties, and drawing or undoing then reaches neither the capture nor the backup.
void TstSicherung::largePictureGetsBuffersOfItsOwn_data()
{
    QTest::addColumn<double>("dpr");
    QTest::newRow("device pixel ratio 1") << 1.0;
    // Pen strokes then land elsewhere than the reported rectangles.
    QTest::newRow("device pixel ratio 2") << 2.0;
}

void TstSicherung::largePictureGetsBuffersOfItsOwn()
{
    QFETCH(double, dpr);
    QImage erfasst = musterBild(2200, 1200);
    erfasst.setDevicePixelRatio(dpr);
    erfasst.setDotsPerMeterX(5000);
    const QImage original = erfasst.copy();
    Zustand z(erfasst);
    z.druecken(100, 100);
    QVERIFY(z.s.Img1Bmp.isDetached());
    QVERIFY(z.t.BackupBmp.isDetached());
    QCOMPARE(z.s.Img1Bmp.devicePixelRatio(), dpr);
    QCOMPARE(z.t.BackupBmp.dotsPerMeterX(), 5000);
    QCOMPARE(z.s.Img1Bmp.bytesPerLine(), erfasst.bytesPerLine());
    for (int x = 100; x < 2100; x += 50)
        mausBewegen(z.t, z.s, ssLeft, x, 100 + x / 2);
    mausLoslassen(z.t, z.s, 0, 2100, 1150);
    QVERIFY(z.t.OrigScrBmp == original);
    QVERIFY(z.t.BackupBmp == original);
    QVERIFY(z.s.Img1Bmp != original);
    z.druecken(200, 200);
    bildAusSicherung(z.t, z.s);
    QVERIFY(z.s.Img1Bmp == z.t.BackupBmp);
    bildGanzGeaendert(z.s);
    z.druecken(300, 300);
}

void TstSicherung::unseenWritesAreCopied_data()
{
    QTest::addColumn<int>("art");
    QTest::newRow("pixel written in place") << 0;
    QTest::newRow("painter on the picture") << 1;
    QTest::newRow("picture assigned") << 2;
    QTest::newRow("backup written") << 3;
    QTest::newRow("backup assigned") << 4;
    QTest::newRow("written through a const pointer, announced") << 5;
}

// Writes that bypass the gestures, each followed by an accounted stroke elsewhere or by a
// snapshot taken directly: the snapshot still saves the whole picture as it is.
void TstSicherung::unseenWritesAreCopied()
{
    QFETCH(int, art);
    for (const bool strichDanach : {true, false}) {
        Zustand z(musterBild(640, 480));
        z.druecken(20, 20);
        mausBewegen(z.t, z.s, ssLeft, 40, 30);
        mausLoslassen(z.t, z.s, 0, 40, 30);
        switch (art) {
        case 0:
            z.s.Img1Bmp.setPixel(600, 400, qRgb(1, 2, 3));
            break;
        case 1: {
            QPainter p(&z.s.Img1Bmp);
            p.fillRect(QRect(500, 300, 10, 10), Qt::blue);
            break;
        }
        case 2:
            z.s.Img1Bmp = einfarbig(640, 480, qRgb(7, 7, 7));
            break;
        case 3:
            z.t.BackupBmp.setPixel(600, 400, qRgb(1, 2, 3));
            break;
        case 4:
            z.t.BackupBmp = einfarbig(640, 480, qRgb(7, 7, 7));
            break;
        case 5:
            const_cast<QRgb *>(reinterpret_cast<const QRgb *>(z.s.Img1Bmp.constScanLine(400)))[600] =
                qRgb(1, 2, 3);
            bildGanzGeaendert(z.s);
            break;
        }
        if (strichDanach) {
            mausBewegen(z.t, z.s, 0, 30, 30);
            z.druecken(30, 30);
        } else {
            UndoSchnappschuss(z.t, z.s);
            QVERIFY(z.t.BackupBmp == z.s.Img1Bmp);
        }
    }
}

QTEST_MAIN(TstSicherung)
#include "tst_sicherung.moc"
