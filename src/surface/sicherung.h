// The undo snapshot taken by every left press on the picture.
#pragma once

#include "app/data.h"

// Saves the tool mode, the gesture coordinates, the selection area, the picture and the
// background as they are now.
void UndoSchnappschuss(ToolState &t, SurfaceState &s);

// To be called by everything that replaces or rewrites the whole drawing picture (freeze,
// undo, clear, sheets, loading): the next snapshot then copies the whole picture again.
void bildGanzGeaendert(SurfaceState &s);

// Makes `ziel` an independent copy of `quelle`. A buffer that `ziel` alone owns, of the same
// size and format, is reused, so that a press on a large picture allocates nothing.
void bildSichern(QImage &ziel, const QImage &quelle);
