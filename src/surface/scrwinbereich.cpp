// The drawing surface's selection tool: the crosshair panel, the area's markers after each
// step, moving the area by its info panel or the keyboard; and what a step shows beside the
// picture in each mode.
#include "surface/auswahlmarker.h"
#include "surface/bereich.h"
#include "surface/scrwin.h"
#include "surface/steuerung.h"
#include "surface/taste.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

TShiftState mausShift(const QMouseEvent *m)
{
    return shiftAus(m->modifiers(), m->buttons());
}

// Dragging the area's info panel moves the area.
class TPanelZiehen : public QObject
{
public:
    explicit TPanelZiehen(TScreenForm *surface) : QObject(surface), m_surface(surface) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress) {
            auto *m = static_cast<QMouseEvent *>(e);
            const QPoint p = m->position().toPoint();
            m_surface->BereichInfoPanMouseDown(m->button(), mausShift(m), p.x(), p.y());
            return true;
        }
        if (e->type() == QEvent::MouseMove) {
            auto *m = static_cast<QMouseEvent *>(e);
            const QPoint p = m->position().toPoint();
            m_surface->BereichInfoPanMouseMove(mausShift(m), p.x(), p.y());
            return true;
        }
        return false;
    }

private:
    TScreenForm *m_surface;
};

// While text is typed, a shortcut of the context menu wins over the entry's own editing keys
// (Ctrl+Backspace undoes rather than deleting a word).
class TMenueVorrang : public QObject
{
public:
    explicit TMenueVorrang(TScreenForm *surface) : QObject(surface), m_surface(surface) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::ShortcutOverride)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        const QKeySequence taste(k->keyCombination());
        const QKeySequence ohneBlock(
            QKeyCombination(k->modifiers() & ~Qt::KeypadModifier, Qt::Key(k->key())));
        for (const QAction *a : m_surface->steuerung().fenster().actions())
            for (const QKeySequence &s : a->shortcuts())
                if (a->isEnabled() && (s == taste || s == ohneBlock)) {
                    // Not taken by the entry: the shortcut runs.
                    e->ignore();
                    return true;
                }
        return false;
    }

private:
    TScreenForm *m_surface;
};

} // namespace

void TScreenForm::erzeugeAnsichtsteile()
{
    FadenkreuzInfoPan = new QLabel(this);
    FadenkreuzInfoPan->setObjectName(QStringLiteral("FadenkreuzInfoPan"));
    FadenkreuzInfoPan->setFrameStyle(QFrame::Box | QFrame::Plain);
    FadenkreuzInfoPan->setLineWidth(1);
    infoPanelStil(FadenkreuzInfoPan, Qt::white);
    FadenkreuzInfoPan->setGeometry(-1, -1, 266, 19);
    // The pointer over it still belongs to the picture, so that the panel can dodge it.
    FadenkreuzInfoPan->setAttribute(Qt::WA_TransparentForMouseEvents);
    FadenkreuzInfoPan->hide();

    QLabel *info = Auswahl->BereichInfoPan;
    info->setMouseTracking(true);
    info->installEventFilter(new TPanelZiehen(this));
    Edit1->installEventFilter(new TMenueVorrang(this));
    erzeugeZoomteile();
}

void TScreenForm::ansichtNachSchritt(TShiftState Shift)
{
    const ToolState &t = m_steuerung.zustand();
    // A right or middle button counts as a released left button, as in the step.
    if (Shift & (ssRight | ssMiddle))
        Shift &= TShiftState(~ssLeft);
    if (t.Modus == 14)
        Lupe();
    else if (t.Modus == 15)
        zoomSchritt(Shift);
    if (t.Modus == 13) {
        if (!(t.BereichRect == m_bereichGezeigt)) {
            m_bereichGezeigt = t.BereichRect;
            AuswahlBereichZeigen();
        }
        FadenkreuzInfoPan->setText(fadenkreuzText(*this));
        FadenkreuzInfoPan->move(panelLinks(FadenkreuzInfoPan->geometry(), Sx, Sy, Img1->width()),
                                FadenkreuzInfoPan->y());
    }
}

void TScreenForm::SetAuswahlBereichOffset(int dx, int dy)
{
    if (bereichVerschieben(m_steuerung.zustand().BereichRect, dx, dy, Img1Bmp.size()))
        AuswahlBereichZeigen();
}

void TScreenForm::BereichInfoPanMouseDown(Qt::MouseButton Button, TShiftState, int X, int Y)
{
    if (Button != Qt::LeftButton)
        return;
    Ax = X;
    Ay = Y;
}

void TScreenForm::BereichInfoPanMouseMove(TShiftState Shift, int X, int Y)
{
    m_steuerung.CheckPanels();
    if ((Shift & ssLeft) &&
        bereichVerschieben(m_steuerung.zustand().BereichRect, X - Ax, Y - Ay, Img1Bmp.size()))
        AuswahlBereichZeigen();
}
