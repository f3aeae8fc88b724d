// The selection tool (mode 13): its full-window crosshair, the step that draws an area, the
// crosshair panel's text and where it stands, and moving the area.
#pragma once

#include "surface/raster.h"

#include <QString>

// Draws, or erases, the crosshair through (Sx, Sy) across the whole picture; nothing while
// Sx or Sy is negative. The crossing pixel is inverted twice and keeps its colour.
void fadenkreuzMarke(SurfaceState &s, Rechtecke &geaendert);

// One step of the selection tool. A press starts a new area (the old one goes), dragging
// shows its edges, the release sets it; with the Shift key the area is a square.
void bereichSchritt(ToolState &t, SurfaceState &s, TShiftState shift, int x, int y, Rechtecke &geaendert);

// The crosshair panel's text: empty without a marker, the position while no area is being
// drawn, else both corners with width and height.
QString fadenkreuzText(const SurfaceState &s);

// The left edge of a panel at the top of the surface once the pointer (sx, sy) is taken into
// account: a panel the pointer touches jumps between the top-left corner (left −1) and the
// top-right one.
int panelLinks(const QRect &panel, int sx, int sy, int flaecheBreite);

// Moves an active area by (dx, dy), keeping its size and keeping it on a surface of the given
// size. False, and nothing moved, without an active area.
bool bereichVerschieben(TRect &r, int dx, int dy, QSize flaeche);

// The area typed into the selection dialog as left, top, width and height, on a surface of the
// given size: no area when the width or the height is not above 0; otherwise left and top are
// kept on the surface, and the area is at least one pixel wide and high and ends at the
// surface's edge at the latest. Values as large as the fields hold do not overflow.
TRect bereichAusEingabe(qint32 links, qint32 oben, qint32 breite, qint32 hoehe, QSize flaeche);
