// The drawing step and the pointer gestures on plain state records: markers, pen, eraser,
// shapes with preview and Shift constraints, arrows, the undo snapshot, partial repaint.
#include "bildhilfe.h"
#include "surface/formen.h"
#include "surface/gesten.h"
#include "surface/sicherung.h"

#include <QTest>

namespace {

struct Zustand
{
    ToolState t;
    SurfaceState s;

    Zustand(const QImage &bild, int modus, int sdicke, TColor farbe = Palette::Rot, TPenMode smode = pmCopy)
    {
        // As after a freeze: every picture shares the captured pixels.
        t.OrigScrBmp = bild;
        t.BackupBmp = bild;
        t.BackupOrigScrBmp = bild;
        s.Img1Bmp = bild;
        t.Modus = modus;
        t.Sdicke = sdicke;
        t.Scol = farbe;
        t.Smode = smode;
    }

    // Runs one operation and checks that it reported every pixel it changed.
    template<typename Op> void lauf(Op op, TShiftState shift, int x, int y)
    {
        const QImage vorher = s.Img1Bmp.copy();
        const Rechtecke r = op(t, s, shift, x, y);
        QVERIFY2(abgedeckt(vorher, s.Img1Bmp, r), "a changed pixel was not reported for repaint");
    }
    void druecken(TShiftState sh, int x, int y) { lauf(mausDruecken, sh, x, y); }
    void bewegen(TShiftState sh, int x, int y) { lauf(mausBewegen, sh, x, y); }
    void loslassen(TShiftState sh, int x, int y) { lauf(mausLoslassen, sh, x, y); }
    // The tool window's step with (−1, −1): the marker leaves the picture.
    void verlassen() { lauf(Zeichenbewegung, 0, -1, -1); }
};

const QRgb Weiss = 0xFFFFFFFF;

QRect umriss(const QSet<QPoint> &px)
{
    QRect r;
    for (const QPoint &p : px)
        r |= QRect(p, QSize(1, 1));
    return r;
}

} // namespace

class TstGesten : public QObject
{
    Q_OBJECT

private slots:
    void hoverThenLeaveRestoresPicture_data();
    void hoverThenLeaveRestoresPicture();
    void gestureReportsWhatItChanged_data();
    void gestureReportsWhatItChanged();
    void penStrokeIsPolylineThroughEvents();
    void penClickLeavesDot();
    void rightPressEndsStroke();
    void eraserBoxRestoresBackground_data();
    void eraserBoxRestoresBackground();
    void shiftConstraint_data();
    void shiftConstraint();
    void arrowBarbs_data();
    void arrowBarbs();
    void arrowClickDrawsCaret();
    void figurePastTopLeftEdge();
    void rightPressCompletesFigure();
    void commandDuringDragDropsFigure();
    void everyLeftPressReplacesSnapshot_data();
    void everyLeftPressReplacesSnapshot();
};

void TstGesten::hoverThenLeaveRestoresPicture_data()
{
    QTest::addColumn<int>("modus");
    QTest::addColumn<int>("sdicke");
    for (int m : {1, 2, 3, 4, 5, 9, 10, 11, 12})
        for (int d : {3, 21})
            QTest::addRow("mode %d, %d px", m, d) << m << d;
}

// Markers invert: hovering anywhere (over the edges too) and then leaving restores the
// picture bit for bit.
void TstGesten::hoverThenLeaveRestoresPicture()
{
    QFETCH(int, modus);
    QFETCH(int, sdicke);
    const QImage muster = musterBild(300, 220);
    Zustand z(muster, modus, sdicke);
    for (const QPoint p : {QPoint(50, 50), QPoint(52, 51), QPoint(0, 0), QPoint(299, 219), QPoint(-3, 40),
                           QPoint(80, -1), QPoint(310, 60), QPoint(5, 218), QPoint(150, 110)})
        z.bewegen(0, p.x(), p.y());
    QVERIFY(z.s.Img1Bmp != muster);
    z.verlassen();
    QCOMPARE(z.s.Sx, -1);
    QCOMPARE(z.s.Sy, -1);
    QCOMPARE(z.s.Img1Bmp, muster);
    QCOMPARE(z.t.OrigScrBmp, muster);
}

void TstGesten::gestureReportsWhatItChanged_data()
{
    QTest::addColumn<int>("modus");
    QTest::addColumn<int>("sdicke");
    for (int m : {1, 2, 3, 4, 5, 9, 10, 11, 12})
        for (int d : {1, 21})
            QTest::addRow("mode %d, %d px", m, d) << m << d;
}

