// Whether the desktop session has a D-Bus session bus, found without starting one: asking
// libdbus for "the session bus" where none is named starts a new, empty one (autolaunch), on
// which no other program of the session could be reached.
#pragma once

#include <QByteArray>
#include <QString>

// A bus is named in DBUS_SESSION_BUS_ADDRESS (`adresse`), or the user's bus socket "bus" lies
// in the runtime folder (`runtime`, XDG_RUNTIME_DIR), where libdbus looks when no address is
// named.
bool sitzungsbusDa(const QByteArray &adresse, const QString &runtime);
// The same, from the environment.
bool sitzungsbusDa();
