#include "controls/fensterrahmen.h"

#include <QAbstractNativeEventFilter>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

template<class T> using XcbAntwort = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t *x11Verbindung()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atomFuer(xcb_connection_t *c, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    XcbAntwort<xcb_intern_atom_reply_t> a(xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return a ? a->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_atom_t rahmenAtom(xcb_connection_t *c)
{
    static const xcb_atom_t atom = atomFuer(c, "_NET_FRAME_EXTENTS");
    return atom;
}

xcb_atom_t zustandAtom(xcb_connection_t *c)
{
    static const xcb_atom_t atom = atomFuer(c, "WM_STATE");
    return atom;
}

xcb_window_t wurzel(xcb_connection_t *c)
{
    const xcb_screen_t *s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return s ? s->root : xcb_window_t{XCB_WINDOW_NONE};
}

// The native window of w on the X server; none before Qt has made it (asking winId() would
// make it before its time).
xcb_window_t x11Fenster(const QWidget &w)
{
    return w.testAttribute(Qt::WA_WState_Created) ? xcb_window_t(w.internalWinId())
                                                  : xcb_window_t{XCB_WINDOW_NONE};
}

bool fensterManagerLaeuft(xcb_connection_t *c)
{
    static const xcb_atom_t pruef = atomFuer(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, wurzel(c), pruef, XCB_ATOM_WINDOW, 0, 1);
    XcbAntwort<xcb_get_property_reply_t> p(xcb_get_property_reply(c, cookie, nullptr), &std::free);
    return p && p->format == 32 && xcb_get_property_value_length(p.get()) == 4;
}

// The last borders a window manager gave for any window of the program.
std::optional<QMargins> &zuletztGemeldet()
{
    static std::optional<QMargins> raender;
    return raender;
}

// The borders written on the window (left, right, top, bottom on the wire), whether the window
// manager frames it now or not.
std::optional<QMargins> geschriebeneRaender(xcb_connection_t *c, xcb_window_t fenster)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, fenster, rahmenAtom(c), XCB_ATOM_CARDINAL, 0, 4);
    XcbAntwort<xcb_get_property_reply_t> p(xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!p || p->format != 32 || xcb_get_property_value_length(p.get()) != 16)
        return std::nullopt;
    const auto *e = static_cast<const quint32 *>(xcb_get_property_value(p.get()));
    return QMargins{int(e[0]), int(e[2]), int(e[1]), int(e[3])};
}

// The window manager's borders for this window while it manages the window: a window it has
// let go of (hidden) has no frame, and the figures left on it then read 0 or nothing until it
// frames the window again.
std::optional<QMargins> eigeneRaender(xcb_connection_t *c, xcb_window_t fenster)
{
    if (fenster == XCB_WINDOW_NONE)
        return std::nullopt;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, fenster, zustandAtom(c), zustandAtom(c), 0, 1);
    XcbAntwort<xcb_get_property_reply_t> zustand(xcb_get_property_reply(c, cookie, nullptr), &std::free);
    constexpr quint32 Normal = 1, Iconic = 3;
    if (!zustand || zustand->format != 32 || xcb_get_property_value_length(zustand.get()) < 4)
        return std::nullopt;
    if (const quint32 z = *static_cast<const quint32 *>(xcb_get_property_value(zustand.get()));
        z != Normal && z != Iconic)
        return std::nullopt;
    const auto raender = geschriebeneRaender(c, fenster);
    if (raender)
        zuletztGemeldet() = raender;
    return raender;
}

