#include "surface/zoomanzeige.h"

#include <QPaintEvent>
#include <QPainter>

TZoomAnzeige::TZoomAnzeige(const QImage *bild, QWidget *parent) : TBildAnzeige(bild, parent), m_bild(bild) {}

void TZoomAnzeige::setzeSicht(const ZoomSicht &v)
{
    if (v == m_sicht)
        return;
    m_sicht = v;
    update();
}

QRect TZoomAnzeige::lupenRechteck() const
{
    return QRect(m_lupenOrt.topLeft().toPoint(), m_lupe.size());
}

void TZoomAnzeige::lupeZeigen(const QImage &lupe, const QRectF &ort)
{
    if (m_lupeSichtbar)
        update(lupenRechteck());
    m_lupe = lupe;
    m_lupenOrt = ort;
    m_lupeSichtbar = true;
    update(lupenRechteck());
}

void TZoomAnzeige::lupeVerbergen()
{
    if (!m_lupeSichtbar)
        return;
    m_lupeSichtbar = false;
    update(lupenRechteck());
}

void TZoomAnzeige::balkenAktualisieren()
{
    if (m_balkenSichtbar) {
        update(m_balken.X);
        update(m_balken.Y);
    }
}

void TZoomAnzeige::balkenSetzen(const ZoomBalken &b, bool sichtbar)
{
    if (b == m_balken && sichtbar == m_balkenSichtbar)
        return;
    balkenAktualisieren();
    m_balken = b;
    m_balkenSichtbar = sichtbar;
    balkenAktualisieren();
}

void TZoomAnzeige::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const bool eins = m_sicht.Fak == 1 && m_sicht.Ox == 0 && m_sicht.Oy == 0;
    for (const QRect &r : e->region()) {
        if (eins) {
            p.drawImage(r.topLeft(), *m_bild, r);
        } else {
            zoomZeichnen(m_puffer, r, *m_bild, m_sicht);
            p.drawImage(r.topLeft(), m_puffer, QRect(QPoint(0, 0), r.size()));
        }
    }
    p.setClipRegion(e->region());
    if (m_lupeSichtbar)
        p.drawImage(lupenRechteck().topLeft(), m_lupe);
    if (m_balkenSichtbar) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        QRect teile[4];
        int n = 0;
        for (const QRect &b : {m_balken.X, m_balken.Y}) {
            balkenTeile(b, m_balken.Gefuellt, teile, n);
            for (int i = 0; i < n; ++i)
                p.fillRect(teile[i], Qt::black);
        }
    }
}