// A whole gesture, with long diagonals and large figures reported in pieces: every step
// reports every pixel it changed (checked inside `lauf`), and no step reports a rectangle as
// large as the picture.
void TstGesten::gestureReportsWhatItChanged()
{
    QFETCH(int, modus);
    QFETCH(int, sdicke);
    Zustand z(musterBild(400, 300), modus, sdicke, Palette::Gelb, pmMask);
    z.t.OrigScrBmp = einfarbig(400, 300, Weiss);
    z.bewegen(0, 30, 20);
    z.druecken(ssLeft, 30, 20);
    for (const QPoint p : {QPoint(120, 90), QPoint(390, 290), QPoint(-20, 250), QPoint(200, 10)})
        z.bewegen(ssLeft, p.x(), p.y());
    const QImage vorher = z.s.Img1Bmp.copy();
    const Rechtecke r = mausLoslassen(z.t, z.s, 0, 380, 280);
    QVERIFY(abgedeckt(vorher, z.s.Img1Bmp, r));
    z.verlassen();
    if (modus == 1 || modus >= 3) // the figure or stroke is there
        QVERIFY(z.s.Img1Bmp != vorher);
}

// With a 1-px pen the stroke is exactly the polyline through the press and every move,
// each segment without its end point.
void TstGesten::penStrokeIsPolylineThroughEvents()
{
    const QImage weiss = einfarbig(40, 30, Weiss);
    Zustand z(weiss, 1, 1, Palette::Schwarz);
    z.bewegen(0, 3, 3);
    z.druecken(ssLeft, 10, 10);
    z.bewegen(ssLeft, 20, 10);
    z.bewegen(ssLeft, 20, 15);
    z.loslassen(0, 20, 15);
    z.verlassen();
    QSet<QPoint> erwartet;
    for (int x = 10; x < 20; ++x)
        erwartet.insert({x, 10});
    for (int y = 10; y < 15; ++y)
        erwartet.insert({20, y});
    QCOMPARE(unterschiede(weiss, z.s.Img1Bmp), erwartet);
}

void TstGesten::penClickLeavesDot()
{
    const QImage weiss = einfarbig(40, 40, Weiss);
    Zustand z(weiss, 1, 7, Palette::Blau);
    z.druecken(ssLeft, 20, 20);
    z.loslassen(0, 20, 20);
    z.verlassen();
    const QSet<QPoint> px = unterschiede(weiss, z.s.Img1Bmp);
    QCOMPARE(umriss(px), QRect(17, 17, 7, 7));
    QCOMPARE(z.s.Img1Bmp.pixel(20, 20), toQRgb(Palette::Blau));
}

// The right button counts as a released left button: the stroke ends, and moves with both
// buttons held draw nothing.
void TstGesten::rightPressEndsStroke()
{
    const QImage weiss = einfarbig(60, 40, Weiss);
    Zustand z(weiss, 1, 1, Palette::Schwarz);
    z.druecken(ssLeft, 10, 10);
    z.bewegen(ssLeft, 30, 10);
    z.druecken(ssLeft | ssRight, 30, 10);
    QCOMPARE(z.s.MausShift, TShiftState(0));
    z.bewegen(ssLeft | ssRight, 40, 30);
    z.bewegen(ssLeft | ssRight, 50, 20);
    z.loslassen(ssLeft, 50, 20);
    z.verlassen();
    QSet<QPoint> erwartet;
    for (int x = 10; x < 30; ++x)
        erwartet.insert({x, 10});
    QCOMPARE(unterschiede(weiss, z.s.Img1Bmp), erwartet);
}

void TstGesten::eraserBoxRestoresBackground_data()
{
    QTest::addColumn<int>("sdicke");
    QTest::addColumn<QSize>("box");
    QTest::newRow("3") << 3 << QSize(29, 21);
    QTest::newRow("7") << 7 << QSize(65, 49);
    QTest::newRow("13") << 13 << QSize(121, 91);
    QTest::newRow("21") << 21 << QSize(195, 147);
}

