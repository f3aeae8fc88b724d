#include "surface/auswahlmarker.h"

#include "surface/mauszeiger.h"

#include <QPaintEvent>
#include <QPainter>

void TPunktLinie::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect r = e->rect();
    p.fillRect(r, Qt::white);
    // Every other pixel along the line, counted from the line's start.
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (((x + y) & 1) == 0)
                p.fillRect(x, y, 1, 1, Qt::black);
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
    BereichInfoPan->setAutoFillBackground(true);
    QPalette pal = BereichInfoPan->palette();
    pal.setColor(QPalette::Window, QColor(238, 238, 238));
    pal.setColor(QPalette::WindowText, Qt::black);
    BereichInfoPan->setPalette(pal);
    // "MS Sans Serif" 8 pt at 96 dpi.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setBold(true);
    BereichInfoPan->setFont(font);
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
