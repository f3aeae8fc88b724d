// The drawing surface's zoom view: entering it, zooming about a point, panning, the crosshair,
// the info panel with the colour under the pointer and the pipette, and the mouse wheel.
#include "surface/auswahlmarker.h"
#include "surface/bereich.h"
#include "surface/mauszeiger.h"
#include "surface/scrwin.h"
#include "surface/steuerung.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QWheelEvent>
#include <QWindow>

namespace {

QLabel *zoomLabel(QWidget *panel, const char *name, QRect ort, Qt::Alignment ausrichtung, const QString &text)
{
    auto *l = new QLabel(text, panel);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(ort);
    l->setAlignment(ausrichtung | Qt::AlignVCenter);
    return l;
}

// The mouse wheel, wherever it turns: the application-wide hook of the surface.
class TMausrad : public QObject
{
public:
    explicit TMausrad(TScreenForm *surface) : QObject(surface), m_surface(surface) {}

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        // Each turn reaches the window first and then the widgets under the pointer one by
        // one; only the window's copy counts, so that a turn is one step.
        if (e->type() != QEvent::Wheel || !o->isWindowType())
            return false;
        // Only a turn over the picture zooms: over the tool window there is no picture point
        // to zoom about. Without a window manager no window may ever count as active; a turn
        // over the picture then counts as well.
        TSteuerung &steuerung = m_surface->steuerung();
        const QWidget *aktiv = QApplication::activeWindow();
        const bool ueberDemBild = static_cast<QWindow *>(o) == m_surface->windowHandle() &&
                                  (aktiv == m_surface || aktiv == &steuerung.fenster() || !aktiv);
        ToolState &t = steuerung.zustand();
        if (t.WinZustand != 1 || !Cfg.MausradZoom || !ueberDemBild)
            return false;
        const int delta = static_cast<QWheelEvent *>(e)->angleDelta().y();
        if (t.Modus != 15) {
            if (delta > 0)
                m_surface->ZoomInit(float(m_surface->Sx), float(m_surface->Sy));
        } else {
            if (delta > 0)
                t.ZoomfakNr = zoomStufeHoeher(t.ZoomfakNr);
            else if (delta < 0)
                t.ZoomfakNr = zoomStufeTiefer(t.ZoomfakNr);
            t.ZoomFak = ZoomTabelle[size_t(t.ZoomfakNr)];
            m_surface->UpdateZoom(float(m_surface->Sx), float(m_surface->Sy), t.ZoomFak);
        }
        return false;
    }

private:
    TScreenForm *m_surface;
};

} // namespace

void TScreenForm::erzeugeZoomteile()
{
    // On the zoom image, which lies exactly over the surface: nothing of the surface may lie
    // over the image, or a pan could not move what the image shows (QWidget::scroll copies
    // only a widget that no sibling covers).
    auto *panel = new QFrame(Img2);
    ZoomInfoPan = panel;
    panel->setObjectName(QStringLiteral("ZoomInfoPan"));
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(1);
    infoPanelStil(panel, Qt::white);
    panel->setGeometry(-1, -1, 266, 19);
    panel->setAttribute(Qt::WA_TransparentForMouseEvents);
    ZoomPanZoomLab =
        zoomLabel(panel, "ZoomPanZoomLab", {8, 2, 40, 13}, Qt::AlignRight, QStringLiteral("100%"));
    ZoomPanKlammern = zoomLabel(panel, "ZoomPanKlammern", {72, 2, 105, 13}, Qt::AlignLeft,
                                QStringLiteral(" (        ,         )"));
    ZoomPanXLab = zoomLabel(panel, "ZoomPanXLab", {72, 2, 40, 13}, Qt::AlignRight, {});
    ZoomPanYLab = zoomLabel(panel, "ZoomPanYLab", {112, 2, 40, 13}, Qt::AlignRight, {});
    ZoomPanColLab2 = zoomLabel(panel, "ZoomPanColLab2", {180, 2, 17, 13}, Qt::AlignLeft, {});
    ZoomPanColLab2->setAutoFillBackground(true);
    ZoomPanColLab =
        zoomLabel(panel, "ZoomPanColLab", {200, 2, 57, 13}, Qt::AlignLeft, QStringLiteral("#FFFFFF"));
    ZoomPanColLab->setAutoFillBackground(true);
    panel->hide();
    qApp->installEventFilter(new TMausrad(this));
}

void TScreenForm::ZoomInit(float sx, float sy)
{
    ToolState &t = m_steuerung.zustand();
    m_steuerung.PopupMenu1Popup();
    Lx = Ly = -1;
    m_steuerung.zoomGewaehlt();
    if (t.Modus != 15)
        t.VorZoomModus = t.Modus;
    t.Modus = 15;
    t.ZoomfakNr = 2;
    t.ZoomFak = ZoomTabelle[2];
    Img2->lupeVerbergen();
    Img2->setGeometry(rect());
    Img2->setzeSicht({t.ZoomFak, (1 - t.ZoomFak) * sx, (1 - t.ZoomFak) * sy});
    // Entered from over the tool window (no pointer position) the offset would leave a strip
    // of the view uncovered.
    SetZoomOffset(Img2->sicht().Ox, Img2->sicht().Oy);
    Img2->update();
    m_steuerung.WerkzeugAktualisieren();
    const int x = Sx, y = Sy;
    m_steuerung.CheckPanels();
    Sx = x;
    Sy = y;
    SetZoomInfo();
}

