// Layout arithmetic of the tool window: the order of the tool bar, the button rows and
// gaps, the client sizes for a given tool-button size, and the placement rules.
#pragma once

#include <QPoint>
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

// Initial placement: the top right corner of the primary screen.
QPoint anfangsPosition(int screenWidth, int windowWidth);

// A stored window position, pulled back so that the window's right edge does not pass the
// primary screen's right edge and its top stays at least 21 pixels above the bottom edge.
// There is no lower limit: negative positions stay as they are.
QPoint gespeichertePosition(QPoint stored, QSize primaryScreen, int windowWidth);
