// The zoom image: shows its bitmap enlarged by a whole factor at an offset, nearest pixel,
// with two overlays that never change the bitmap: the magnifier's lens and the zoom view's
// inverting crosshair bars. Each change repaints only what it moves; a pan moves what is on
// the screen and draws only the strips that come into view.
#pragma once

#include "surface/bildanzeige.h"
#include "surface/zoom.h"

class TZoomAnzeige : public TBildAnzeige
{
    Q_OBJECT

public:
    TZoomAnzeige(const QImage *bild, QWidget *parent);

    const ZoomSicht &sicht() const { return m_sicht; }
    void setzeSicht(const ZoomSicht &v);

    // The magnifier's layer (LupeLayer): its bitmap at a location in view coordinates.
    void lupeZeigen(const QImage &lupe, const QRectF &ort);
    void lupeVerbergen();
    bool lupeSichtbar() const { return m_lupeSichtbar; }
    QRect lupenRechteck() const;

    // The crosshair bars ZFadenX and ZFadenY.
    void balkenSetzen(const ZoomBalken &b, bool sichtbar);
    const ZoomBalken &balken() const { return m_balken; }
    bool balkenSichtbar() const { return m_balkenSichtbar; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void balkenAktualisieren();

    const QImage *m_bild;
    ZoomSicht m_sicht;
    bool m_allesNeu = false; // the whole view is to be drawn anew: nothing to move
    QImage m_puffer;
    QImage m_lupe;
    QRectF m_lupenOrt;
    bool m_lupeSichtbar = false;
    ZoomBalken m_balken;
    bool m_balkenSichtbar = false;
};
