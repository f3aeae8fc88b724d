// Creating and running the program's windows.
#pragma once

// Creates the windows, each hidden, in their fixed order: the tool window (the main window)
// first, then the message form and the drawing surface.
void FensterErzeugen();
