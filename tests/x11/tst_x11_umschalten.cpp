// Start and Fertig from outside the program, with the real program on a private session bus:
// `skizzomat --toggle` starts it frozen or switches the running one, the global key works while
// another program has the keyboard (in every lock state and after the key map changes) and
// gives that program the keyboard back after the release, and a key someone else holds is said
// on standard error.
#include "xsupport.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include <xcb/xcb.h>

namespace {

const QByteArray TasteBelegt = QByteArrayLiteral("Die globale Taste Ctrl+Shift+F9 ist nicht belegt");

// Another program's window that has the keyboard and counts the F9 presses it gets.
class Nachbar : public QWidget
{
public:
    int f9 = 0;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_F9)
            ++f9;
    }
};

xcb_connection_t *x11()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// Ctrl+Shift+F9 on the root window, held by the test as another program would hold it.
void griffAufF9(bool halten)
{
    xcb_connection_t *c = x11();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_keycode_t f9 = 75; // F9 in the X server's default key map
    const std::uint16_t mods = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
    if (halten)
        xcb_grab_key(c, 0, root, mods, f9, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    else
        xcb_ungrab_key(c, f9, root, mods);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // a round trip
}

} // namespace

class TstX11Umschalten : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void toggleReachesTheProgram();
    void globalKeyFromAnotherProgram_data();
    void globalKeyFromAnotherProgram();
    void keyHeldElsewhereIsSaid();

private:
    bool starten(QProcess &p, const QStringList &args = {});
    // The program's shown windows with their places, the narrowest (the tool window) first.
    QList<std::pair<unsigned long, QRect>> fenster(const QProcess &p) const;
    // A window of the program covers the monitor.
    bool eingefroren(const QProcess &p) const;
    bool freigegeben(const QProcess &p) const;
    // Runs `skizzomat --toggle`; its exit status, and how long it took in `ms`.
    int umschalten(qint64 *ms = nullptr);

    QProcess m_bus;
    QImage m_known;
    QProcess m_programm; // the one the key cases share
};

void TstX11Umschalten::initTestCase()
{
    // A session bus of the test's own, where the program looks when no address is named.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
    m_bus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                 QStringLiteral("--address=unix:path=") + socket});
    QVERIFY(m_bus.waitForReadyRead(10000));
    m_known = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_known, &why), qPrintable(why));
}

void TstX11Umschalten::cleanupTestCase()
{
    m_programm.kill();
    m_programm.waitForFinished();
    m_bus.kill();
    m_bus.waitForFinished();
}

bool TstX11Umschalten::starten(QProcess &p, const QStringList &args)
{
    p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    p.start(QStringLiteral(SKIZZOMAT_BINARY), args);
    return p.waitForStarted();
}

QList<std::pair<unsigned long, QRect>> TstX11Umschalten::fenster(const QProcess &p) const
{
    QList<std::pair<unsigned long, QRect>> f;
    // A window may go between the search and the look at it.
    for (const unsigned long w : xs::visibleWindowsOf(p.processId()))
        if (const std::optional<xs::WindowInfo> info = xs::windowInfo(w); info && info->viewable)
            f.append({w, info->geometry});
    std::sort(f.begin(), f.end(),
              [](const auto &a, const auto &b) { return a.second.width() < b.second.width(); });
    return f;
}

bool TstX11Umschalten::eingefroren(const QProcess &p) const
{
    const QRect monitor = QGuiApplication::primaryScreen()->geometry();
    const QList<std::pair<unsigned long, QRect>> f = fenster(p);
    return std::any_of(f.begin(), f.end(), [&](const auto &w) { return w.second == monitor; });
}

bool TstX11Umschalten::freigegeben(const QProcess &p) const
{
    const QRect monitor = QGuiApplication::primaryScreen()->geometry();
    const QList<std::pair<unsigned long, QRect>> f = fenster(p);
    return !f.isEmpty() &&
           std::none_of(f.begin(), f.end(), [&](const auto &w) { return w.second == monitor; });
}

int TstX11Umschalten::umschalten(qint64 *ms)
{
    QElapsedTimer t;
    t.start();
    const xs::Result r = xs::run(QStringLiteral(SKIZZOMAT_BINARY), {QStringLiteral("--toggle")});
    if (ms)
        *ms = t.elapsed();
    return r.exitCode;
}