// One press restores exactly the box from the background; the marker outlines that box.
void TstGesten::eraserBoxRestoresBackground()
{
    QFETCH(int, sdicke);
    QFETCH(QSize, box);
    const QImage hintergrund = musterBild(400, 300);
    const QImage gezeichnet = einfarbig(400, 300, 0xFF000000);
    Zustand z(gezeichnet, 2, sdicke);
    z.t.OrigScrBmp = hintergrund;
    z.bewegen(0, 200, 150);
    QCOMPARE(umriss(unterschiede(gezeichnet, z.s.Img1Bmp)),
             QRect(QPoint(200 - box.width() / 2, 150 - box.height() / 2), box));
    z.druecken(ssLeft, 200, 150);
    z.loslassen(0, 200, 150);
    z.verlassen();
    const QRect erwartet(QPoint(200 - box.width() / 2, 150 - box.height() / 2), box);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            QCOMPARE(z.s.Img1Bmp.pixel(x, y), erwartet.contains(x, y) ? hintergrund.pixel(x, y) : 0xFF000000);
    QCOMPARE(z.t.OrigScrBmp, hintergrund);
}

void TstGesten::shiftConstraint_data()
{
    QTest::addColumn<int>("modus");
    QTest::addColumn<QPoint>("zug");
    QTest::addColumn<QPoint>("ende");
    QTest::newRow("line 100/10: horizontal") << 3 << QPoint(100, 10) << QPoint(100, 0);
    QTest::newRow("line 100/90: diagonal") << 3 << QPoint(100, 90) << QPoint(95, 95);
    QTest::newRow("line 10/100: vertical") << 3 << QPoint(10, 100) << QPoint(0, 100);
    QTest::newRow("arrow -90/-100: diagonal") << 5 << QPoint(-90, -100) << QPoint(-95, -95);
    QTest::newRow("double arrow -100/35: horizontal") << 9 << QPoint(-100, 35) << QPoint(-100, 0);
    QTest::newRow("rectangle 50/-30: square") << 4 << QPoint(50, -30) << QPoint(30, -30);
    QTest::newRow("ellipse -20/70: circle") << 10 << QPoint(-20, 70) << QPoint(-20, 20);
    QTest::newRow("filled rectangle 0/40: flat") << 11 << QPoint(0, 40) << QPoint(0, 0);
}

// The constrained point follows the drag and is where the figure ends on release.
void TstGesten::shiftConstraint()
{
    QFETCH(int, modus);
    QFETCH(QPoint, zug);
    QFETCH(QPoint, ende);
    const QImage weiss = einfarbig(300, 300, Weiss);
    const QPoint a(150, 150);
    Zustand z(weiss, modus, 1, Palette::Schwarz);
    z.druecken(ssLeft, a.x(), a.y());
    z.bewegen(ssLeft | ssShift, a.x() + zug.x(), a.y() + zug.y());
    QCOMPARE(QPoint(z.s.Sx, z.s.Sy), a + ende);
    z.loslassen(ssShift, a.x() + zug.x(), a.y() + zug.y());
    z.verlassen();
    const QSet<QPoint> px = unterschiede(weiss, z.s.Img1Bmp);
    const QPoint e = a + ende;
    if (modus == 3) {
        QImage soll = weiss;
        strecke(soll, a, e, Stift{0, pmCopy, 1});
        QCOMPARE(z.s.Img1Bmp, soll);
    } else if (modus == 4 || modus == 10 || modus == 11) {
        const TRect r = normRect(a.x(), a.y(), e.x(), e.y());
        QCOMPARE(umriss(px), QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)));
    }
    if (modus == 4)
        QCOMPARE(umriss(px).size(), QSize(31, 31));
}

