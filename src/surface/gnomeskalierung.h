// What to tell a GNOME user whose desktop enlarges the program's pixels.
#pragma once

#include <QSize>
#include <QString>

// The note for a picture `bild` of the desktop that XWayland shows at the size `desktop`: with
// the experimental feature "scale-monitor-framebuffer" GNOME Shell enlarges every XWayland
// window, so the frozen picture cannot show each pixel of the screen. Empty when the sizes agree
// (GNOME's default, where XWayland sees the screen's own pixels at any whole scale).
QString gnomeSkalierungsHinweis(QSize bild, QSize desktop);
