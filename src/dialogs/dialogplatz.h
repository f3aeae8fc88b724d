// Where the program's dialogs appear.
#pragma once

class QWidget;

// Centres the dialog with its frame on the monitor the tool window is on (the primary one
// without a tool window), within the part of it that panels leave free; the same place at
// every showing.
void mittigAufBildschirm(QWidget *dialog);
