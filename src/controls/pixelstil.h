// The program's own forms are laid out in pixels, so the style's marks, frames and margins in
// them must be in pixels too. Qt's styles size these by the font DPI the desktop sets (X11's
// Xft.dpi, 192 at a scale of 200 %), even with Qt's own scaling off: check and radio marks then
// come twice as large and are cut off in their designed places.
#pragma once

class QWidget;

// Draws and measures the window's controls as at 96 dpi, whatever font DPI the desktop has set.
// Windows not handed in here (menus, tool tips, Qt's file and message dialogs) keep following
// the desktop. Installs the application's style that does so on first use.
void InPixelnAuslegen(QWidget *fenster);
