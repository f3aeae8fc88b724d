// Freeze and release on one monitor of a real X server, driven by real clicks and keys.
#include "xsupport.h"

#include "app/data.h"
#include "surface/bilddatei.h"
#include "surface/capture.h"
#include "surface/fensterhintergrund.h"
#include "surface/scrwin.h"
#include "toolwindow/ruhe.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QFile>
#include <QLineF>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

class TstX11Freeze : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void screenReadsStayApart();
    void unusedReadMemoryGoesBack();
    void freezeAndRelease_data();
    void freezeAndRelease();
    void memoryAtRestGoesBack_data();
    void memoryAtRestGoesBack();
    void autoOpenFreezesWithoutUserAction();
    void pictureFillsWindowFromItsMap();
    void quitWhileSurfaceMemoryIsWritten();
    // Last: it runs the application's event loop until the program ends.
    void autoCloseEndsProgramOnFertig();

private:
    QImage m_known;
    QRect m_monitor;
};

void TstX11Freeze::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QCOMPARE(QGuiApplication::screens().size(), 1);
    m_monitor = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(m_monitor, QRect(0, 0, 1920, 1080));
    m_known = xs::knownPicture(m_monitor.size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Freeze::init()
{
    xs::freshWindows();
}

// Each read of the screen is a picture of its own: one still held keeps its pixels while
// later ones are read, also when the screen changed in between, and every pixel is opaque.
void TstX11Freeze::screenReadsStayApart()
{
    QScreen *monitor = QGuiApplication::primaryScreen();
    const QImage anderes = m_known.mirrored(true, false);
    QString why;
    auto gleich = [](const QImage &a, const QImage &b) {
        const QString diff = xs::difference(a, b);
        if (!diff.isEmpty())
            qWarning("%s", qPrintable(diff));
        return diff.isEmpty();
    };
    QImage erstes = bildschirmLesen(monitor);
    QVERIFY(gleich(erstes, m_known));
    QVERIFY2(xs::showOnRoot(anderes, &why), qPrintable(why));
    const QImage zweites = bildschirmLesen(monitor);
    QVERIFY(gleich(zweites, anderes));
    QVERIFY(gleich(erstes, m_known));
    erstes = QImage();
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
    const QImage drittes = bildschirmLesen(monitor);
    QVERIFY(gleich(drittes, m_known));
    QVERIFY(gleich(zweites, anderes));
    for (const QImage *bild : {&zweites, &drittes}) {
        QCOMPARE(bild->format(), QImage::Format_RGB32);
        for (int y = 0; y < bild->height(); ++y) {
            const auto *zeile = reinterpret_cast<const QRgb *>(bild->constScanLine(y));
            for (int x = 0; x < bild->width(); ++x)
                if (qAlpha(zeile[x]) != 0xFF)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 not opaque").arg(x).arg(y)));
        }
    }
}

namespace {

// The shared-memory segments this process has mapped (a memory file's shared mapping or a
// System V segment), not counting copies made of them.
int segmente()
{
    QFile f(QStringLiteral("/proc/self/maps"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    int n = 0;
    for (const QByteArray &zeile : f.readAll().split('\n'))
        n += zeile.contains("/SYSV") || (zeile.contains(" rw-s ") && zeile.contains("/memfd:skizzomat-bild"));
    return n;
}

// True when `bits` lie in one of those segments.
bool imSegment(const uchar *bits)
{
    QFile f(QStringLiteral("/proc/self/maps"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const auto p = quintptr(bits);
    for (const QByteArray &zeile : f.readAll().split('\n')) {
        if (!zeile.contains("/SYSV") &&
            !(zeile.contains(" rw-s ") && zeile.contains("/memfd:skizzomat-bild")))
            continue;
        const QList<QByteArray> bereich = zeile.left(zeile.indexOf(' ')).split('-');
        if (p >= bereich.value(0).toULongLong(nullptr, 16) && p < bereich.value(1).toULongLong(nullptr, 16))
            return true;
    }
    return false;
}

// A stroke with the left button held, in steps of at most 10 pixels as a hand gives them.
void zug(QPoint von, QPoint bis)
{
    QStringList args{QStringLiteral("mousemove"), QString::number(von.x()), QString::number(von.y()),
                     QStringLiteral("mousedown"), QStringLiteral("1")};
    const int schritte = std::max(1, int(QLineF(von, bis).length() / 10));
    for (int i = 1; i <= schritte; ++i) {
        const QPoint p = von + (bis - von) * i / schritte;
        args << QStringLiteral("mousemove") << QString::number(p.x()) << QString::number(p.y());
    }
    args << QStringLiteral("mouseup") << QStringLiteral("1");
    xs::run(QStringLiteral("xdotool"), args);
}

} // namespace

// A picture held across a read makes that read take memory of its own; once no picture uses
// it, the end of a session gives back all of it but what the next read needs.
void TstX11Freeze::unusedReadMemoryGoesBack()
{
    QScreen *monitor = QGuiApplication::primaryScreen();
    bildschirmSpeicherFreigeben();
    const int vorher = segmente();
    QImage erstes = bildschirmLesen(monitor);
    QImage zweites = bildschirmLesen(monitor);
    QImage drittes = bildschirmLesen(monitor);
    QVERIFY(!erstes.isNull() && !zweites.isNull() && !drittes.isNull());
    QVERIFY(segmente() >= 3);
    bildschirmSpeicherFreigeben(); // all in use: nothing goes
    QVERIFY(segmente() >= 3);
    QVERIFY(xs::difference(erstes, m_known).isEmpty());
    erstes = zweites = QImage();
    bildschirmSpeicherFreigeben();
    QCOMPARE(segmente(), 2); // the third picture's and one for the next read
    QVERIFY(xs::difference(drittes, m_known).isEmpty());
    drittes = QImage();
    bildschirmSpeicherFreigeben();
    QCOMPARE(segmente(), 1);
    QVERIFY(vorher <= 1);
    // The one kept serves the next read without a new one.
    const QImage viertes = bildschirmLesen(monitor);
    QVERIFY(xs::difference(viertes, m_known).isEmpty());
    QCOMPARE(segmente(), 1);
}

void TstX11Freeze::freezeAndRelease_data()
{
    QTest::addColumn<int>("monitorMode");
    QTest::addColumn<bool>("releaseWithF9");
    // With one monitor every mode freezes that one; mode 2 falls back to the tool window's.
    QTest::newRow("mode 0, Fertig clicked") << 0 << false;
    QTest::newRow("mode 0, F9") << 0 << true;
    QTest::newRow("mode 1, Fertig clicked") << 1 << false;
    QTest::newRow("mode 2, F9") << 2 << true;
}

void TstX11Freeze::freezeAndRelease()
{
    QFETCH(int, monitorMode);
    QFETCH(bool, releaseWithF9);
    Cfg.MonitorMode = monitorMode;
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    QSignalSpy released(&t, &TToolForm::freigegeben);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));

    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(frozen.size(), 1);
    // The tool window was hidden while the screen was read: the picture is the bare screen.
    QString diff = xs::difference(s.Img1Bmp, m_known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(s.geometry(), m_monitor);
    QTRY_VERIFY(xs::windowInfo(s.winId()).value_or(xs::WindowInfo{}).viewable);
    QCOMPARE(xs::windowInfo(s.winId())->geometry, m_monitor);
    QCOMPARE(t.WinZustand, 1);
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Fertig"));
    QCOMPARE(t.size(), QSize(52, 518));
    QTRY_COMPARE(xs::windowInfo(t.winId())->geometry.size(), QSize(52, 518));
    QVERIFY(xs::windowInfo(t.winId())->viewable);

    // The surface shows the picture 1:1, the tool window stays over it.
    const QRect expanded = xs::windowInfo(t.winId())->geometry;
    diff = xs::waitForScreen(m_known, expanded);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(xs::sameShare(xs::readScreen(), m_known, expanded) < 0.1);

    if (releaseWithF9)
        xs::key(QStringLiteral("F9"));
    else
        xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(released.size(), 1);
    QCOMPARE(frozen.size(), 1);
    QCOMPARE(t.WinZustand, 0);
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Start"));
    QCOMPARE(t.size(), QSize(52, 27));
    QVERIFY(s.isHidden());
    QTRY_VERIFY(!xs::windowInfo(s.winId())->viewable);
    QTRY_COMPARE(xs::windowInfo(t.winId())->geometry.size(), QSize(52, 27));
    QVERIFY(xs::windowInfo(t.winId())->viewable);
    diff = xs::waitForScreen(m_known, xs::windowInfo(t.winId())->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TstX11Freeze::memoryAtRestGoesBack_data()
{
    QTest::addColumn<bool>("drawnOn");
    QTest::newRow("drawn on") << true;
    QTest::newRow("untouched") << false;
}

// After the rest period only the picture stays: the memory of screen reads no picture uses and
// the surface's backing store go. Made ready again when the pointer comes to the tool window,
// both are there before the freeze. Every freeze, made ready or not, shows the exact screen.
void TstX11Freeze::memoryAtRestGoesBack()
{
    QFETCH(bool, drawnOn);
    TToolForm &t = *ToolForm;
    TScreenForm &s = *ScreenForm;
    QSignalSpy given(t.Ruhe, &TRuhe::zurueckgegeben);
    t.Ruhe->setRuhezeit(300);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 1);
    QTRY_VERIFY(xs::windowInfo(s.winId()).value_or(xs::WindowInfo{}).viewable);
    // The first freeze after the start, its memory made ready then or not, shows the exact screen.
    QString diff = xs::waitForScreen(m_known, xs::windowInfo(t.winId())->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    if (drawnOn) {
        // Once shown, the picture is a copy of the memory the screen was read into. Drawn on
        // page by page, undo, the eraser over a stroke and "Alles löschen" each bring back
        // the exact screen.
        QTRY_VERIFY(bilddateiKopieIst(s.Img1Bmp));
        const auto aktion = [&t](const char *name) {
            t.Aktionen.value(QString::fromLatin1(name))->trigger();
        };
        for (const char *zurueck : {"Rckgngig1", "Radiergummi1", "Alleslschen1"}) {
            aktion("Stift1");
            zug({300, 300}, {600, 400});
            QTRY_VERIFY(!xs::difference(s.Img1Bmp, m_known).isEmpty());
            aktion(zurueck);
            QRegion marke;
            if (qstrcmp(zurueck, "Radiergummi1") == 0) {
                zug({300, 300}, {600, 400});
                // The eraser's marker goes with the tool; the pen's comes where the pointer rests.
                aktion("Stift1");
                marke = QRect(585, 385, 31, 31);
            }
            const QString diff = xs::difference(s.Img1Bmp, m_known, marke);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(zurueck, diff)));
        }
        aktion("Stift1");
        zug({300, 300}, {600, 400});
        QTRY_VERIFY(!xs::difference(s.Img1Bmp, m_known).isEmpty());
    }
    given.clear();
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 0);
    const QImage picture = s.Img1Bmp.copy();
    // Not while the pointer rests on the button: on its way back it would make all ready again.
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("1000")});
    QTRY_VERIFY(given.size() >= 1);
    QVERIFY(t.Ruhe->kalt());
    // The picture has memory of its own, and the memory the screen was read into is gone; or
    // the picture, never written (not even by the pointer's marker), still lives in it.
    QVERIFY(!bilddateiKopieIst(s.Img1Bmp));
    if (drawnOn)
        QVERIFY(!imSegment(s.Img1Bmp.constBits()));
    QCOMPARE(segmente(), imSegment(s.Img1Bmp.constBits()) ? 1 : 0);
    QVERIFY(s.backingStore()->size().width() <= 1);
    QVERIFY(xs::difference(s.Img1Bmp, picture).isEmpty());

    // Cold: the freeze takes all it needs by itself (F9 from elsewhere, the pointer not coming
    // by the tool window).
    t.StartFertigBtnClick();
    QTRY_COMPARE(t.WinZustand, 1);
    diff = xs::difference(s.Img1Bmp, m_known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    diff = xs::waitForScreen(m_known, xs::windowInfo(t.winId())->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 0);

    // Made ready when the pointer comes to the tool window, given back again at rest.
    xs::run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("1000")});
    given.clear();
    QTRY_COMPARE(given.size(), 1);
    const int kalt = segmente(); // the picture's, if it still lives in one
    xs::run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(xs::centre(&t).x()),
                                        QString::number(xs::centre(&t).y())});
    QTRY_VERIFY(!t.Ruhe->kalt());
    QCOMPARE(segmente(), kalt + 1);
    // The surface's memory as well, before the freeze that shows it.
    QCOMPARE(s.backingStore()->size(), m_monitor.size());
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 1);
    diff = xs::difference(s.Img1Bmp, m_known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    diff = xs::waitForScreen(m_known, xs::windowInfo(t.winId())->geometry);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 0);
}

