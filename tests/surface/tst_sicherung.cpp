// The undo snapshot of a left press, which keeps only the tiles in which the picture differs
// from the background and compares only the tiles written since the previous press: whatever
// happened to the picture in between, the snapshot must equal the picture as it was just
// before the press, and undo must give exactly that picture back.
#include "bildhilfe.h"
#include "sheets/blatt.h"
#include "surface/bilddatei.h"
#include "surface/gesten.h"
#include "surface/rueckgaengig.h"
#include "surface/sicherung.h"
#include "toolwindow/einfrieren.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>
#include <memory>
#include <utility>

namespace {

// The snapshot knows exactly which tiles of its picture differ from its background, and keeps
// those as tiles, or, when more than half differ, the picture whole.
bool ablageStimmt(const ToolState &t, const QImage &bild)
{
    const Bildsicherung &b = t.BackupBmp;
    const QImage &grund = t.BackupOrigScrBmp;
    // A picture that does not fit its background is kept whole.
    if (grund.size() != bild.size())
        return b.Ganz == bild && b.Kacheln.empty();
    if (b.Breite != bild.width() || b.Hoehe != bild.height() || b.Anders.size() != b.Kacheln.size())
        return false;
    if (b.Spiegel ? b.Ganz != bild : !b.Ganz.isNull())
        return false;
    size_t verschieden = 0;
    for (int ky = 0; ky < b.Zeilen; ++ky) {
        for (int kx = 0; kx < b.Spalten; ++kx) {
            const size_t i = size_t(ky * b.Spalten + kx);
            const QRect kachel = QRect(kx * 64, ky * 64, 64, 64) & bild.rect();
            const bool anders = bild.copy(kachel) != grund.copy(kachel);
            verschieden += anders;
            if (b.Anders[i] != anders || b.Kacheln[i].empty() == (anders && !b.Spiegel))
                return false;
        }
    }
    return verschieden == b.Verschieden && b.Spiegel == (verschieden * 2 > b.Kacheln.size() ||
                                                         (b.Spiegel && verschieden * 4 >= b.Kacheln.size()));
}

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
        QVERIFY2(sicherungsBild(t) == erwartet, "the backup is not the picture of the press");
        QVERIFY2(ablageStimmt(t, erwartet), "the backup keeps other tiles than those that differ");
    }
};

// A screen read as the X server gives it where it can: in a memory file, the background a
// read-only picture over the file and the drawing picture a copy that shares its pages.
struct Dateiaufnahme
{
    Bilddatei datei;
    QImage original;        // what the file must hold as long as it lives
    QImage bild, zeichnung; // zeichnung until handed over

    explicit Dateiaufnahme(const QImage &schirm) : datei(bilddateiAnlegen(size_t(schirm.sizeInBytes())))
    {
        if (datei.fd < 0)
            return;
        original = schirm.copy();
        std::memcpy(datei.daten, schirm.constBits(), size_t(schirm.sizeInBytes()));
        bild = QImage(static_cast<const uchar *>(datei.daten), schirm.width(), schirm.height(),
                      qsizetype(schirm.width()) * 4, QImage::Format_RGB32);
        zeichnung = bilddateiKopie(datei, schirm.width(), schirm.height(), {});
    }
    ~Dateiaufnahme() { bilddateiSchliessen(datei); }

