// The kind of desktop session the program runs in.
#pragma once

#include <QByteArray>

// A Wayland session: the compositor's socket is named, or the login manager says so.
bool waylandSitzung(const QByteArray &waylandDisplay, const QByteArray &sessionType);
// The same, read from the environment.
bool waylandSitzung();

// On a Wayland session the program runs as an X11 client through XWayland: window placement,
// stacking and the pointer work there as on X11. A platform the user chose stays. Must run
// before the application object exists.
void XWaylandWaehlen();
