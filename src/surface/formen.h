// Tool markers, the shapes (line, rectangle, arrow, double arrow, ellipse, filled rectangle and
// ellipse), their Shift-key constraints and the live preview. Markers and previews are drawn
// with the inverting 1-px pen, so drawing them a second time erases them.
#pragma once

#include "surface/raster.h"

// Rounds to the nearest integer, halves to the even neighbour.
int rundeGerade(double v);

// The box spanned by two points, both inside it: right and bottom exclusive.
TRect normRect(int x1, int y1, int x2, int y2);

// Half width and half height of the eraser box for a stroke width.
QSize radiererHalbmasse(int sdicke);

// Draws the marker of the current tool at (Sx, Sy), or erases it when it is there; nothing
// while Sx or Sy is negative. Tools whose marker is not drawn here leave the picture alone.
void WerkzeugMarke(const ToolState &t, SurfaceState &s, Rechtecke &geaendert);

// Modes 3, 4, 5, 9, 10, 11, 12.
bool istFormModus(int modus);

// The Shift key: lines and arrows snap to horizontal, vertical or diagonal, rectangles and
// ellipses to squares and circles around the anchor (lx, ly).
void formBeschraenken(int modus, int lx, int ly, int &sx, int &sy);

// Barb length of an arrow head for a stroke width: 10, 25, 46, 73 for 3, 7, 13, 21.
int widerhakenLaenge(int sdicke);

struct Widerhaken
{
    QPoint links, rechts; // end points, in the order they are drawn
};

// End points of the two barbs of an arrow from the tail (x1, y1) to the tip (x2, y2).
Widerhaken widerhaken(int x1, int y1, int x2, int y2, int sdicke);

void pfeil(QImage &bild, int x1, int y1, int x2, int y2, bool mitSchaft, const Stift &stift, int sdicke,
           Rechtecke &geaendert);
void doppelPfeil(QImage &bild, int x1, int y1, int x2, int y2, const Stift &stift, int sdicke,
                 Rechtecke &geaendert);

// Draws, or erases, the preview of the figure from (Lx, Ly) to (Sx, Sy); nothing while one of
// them is negative.
void ObjektVorschau(const ToolState &t, SurfaceState &s, Rechtecke &geaendert);

// Abandons a figure being dragged: its preview is erased and nothing is drawn.
void FigurVerwerfen(const ToolState &t, SurfaceState &s, Rechtecke &geaendert);

// One step of a shape mode for the pointer at (x, y).
void formSchritt(const ToolState &t, SurfaceState &s, TShiftState shift, int x, int y, Rechtecke &geaendert);
