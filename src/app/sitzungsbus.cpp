#include "app/sitzungsbus.h"

#include <QFile>

#include <sys/stat.h>

bool sitzungsbusDa(const QByteArray &adresse, const QString &runtime)
{
    if (!adresse.trimmed().isEmpty())
        return true;
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
