// The drawing surface's pointer events: each runs one core operation and repaints only the
// rectangles of the picture that it changed.
#include "surface/formen.h"
#include "surface/gesten.h"
#include "surface/scrwin.h"
#include "surface/sicherung.h"
#include "surface/steuerung.h"
#include "surface/taste.h"

#include <QMouseEvent>
#include <QTimer>

namespace {

// Only these three buttons take part in gestures; others (back, forward) are ignored.
bool gestenTaste(Qt::MouseButton b)
{
    return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton;
}

} // namespace

bool TScreenForm::eventFilter(QObject *o, QEvent *e)
{
    if (o != Img1 && o != Img2)
        return QWidget::eventFilter(o, e);
    const bool ersteAnzeige = o == Img1;
    switch (e->type()) {
    case QEvent::Paint:
        if (ersteAnzeige && m_sicherungNachAnzeige) {
            m_sicherungNachAnzeige = false;
            // Once the picture is on its way to the screen.
            QTimer::singleShot(0, this, &TScreenForm::sicherungImVoraus);
        }
        if (ersteAnzeige)
            hintergrundNachAnzeige();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: { // a double click is a second press
        auto *m = static_cast<QMouseEvent *>(e);
        if (!gestenTaste(m->button()))
            return false;
        const QPoint p = m->position().toPoint();
        const TShiftState s = shiftAus(m->modifiers(), m->buttons());
        ersteAnzeige ? Img1MouseDown(m->button(), s, p.x(), p.y())
                     : Img2MouseDown(m->button(), s, p.x(), p.y());
        return true;
    }
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(e);
        const QPoint p = m->position().toPoint();
        const TShiftState s = shiftAus(m->modifiers(), m->buttons());
        ersteAnzeige ? Img1MouseMove(s, p.x(), p.y()) : Img2MouseMove(s, p.x(), p.y());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *m = static_cast<QMouseEvent *>(e);
        if (!gestenTaste(m->button()))
            return false;
        const QPoint p = m->position().toPoint();
        const TShiftState s = shiftAus(m->modifiers(), m->buttons());
        ersteAnzeige ? Img1MouseUp(m->button(), s, p.x(), p.y()) : Img2MouseUp(m->button(), s, p.x(), p.y());
        return true;
    }
    default:
        return false;
    }
}

void TScreenForm::Img1MouseDown(Qt::MouseButton, TShiftState Shift, int X, int Y)
{
    // A window manager may have lifted the surface over the tool window; raising changes
    // nothing about whether the tool window is shown.
    m_steuerung.fenster().raise();
    druckAktionen(Shift);
    neuZeichnen(mausDruecken(m_steuerung.zustand(), *this, Shift, X, Y));
    ansichtNachSchritt(Shift);
}

void TScreenForm::Img1MouseMove(TShiftState Shift, int X, int Y)
{
    neuZeichnen(mausBewegen(m_steuerung.zustand(), *this, Shift, X, Y));
    ansichtNachSchritt(Shift);
}

void TScreenForm::Img1MouseUp(Qt::MouseButton, TShiftState Shift, int X, int Y)
{
    neuZeichnen(mausLoslassen(m_steuerung.zustand(), *this, Shift, X, Y));
    ansichtNachSchritt(Shift);
}

void TScreenForm::Img2MouseDown(Qt::MouseButton Button, TShiftState Shift, int X, int Y)
{
    Img1MouseDown(Button, Shift, X, Y);
}

void TScreenForm::Img2MouseMove(TShiftState Shift, int X, int Y)
{
    Img1MouseMove(Shift, X, Y);
}

void TScreenForm::Img2MouseUp(Qt::MouseButton Button, TShiftState Shift, int X, int Y)
{
    Img1MouseUp(Button, Shift, X, Y);
}

void TScreenForm::Zeichenbewegung(TShiftState Shift, int xneu, int yneu)
{
    neuZeichnen(::Zeichenbewegung(m_steuerung.zustand(), *this, Shift, xneu, yneu));
    ansichtNachSchritt(Shift);
}

void TScreenForm::FigurVerwerfen()
{
    aenderungBeginnen(*this);
    Rechtecke geaendert;
    ::FigurVerwerfen(m_steuerung.zustand(), *this, geaendert);
    neuZeichnen(aenderungMerken(*this, geaendert));
}

void TScreenForm::neuZeichnen(const Rechtecke &geaendert)
{
    for (const QRect &r : geaendert)
        Img1->update(r);
    // A text-tool press asks for the entry.
    if (Eintrag.Platzieren)
        eintragZeigen();
}
