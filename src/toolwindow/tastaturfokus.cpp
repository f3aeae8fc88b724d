#include "toolwindow/tastaturfokus.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template<class T> using XcbAntwort = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t *verbindung()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t wurzel(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    XcbAntwort<xcb_intern_atom_reply_t> a(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// A window property of one window id; none when it is missing.
xcb_window_t fensterEigenschaft(xcb_connection_t *c, xcb_window_t von, xcb_atom_t name)
{
    XcbAntwort<xcb_get_property_reply_t> p(
        xcb_get_property_reply(c, xcb_get_property(c, 0, von, name, XCB_ATOM_WINDOW, 0, 1), nullptr),
        &std::free);
    if (!p || p->format != 32 || xcb_get_property_value_length(p.get()) != 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(p.get()));
}

// A window manager that follows the desktop conventions runs: its check window names itself.
bool fensterverwaltung(xcb_connection_t *c)
{
    const xcb_window_t pruef = fensterEigenschaft(c, wurzel(c), atom(c, "_NET_SUPPORTING_WM_CHECK"));
    return pruef != XCB_WINDOW_NONE &&
           fensterEigenschaft(c, pruef, atom(c, "_NET_SUPPORTING_WM_CHECK")) == pruef;
}

} // namespace

unsigned long fensterMitTastatur()
{
    xcb_connection_t *c = verbindung();
    if (!c)
        return 0;
    if (fensterverwaltung(c))
        return fensterEigenschaft(c, wurzel(c), atom(c, "_NET_ACTIVE_WINDOW"));
    XcbAntwort<xcb_get_input_focus_reply_t> f(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr),
                                              &std::free);
    // PointerRoot (1) and the root window stand for no window of anyone.
    if (!f || f->focus == XCB_INPUT_FOCUS_POINTER_ROOT || f->focus == wurzel(c))
        return 0;
    return f->focus;
}

void tastaturZurueckgeben(unsigned long fenster)
{
    xcb_connection_t *c = verbindung();
    if (!c || fenster == XCB_WINDOW_NONE)
        return;
    // Closed or hidden meanwhile: the window manager's choice stands.
    XcbAntwort<xcb_get_window_attributes_reply_t> a(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, xcb_window_t(fenster)), nullptr),
        &std::free);
    if (!a || a->map_state != XCB_MAP_STATE_VIEWABLE)
        return;
    if (!fensterverwaltung(c)) {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, xcb_window_t(fenster), XCB_CURRENT_TIME);
        xcb_flush(c);
        return;
    }
    // Asked of the window manager after the picture window's unmapping, it comes after the
    // choice the window manager makes for that.
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = xcb_window_t(fenster);
    e.type = atom(c, "_NET_ACTIVE_WINDOW");
    e.data.data32[0] = 2; // on the user's behalf, as a pager: no focus-stealing rules apply
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, wurzel(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&e));
    xcb_flush(c);
}
