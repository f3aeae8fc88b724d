// The keyboard before a freeze and after the release: the screen goes back to the user with the
// keyboard where it was, not left to whatever window the window manager picks (or to none, as
// some desktops do when the picture window closes).
#pragma once

// The window that has the keyboard now: the window manager's active window, or without a
// window manager the X server's input focus. 0 when none is known (off X11, or the keyboard is
// with a window the X server does not know, as a Wayland program's).
unsigned long fensterMitTastatur();

// Gives the keyboard to `fenster` as a pager would (through the window manager, or directly
// without one), when the window is still there and shown; nothing for 0.
void tastaturZurueckgeben(unsigned long fenster);
