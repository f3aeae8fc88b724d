#include "surface/zoomanzeige.h"

#include <QCoreApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <cstdlib>

TZoomAnzeige::TZoomAnzeige(const QImage *bild, QWidget *parent) : TBildAnzeige(bild, parent), m_bild(bild) {}

namespace {

bool unvergroessert(const ZoomSicht &v)
{
    return v.Fak == 1 && v.Ox == 0 && v.Oy == 0;
}

// The window's backing store as the painter `p` writes to it, and where the widget lies in
// it, when its pixels can be written directly: a raster image of 32-bit pixels, no scaling.
QImage *malflaeche(QPainter &p, QPoint &versatz)
{
    QPaintEngine *engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return nullptr;
    QPaintDevice *d = engine->paintDevice();
    if (!d || d->devType() != QInternal::Image)
        return nullptr;
    auto *bild = static_cast<QImage *>(d);
    const QTransform t = p.deviceTransform();
    if (bild->devicePixelRatio() != 1 || t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) ||
        t.dy() != std::floor(t.dy()))
        return nullptr;
    if (bild->format() != QImage::Format_RGB32 && bild->format() != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    versatz = QPoint(int(t.dx()), int(t.dy()));
    return bild;
}

} // namespace

// The program takes every pointer move (start-up), so that a stroke passes through each place
// the hand went. While this view is up a drag pans it, and each step moves the whole view: of
// the moves waiting together only the last counts, or the view would fall behind a fast mouse
// at 8K.
void TZoomAnzeige::showEvent(QShowEvent *e)
{
    TBildAnzeige::showEvent(e);
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, true);
}

void TZoomAnzeige::hideEvent(QHideEvent *e)
{
    TBildAnzeige::hideEvent(e);
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
}

void TZoomAnzeige::setzeSicht(const ZoomSicht &v)
{
    if (v == m_sicht)
        return;
    const ZoomSicht alt = m_sicht;
    m_sicht = v;
    const QPoint d = zoomRaster(v) - zoomRaster(alt);
    const bool nurVerschoben = v.Fak == alt.Fak && !unvergroessert(alt) && !unvergroessert(v) &&
                               isVisible() && std::abs(d.x()) < width() && std::abs(d.y()) < height();
    if (!nurVerschoben) {
        update();
        m_allesNeu = true;
        return;
    }
    if (d.isNull() || m_allesNeu)
        return; // the same raster shows the same pixels, or all is drawn anew anyway
    // What is on the screen moves along (a copy in the window system); only the strips that
    // come into view are drawn. The overlays moved with it and are redrawn where they were
    // carried to and where they belong.
    scroll(d.x(), d.y(), rect());
    // Children (the info panel) stay where they are, but their pixels were moved along; and
    // what is on the screen where they are is no longer them, should they move on.
    for (QWidget *kind : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (kind->isVisible()) {
            update(kind->geometry().translated(d));
            update(kind->geometry());
            kind->update();
        }
    }
    if (m_balkenSichtbar) {
        for (const QRect &b : {m_balken.X, m_balken.Y}) {
            update(b.translated(d));
            update(b);
        }
    }
    if (m_lupeSichtbar) {
        update(lupenRechteck().translated(d));
        update(lupenRechteck());
    }
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
    m_allesNeu = false;
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const bool eins = unvergroessert(m_sicht);
    QPoint versatz;
    // Enlarged rows straight into the backing store: through an image of the view and a
    // painter, a whole 8K view would be written twice.
    QImage *direkt = eins ? nullptr : malflaeche(p, versatz);
    for (const QRect &r : e->region()) {
        if (eins) {
            p.drawImage(r.topLeft(), *m_bild, r);
        } else if (direkt) {
            const QRect z = r.translated(versatz) & direkt->rect();
            if (!z.isEmpty())
                zoomZeichnen(direkt->scanLine(z.top()) + qsizetype(z.left()) * 4, direkt->bytesPerLine(),
                             z.translated(-versatz), *m_bild, m_sicht);
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
