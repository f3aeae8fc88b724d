// Where the keyboard goes when a modal dialog closes, and a modal dialog that stays in view.
#pragma once

// Once per run, after the application object is made. From then on every modal window of the
// program, when it closes, gives the keyboard back to the window that had it when the dialog
// opened. Left alone, a window manager hands it to a window of its choosing (openbox: the
// frozen picture, whose keys do not release the screen), and without one the X server hands it
// to the root window, where no key reaches the program until the user clicks one of its windows.
// A modal window the window manager minimises comes back at once.
void ModaleFensterEinrichten();
