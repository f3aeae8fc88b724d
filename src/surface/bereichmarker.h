// Where the selection area's markers lie: four dotted edge lines and the info panel above
// the area's top-left corner. They lie over the picture and never change it.
#pragma once

#include "app/data.h"

#include <QRect>
#include <QString>

constexpr QSize BereichInfoPanGroesse{234, 19};

struct BereichMarkerLayout
{
    bool Sichtbar = false;
    QRect X1, Y1, X2, Y2; // left, top, right and bottom edge
    QRect Info;
    QString InfoText;
};

// Markers for the area; hidden without an active area and in the zoom view.
BereichMarkerLayout bereichMarkerLayout(const TRect &r, int modus);
