// Layout arithmetic of the tool window: the order of the tool bar, the button rows and
// gaps, the client sizes for a given tool-button size, and the placement rules.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

struct ToolBarButton
{
    const char *Name;
    const char *Hint;
    int Row;    // 1…19
    int Column; // 0 left, 1 right
};

// All 38 tool-bar buttons, row by row, left before right.
extern const std::array<ToolBarButton, 38> ToolBarButtons;

const ToolBarButton *toolBarButton(const char *name);

// Offset of a button row from the tool bar's top for button height y.
int toolBarRowTop(int row, int y);

struct ToolWindowMetrics
{
    int ButtonWidth;  // one tool button
    int ButtonHeight; // one tool button
    int ToolBarWidth;
    int ToolBarHeight;
    int ClientWidth;
    int StartButtonHeight;
    int ToolBarTop;
    int CollapsedHeight; // client height with only the Start/Fertig button
    int ExpandedHeight;  // client height down to the last tool button plus one pixel
};

ToolWindowMetrics toolWindowMetrics(int werkzeugGroesseX, int werkzeugGroesseY);

// Initial placement: the window's frame in the top right corner of the primary monitor.
QPoint anfangsPosition(const QRect &primaryMonitor, int frameWidth);

// Where a window whose frame would be `frame` goes so that it can be seen and used: on the
// monitor that shows most of its head, the top `head` pixels (title bar and Start button), or
// the nearest monitor when none shows any of it; moved just enough to lie whole on that
// monitor. A frame wider or taller than the monitor keeps its left or top edge on the
// monitor's, so that the head stays on it. Without monitors the place stays as it is.
QPoint platzAufMonitor(const QRect &frame, int head, const QList<QRect> &monitors);
