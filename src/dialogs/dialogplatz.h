// Where the program's dialogs appear.
#pragma once

class QWidget;

// Centres the dialog on the monitor the tool window is on (the primary one without a tool
// window), within the part of it that panels leave free.
void mittigAufBildschirm(QWidget *dialog);