void TstX11Freeze::autoOpenFreezesWithoutUserAction()
{
    Cfg.AutoOpen = true;
    TToolForm &t = *ToolForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    QElapsedTimer sinceShown;
    t.show();
    sinceShown.start();
    QTRY_COMPARE_WITH_TIMEOUT(frozen.size(), 1, 3000);
    QVERIFY2(sinceShown.elapsed() < 2000, qPrintable(QString::number(sinceShown.elapsed())));
    QCOMPARE(t.WinZustand, 1);
    QCOMPARE(t.StartFertigBtn->text(), QStringLiteral("Fertig"));
    const QString diff = xs::difference(ScreenForm->Img1Bmp, m_known);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QTRY_VERIFY(xs::windowInfo(ScreenForm->winId()).value_or(xs::WindowInfo{}).viewable);

    // Only once: releasing does not freeze again.
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(t.WinZustand, 0);
    QTest::qWait(500);
    QCOMPARE(frozen.size(), 1);
    QCOMPARE(t.WinZustand, 0);
}

// Under XWayland a window reaches the compositor black until the program has painted it. With
// the picture as its background the X server fills the window at the map, before any paint;
// freed, the window is back to no background: the server leaves what was drawn alone.
void TstX11Freeze::pictureFillsWindowFromItsMap()
{
    xcb_connection_t *c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const QRect platz(200, 100, 640, 360);
    const QImage bild = m_known.mirrored(true, true)
                            .copy(QRect(QPoint(), platz.size()))
                            .convertToFormat(QImage::Format_RGB32);
    const xcb_window_t fenster = xcb_generate_id(c);
    const std::uint32_t ohneVerwaltung = 1;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, fenster, screen->root, std::int16_t(platz.x()),
                      std::int16_t(platz.y()), std::uint16_t(platz.width()), std::uint16_t(platz.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT,
                      &ohneVerwaltung);
    const auto abgearbeitet = [c] {
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    };
    // Drawn over by the program, then exposed again.
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const std::uint32_t gruen = 0x00FF00;
    xcb_create_gc(c, gc, fenster, XCB_GC_FOREGROUND, &gruen);
    const xcb_rectangle_t ganz{0, 0, std::uint16_t(platz.width()), std::uint16_t(platz.height())};
    const auto uebermaltFreigelegt = [&] {
        xcb_poly_fill_rectangle(c, fenster, gc, 1, &ganz);
        xcb_clear_area(c, 0, fenster, 0, 0, 0, 0);
        abgearbeitet();
        return xs::readScreen().copy(platz);
    };

    FensterHintergrund hintergrund;
    QVERIFY(hintergrund.setzen(fenster, bild));
    QVERIFY(hintergrund.gesetzt());
    xcb_map_window(c, fenster);
    abgearbeitet();
    const QString amAnfang = xs::difference(xs::readScreen().copy(platz), bild);
    QVERIFY2(amAnfang.isEmpty(), qPrintable(amAnfang));
    QVERIFY(xs::difference(uebermaltFreigelegt(), bild).isEmpty());

    hintergrund.freigeben();
    QVERIFY(!hintergrund.gesetzt());
    QImage gruenesBild(platz.size(), QImage::Format_RGB32);
    gruenesBild.fill(QColor(0, 255, 0));
    const QString danach = xs::difference(uebermaltFreigelegt(), gruenesBild);
    QVERIFY2(danach.isEmpty(), qPrintable(danach));
    xcb_free_gc(c, gc);
    xcb_destroy_window(c, fenster);
    abgearbeitet();
}

