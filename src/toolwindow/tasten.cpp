// The tool window's key handlers. Menu shortcuts run before them and go no further; Enter and
// Escape press the Start/Fertig button.
#include "surface/mauszeiger.h"
#include "surface/scrwin.h"
#include "surface/taste.h"
#include "toolwindow/toolwin2.h"

#include <QKeyEvent>
#include <QPushButton>

bool TToolForm::pfeilTaste(QObject *o, QEvent *e)
{
    // The focused Start/Fertig button would use the arrow keys to move the focus; in this
    // window they belong to the selection area.
    if (o != StartFertigBtn || e->type() != QEvent::KeyPress)
        return false;
    auto *k = static_cast<QKeyEvent *>(e);
    switch (k->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        FormKeyDown(tasteAus(k, true));
        return true;
    default:
        return false;
    }
}

void TToolForm::keyReleaseEvent(QKeyEvent *e)
{
    // X11 repeats a held key as release and press; only the real release counts.
    if (!e->isAutoRepeat())
        FormKeyUp(tasteAus(e, false));
    QWidget::keyReleaseEvent(e);
}

void TToolForm::strgTasten(const Taste &t)
{
    // Ctrl alone, no other key or button: it shows the zoom crosshair, and zooms with the
    // keypad's plus and minus or the main keyboard's minus. The keypad's divide key is the
    // menu's shortcut for zooming out, but on X11 Qt matches shortcuts without the keypad
    // flag, so that shortcut never fires there and the key arrives here instead.
    if (t.Shift != ssCtrl || !ScreenForm)
        return;
    if (Modus == 15)
        ScreenForm->ZoomFadenkreuz(true);
    if (t.Key == Qt::Key_Plus && t.Ziffernblock)
        ZoomInBtnClick();
    else if (t.Key == Qt::Key_Minus || (t.Key == Qt::Key_Slash && t.Ziffernblock))
        ZoomOutBtnClick();
}

void TToolForm::FormKeyDown(const Taste &t)
{
    if (WinZustand != 1 || !ScreenForm)
        return;
    TScreenForm &s = *ScreenForm;
    if (Modus == 15 && (t.Shift & ssShift))
        s.Zeichenbewegung(t.Shift | s.MausShift, s.Sx, s.Sy);
    strgTasten(t);
    if (Modus == 15 && t.Key == Qt::Key_F)
        s.UmschaltFGedrueckt = true;
    if (Modus == 13) {
        switch (t.Key) {
        case Qt::Key_Left:
            s.SetAuswahlBereichOffset(-1, 0);
            break;
        case Qt::Key_Up:
            s.SetAuswahlBereichOffset(0, -1);
            break;
        case Qt::Key_Right:
            s.SetAuswahlBereichOffset(1, 0);
            break;
        case Qt::Key_Down:
            s.SetAuswahlBereichOffset(0, 1);
            break;
        default:
            break;
        }
    }
}

void TToolForm::FormKeyUp(const Taste &t)
{
    if (WinZustand != 1 || !ScreenForm)
        return;
    TScreenForm &s = *ScreenForm;
    if (t.Key == Qt::Key_Control && Modus == 15)
        s.ZoomFadenkreuz(false);
    if (Modus == 15 && t.Key == Qt::Key_Shift)
        s.Zeichenbewegung(t.Shift | s.MausShift, s.Sx, s.Sy);
    if (Modus == 15 && !(t.Shift & ssCtrl) && Cfg.MauszeigerMode != 2)
        s.Img2->setCursor(cursorFuer(Zeiger::Pfeil));
    s.UmschaltFGedrueckt = false;
}
