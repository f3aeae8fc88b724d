// Creating and running the program's windows.
#pragma once

// What the running program is: its name, version, image and folder (`ExeDir`), and that it
// ends with its tool window, not with the last window shown, leaving its clipboard picture
// behind, and that a closing dialog gives the keyboard back to the window that had it. Warns on
// standard error when a monitor still scales the program's windows.
void AnwendungEinrichten();

// Creates the windows, each hidden, in their fixed order: the tool window (the main window)
// first, then the settings dialog, the message form, the drawing surface, the info box, the
// print dialog and the selection dialog.
void FensterErzeugen();

// Deletes the windows FensterErzeugen made, the dialogs that belong to the tool window with
// it, and clears their pointers.
void FensterLoeschen();
