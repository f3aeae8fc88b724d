// Which mouse pointer the picture and the zoom image show.
#pragma once

#include "app/data.h"

enum class Zeiger {
    Pfeil,   // the standard arrow
    Keiner,  // invisible
    Hand,    // our own "HAND": panning the zoom view
    Pipette, // our own "PIPETTE": picking a colour in the zoom view
    Bewegen, // the four-way move pointer
};

struct ZeigerPaar
{
    Zeiger Img1;
    Zeiger Img2;
    friend bool operator==(const ZeigerPaar &, const ZeigerPaar &) = default;
};

// The pointers by the pointer setting (1 normal, 2 hidden), the tool mode and the held mouse
// buttons.
ZeigerPaar zeigerFuer(int mauszeigerMode, int modus, TShiftState mausShift);

// The zoom image's pointer during a zoom-view step, by precedence: Shift key (pipette), left
// button (hand), Ctrl (none, the crosshair marks the spot), otherwise the arrow. Under the
// hidden-pointer setting always none.
Zeiger zoomZeiger(int mauszeigerMode, TShiftState shift);
