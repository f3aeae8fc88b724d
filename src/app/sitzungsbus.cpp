#include "app/sitzungsbus.h"

#include "app/umgebung.h"

#include <sys/stat.h>

void BusAutostartAbschalten()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    // Without an address the library first looks for the user's bus at this place, and only
    // autolaunches when nothing listens there.
    const QByteArray laufzeit = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray bus = laufzeit + "/bus";
    struct stat st
    {};
    if (!laufzeit.isEmpty() && stat(bus.constData(), &st) == 0 && S_ISSOCK(st.st_mode))
        return;
    // An address type the library does not know: each connection fails at once, with nothing
    // started.
    EigeneUmgebungSetzen("DBUS_SESSION_BUS_ADDRESS", QByteArray("disabled:"));
}
