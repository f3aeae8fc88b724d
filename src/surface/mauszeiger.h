// The program's mouse pointers as Qt cursors.
#pragma once

#include "surface/zeigerwahl.h"

#include <QCursor>

// Loads our own pointers "HAND" and "PIPETTE"; done once when the tool window is created.
void MauszeigerRegistrieren();

QCursor cursorFuer(Zeiger z);
