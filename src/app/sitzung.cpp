#include "app/sitzung.h"

#include <QtGlobal>

bool waylandSitzung(const QByteArray &waylandDisplay, const QByteArray &sessionType)
{
    return !waylandDisplay.isEmpty() || sessionType.trimmed().toLower() == "wayland";
}

bool waylandSitzung()
{
    return waylandSitzung(qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"));
}

void XWaylandWaehlen()
{
    if (waylandSitzung() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
}