void TstX11Umschalten::toggleReachesTheProgram()
{
    // No program runs: --toggle starts it, and it freezes the screen as it is.
    QProcess p;
    const auto ende = qScopeGuard([&] {
        p.kill();
        p.waitForFinished();
    });
    QVERIFY(starten(p, {QStringLiteral("--toggle")}));
    QTRY_VERIFY_WITH_TIMEOUT(eingefroren(p), 10000);
    const QString diff = xs::waitForScreen(m_known, fenster(p).first().second);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The running program switches, and each call returns at once.
    for (const bool frieren : {false, true, false}) {
        qint64 ms = 0;
        QCOMPARE(umschalten(&ms), 0);
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("--toggle took %1 ms").arg(ms)));
        if (frieren)
            QTRY_VERIFY_WITH_TIMEOUT(eingefroren(p), 5000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(freigegeben(p), 5000);
    }

    // While a modal dialog is open the command does nothing.
    const unsigned long tool = fenster(p).first().first;
    xs::focus(tool);
    xs::key(QStringLiteral("F1"));
    QTRY_COMPARE_WITH_TIMEOUT(xs::visibleWindowsNamed(QStringLiteral("Info")).size(), 1, 10000);
    QCOMPARE(umschalten(), 0);
    QTest::qWait(500);
    QVERIFY(xs::visibleWindowsNamed(QStringLiteral("Info")).size() == 1);
    QVERIFY(freigegeben(p));
    xs::key(QStringLiteral("Escape"));
    QTRY_VERIFY_WITH_TIMEOUT(xs::visibleWindowsNamed(QStringLiteral("Info")).isEmpty(), 5000);
    QVERIFY(xs::closeProgram(p, tool));
}

void TstX11Umschalten::globalKeyFromAnotherProgram_data()
{
    QTest::addColumn<QStringList>("vorher"); // xdotool keys pressed once before, and again after
    QTest::addColumn<bool>("tasteVerlegt");  // F9 moved to another key code while the program runs

    QTest::newRow("plain") << QStringList() << false;
    QTest::newRow("NumLock on") << QStringList{"Num_Lock"} << false;
    QTest::newRow("CapsLock on") << QStringList{"Caps_Lock"} << false;
    QTest::newRow("NumLock and CapsLock on") << QStringList{"Num_Lock", "Caps_Lock"} << false;
    QTest::newRow("F9 on another key") << QStringList() << true;
    QTest::newRow("key map back again") << QStringList() << false;
}

void TstX11Umschalten::globalKeyFromAnotherProgram()
{
    QFETCH(QStringList, vorher);
    QFETCH(bool, tasteVerlegt);

    QProcess &p = m_programm;
    const auto ende = qScopeGuard([&] {
        for (const QString &k : vorher)
            xs::key(k);
        // The server's own key map again (the program grabs anew once more).
        if (tasteVerlegt)
            xs::run(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us")});
    });
    if (p.state() == QProcess::NotRunning) {
        QVERIFY(starten(p));
        QTRY_VERIFY_WITH_TIMEOUT(freigegeben(p), 10000);
        // The key is grabbed once the settings are read at the first activation.
        QTest::qWait(500);
    }
    QVERIFY(freigegeben(p));
    if (tasteVerlegt) {
        QCOMPARE(xs::run(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("keycode 75 = F10"),
                                                     QStringLiteral("-e"), QStringLiteral("keycode 76 = F9")})
                     .exitCode,
                 0);
        QTest::qWait(500);
    }
    for (const QString &k : vorher)
        xs::key(k);

    Nachbar nachbar;
    nachbar.setWindowTitle(QStringLiteral("Nachbar"));
    nachbar.setGeometry(100, 100, 400, 300);
    nachbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&nachbar));
    xs::focus(nachbar.winId());
    QTRY_VERIFY(nachbar.isActiveWindow());

    xs::key(QStringLiteral("ctrl+shift+F9"));
    QTRY_VERIFY_WITH_TIMEOUT(eingefroren(p), 5000);
    QTRY_VERIFY(!nachbar.isActiveWindow());
    xs::key(QStringLiteral("ctrl+shift+F9"));
    QTRY_VERIFY_WITH_TIMEOUT(freigegeben(p), 5000);
    // The keyboard is back where it was before the freeze.
    QTRY_VERIFY_WITH_TIMEOUT(nachbar.isActiveWindow(), 5000);
    QCOMPARE(nachbar.f9, 0);
}

void TstX11Umschalten::keyHeldElsewhereIsSaid()
{
    m_programm.kill();
    m_programm.waitForFinished();
    griffAufF9(true);
    const auto frei = qScopeGuard([] { griffAufF9(false); });
    QProcess p;
    const auto ende = qScopeGuard([&] {
        p.kill();
        p.waitForFinished();
    });
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral(SKIZZOMAT_BINARY), {});
    QVERIFY(p.waitForStarted());
    QByteArray fehler;
    QTRY_VERIFY_WITH_TIMEOUT((fehler += p.readAllStandardError()).contains(TasteBelegt), 10000);
    QCOMPARE(fehler.count('\n'), 1);
    // The program runs on, and --toggle still reaches it.
    QTRY_VERIFY(freigegeben(p));
    QCOMPARE(umschalten(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(eingefroren(p), 5000);
    QCOMPARE(p.state(), QProcess::Running);
}

XS_TEST_MAIN(TstX11Umschalten)
#include "tst_x11_umschalten.moc"
