#include "surface/bildanzeige.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

TBildAnzeige::TBildAnzeige(const QImage *bild, QWidget *parent) : QWidget(parent), m_bild(bild)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TBildAnzeige::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // In bands: a tall rectangle drawn at once is handed to Qt's helper threads, and waiting
    // for them costs a pointer step more than the drawing itself.
    constexpr int Band = 64;
    for (const QRect &r : e->region())
        for (int y = r.top(); y <= r.bottom(); y += Band) {
            const QRect band(r.left(), y, r.width(), std::min(Band, r.bottom() + 1 - y));
            p.drawImage(band.topLeft(), *m_bild, band);
        }
}
