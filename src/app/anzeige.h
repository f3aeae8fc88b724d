// Whether the program has a display to show its windows on.
#pragma once

#include <string>

// Checked before the application object exists: Qt aborts the process when it cannot open
// its display. On X11 (the platform the program runs on, also under Wayland through XWayland)
// a connection to the display is tried and closed again. Empty when the start can go on,
// else one line that says why not. A platform other than X11 chosen in QT_QPA_PLATFORM is
// left to Qt.
std::string AnzeigeFehler();
