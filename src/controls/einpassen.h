// Captions that fit their controls, whatever text the translation file puts into them. A
// caption too wide for its place gets a smaller font, one point at a time, as the glyph buttons
// do; a group box title, whose font its contents share, is cut instead.
#pragma once

#include <QString>

class QAbstractButton;
class QFont;
class QGroupBox;
class QLabel;

// Sets the caption and, made from `schrift`, the largest font in which it fits the button.
void beschriftungEinpassen(QAbstractButton *knopf, const QString &text, const QFont &schrift);
// The same with the font the button's container gives it.
void beschriftungEinpassen(QAbstractButton *knopf, const QString &text);

// Sets the label's text and sizes the label to it, in the container's font or a smaller one: the
// label ends before its field when the field stands to its right, else as far from the
// container's right edge as it starts from the left.
void beschriftungEinpassen(QLabel *label, const QString &text);

// Sets the group box's title, cut at its end with "…" where it would run past the frame.
void titelEinpassen(QGroupBox *box, const QString &titel);
