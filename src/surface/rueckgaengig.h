// One level of undo, and putting the background back into the picture. Both replace the
// whole picture; what the windows do around them (tool, markers, panels) is theirs.
#pragma once

#include "app/data.h"

// Restores the snapshot: gesture coordinates, selection area, picture, background and tool
// mode. The snapshot stays, so a second undo gives the same result.
void schnappschussZurueck(ToolState &t, SurfaceState &s);

// Keeps the picture as the snapshot's picture (with the coordinates that go with its marker)
// and replaces the picture by the background. Tool mode, selection area and the snapshot's
// background stay as they are.
void bildLoeschen(ToolState &t, SurfaceState &s);
