// The drawing step and the pointer gestures on the picture: every pointer event runs one step
// of `Zeichenbewegung` for the current tool; a left press first takes the undo snapshot.
// Each operation returns the rectangles of the picture it changed, for partial repaint.
#pragma once

#include "surface/raster.h"

// One step of the current tool for the pointer at (xneu, yneu) with the buttons and keys in
// `shift`; the marker is erased at (Sx, Sy) and drawn at the new position. Called by the
// tool window as well: without the left button it drops a figure being dragged (nothing is
// drawn) rather than completing it at a position the user never released at.
Rechtecke Zeichenbewegung(ToolState &t, SurfaceState &s, TShiftState shift, int xneu, int yneu);

// The picture's pointer events. `shift` holds the keys and the buttons down at the event (on
// release without the released button). Positions outside the picture are accepted.
Rechtecke mausDruecken(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y);
Rechtecke mausBewegen(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y);
Rechtecke mausLoslassen(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y);
