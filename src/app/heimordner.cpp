#include "app/heimordner.h"

#include <QByteArray>
#include <QtGlobal>

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

void HeimordnerSetzen()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return;
    const long groesse = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> puffer(groesse > 0 ? size_t(groesse) : 16384);
    passwd eintrag{};
    passwd *gefunden = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(::getuid(), &eintrag, puffer.data(), puffer.size(), &gefunden)) == ERANGE)
        puffer.resize(puffer.size() * 2);
    if (rc == 0 && gefunden && gefunden->pw_dir && gefunden->pw_dir[0] == '/')
        qputenv("HOME", QByteArray(gefunden->pw_dir));
}