    bool unveraendert() const
    {
        return std::memcmp(datei.daten, original.constBits(), size_t(original.sizeInBytes())) == 0;
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
    void undoMatchesFullCopy_data();
    void undoMatchesFullCopy();
    void pressComparesOnlyWrittenTiles();
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
            // Replaced by the snapshot's picture, as announced.
            z.s.Img1Bmp = sicherungsBild(z.t);
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
            // The snapshot's background is shared with another image, which then is written
            // to: the background's own pixels stay as they were.
            QImage andere = z.t.BackupOrigScrBmp;
            if (!andere.isNull())
                andere.setPixel(0, 0, qRgb(9, 9, 9));
        } else if (wurf < 86) {
            // The snapshot's background is written, not announced.
            QImage &b = z.t.BackupOrigScrBmp;
            if (!b.isNull())
                b.setPixel(rnd.bounded(b.width()), rnd.bounded(b.height()), qRgb(4, 5, 6));
        } else if (wurf < 88) {
            // Undone: the picture is the backup again.
            const QImage soll = sicherungsBild(z.t);
            bildAusSicherung(z.t, z.s);
            QVERIFY(z.s.Img1Bmp == soll);
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

void TstSicherung::undoMatchesFullCopy_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QSize>("groesse");
    QTest::addColumn<bool>("mitDatei");
    for (quint32 seed : {11u, 12u, 13u})
        for (const QSize g : {QSize(301, 203), QSize(128, 64), QSize(70, 130)})
            for (const bool mitDatei : {false, true})
                QTest::addRow("seed %u, %dx%d%s", seed, g.width(), g.height(),
                              mitDatei ? ", in a memory file" : "")
                    << seed << g << mitDatei;
}

// Random sessions with pen, marker, eraser and shapes, "Alles löschen", sheets, the captured
// screen again and new freezes, against a model that keeps a plain full copy of picture and
// background at every snapshot: each undo (twice in a row, too) must give the model's result.
// With the screen in a memory file, the file holds the screen unchanged throughout: what is
// drawn reaches the drawing picture's own pages only.
void TstSicherung::undoMatchesFullCopy()
{
    QFETCH(quint32, seed);
    QFETCH(QSize, groesse);
    QFETCH(bool, mitDatei);
    QRandomGenerator rnd(seed);
    // Before the state: the files outlive every picture made of them.
    std::vector<std::unique_ptr<Dateiaufnahme>> dateien;
    const auto schirm = [&](QSize g) {
        QImage bild = musterBild(g.width(), g.height());
        bild.invertPixels(rnd.bounded(2) ? QImage::InvertRgb : QImage::InvertRgba);
        if (rnd.bounded(2))
            bild = bild.mirrored(true, false).convertToFormat(QImage::Format_RGB32);
        return bild;
    };
    Zustand z(schirm(groesse));
    const auto uebernehmen = [&](const QImage &bild) {
        if (!mitDatei)
            return bildUebernehmen(z.t, z.s, bild);
        dateien.push_back(std::make_unique<Dateiaufnahme>(bild));
        Dateiaufnahme &d = *dateien.back();
        QVERIFY(!d.zeichnung.isNull());
        const uchar *kopie = d.zeichnung.constBits();
        // Handed over, not kept: the drawing picture must be the copy's only holder.
        bildUebernehmen(z.t, z.s, d.bild, std::exchange(d.zeichnung, QImage()));
        // The picture shows the screen's pixels until the first press gives it the copy.
        QCOMPARE(z.s.Zeichenvorrat.constBits(), kopie);
        sicherungAbgleichen(z.t, z.s);
        QCOMPARE(z.s.Img1Bmp.constBits(), kopie);
        QVERIFY(z.s.Img1Bmp.isDetached());
    };
    uebernehmen(z.s.Img1Bmp);
    // The model: the snapshot's picture and background as plain copies.
    QImage modellBild = z.s.Img1Bmp.copy(), modellGrund = z.t.OrigScrBmp.copy();
    const auto schnappschuss = [&](const QImage &bild) {
        modellBild = bild.copy();
        modellGrund = z.t.BackupOrigScrBmp.copy();
    };
    const auto punkt = [&] {
        const QSize g = z.s.Img1Bmp.size();
        return QPoint(rnd.bounded(-10, g.width() + 10), rnd.bounded(-10, g.height() + 10));
    };
    const int modi[] = {1, 1, 2, 2, 3, 7, 8, 9, 12};
    bool links = false;
    for (int i = 0; i < 600; ++i) {
        const int wurf = rnd.bounded(100);
        const QPoint p = punkt();
        if (wurf < 12) {
            if (links)
                mausLoslassen(z.t, z.s, 0, p.x(), p.y());
            const QImage vorher = z.s.Img1Bmp.copy();
            z.druecken(p.x(), p.y());
            schnappschuss(z.t.Modus == 6 ? z.s.Img1Bmp : vorher);
            links = true;
        } else if (wurf < 55) {
            mausBewegen(z.t, z.s, links ? ssLeft : 0, p.x(), p.y());
        } else if (wurf < 62) {
            mausLoslassen(z.t, z.s, 0, p.x(), p.y());
            links = false;
        } else if (wurf < 70) {
            z.t.Modus = modi[rnd.bounded(int(std::size(modi)))];
            z.t.Sdicke = Dicken[rnd.bounded(int(std::size(Dicken)))];
            z.t.Scol = Farben[rnd.bounded(int(std::size(Farben)))];
            z.t.Smode = rnd.bounded(2) ? pmCopy : pmMask;
            Zeichenbewegung(z.t, z.s, 0, -1, -1);
            links = false;
        } else if (wurf < 76) {
            // "Alles löschen", the marker taken away first as the command does.
            Zeichenbewegung(z.t, z.s, 0, -1, -1);
            const QImage vorher = z.s.Img1Bmp.copy();
            bildLoeschen(z.t, z.s);
            schnappschuss(vorher);
            QVERIFY(z.s.Img1Bmp == z.t.OrigScrBmp);
            links = false;
        } else if (wurf < 82) {
            // A sheet, or the captured screen again: the old background goes into the snapshot.
            Zeichenbewegung(z.t, z.s, 0, -1, -1);
            const QImage vorher = z.s.Img1Bmp.copy();
            z.t.BackupOrigScrBmp = z.t.OrigScrBmp;
            switch (rnd.bounded(4)) {
            case 0:
                KaroBlatt(z.t.OrigScrBmp, groesse, 48);
                break;
            case 1:
                BlattFuellen(z.t.OrigScrBmp, groesse, Palette::Weiss);
                break;
            case 2:
                LinienBlatt(z.t.OrigScrBmp, groesse / 2, 72);
                break;
            default:
                z.t.OrigScrBmp = z.t.OrigScrStartBmp;
            }
            bildLoeschen(z.t, z.s);
            schnappschuss(vorher);
            links = false;
        } else if (wurf < 84) {
            // A new freeze, now and then of a monitor of another size.
            uebernehmen(schirm(rnd.bounded(3) ? groesse : groesse.transposed()));
            modellBild = z.s.Img1Bmp.copy();
            modellGrund = z.t.OrigScrBmp.copy();
            links = false;
        } else if (wurf < 92) {
            // Undo, once or twice, against undo from the model's full copies.
            ToolState mt = z.t;
            SurfaceState ms = z.s;
            mt.BackupBmp = modellBild.copy();
            mt.BackupOrigScrBmp = modellGrund.copy();
            schnappschussZurueck(mt, ms);
            for (int k = rnd.bounded(1, 3); k > 0; --k) {
                schnappschussZurueck(z.t, z.s);
                if (z.s.Img1Bmp != ms.Img1Bmp || z.t.OrigScrBmp != mt.OrigScrBmp)
                    QFAIL(qPrintable(QStringLiteral("undo differs from the full copy at action %1").arg(i)));
            }
            links = false;
        } else {
            for (int k = 0; k < 5; ++k) {
                const QPoint q = punkt();
                mausBewegen(z.t, z.s, links ? ssLeft : 0, q.x(), q.y());
            }
        }
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("at action %1").arg(i)));
    }
    for (const std::unique_ptr<Dateiaufnahme> &d : dateien)
        QVERIFY2(d->unveraendert(), "a memory file the screen was read into was written");
}

