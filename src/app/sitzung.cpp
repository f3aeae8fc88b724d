#include "app/sitzung.h"

#include "app/umgebung.h"

#include <QList>
#include <QtGlobal>

bool waylandSitzung(const QByteArray &waylandDisplay, const QByteArray &sessionType)
{
    return !waylandDisplay.isEmpty() || sessionType.trimmed().toLower() == "wayland";
}

bool waylandSitzung()
{
    return waylandSitzung(qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"));
}

QByteArray plattformFuerProgramm(const QByteArray &gewaehlt, bool wayland)
{
    if (gewaehlt.isEmpty())
        return wayland ? QByteArrayLiteral("xcb") : QByteArray();
    // Sessions export "wayland" or "wayland;xcb" for every Qt program; the names of Qt's
    // Wayland plugins all begin so ("wayland-egl", …), with options after a ":".
    QList<QByteArray> plattformen;
    for (QByteArray p : gewaehlt.split(';')) {
        if (p.startsWith("wayland"))
            p = QByteArrayLiteral("xcb");
        if (!plattformen.contains(p))
            plattformen.append(p);
    }
    return plattformen.join(';');
}

void XWaylandWaehlen()
{
    const QByteArray gewaehlt = qgetenv("QT_QPA_PLATFORM");
    const QByteArray plattform = plattformFuerProgramm(gewaehlt, waylandSitzung());
    if (plattform != gewaehlt)
        EigeneUmgebungSetzen("QT_QPA_PLATFORM", plattform);
}
