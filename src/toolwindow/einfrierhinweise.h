// What the tool window shows while a freeze waits for the desktop, and when it fails.
#pragma once

class QString;
class QWidget;

// Shows the notice that the desktop asks the user (the message form, in the upper part of the
// primary monitor, where the desktop's question in the middle leaves it in sight). An empty
// text hides it and returns once it is off the screen.
void frageHinweisZeigen(const QString &text);

// The error box beside `fenster`, to its left, or to its right where the monitor has no room,
// so that it covers the window it is about.
void zeigeFehlerNeben(QWidget *fenster, const QString &text);
