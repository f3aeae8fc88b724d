#include "app/umgebung.h"

#include <QHash>
#include <QtGlobal>

namespace {

// The user's value of each variable changed, nothing for one that was not set.
QHash<QByteArray, std::optional<QByteArray>> &urspruenglich()
{
    static QHash<QByteArray, std::optional<QByteArray>> werte;
    return werte;
}

} // namespace

void EigeneUmgebungSetzen(const char *name, const std::optional<QByteArray> &wert)
{
    if (!urspruenglich().contains(name))
        urspruenglich().insert(name,
                               qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    if (wert)
        qputenv(name, *wert);
    else
        qunsetenv(name);
}

QProcessEnvironment KinderUmgebung()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto i = urspruenglich().cbegin(); i != urspruenglich().cend(); ++i) {
        const QString name = QString::fromLocal8Bit(i.key());
        if (i.value())
            env.insert(name, QString::fromLocal8Bit(*i.value()));
        else
            env.remove(name);
    }
    return env;
}
