// Where the program's dialogs appear.
#pragma once

class QWidget;

// Centres the dialog with its frame on the monitor `bezug` is on (the tool window; the primary
// monitor without one), within the part of it that panels leave free; the same place at every
// showing.
void mittigAufBildschirm(QWidget *dialog, const QWidget *bezug);
