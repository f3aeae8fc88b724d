#include "app/anzeige.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

std::string AnzeigeFehler()
{
    const QByteArray plattform = qgetenv("QT_QPA_PLATFORM");
    if (!plattform.isEmpty() && !plattform.startsWith("xcb"))
        return {};
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return "Keine X-Anzeige: DISPLAY ist nicht gesetzt; unter Wayland braucht Skizzomat XWayland.";
        return "Keine grafische Anzeige: DISPLAY ist nicht gesetzt.";
    }
    xcb_connection_t *verbindung = xcb_connect(display.constData(), nullptr);
    const bool erreichbar = xcb_connection_has_error(verbindung) == 0;
    xcb_disconnect(verbindung);
    if (!erreichbar)
        return "Die Anzeige \"" + display.toStdString() + "\" (DISPLAY) ist nicht erreichbar.";
    return {};
}
