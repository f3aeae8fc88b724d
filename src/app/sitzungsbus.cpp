#include "app/sitzungsbus.h"

#include "app/umgebung.h"

#include <QFile>

#include <sys/stat.h>

namespace {
// An address type the library does not know: each connection fails at once, with nothing started.
const QByteArray KeinBus = QByteArrayLiteral("disabled:");
} // namespace

bool sitzungsbusDa(const QByteArray &adresse, const QString &runtime)
{
    const QByteArray genannt = adresse.trimmed();
    if (!genannt.isEmpty())
        return genannt != KeinBus;
    if (!runtime.startsWith(QLatin1Char('/')))
        return false;
    struct stat st;
    return ::stat(QFile::encodeName(runtime + QStringLiteral("/bus")).constData(), &st) == 0 &&
           S_ISSOCK(st.st_mode);
}

bool sitzungsbusDa()
{
    return sitzungsbusDa(qgetenv("DBUS_SESSION_BUS_ADDRESS"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

void BusAutostartAbschalten()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") && !sitzungsbusDa())
        EigeneUmgebungSetzen("DBUS_SESSION_BUS_ADDRESS", KeinBus);
}
