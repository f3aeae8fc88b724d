// The clipboard picture after the real program has ended, on an X server: served by a keeper
// process of ours that gives way to the next program taking the clipboard, or handed to a
// clipboard manager without holding up the end.
#include "xsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <thread>

namespace {

// Keepers started by the program on our display; zombies (ended, not yet reaped by whoever
// adopted them) count as gone.
QList<qint64> hueter()
{
    QList<qint64> pids;
    const QByteArray display = "DISPLAY=" + qgetenv("DISPLAY");
    for (const QString &eintrag : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool zahl = false;
        const qint64 pid = eintrag.toLongLong(&zahl);
        if (!zahl)
            continue;
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(pid));
        QFile env(QStringLiteral("/proc/%1/environ").arg(pid));
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!cmd.open(QIODevice::ReadOnly) || !env.open(QIODevice::ReadOnly) ||
            !stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = cmd.readAll().split('\0');
        const QByteArray zustand = stat.readAll();
        if (args.size() < 2 || args[0] != SKIZZOMAT_BINARY || args[1] != "--clipboard-keeper" ||
            !env.readAll().split('\0').contains(display) ||
            zustand.mid(zustand.lastIndexOf(')') + 2, 1) == "Z")
            continue;
        pids.append(pid);
    }
    return pids;
}

// The clipboard's PNG as another program reads it; null while there is none.
QImage ausDerAblage()
{
    QProcess xclip;
    xclip.setStandardErrorFile(QProcess::nullDevice());
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                 QStringLiteral("image/png"), QStringLiteral("-o")});
    if (!xclip.waitForFinished(10000)) {
        xclip.kill();
        xclip.waitForFinished();
        return {};
    }
    return xclip.exitCode() == 0 ? QImage::fromData(xclip.readAllStandardOutput(), "PNG") : QImage();
}

// Starts the program, freezes the screen with F9 and copies the picture with Ctrl+C; the tool
// window, or 0 when the picture did not reach the clipboard.
unsigned long kopiert(QProcess &p, const QImage &bild)
{
    const unsigned long w = xs::startProgram(p);
    if (!w)
        return 0;
    xs::focus(w);
    xs::key(QStringLiteral("F9"));
    if (!QTest::qWaitFor([&] { return xs::visibleWindowsOf(p.processId()).size() == 2; }, 10000))
        return 0;
    xs::focus(w);
    xs::key(QStringLiteral("ctrl+c"));
    return QTest::qWaitFor([&] { return xs::difference(ausDerAblage(), bild).isEmpty(); }, 10000) ? w : 0;
}

// A clipboard manager as far as the program's end is concerned: it owns CLIPBOARD_MANAGER and
// answers SAVE_TARGETS by fetching the clipboard's PNG (large ones come in pieces, INCR), or,
// when `antwortet` is false, never answers at all.
class Verwalter
{
public:
    explicit Verwalter(bool antwortet) : m_antwortet(antwortet)
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            return;
        const xcb_screen_t *s = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_fenster = xcb_generate_id(m_c);
        const uint32_t maske = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_fenster, s->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &maske);
        xcb_set_selection_owner(m_c, m_fenster, atom("CLIPBOARD_MANAGER"), XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t *r = xcb_get_selection_owner_reply(
            m_c, xcb_get_selection_owner(m_c, atom("CLIPBOARD_MANAGER")), nullptr);
        m_bereit = r && r->owner == m_fenster;
        std::free(r);
        if (m_bereit)
            m_thread = std::thread([this] { laufen(); });
    }
    ~Verwalter()
    {
        m_ende = true;
        if (m_thread.joinable())
            m_thread.join();
        xcb_disconnect(m_c);
    }
    bool bereit() const { return m_bereit; }
    // After the thread has ended.
    QImage gesichert()
    {
        m_ende = true;
        if (m_thread.joinable())
            m_thread.join();
        return QImage::fromData(m_png, "PNG");
    }
    int anfragen() const { return m_anfragen; }

