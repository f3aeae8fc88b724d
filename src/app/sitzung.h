// The kind of desktop session the program runs in.
#pragma once

#include <QByteArray>

// A Wayland session: the compositor's socket is named, or the login manager says so.
bool waylandSitzung(const QByteArray &waylandDisplay, const QByteArray &sessionType);
// The same, read from the environment.
bool waylandSitzung();

// The Qt platform (QT_QPA_PLATFORM, a list separated by ";") the program runs on, for the one
// `gewaehlt` in the environment: the program's windows need X11 (XWayland in a Wayland
// session), so each Wayland platform of the list becomes "xcb", and a Wayland session without
// a choice gets "xcb". Other platforms (offscreen, for instance) stay; empty leaves the choice
// to Qt.
QByteArray plattformFuerProgramm(const QByteArray &gewaehlt, bool wayland);

// Sets the platform above for this process (the programs it starts get the user's choice).
// Must run before the application object exists.
void XWaylandWaehlen();
