#include "dialogs/modalfenster.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include <xcb/xcb.h>

namespace {

xcb_atom_t atomNamens(xcb_connection_t *c, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> a(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Asks the window manager to activate the window, as a pager does for the user. The request
// reaches it after the closed dialog's unmapping, so it comes after whatever window the window
// manager chose to focus then; a focus set directly may come before that choice and be
// overridden. False without a window manager (or off X11).
bool perFensterverwaltung(const QWidget &fenster)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || fenster.windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
        return false;
    xcb_connection_t *c = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_atom_t pruef = atomNamens(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_atom_t aktiv = atomNamens(c, "_NET_ACTIVE_WINDOW");
    if (!screen || pruef == XCB_ATOM_NONE || aktiv == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> wm(
        xcb_get_property_reply(c, xcb_get_property(c, 0, screen->root, pruef, XCB_ATOM_WINDOW, 0, 1),
                               nullptr),
        &std::free);
    if (!wm || xcb_get_property_value_length(wm.get()) != 4)
        return false;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = xcb_window_t(fenster.winId());
    e.type = aktiv;
    e.data.data32[0] = 2; // on the user's behalf: the user closed the dialog
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&e));
    xcb_flush(c);
    return true;
}

// Sees every window of the program shown and hidden; the dialogs (the program's own, Qt's
// message boxes, file and print dialogs) need nothing of their own.
class TModaleFenster : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::WindowActivate:
            if (auto *w = qobject_cast<QWidget *>(o); w && w->isWindow())
                m_zuletztAktiv = w;
            break;
        case QEvent::Show:
            if (!e->spontaneous())
                geoeffnet(qobject_cast<QWidget *>(o));
            break;
        case QEvent::Hide:
            if (!e->spontaneous())
                geschlossen(qobject_cast<QWidget *>(o));
            break;
        case QEvent::WindowStateChange:
            wiederHolen(qobject_cast<QWidget *>(o));
            break;
        default:
            break;
        }
        return false;
    }

private:
    void geoeffnet(QWidget *dialog)
    {
        if (!dialog || !dialog->isWindow() || !dialog->isModal())
            return;
        // A dialog that follows right on another one closing may come before the window
        // manager has activated anything again.
        QWidget *vorher = QApplication::activeWindow();
        if (!vorher || vorher == dialog)
            vorher = m_zuletztAktiv;
        if (!vorher || vorher == dialog || !vorher->isVisible())
            return;
        m_offen.removeIf([dialog](const auto &p) { return !p.first || p.first == dialog; });
        m_offen.append(std::pair(QPointer<QWidget>(dialog), QPointer<QWidget>(vorher)));
    }

    void geschlossen(QWidget *dialog)
    {
        if (!dialog || !dialog->isWindow())
            return;
        for (qsizetype i = 0; i < m_offen.size(); ++i) {
            if (m_offen[i].first != dialog)
                continue;
            const QPointer<QWidget> vorher = m_offen.takeAt(i).second;
            // Without a window manager Qt gives the window the input focus itself.
            if (vorher && vorher->isVisible() && !perFensterverwaltung(*vorher))
                vorher->activateWindow();
            return;
        }
    }

    // A modal window cannot be minimised: the program would wait for it unseen. Some window
    // managers offer it anyway (openbox lets no window refuse it), and openbox then minimises
    // the windows it belongs to as well, the frozen picture and the tool window included.
    // Shown again, it brings them back.
    static void wiederHolen(QWidget *dialog)
    {
        if (!dialog || !dialog->isWindow() || !dialog->isModal() || !dialog->isMinimized())
            return;
        QTimer::singleShot(0, dialog, [dialog] {
            if (dialog->isVisible() && dialog->isMinimized())
                dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
        });
    }

    QPointer<QWidget> m_zuletztAktiv;
    // Each open modal window and the window that was active when it opened.
    QList<std::pair<QPointer<QWidget>, QPointer<QWidget>>> m_offen;
};

} // namespace

void ModaleFensterEinrichten()
{
    qApp->installEventFilter(new TModaleFenster(qApp));
}
