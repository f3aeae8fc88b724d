// The desktop session's D-Bus session bus: whether there is one, found without starting one, and
// no bus started where there is none.
#pragma once

#include <QByteArray>
#include <QString>

// A bus is named in DBUS_SESSION_BUS_ADDRESS (`adresse`), or the user's bus socket "bus" lies
// in the runtime folder (`runtime`, XDG_RUNTIME_DIR), where libdbus looks when no address is
// named. The address BusAutostartAbschalten puts in place names none.
bool sitzungsbusDa(const QByteArray &adresse, const QString &runtime);
// The same, from the environment.
bool sitzungsbusDa();

// Without a session bus, the D-Bus library starts one of its own ("autolaunch") for the first
// connection to it, be it ours or one of Qt's (the accessibility bridge asks the session bus
// for its own bus at start-up, the platform theme and the desktop portal use it too), and that
// bus and its launcher outlive the program; no other program of the session could reach us on
// it either. Named in the environment, an address that leads nowhere turns autolaunch off for
// every connection of this process; the programs it starts get the environment the user
// started it with. Must run before the application object exists.
void BusAutostartAbschalten();