// After a short stroke the press looks at the stroke's tiles only (here: a pixel planted in
// the picture far from the stroke, unseen by any key, does not reach the backup), and the
// backup keeps no more than those tiles.
void TstSicherung::pressComparesOnlyWrittenTiles()
{
    Zustand z(musterBild(640, 480));
    z.druecken(20, 20);
    mausBewegen(z.t, z.s, ssLeft, 40, 30);
    mausLoslassen(z.t, z.s, 0, 40, 30);
    const QImage vorher = z.s.Img1Bmp.copy();
    const_cast<QRgb *>(reinterpret_cast<const QRgb *>(z.s.Img1Bmp.constScanLine(400)))[600] = qRgb(1, 2, 3);
    mausDruecken(z.t, z.s, ssLeft, 30, 30);
    QVERIFY(sicherungsBild(z.t) == vorher);
    QVERIFY(z.t.BackupBmp.Verschieden >= 1 && z.t.BackupBmp.Verschieden <= 2);
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
    QVERIFY(z.t.BackupBmp.Ganz.isNull());
    QCOMPARE(z.t.BackupBmp.Verschieden, size_t(0));
    QCOMPARE(z.s.Img1Bmp.devicePixelRatio(), dpr);
    QCOMPARE(sicherungsBild(z.t).dotsPerMeterX(), 5000);
    QCOMPARE(z.s.Img1Bmp.bytesPerLine(), erfasst.bytesPerLine());
    for (int x = 100; x < 2100; x += 50)
        mausBewegen(z.t, z.s, ssLeft, x, 100 + x / 2);
    mausLoslassen(z.t, z.s, 0, 2100, 1150);
    QVERIFY(z.t.OrigScrBmp == original);
    QVERIFY(sicherungsBild(z.t) == original);
    QVERIFY(z.s.Img1Bmp != original);
    z.druecken(200, 200);
    const QImage gezeichnet = sicherungsBild(z.t);
    bildAusSicherung(z.t, z.s);
    QVERIFY(z.s.Img1Bmp == gezeichnet);
    bildGanzGeaendert(z.s);
    z.druecken(300, 300);
}

void TstSicherung::unseenWritesAreCopied_data()
{
    QTest::addColumn<int>("art");
    QTest::newRow("pixel written in place") << 0;
    QTest::newRow("painter on the picture") << 1;
    QTest::newRow("picture assigned") << 2;
    QTest::newRow("snapshot's background written") << 3;
    QTest::newRow("backup assigned") << 4;
    QTest::newRow("written through a const pointer, announced") << 5;
    QTest::newRow("background written") << 6;
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
            z.t.BackupOrigScrBmp.setPixel(600, 400, qRgb(1, 2, 3));
            break;
        case 4:
            z.t.BackupBmp = einfarbig(640, 480, qRgb(7, 7, 7));
            break;
        case 5:
            const_cast<QRgb *>(reinterpret_cast<const QRgb *>(z.s.Img1Bmp.constScanLine(400)))[600] =
                qRgb(1, 2, 3);
            bildGanzGeaendert(z.s);
            break;
        case 6:
            z.t.OrigScrBmp.setPixel(600, 400, qRgb(1, 2, 3));
            break;
        }
        if (strichDanach) {
            mausBewegen(z.t, z.s, 0, 30, 30);
            z.druecken(30, 30);
        } else {
            UndoSchnappschuss(z.t, z.s);
            QVERIFY(sicherungsBild(z.t) == z.s.Img1Bmp);
            QVERIFY(ablageStimmt(z.t, z.s.Img1Bmp));
        }
    }
}

QTEST_MAIN(TstSicherung)
#include "tst_sicherung.moc"
