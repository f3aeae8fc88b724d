#include "surface/bereichmarker.h"

BereichMarkerLayout bereichMarkerLayout(const TRect &r, int modus)
{
    BereichMarkerLayout m;
    m.Sichtbar = AuswahlbereichAktiv(r) && modus != 15;
    if (!m.Sichtbar)
        return m;
    const int w = r.Right - r.Left;
    const int h = r.Bottom - r.Top;
    m.X1 = QRect(r.Left, r.Top, 1, h);
    m.Y1 = QRect(r.Left, r.Top, w, 1);
    m.X2 = QRect(r.Right - 1, r.Top, 1, h);
    m.Y2 = QRect(r.Left, r.Bottom - 1, w, 1);
    m.Info = QRect(QPoint(r.Left, r.Top - BereichInfoPanGroesse.height()), BereichInfoPanGroesse);
    m.InfoText = QStringLiteral(" (%1,%2) - (%3,%4)  B:%5 H:%6")
                     .arg(r.Left)
                     .arg(r.Top)
                     .arg(r.Right - 1)
                     .arg(r.Bottom - 1)
                     .arg(w)
                     .arg(h);
    return m;
}
