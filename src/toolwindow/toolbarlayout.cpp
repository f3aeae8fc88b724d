#include "toolwindow/toolbarlayout.h"

#include <algorithm>
#include <cstring>

const std::array<ToolBarButton, 38> ToolBarButtons{{
    {"Dicke1Btn", "Strichdicke 1", 1, 0},
    {"Dicke2Btn", "Strichdicke 2", 1, 1},
    {"Dicke3Btn", "Strichdicke 3", 2, 0},
    {"Dicke4Btn", "Strichdicke 4", 2, 1},
    {"MarkCol1Btn", "transparentes rot", 3, 0},
    {"DeckCol1Btn", "deckendes rot", 3, 1},
    {"MarkCol2Btn", "transparentes gelb", 4, 0},
    {"DeckCol2Btn", "deckendes gelb", 4, 1},
    {"MarkCol3Btn", "transparentes grün", 5, 0},
    {"DeckCol3Btn", "deckendes grün", 5, 1},
    {"MarkCol4Btn", "transparentes blau", 6, 0},
    {"DeckCol4Btn", "deckendes blau", 6, 1},
    {"DeckCol5Btn", "deckendes weiß", 7, 0},
    {"DeckCol6Btn", "deckendes schwarz", 7, 1},
    {"StiftBtn", "Zeichenstift", 8, 0},
    {"SchwammBtn", "Radiergummi", 8, 1},
    {"LinieBtn", "Linie", 9, 0},
    {"PfeilBtn", "Pfeil", 9, 1},
    {"RechteckBtn", "Rechteck", 10, 0},
    {"RechteckGefuelltBtn", "gefülltes Rechteck", 10, 1},
    {"EllipseBtn", "Ellipse", 11, 0},
    {"EllipseGefuelltBtn", "gefüllte Ellipse", 11, 1},
    {"DoppelpfeilBtn", "Doppelpfeil", 12, 0},
    {"TextBtn", "Text", 12, 1},
    {"HaekchenBtn", "Häkchen", 13, 0},
    {"KreuzBtn", "Kreuz", 13, 1},
    {"BereichBtn", "Bereich auswählen für Drucken, Speichern, Zwischenablage", 14, 0},
    {"LupeBtn", "Lupe", 14, 1},
    {"ZoomInBtn", "Zoomansicht hineinzoomen", 15, 0},
    {"ZoomOutBtn", "Zoomansicht herauszoomen", 15, 1},
    {"RueckgaengigBtn", "Rückgängig", 16, 0},
    {"ClearBtn", "Alles löschen", 16, 1},
    {"BlattBtn", "Leeres Blatt", 17, 0},
    {"ClipBtn", "In die Zwischenablage", 17, 1},
    {"DruckBtn", "Drucken", 18, 0},
    {"SaveBtn", "Speichern", 18, 1},
    {"EmailBtn", "Als E-Mail versenden", 19, 0},
    {"InfoBtn", "Info / Einstellungen / Hilfe", 19, 1},
}};

const ToolBarButton *toolBarButton(const char *name)
{
    for (const auto &b : ToolBarButtons)
        if (std::strcmp(b.Name, name) == 0)
            return &b;
    return nullptr;
}

int toolBarRowTop(int row, int y)
{
    // Gaps of 9, 8, 8 and 8 pixels separate thickness, colours, tools, zoom and commands.
    int gaps = 0;
    if (row >= 3)
        gaps += 9;
    if (row >= 8)
        gaps += 8;
    if (row >= 15)
        gaps += 8;
    if (row >= 16)
        gaps += 8;
    return (row - 1) * y + gaps;
}

ToolWindowMetrics toolWindowMetrics(int x, int y)
{
    ToolWindowMetrics m{};
    m.ButtonWidth = x;
    m.ButtonHeight = y;
    m.ToolBarWidth = 2 * x;
    m.ToolBarHeight = toolBarRowTop(19, y) + y;
    m.ClientWidth = m.ToolBarWidth + 2;
    m.StartButtonHeight = y + 3;
    m.ToolBarTop = m.StartButtonHeight + 1;
    m.CollapsedHeight = m.StartButtonHeight;
    m.ExpandedHeight = m.ToolBarTop + toolBarRowTop(19, y) + y + 1;
    return m;
}

QPoint anfangsPosition(const QRect &primaryMonitor, int frameWidth)
{
    return {primaryMonitor.right() + 1 - frameWidth, primaryMonitor.top()};
}

namespace {

qint64 flaeche(const QRect &r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

// Squared distance from the point to the nearest pixel of the rectangle.
qint64 abstandQuadrat(QPoint p, const QRect &r)
{
    const qint64 dx = std::max({r.left() - p.x(), 0, p.x() - r.right()});
    const qint64 dy = std::max({r.top() - p.y(), 0, p.y() - r.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

QPoint platzAufMonitor(const QRect &frame, int head, const QList<QRect> &monitors)
{
    if (monitors.isEmpty())
        return frame.topLeft();
    const QRect kopf(frame.topLeft(), QSize(frame.width(), std::clamp(head, 1, std::max(1, frame.height()))));
    const QRect *monitor = nullptr;
    qint64 besteFlaeche = 0;
    for (const QRect &m : monitors)
        if (const qint64 f = flaeche(kopf & m); f > besteFlaeche) {
            besteFlaeche = f;
            monitor = &m;
        }
    if (!monitor) {
        qint64 besterAbstand = 0;
        for (const QRect &m : monitors)
            if (const qint64 d = abstandQuadrat(kopf.center(), m); !monitor || d < besterAbstand) {
                besterAbstand = d;
                monitor = &m;
            }
    }
    const QRect &m = *monitor;
    return {std::max(std::min(frame.left(), m.right() + 1 - frame.width()), m.left()),
            std::max(std::min(frame.top(), m.bottom() + 1 - frame.height()), m.top())};
}
