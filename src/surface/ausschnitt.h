// One monitor cut out of a picture of the whole desktop.
#pragma once

#include <QImage>
#include <QRect>

// `desktop` shows the rectangle `desktopGeometrie` (the bounding box of all monitors, in the
// monitors' coordinates), possibly at another scale, as a compositor's screenshot does on a
// scaled output. Returns the part that shows `monitor` at the monitor's size in RGB32: pixel
// for pixel when the scales agree, else scaled smoothly. A null image when the picture is
// empty or the monitor does not lie within the desktop. A picture handed over whole (moved in)
// that shows just the monitor, opaque, becomes the result without a copy.
QImage monitorAusschnitt(QImage desktop, const QRect &desktopGeometrie, const QRect &monitor);
