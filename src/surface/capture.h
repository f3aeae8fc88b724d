// Reading a monitor's pixels.
#pragma once

#include <QImage>

class QScreen;

// The monitor's picture in RGB32 at its physical size, or a null image when the screen
// cannot be read (no X11 display, as in a pure Wayland session).
QImage bildschirmLesen(QScreen *monitor);