void TstGesten::arrowBarbs_data()
{
    QTest::addColumn<int>("sdicke");
    QTest::addColumn<QLine>("pfeil");
    QTest::addColumn<int>("laenge");
    QTest::addColumn<QPoint>("eins");
    QTest::addColumn<QPoint>("zwei");
    const struct
    {
        const char *name;
        QLine l;
    } richtungen[] = {{"right", {0, 0, 100, 0}},        {"left", {100, 0, 0, 0}},
                      {"down", {0, 0, 0, 100}},         {"up", {0, 100, 0, 0}},
                      {"down-right", {0, 0, 100, 100}}, {"up-left", {100, 100, 0, 0}},
                      {"one point", {50, 50, 50, 50}},  {"up-right", {0, 100, 100, 70}}};
    // Barb end points relative to the tip, per width, in the order of `richtungen`.
    const int laengen[] = {10, 25, 46, 73};
    const QPoint enden[4][8][2] = {
        {{{-9, 3}, {-9, -3}},
         {{9, -3}, {9, 3}},
         {{-3, -9}, {3, -9}},
         {{3, 9}, {-3, 9}},
         {{-9, -4}, {-4, -9}},
         {{9, 4}, {4, 9}},
         {{3, 9}, {-3, 9}},
         {{-8, 6}, {-10, -1}}},
        {{{-23, 9}, {-23, -9}},
         {{23, -9}, {23, 9}},
         {{-9, -23}, {9, -23}},
         {{9, 23}, {-9, 23}},
         {{-23, -11}, {-11, -23}},
         {{23, 11}, {11, 23}},
         {{9, 23}, {-9, 23}},
         {{-20, 15}, {-25, -1}}},
        {{{-43, 16}, {-43, -16}},
         {{43, -16}, {43, 16}},
         {{-16, -43}, {16, -43}},
         {{16, 43}, {-16, 43}},
         {{-42, -19}, {-19, -42}},
         {{42, 19}, {19, 42}},
         {{16, 43}, {-16, 43}},
         {{-37, 27}, {-46, -3}}},
        {{{-69, 25}, {-69, -25}},
         {{69, -25}, {69, 25}},
         {{-25, -69}, {25, -69}},
         {{25, 69}, {-25, 69}},
         {{-66, -31}, {-31, -66}},
         {{66, 31}, {31, 66}},
         {{25, 69}, {-25, 69}},
         {{-59, 44}, {-73, -4}}},
    };
    const int dicken[] = {3, 7, 13, 21};
    for (int i = 0; i < 4; ++i)
        for (int r = 0; r < 8; ++r)
            QTest::addRow("%d px %s", dicken[i], richtungen[r].name)
                << dicken[i] << richtungen[r].l << laengen[i] << enden[i][r][0] << enden[i][r][1];
}

void TstGesten::arrowBarbs()
{
    QFETCH(int, sdicke);
    QFETCH(QLine, pfeil);
    QFETCH(int, laenge);
    QFETCH(QPoint, eins);
    QFETCH(QPoint, zwei);
    QCOMPARE(widerhakenLaenge(sdicke), laenge);
    const Widerhaken w = widerhaken(pfeil.x1(), pfeil.y1(), pfeil.x2(), pfeil.y2(), sdicke);
    QCOMPARE(w.links - pfeil.p2(), eins);
    QCOMPARE(w.rechts - pfeil.p2(), zwei);
}

// Press and release at one point in arrow mode: no shaft, the head of an upward arrow.
void TstGesten::arrowClickDrawsCaret()
{
    const QImage weiss = einfarbig(120, 120, Weiss);
    Zustand z(weiss, 5, 13, Palette::Schwarz);
    z.druecken(ssLeft, 60, 40);
    z.loslassen(0, 60, 40);
    z.verlassen();
    const QImage &b = z.s.Img1Bmp;
    QVERIFY(b.pixel(60 + 16, 40 + 43) != Weiss);
    QVERIFY(b.pixel(60 - 16, 40 + 43) != Weiss);
    QVERIFY(b.pixel(60, 40 + 30) == Weiss); // open between the barbs
    QCOMPARE(umriss(unterschiede(weiss, b)),
             QRect(QPoint(60 - 16 - 6, 40 - 6), QPoint(60 + 16 + 6, 40 + 43 + 6)));
}

// Past the top or left edge the preview and the marker are not drawn; the release still
// completes the figure, clipped.
void TstGesten::figurePastTopLeftEdge()
{
    const QImage muster = musterBild(60, 50);
    Zustand z(muster, 4, 1, Palette::Schwarz);
    z.druecken(ssLeft, 20, 20);
    z.bewegen(ssLeft, 30, 30);
    z.bewegen(ssLeft, -10, 5);
    QCOMPARE(z.s.Img1Bmp, muster);
    z.loslassen(0, -10, 5);
    QCOMPARE(z.s.Lx, -1);
    z.verlassen();
    QImage soll = muster;
    rechteckRahmen(soll, TRect{-10, 5, 21, 21}, Stift{0, pmCopy, 1});
    QCOMPARE(z.s.Img1Bmp, soll);
}