void TScreenForm::UpdateZoom(float sx, float sy, float fak)
{
    ToolState &t = m_steuerung.zustand();
    t.ZoomFak = fak;
    const QPointF o = zoomUmPunkt(Img2->sicht(), sx, sy, fak);
    Img2->setzeSicht({fak, float(o.x()), float(o.y())});
    SetZoomOffset(float(o.x()), float(o.y()));
    SetZoomInfo();
    if (fak == 1) {
        t.Modus = t.VorZoomModus;
        Sx = Sy = -1;
        Img2->balkenSetzen({}, false);
        Img2->setzeSicht({});
        m_steuerung.WerkzeugZustandSetzen();
        m_steuerung.CheckPanels();
    }
}

void TScreenForm::SetZoomOffset(float ax, float ay)
{
    const ZoomSicht v = Img2->sicht();
    const QPointF o = zoomOffsetBegrenzt(ax, ay, Img2->size(), Img1Bmp.size(), v.Fak);
    Img2->setzeSicht({v.Fak, float(o.x()), float(o.y())});
}

void TScreenForm::SetZoomInfo()
{
    ZoomPanZoomLab->setText(zoomProzent(m_steuerung.zustand().ZoomFak));
    const bool position = Sx >= 0 && Sy >= 0;
    QPoint p(-1, -1);
    if (!position) {
        ZoomPanXLab->clear();
        ZoomPanYLab->clear();
        ZoomPanKlammern->hide();
    } else {
        p = zoomBildpunkt(Img2->sicht(), Sx, Sy);
        ZoomPanXLab->setText(QString::number(p.x()));
        ZoomPanYLab->setText(QString::number(p.y()));
        ZoomPanKlammern->show();
        ZoomPanKlammern->lower();
        ZoomInfoPan->move(panelLinks(ZoomInfoPan->geometry(), Sx, Sy, Img2->width()), ZoomInfoPan->y());
    }
    QPalette pal = ZoomPanColLab2->palette();
    if (position && QRect(QPoint(0, 0), Img1Bmp.size()).contains(p)) {
        const QRgb farbe = Img1Bmp.pixel(p);
        PipetteCol = fromQRgb(farbe);
        ZoomPanColLab->setText(farbCode(farbe));
        pal.setColor(QPalette::Window, QColor::fromRgb(farbe));
    } else {
        ZoomPanColLab->clear();
        pal.setColor(QPalette::Window, ZoomInfoPan->palette().color(QPalette::Window));
    }
    ZoomPanColLab2->setPalette(pal);
}

void TScreenForm::ZoomFadenkreuz(bool zeigen)
{
    Img2->balkenSetzen(zeigen ? zoomFadenkreuz(Img2->sicht(), Sx, Sy, Img2->size()) : Img2->balken(), zeigen);
}

void TScreenForm::handUeberallSetzen(bool an)
{
    // The hand over every window while a pan lasts; it goes when the button is released.
    if (an == m_handUeberall)
        return;
    m_handUeberall = an;
    if (an)
        QApplication::setOverrideCursor(cursorFuer(Zeiger::Hand));
    else
        QApplication::restoreOverrideCursor();
}

void TScreenForm::druckAktionen(TShiftState Shift)
{
    if (!(Shift & ssLeft) || (Shift & (ssRight | ssMiddle)))
        return;
    ToolState &t = m_steuerung.zustand();
    if (t.Modus == 14) {
        t.LupeFak += 2;
        if (t.LupeFak > 4)
            t.LupeFak = 2;
    } else if (t.Modus == 15) {
        if (Shift & ssShift) {
            QGuiApplication::clipboard()->setText(ZoomPanColLab->text());
            if (UmschaltFGedrueckt) {
                Cfg.FarbMode = 0;
                t.Scol = PipetteCol;
                t.Smode = pmCopy;
            }
        } else if (Cfg.MauszeigerMode != 2) {
            Img2->setCursor(cursorFuer(Zeiger::Hand));
            handUeberallSetzen(true);
        }
    }
}

void TScreenForm::zoomSchritt(TShiftState Shift)
{
    ZoomFadenkreuz(Shift & ssCtrl);
    if (!(Shift & ssShift) && (Shift & ssLeft)) {
        if (Lx < 0 || Ly < 0) {
            Lx = Sx;
            Ly = Sy;
        }
        const ZoomSicht v = Img2->sicht();
        SetZoomOffset(float(Sx - Lx) + v.Ox, float(Sy - Ly) + v.Oy);
        Lx = Sx;
        Ly = Sy;
        // The crosshair moves with the picture.
        ZoomFadenkreuz(Shift & ssCtrl);
    }
    if (!(Shift & ssLeft))
        handUeberallSetzen(false);
    if (Cfg.MauszeigerMode != 2)
        Img2->setCursor(cursorFuer(zoomZeiger(Cfg.MauszeigerMode, Shift)));
    SetZoomInfo();
}
