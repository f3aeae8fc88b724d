// The selection area's overlay controls on the drawing surface.
#pragma once

#include "surface/bereichmarker.h"

#include <QLabel>

class QWidget;

// A 1-pixel line of black dots on white.
class TPunktLinie : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *e) override;
};

// The look of the surface's info panels: the background colour, black text, bold
// "MS Sans Serif" 8 pt at 96 dpi.
void infoPanelStil(QWidget *panel, const QColor &hintergrund);

class TAuswahlMarker
{
public:
    explicit TAuswahlMarker(QWidget *surface);

    TPunktLinie *BereichX1Pan;
    TPunktLinie *BereichY1Pan;
    TPunktLinie *BereichX2Pan;
    TPunktLinie *BereichY2Pan;
    QLabel *BereichInfoPan;

    // Lays out and shows or hides the markers for the area.
    void zeigen(const TRect &bereich, int modus);
};