// Before the program's first window is shown: asks the window manager what frame it would give
// the window (_NET_REQUEST_FRAME_EXTENTS) and waits a little for the answer, so that the window
// is shown at its place at once instead of moving there once it is framed. Once per run.
void rahmenVorabErfragen(xcb_connection_t *c, xcb_window_t fenster)
{
    static bool gefragt = false;
    if (gefragt || fenster == XCB_WINDOW_NONE)
        return;
    gefragt = true;
    static const xcb_atom_t anfrage = atomFuer(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, wurzel(c), atomFuer(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 1024);
    XcbAntwort<xcb_get_property_reply_t> unterstuetzt(xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!unterstuetzt || unterstuetzt->format != 32)
        return;
    const auto *atome = static_cast<const xcb_atom_t *>(xcb_get_property_value(unterstuetzt.get()));
    const int anzahl = xcb_get_property_value_length(unterstuetzt.get()) / 4;
    if (std::find(atome, atome + anzahl, anfrage) == atome + anzahl)
        return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = fenster;
    e.type = anfrage;
    xcb_send_event(c, 0, wurzel(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&e));
    for (QDeadlineTimer frist(300); !frist.hasExpired(); QThread::msleep(5))
        if (const auto raender = geschriebeneRaender(c, fenster)) {
            zuletztGemeldet() = raender;
            return;
        }
}

// Waits for the window manager to announce a window's frame borders: it sets the property on
// the client window, which Qt watches for property changes anyway.
class RahmenMeldungen : public QAbstractNativeEventFilter
{
public:
    struct Wartend
    {
        QPointer<QWidget> fenster;
        std::function<void()> dann;
    };

    void warte(QWidget &w, std::function<void()> dann)
    {
        if (!m_eingerichtet) {
            qGuiApp->installNativeEventFilter(this);
            m_eingerichtet = true;
        }
        std::erase_if(m_wartend, [&w](const Wartend &x) { return x.fenster == &w || !x.fenster; });
        m_wartend.push_back({&w, std::move(dann)});
    }

    bool nativeEventFilter(const QByteArray &art, void *message, qintptr *) override
    {
        if (m_wartend.empty() || art != "xcb_generic_event_t")
            return false;
        const auto *e = static_cast<const xcb_generic_event_t *>(message);
        if ((e->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *p = reinterpret_cast<const xcb_property_notify_event_t *>(e);
        xcb_connection_t *c = x11Verbindung();
        // The borders and the window's state, in whichever order the window manager sets them.
        if (!c || p->state != XCB_PROPERTY_NEW_VALUE ||
            (p->atom != rahmenAtom(c) && p->atom != zustandAtom(c)))
            return false;
        std::erase_if(m_wartend, [p](const Wartend &x) {
            if (!x.fenster)
                return true;
            if (x11Fenster(*x.fenster) != p->window)
                return false;
            // After Qt has taken the event in as well.
            QTimer::singleShot(0, x.fenster, x.dann);
            return true;
        });
        return false;
    }

private:
    std::vector<Wartend> m_wartend;
    bool m_eingerichtet = false;
};

RahmenMeldungen &rahmenMeldungen()
{
    static RahmenMeldungen meldungen;
    return meldungen;
}

} // namespace

QMargins rahmenraender(const QWidget &w, bool *eigene)
{
    xcb_connection_t *c = x11Verbindung();
    // Qt's own figures where there is no X server to ask.
    if (!c) {
        if (eigene)
            *eigene = true;
        const QRect r = w.geometry();
        const QRect f = w.frameGeometry();
        return {r.left() - f.left(), r.top() - f.top(), f.right() - r.right(), f.bottom() - r.bottom()};
    }
    // Read at once with the answer to whether they are w's: a frame made in between is
    // announced after this, so that a caller waiting for the announcement cannot miss it.
    const auto raender = eigeneRaender(c, x11Fenster(w));
    const bool verwaltet = fensterManagerLaeuft(c);
    if (!raender && verwaltet && !zuletztGemeldet())
        rahmenVorabErfragen(c, x11Fenster(w));
    if (eigene)
        *eigene = raender || !verwaltet;
    return raender ? *raender : verwaltet ? zuletztGemeldet().value_or(QMargins()) : QMargins();
}

QPoint clientEcke(const QWidget &w)
{
    xcb_connection_t *c = x11Verbindung();
    const xcb_window_t fenster = x11Fenster(w);
    if (!c || fenster == XCB_WINDOW_NONE)
        return w.geometry().topLeft();
    const xcb_translate_coordinates_cookie_t cookie = xcb_translate_coordinates(c, fenster, wurzel(c), 0, 0);
    XcbAntwort<xcb_translate_coordinates_reply_t> pos(xcb_translate_coordinates_reply(c, cookie, nullptr),
                                                      &std::free);
    return pos ? QPoint(pos->dst_x, pos->dst_y) : w.geometry().topLeft();
}

QPoint rahmenEcke(const QWidget &w)
{
    const QMargins r = rahmenraender(w);
    return clientEcke(w) - QPoint(r.left(), r.top());
}

QPoint rahmenEckeSetzen(QWidget &w, QPoint ecke, const QMargins &raender)
{
    const QPoint client = ecke + QPoint(raender.left(), raender.top());
    // The client area's own place: Qt's guess of the frame does not come into it. Through the
    // widget, so that a dialog does not put itself over its parent again at its showing.
    w.setGeometry(QRect(client, w.size()));
    return client;
}

void beiRahmenMeldung(QWidget &w, std::function<void()> dann)
{
    if (x11Verbindung())
        rahmenMeldungen().warte(w, std::move(dann));
}

void rahmenMittig(QWidget &w, const QRect &bereich)
{
    bool eigene = false;
    const QMargins raender = rahmenraender(w, &eigene);
    QRect rahmen(QPoint(), w.size().grownBy(raender));
    rahmen.moveCenter(bereich.center());
    rahmenEckeSetzen(w, rahmen.topLeft(), raender);
    if (!eigene)
        beiRahmenMeldung(w, [&w, bereich] {
            if (w.isVisible())
                rahmenMittig(w, bereich);
        });
}

bool perFensterverwaltungAktivieren(const QWidget &w)
{
    xcb_connection_t *c = x11Verbindung();
    if (!c || w.windowFlags().testFlag(Qt::X11BypassWindowManagerHint) || !fensterManagerLaeuft(c))
        return false;
    static const xcb_atom_t aktiv = atomFuer(c, "_NET_ACTIVE_WINDOW");
    if (aktiv == XCB_ATOM_NONE)
        return false;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = xcb_window_t(w.winId());
    e.type = aktiv;
    e.data.data32[0] = 2; // on the user's behalf
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, wurzel(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&e));
    xcb_flush(c);
    return true;
}

QList<QRect> monitorFlaechen()
{
    QList<QRect> flaechen;
    for (const QScreen *s : QGuiApplication::screens())
        flaechen.append(s->geometry());
    return flaechen;
}
