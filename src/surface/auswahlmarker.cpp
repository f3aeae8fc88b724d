#include "surface/auswahlmarker.h"

#include "surface/mauszeiger.h"

#include <QPaintEvent>
#include <QPainter>

void TPunktLinie::paintEvent(QPaintEvent *e)
{
    // Every other pixel along the line, counted from the line's start: a 2 × 2 checker.
    static const QBrush punkte = [] {
        QImage muster(2, 2, QImage::Format_RGB32);
        muster.fill(Qt::white);
        muster.setPixel(0, 0, qRgb(0, 0, 0));
        muster.setPixel(1, 1, qRgb(0, 0, 0));
        return QBrush(muster);
    }();
    QPainter p(this);
    p.setBrushOrigin(0, 0);
    p.fillRect(e->rect(), punkte);
}

void infoPanelStil(QWidget *panel, const QColor &hintergrund)
{
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, hintergrund);
    pal.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(pal);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setBold(true);
    panel->setFont(font);
}

TAuswahlMarker::TAuswahlMarker(QWidget *surface)
    : BereichX1Pan(new TPunktLinie(surface)), BereichY1Pan(new TPunktLinie(surface)),
      BereichX2Pan(new TPunktLinie(surface)), BereichY2Pan(new TPunktLinie(surface)),
      BereichInfoPan(new QLabel(surface))
{
    BereichX1Pan->setObjectName(QStringLiteral("BereichX1Pan"));
    BereichY1Pan->setObjectName(QStringLiteral("BereichY1Pan"));
    BereichX2Pan->setObjectName(QStringLiteral("BereichX2Pan"));
    BereichY2Pan->setObjectName(QStringLiteral("BereichY2Pan"));
    BereichInfoPan->setObjectName(QStringLiteral("BereichInfoPan"));
    infoPanelStil(BereichInfoPan, QColor(238, 238, 238));
    BereichInfoPan->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    BereichInfoPan->setFixedSize(BereichInfoPanGroesse);
    BereichInfoPan->setCursor(cursorFuer(Zeiger::Bewegen));
    zeigen(KeinBereich, 1);
}

void TAuswahlMarker::zeigen(const TRect &bereich, int modus)
{
    const BereichMarkerLayout m = bereichMarkerLayout(bereich, modus);
    if (m.Sichtbar) {
        BereichX1Pan->setGeometry(m.X1);
        BereichY1Pan->setGeometry(m.Y1);
        BereichX2Pan->setGeometry(m.X2);
        BereichY2Pan->setGeometry(m.Y2);
        BereichInfoPan->move(m.Info.topLeft());
        BereichInfoPan->setText(m.InfoText);
    }
    for (QWidget *w : {static_cast<QWidget *>(BereichX1Pan), static_cast<QWidget *>(BereichY1Pan),
                       static_cast<QWidget *>(BereichX2Pan), static_cast<QWidget *>(BereichY2Pan),
                       static_cast<QWidget *>(BereichInfoPan)}) {
        w->setVisible(m.Sichtbar);
        if (m.Sichtbar)
            w->raise();
    }
}
