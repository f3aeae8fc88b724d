#include "surface/taste.h"

#include <QGuiApplication>
#include <QKeyEvent>

Taste tasteAus(const QKeyEvent *e, bool gedrueckt)
{
    Taste t;
    t.Key = e->key();
    t.Ziffernblock = e->modifiers() & Qt::KeypadModifier;
    TShiftState s = shiftAus(e->modifiers(), QGuiApplication::mouseButtons());
    // X11 reports the modifiers as they were before the key; a modifier key itself counts
    // from its press to its release.
    TShiftState selbst = 0;
    if (t.Key == Qt::Key_Shift)
        selbst = ssShift;
    else if (t.Key == Qt::Key_Control)
        selbst = ssCtrl;
    else if (t.Key == Qt::Key_Alt)
        selbst = ssAlt;
    t.Shift = gedrueckt ? TShiftState(s | selbst) : TShiftState(s & ~selbst);
    return t;
}

TShiftState shiftAus(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (keys & Qt::ShiftModifier)
        s |= ssShift;
    if (keys & Qt::AltModifier)
        s |= ssAlt;
    if (keys & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}
