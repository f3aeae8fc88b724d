#include "surface/taste.h"

#include <QGuiApplication>
#include <QKeyEvent>

Taste tasteAus(const QKeyEvent *e, bool gedrueckt)
{
    Taste t;
    t.Key = e->key();
    const Qt::KeyboardModifiers m = e->modifiers();
    t.Ziffernblock = m & Qt::KeypadModifier;
    TShiftState s = 0;
    if (m & Qt::ShiftModifier)
        s |= ssShift;
    if (m & Qt::AltModifier)
        s |= ssAlt;
    if (m & Qt::ControlModifier)
        s |= ssCtrl;
    // X11 reports the modifiers as they were before the key; a modifier key itself counts
    // from its press to its release.
    TShiftState selbst = 0;
    if (t.Key == Qt::Key_Shift)
        selbst = ssShift;
    else if (t.Key == Qt::Key_Control)
        selbst = ssCtrl;
    else if (t.Key == Qt::Key_Alt)
        selbst = ssAlt;
    s = gedrueckt ? TShiftState(s | selbst) : TShiftState(s & ~selbst);
    const Qt::MouseButtons b = QGuiApplication::mouseButtons();
    if (b & Qt::LeftButton)
        s |= ssLeft;
    if (b & Qt::RightButton)
        s |= ssRight;
    if (b & Qt::MiddleButton)
        s |= ssMiddle;
    t.Shift = s;
    return t;
}
