#include "toolwindow/schattenfrei.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

template<class T> using XcbAntwort = std::unique_ptr<T, decltype(&std::free)>;

// A compositing manager owns the selection _NET_WM_CM_S<screen> for as long as it runs; the
// displays the program meets (XWayland's among them) have the one screen 0.
bool zusammensetzerLaeuft()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const std::string name = "_NET_WM_CM_S0";
    XcbAntwort<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::uint16_t(name.size()), name.c_str()), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    XcbAntwort<xcb_get_selection_owner_reply_t> besitzer(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &std::free);
    return besitzer && besitzer->owner != XCB_WINDOW_NONE;
}

// Cleared to transparent before each paint, the window is painted its opaque background first.
class Deckend : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            auto *w = static_cast<QWidget *>(o);
            QPainter p(w);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.fillRect(static_cast<QPaintEvent *>(e)->rect(), w->palette().color(QPalette::Window));
        }
        return false;
    }
};

} // namespace

void ohneSchattenZeigen(QWidget *fenster)
{
    if (!zusammensetzerLaeuft())
        return;
    fenster->setAttribute(Qt::WA_TranslucentBackground);
    fenster->installEventFilter(new Deckend(fenster));
}
