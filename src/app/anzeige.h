// Whether the program has a display to show its windows on.
#pragma once

#include <string>

// Checked before the application object exists: Qt aborts the process when it cannot open
// its display. On X11 (the platform the program runs on, also under Wayland through XWayland)
// a connection to the display is tried and closed again. Empty when the start can go on,
// else one line that says why not. Another platform chosen in QT_QPA_PLATFORM (offscreen, for
// instance) is left to Qt.
std::string AnzeigeFehler();

// Around the making of the application object. Qt aborts the process when no platform of
// QT_QPA_PLATFORM can be loaded; in between these two calls the program says so instead in one
// line on standard error and ends with status 1. Qt's notes on the plugins it tried go into
// that line; its other messages pass as usual.
void PlattformWacheAufstellen();
void PlattformGeladen();
