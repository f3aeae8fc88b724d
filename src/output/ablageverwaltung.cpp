#include "output/ablageverwaltung.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atomNamens(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// Watches, among the events Qt handles, the manager's answer to our request (taken out of Qt's
// way: the window is ours) and every sign that the manager is still fetching: a request for
// the clipboard, or a piece of a large transfer taken from its window.
class VerwaltungBeobachten : public QAbstractNativeEventFilter
{
public:
    enum Stand { Wartet, Gesichert, Abgelehnt };

    VerwaltungBeobachten(xcb_window_t fenster, xcb_atom_t verwaltung, xcb_atom_t clipboard)
        : m_fenster(fenster), m_verwaltung(verwaltung), m_clipboard(clipboard)
    {
        m_anfang.start();
    }

    bool nativeEventFilter(const QByteArray &, void *nachricht, qintptr *) override
    {
        const auto *e = static_cast<const xcb_generic_event_t *>(nachricht);
        switch (e->response_type & 0x7f) {
        case XCB_SELECTION_NOTIFY: {
            const auto *n = reinterpret_cast<const xcb_selection_notify_event_t *>(e);
            if (n->requestor != m_fenster || n->selection != m_verwaltung)
                return false;
            m_stand = n->property != XCB_NONE ? Gesichert : Abgelehnt;
            return true;
        }
        case XCB_SELECTION_REQUEST:
            if (reinterpret_cast<const xcb_selection_request_event_t *>(e)->selection == m_clipboard)
                m_zeichen.start();
            return false;
        case XCB_PROPERTY_NOTIFY: {
            const auto *p = reinterpret_cast<const xcb_property_notify_event_t *>(e);
            if (p->state == XCB_PROPERTY_DELETE && p->window != m_fenster && m_zeichen.isValid())
                m_zeichen.start();
            return false;
        }
        default:
            return false;
        }
    }

    Stand stand() const { return m_stand; }

    bool aufgegeben() const
    {
        if (m_anfang.hasExpired(VerwaltungGesamtMs))
            return true;
        return m_zeichen.isValid() ? m_zeichen.hasExpired(VerwaltungPauseMs)
                                   : m_anfang.hasExpired(VerwaltungErstesZeichenMs);
    }

private:
    xcb_window_t m_fenster;
    xcb_atom_t m_verwaltung;
    xcb_atom_t m_clipboard;
    Stand m_stand = Wartet;
    QElapsedTimer m_anfang;
    QElapsedTimer m_zeichen; // the last sign of fetching; invalid before the first
};

} // namespace

bool AnAblageVerwaltungUebergeben(xcb_connection_t *c)
{
    const xcb_atom_t verwaltung = atomNamens(c, "CLIPBOARD_MANAGER");
    const xcb_atom_t sichern = atomNamens(c, "SAVE_TARGETS");
    const xcb_atom_t clipboard = atomNamens(c, "CLIPBOARD");
    const xcb_atom_t png = atomNamens(c, "image/png");
    const xcb_atom_t liste = atomNamens(c, "SKIZZOMAT_SICHERN");
    if (verwaltung == XCB_ATOM_NONE || sichern == XCB_ATOM_NONE || clipboard == XCB_ATOM_NONE ||
        png == XCB_ATOM_NONE || liste == XCB_ATOM_NONE)
        return false;

    // A window of our own for the answer, so that no answer meant for Qt is taken from it.
    const xcb_screen_t *bildschirm = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t fenster = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, fenster, bildschirm->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    // The formats worth saving: the manager copies every one it is asked to keep, and a
    // screen-sized picture in each of Qt's conversions is tens of megabytes.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, fenster, liste, XCB_ATOM_ATOM, 32, 1, &png);
    xcb_convert_selection(c, fenster, verwaltung, sichern, liste, XCB_CURRENT_TIME);
    xcb_flush(c);

    VerwaltungBeobachten beobachten(fenster, verwaltung, clipboard);
    qGuiApp->installNativeEventFilter(&beobachten);
    // Qt serves the manager's requests, large ones piece by piece, while the loop runs.
    QEventLoop schleife;
    QTimer takt;
    QObject::connect(&takt, &QTimer::timeout, &schleife, [&] {
        if (beobachten.stand() != VerwaltungBeobachten::Wartet || beobachten.aufgegeben())
            schleife.quit();
    });
    takt.start(10);
    schleife.exec(QEventLoop::ExcludeUserInputEvents);
    qGuiApp->removeNativeEventFilter(&beobachten);
    if (beobachten.stand() != VerwaltungBeobachten::Gesichert)
        // The window stays while we live: a manager that answers late must still find it.
        return false;

    xcb_destroy_window(c, fenster);
    // Some managers take the clipboard over at once; the others when its owner lets it go.
    QClipboard *ablage = QGuiApplication::clipboard();
    if (ablage->ownsClipboard())
        ablage->clear();
    xcb_flush(c);
    return true;
}