private:
    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *r =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    }

    // The next event that `passt`, other events dropped; null at the end or after 5 s.
    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>
    warten(const std::function<bool(const xcb_generic_event_t *)> &passt)
    {
        QElapsedTimer t;
        t.start();
        while (!m_ende && t.elapsed() < 5000) {
            xcb_generic_event_t *e = xcb_poll_for_event(m_c);
            if (!e) {
                pollfd p{xcb_get_file_descriptor(m_c), POLLIN, 0};
                ::poll(&p, 1, 20);
                continue;
            }
            if (passt(e))
                return {e, &std::free};
            std::free(e);
        }
        return {nullptr, &std::free};
    }

    QByteArray eigenschaftHolen(xcb_atom_t name, xcb_atom_t *typ)
    {
        xcb_get_property_reply_t *r = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 1, m_fenster, name, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
            nullptr);
        QByteArray daten;
        if (r) {
            daten = QByteArray(static_cast<const char *>(xcb_get_property_value(r)),
                               xcb_get_property_value_length(r));
            *typ = r->type;
        }
        std::free(r);
        xcb_flush(m_c);
        return daten;
    }

    // Converts the clipboard to `ziel` into our window and reads the answer.
    QByteArray holen(xcb_atom_t ziel)
    {
        const xcb_atom_t ablage = atom("SKZ_ABLAGE");
        xcb_convert_selection(m_c, m_fenster, atom("CLIPBOARD"), ziel, ablage, XCB_CURRENT_TIME);
        xcb_flush(m_c);
        auto e = warten(
            [](const xcb_generic_event_t *e) { return (e->response_type & 0x7f) == XCB_SELECTION_NOTIFY; });
        if (!e || reinterpret_cast<xcb_selection_notify_event_t *>(e.get())->property == XCB_NONE)
            return {};
        xcb_atom_t typ = XCB_NONE;
        QByteArray daten = eigenschaftHolen(ablage, &typ);
        if (typ != atom("INCR"))
            return daten;
        // Each deletion asks for the next piece; an empty piece ends it.
        daten.clear();
        for (;;) {
            auto neu = warten([ablage](const xcb_generic_event_t *e) {
                const auto *p = reinterpret_cast<const xcb_property_notify_event_t *>(e);
                return (e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && p->atom == ablage &&
                       p->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!neu)
                return {};
            const QByteArray stueck = eigenschaftHolen(ablage, &typ);
            if (stueck.isEmpty())
                return daten;
            daten += stueck;
        }
    }

    void laufen()
    {
        const xcb_atom_t sichern = atom("SAVE_TARGETS");
        for (;;) {
            auto e = warten([sichern](const xcb_generic_event_t *e) {
                return (e->response_type & 0x7f) == XCB_SELECTION_REQUEST &&
                       reinterpret_cast<const xcb_selection_request_event_t *>(e)->target == sichern;
            });
            if (!e)
                return;
            ++m_anfragen;
            if (!m_antwortet)
                continue;
            const auto anfrage = *reinterpret_cast<xcb_selection_request_event_t *>(e.get());
            const QByteArray ziele = holen(atom("TARGETS"));
            const auto *atome = reinterpret_cast<const xcb_atom_t *>(ziele.constData());
            const xcb_atom_t png = atom("image/png");
            if (std::find(atome, atome + ziele.size() / 4, png) != atome + ziele.size() / 4)
                m_png = holen(png);
            xcb_selection_notify_event_t antwort{};
            antwort.response_type = XCB_SELECTION_NOTIFY;
            antwort.time = anfrage.time;
            antwort.requestor = anfrage.requestor;
            antwort.selection = anfrage.selection;
            antwort.target = anfrage.target;
            antwort.property = m_png.isEmpty() ? xcb_atom_t(XCB_NONE) : anfrage.property;
            xcb_send_event(m_c, 0, anfrage.requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char *>(&antwort));
            xcb_flush(m_c);
        }
    }

    bool m_antwortet;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_fenster = XCB_NONE;
    bool m_bereit = false;
    std::atomic<bool> m_ende = false;
    std::atomic<int> m_anfragen = 0;
    QByteArray m_png;
    std::thread m_thread;
};

} // namespace

class TstX11Zwischenablage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void keeperServesUntilAnotherProgramTakesOver();
    void noKeeperWhenAnotherProgramTookItFirst();
    void clipboardManagerDoesNotHoldUpTheEnd_data();
    void clipboardManagerDoesNotHoldUpTheEnd();
    void keeperRefusesWhatDoesNotFit_data();
    void keeperRefusesWhatDoesNotFit();

private:
    QImage m_bild;
    QProcess m_xclip;
};

void TstX11Zwischenablage::initTestCase()
{
    m_bild = xs::knownPicture(QGuiApplication::primaryScreen()->geometry().size());
    QString why;
    QVERIFY2(xs::showOnRoot(m_bild, &why), qPrintable(why));
}

void TstX11Zwischenablage::cleanup()
{
    for (const qint64 pid : hueter())
        ::kill(pid_t(pid), SIGTERM);
    QTRY_VERIFY(hueter().isEmpty());
    if (m_xclip.state() != QProcess::NotRunning) {
        m_xclip.kill();
        m_xclip.waitForFinished();
    }
}