// The surface's memory is made ready at rest, its pages written on a thread. The program may
// end meanwhile: the application's end destroys every window, and with it that memory, which
// must not go while the thread still writes it.
void TstX11Freeze::quitWhileSurfaceMemoryIsWritten()
{
    TScreenForm &s = *ScreenForm;
    QTimer::singleShot(0, this, [&s] {
        // Large enough for its pages to take a while.
        s.zeigenVorbereiten(QRect(0, 0, 7680, 4320));
        QCoreApplication::quit();
    });
    QCOMPARE(QCoreApplication::exec(), 0);
    // What the application's end does next with each window.
    struct Fenster : QWidget
    {
        using QWidget::destroy;
    };
    (s.*&Fenster::destroy)(true, true);
    QVERIFY(!s.backingStore());
}

void TstX11Freeze::autoCloseEndsProgramOnFertig()
{
    Cfg.AutoClose = true;
    TToolForm &t = *ToolForm;
    QSignalSpy frozen(&t, &TToolForm::eingefroren);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    xs::click(xs::centre(t.StartFertigBtn));
    QTRY_COMPARE(frozen.size(), 1);
    QTRY_VERIFY(xs::windowInfo(ScreenForm->winId())->viewable);

    // As in the program: Fertig is clicked while the application's event loop runs; that
    // loop ending is the program ending.
    const QPoint fertig = xs::centre(t.StartFertigBtn);
    QTimer::singleShot(0, this, [fertig] { xs::click(fertig); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    watchdog.stop();
    QVERIFY(!t.isVisible());
    QVERIFY(ScreenForm->isHidden());
}

XS_TEST_MAIN(TstX11Freeze)
#include "tst_x11_freeze.moc"