void TstGesten::rightPressCompletesFigure()
{
    const QImage muster = musterBild(80, 60);
    Zustand z(muster, 10, 1, Palette::Gruen, pmMask);
    z.druecken(ssLeft, 10, 10);
    z.bewegen(ssLeft, 40, 30);
    z.druecken(ssLeft | ssRight, 50, 40);
    QCOMPARE(z.s.Lx, -1);
    z.bewegen(ssLeft | ssRight, 70, 50);
    z.loslassen(ssLeft, 70, 50);
    z.verlassen();
    QImage soll = muster;
    ellipseRahmen(soll, TRect{10, 10, 51, 41}, Stift{Palette::Gruen, pmMask, 1});
    QCOMPARE(z.s.Img1Bmp, soll);
}

// A command of the tool window during a drag (tool chosen by key, pointer onto the tool
// window) drops the figure: nothing is drawn and no preview stays behind.
void TstGesten::commandDuringDragDropsFigure()
{
    const QImage muster = musterBild(80, 60);
    for (const QPoint p : {QPoint(50, 40), QPoint(-1, -1)}) {
        Zustand z(muster, 4, 3);
        z.druecken(ssLeft, 10, 10);
        z.bewegen(ssLeft, 40, 30);
        z.lauf(Zeichenbewegung, 0, p.x(), p.y());
        QCOMPARE(z.s.Lx, -1);
        z.loslassen(0, 45, 35);
        z.verlassen();
        QCOMPARE(z.s.Img1Bmp, muster);
    }
}

void TstGesten::everyLeftPressReplacesSnapshot_data()
{
    QTest::addColumn<int>("modus");
    for (int m : {1, 2, 4, 12, 14, 15})
        QTest::addRow("mode %d", m) << m;
}

// Each left press saves the picture as it is just before the press (with the marker), the
// coordinates, the selection area and the mode. The saved copy and the background never
// receive drawing, though all pictures start out sharing the captured pixels, and a later
// press keeps drawing into the picture's own buffer.
void TstGesten::everyLeftPressReplacesSnapshot()
{
    QFETCH(int, modus);
    const QImage muster = musterBild(120, 90);
    Zustand z(muster, modus, 7, Palette::Blau);
    z.t.OrigScrBmp = einfarbig(120, 90, Weiss);
    z.t.BereichRect = TRect{1, 2, 30, 40};
    z.bewegen(0, 20, 25);
    const QImage vorDruck1 = z.s.Img1Bmp.copy();
    const QPoint marke1(z.s.Sx, z.s.Sy); // (20, 25) where the tool has a marker
    z.druecken(ssLeft, 30, 30);
    QCOMPARE(sicherungsBild(z.t), vorDruck1);
    QCOMPARE(z.t.BakModus, modus);
    QCOMPARE(QPoint(z.s.BakSx, z.s.BakSy), marke1);
    QCOMPARE(QPoint(z.s.BakLx, z.s.BakLy), QPoint(-1, -1));
    QCOMPARE(z.t.BakBereichRect, (TRect{1, 2, 30, 40}));
    QCOMPARE(z.t.BackupOrigScrBmp, z.t.OrigScrBmp);
    z.bewegen(ssLeft, 60, 50);
    z.loslassen(0, 60, 50);
    const uchar *puffer = z.s.Img1Bmp.constBits();

    z.t.Modus = 1; // draw something between the presses
    z.druecken(ssLeft, 70, 70);
    z.bewegen(ssLeft, 100, 80);
    z.loslassen(0, 100, 80);
    z.t.Modus = modus;
    z.t.BereichRect = TRect{5, 5, 9, 9};
    z.bewegen(0, 40, 45);
    const QImage vorDruck2 = z.s.Img1Bmp.copy();
    const QPoint marke2(z.s.Sx, z.s.Sy);
    QVERIFY(vorDruck2 != vorDruck1);
    z.druecken(ssLeft, 40, 45);
    QCOMPARE(sicherungsBild(z.t), vorDruck2);
    QCOMPARE(z.s.Img1Bmp.constBits(), puffer);
    QCOMPARE(QPoint(z.s.BakSx, z.s.BakSy), marke2);
    QCOMPARE(z.t.BakBereichRect, (TRect{5, 5, 9, 9}));
    z.bewegen(ssLeft, 10, 80);
    z.loslassen(0, 10, 80);
    QCOMPARE(sicherungsBild(z.t), vorDruck2);
    QCOMPARE(z.t.OrigScrBmp, einfarbig(120, 90, Weiss));
}

QTEST_GUILESS_MAIN(TstGesten)
#include "tst_gesten.moc"