void TstX11Zwischenablage::keeperServesUntilAnotherProgramTakesOver()
{
    QProcess p;
    const unsigned long w = kopiert(p, m_bild);
    QVERIFY(w);
    QElapsedTimer t;
    t.start();
    QVERIFY(xs::closeProgram(p, w));
    qInfo("end with the keeper's start took %lld ms", t.elapsed());
    const QList<qint64> nachDemEnde = hueter();
    QCOMPARE(nachDemEnde.size(), 1);
    QCOMPARE(xs::difference(ausDerAblage(), m_bild), QString());

    // The keeper holds nothing of the program's: the next start is not taken for a second one.
    QProcess naechster;
    const unsigned long w2 = xs::startProgram(naechster);
    QVERIFY(w2);
    QCOMPARE(xs::windowInfo(w2)->geometry, QRect(1920 - 52, 0, 52, 27));
    QVERIFY(xs::closeProgram(naechster, w2));
    QCOMPARE(hueter(), nachDemEnde);

    m_xclip.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                            QStringLiteral("clipboard"), QStringLiteral("-i")});
    QVERIFY(m_xclip.waitForStarted());
    m_xclip.write("Text");
    m_xclip.closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(hueter().isEmpty(), 10000);
    QCOMPARE(xs::run(QStringLiteral("xclip"),
                     {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")})
                 .out,
             QByteArray("Text"));
}

void TstX11Zwischenablage::noKeeperWhenAnotherProgramTookItFirst()
{
    QProcess p;
    const unsigned long w = kopiert(p, m_bild);
    QVERIFY(w);
    m_xclip.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                            QStringLiteral("clipboard"), QStringLiteral("-i")});
    QVERIFY(m_xclip.waitForStarted());
    m_xclip.write("Text");
    m_xclip.closeWriteChannel();
    QTRY_VERIFY(ausDerAblage().isNull());
    QVERIFY(xs::closeProgram(p, w));
    QVERIFY(hueter().isEmpty());
}

void TstX11Zwischenablage::clipboardManagerDoesNotHoldUpTheEnd_data()
{
    QTest::addColumn<bool>("antwortet");
    QTest::newRow("fetches the picture") << true;
    QTest::newRow("never answers") << false;
}

void TstX11Zwischenablage::clipboardManagerDoesNotHoldUpTheEnd()
{
    QFETCH(bool, antwortet);
    Verwalter verwalter(antwortet);
    QVERIFY(verwalter.bereit());
    QProcess p;
    const unsigned long w = kopiert(p, m_bild);
    QVERIFY(w);
    QElapsedTimer t;
    t.start();
    QVERIFY(xs::closeWindow(w));
    QVERIFY(p.waitForFinished(10000));
    const qint64 dauer = t.elapsed();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    qInfo("end took %lld ms", dauer);
    QVERIFY2(dauer < 1000, qPrintable(QString::number(dauer)));
    QVERIFY(hueter().isEmpty());
    QCOMPARE(verwalter.anfragen(), 1);
    if (antwortet)
        QCOMPARE(xs::difference(verwalter.gesichert(), m_bild), QString());
}

void TstX11Zwischenablage::keeperRefusesWhatDoesNotFit_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("exitCode");
    const auto args = [](const char *w, const char *h) {
        return QStringList{QStringLiteral("--clipboard-keeper"), QStringLiteral("1"), QString::fromLatin1(w),
                           QString::fromLatin1(h)};
    };
    // Window 1 is nobody's: whoever owns the clipboard keeps it.
    QTest::newRow("window not the owner") << args("10", "10") << 400 << 0;
    QTest::newRow("pixels missing") << args("10", "10") << 399 << 1;
    QTest::newRow("pixels left over") << args("10", "10") << 401 << 1;
    QTest::newRow("no pixels") << args("10", "10") << 0 << 1;
    QTest::newRow("size zero") << args("0", "10") << 0 << 2;
    QTest::newRow("size not a number") << args("10", "zehn") << 400 << 2;
    QTest::newRow("size missing") << args("10", "10").mid(0, 3) << 400 << 2;
}

// A keeper given anything but a whole picture, or started for a window that does not own the
// clipboard, neither stays nor takes the clipboard.
void TstX11Zwischenablage::keeperRefusesWhatDoesNotFit()
{
    QFETCH(QStringList, args);
    QFETCH(int, bytes);
    QFETCH(int, exitCode);
    QProcess k;
    k.start(QStringLiteral(SKIZZOMAT_BINARY), args);
    QVERIFY(k.waitForStarted());
    k.write(QByteArray(bytes, '\x7f'));
    k.closeWriteChannel();
    QVERIFY(k.waitForFinished(10000));
    QCOMPARE(k.exitCode(), exitCode);
    QCOMPARE(k.readAllStandardOutput(), QByteArray("0"));
}

XS_TEST_MAIN(TstX11Zwischenablage)
#include "tst_x11_zwischenablage.moc"
