// The frame that a window manager puts around a top-level window, and placing a window by its
// frame's top-left corner, which is what the program means by a window's place.
//
// Qt learns a frame's borders only a while after the window manager has made the frame, and a
// place handed to QWidget::move() counts the frame or not depending on that moment: the same
// value put the window 20 pixels higher at each start. The functions here use the window
// manager's own figures (_NET_FRAME_EXTENTS on X11) and set the client area's place, which the
// window manager keeps as given for Qt's windows (static gravity).
//
//     bool eigene = false;
//     const QMargins rand = rahmenraender(dialog, &eigene);
//     rahmenEckeSetzen(dialog, ecke, rand);    // the frame's top-left corner to `ecke`
//     if (!eigene)                             // guessed borders: once more when they are known
//         beiRahmenMeldung(dialog, [&] { ... });
#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

// The borders of w's frame: the window manager's figures for w; until it has framed w, the last
// figures it gave for another window of the program (for the very first window it is asked,
// briefly, what frame it would give); none without a window manager. `eigene` tells whether
// they are w's own: the window manager has framed w, or there is none.
QMargins rahmenraender(const QWidget &w, bool *eigene = nullptr);

// The client area's top-left corner on the screen as the X server has it (Qt's geometry lags
// behind the server's while the window manager moves a window).
QPoint clientEcke(const QWidget &w);

// The top-left corner of w's frame on the screen.
QPoint rahmenEcke(const QWidget &w);

// Moves w so that its frame, with these borders, has its top-left corner at `ecke`; returns the
// client area's place asked for.
QPoint rahmenEckeSetzen(QWidget &w, QPoint ecke, const QMargins &raender);

// Runs `dann` once, from the event loop, when the window manager next gives w's frame borders
// (it does so when it frames the window at its showing). A later call for the same window
// replaces an earlier one that has not run yet.
void beiRahmenMeldung(QWidget &w, std::function<void()> dann);

// Puts w with its frame centred in `bereich`, once more when the frame's borders become known.
void rahmenMittig(QWidget &w, const QRect &bereich);

// Asks the window manager to activate the window, as a pager does for the user. The request
// reaches it after whatever the window manager did with windows unmapped before, so it comes
// after the window it chose to focus then; a focus set directly may come before that choice
// and be overridden. False without a window manager (or off X11, or for an unmanaged window).
bool perFensterverwaltungAktivieren(const QWidget &w);

// The monitors of the virtual desktop, the primary one first.
QList<QRect> monitorFlaechen();
