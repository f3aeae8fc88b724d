// The drawing surface's key handlers.
#include "surface/mauszeiger.h"
#include "surface/scrwin.h"
#include "surface/steuerung.h"
#include "surface/taste.h"

#include <QCursor>
#include <QKeyEvent>

void TScreenForm::keyPressEvent(QKeyEvent *e)
{
    const Taste t = tasteAus(e, true);
    FormKeyDown(t);
    // The zoom image is the only control in the zoom view: it has the keys after the window.
    if (Img2->isVisible())
        Img2KeyDown(t);
    QWidget::keyPressEvent(e);
}

void TScreenForm::keyReleaseEvent(QKeyEvent *e)
{
    // X11 repeats a held key as release and press; only the real release counts.
    if (!e->isAutoRepeat())
        FormKeyUp(tasteAus(e, false));
    QWidget::keyReleaseEvent(e);
}

void TScreenForm::FormKeyDown(const Taste &t)
{
    if (t.Shift & ssShift)
        Zeichenbewegung(t.Shift | MausShift, Sx, Sy);
    m_steuerung.strgTasten(t);
    const int modus = m_steuerung.zustand().Modus;
    if (modus == 15 && t.Key == Qt::Key_F)
        UmschaltFGedrueckt = true;
    if (modus == 13) {
        switch (t.Key) {
        case Qt::Key_Left:
            SetAuswahlBereichOffset(-1, 0);
            break;
        case Qt::Key_Up:
            SetAuswahlBereichOffset(0, -1);
            break;
        case Qt::Key_Right:
            SetAuswahlBereichOffset(1, 0);
            break;
        case Qt::Key_Down:
            SetAuswahlBereichOffset(0, 1);
            break;
        default:
            break;
        }
    }
}

void TScreenForm::FormKeyUp(const Taste &t)
{
    const bool zoom = m_steuerung.zustand().Modus == 15;
    if (t.Key == Qt::Key_Control && zoom)
        ZoomFadenkreuz(false);
    if (t.Key == Qt::Key_Shift) {
        const QPoint p = QCursor::pos() - geometry().topLeft();
        Zeichenbewegung(t.Shift | MausShift, p.x(), p.y());
    }
    if (zoom && !(t.Shift & ssCtrl) && Cfg.MauszeigerMode != 2)
        Img2->setCursor(cursorFuer(Zeiger::Pfeil));
    UmschaltFGedrueckt = false;
}

void TScreenForm::Img2KeyDown(const Taste &t)
{
    if (m_steuerung.zustand().Modus == 15)
        ZoomFadenkreuz(t.Shift & ssCtrl);
}
