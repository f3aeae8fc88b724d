// A key as the key handlers of both windows see it.
#pragma once

#include "app/data.h"

#include <Qt>

class QKeyEvent;

struct Taste
{
    int Key = 0;               // Qt::Key
    bool Ziffernblock = false; // the key is on the numeric keypad
    // Keys and mouse buttons held once the key went down or up: pressing Ctrl reports Ctrl,
    // releasing it no longer does, whatever the windowing system said at the event.
    TShiftState Shift = 0;
};

Taste tasteAus(const QKeyEvent *e, bool gedrueckt);

// Qt's modifiers and mouse buttons as a shift state.
TShiftState shiftAus(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons);
