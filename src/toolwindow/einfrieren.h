// What a freeze does to the annotation state, apart from reading the screen.
#pragma once

#include "app/data.h"

// Index of the monitor to freeze: with monitor mode 2 and more than one monitor the second,
// with mode 1 the first, otherwise the one that shows the tool window.
int monitorWahl(int monitorMode, int monitorCount, int toolWindowMonitor);

// Takes a captured monitor image as the new background and drawing picture. The undo
// snapshot is renewed and the gesture coordinates reset; tool, colour, thickness, zoom and
// the selection area stay as they are. Every copy shares the captured pixels until one of
// them is drawn on. `zeichnung`, where not null, becomes the drawing picture's own memory at its
// first write: a copy of `captured` that shares its memory until drawn on
// (Bildaufnahme::zeichnung).
void bildUebernehmen(ToolState &t, SurfaceState &s, const QImage &captured, const QImage &zeichnung = {});

// After "Fertig": lets go of every full-size picture but the drawing picture, which the output
// commands still use until the next freeze; that one gets memory of its own where it shared
// the memory the screen was read into.
void bilderFreigeben(ToolState &t, SurfaceState &s);
