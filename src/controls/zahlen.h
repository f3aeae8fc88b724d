// Reading and writing the numbers of the numeric entry fields (TNumEditQ, TNumEditZ in
// controls/numedit.h), free of widgets so that they can be used and tested on their own.
//
// The number syntax, shared by both fields: leading blanks, an optional "+" or "-", a run of
// digits, optionally "." and a run of digits, optionally "E" or "e" with an optional sign and at
// least one digit, and nothing after it. Both digit runs may be empty ('.5' is 0.5, '5.' is 5,
// '.' and '-.' are 0), but a text needs a digit or the point: '', '-' and 'e5' are not numbers.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

enum class Zahlenfeld {
    Dezimal,  // TNumEditQ: digits, "-", "," and "."
    Ganzzahl, // TNumEditZ: digits and "-"
};

// Whether a typed character may go into a field of the given kind: the control codes (below 32,
// and DEL, which X11 gives the Delete key) and the digits always, plus the field's own signs.
// Only the character counts, not where it would go: '1-2' and '1,2,3' can be typed.
bool zeichenErlaubt(QChar c, Zahlenfeld art);

// The characters of `text` that zeichenErlaubt() lets through, in their order.
QString zeichenGefiltert(QStringView text, Zahlenfeld art);

// `text` read by the number syntax in extended precision; nullopt when it does not follow it.
// A magnitude beyond the type's range reads as its largest finite value, one too small as 0.
std::optional<long double> zahlLesen(QStringView text);
// The same in double precision.
std::optional<double> zahlLesenDouble(QStringView text);

// The decimal field's value: "," and the locale's decimal separator count as the point, so
// '2,5' and '2.5' both read 2.5 whatever the locale; 0 when the text is not a number
// ('1.234,5' has two points).
long double dezimalLesen(const QString &text, const QLocale &locale = QLocale());

// The whole-number field's value: blanks anywhere are dropped ('1 000' reads 1000), the rest is
// read in double precision and rounded to the nearest integer, a half to the even neighbour
// (12.5 gives 12, 13.5 gives 14); 0 when it is not a number (a comma is not a separator here:
// '12,5' reads 0). Values beyond the 32-bit range stop at its bounds.
qint32 ganzzahlLesen(const QString &text);

// x rounded to the nearest integer, a half to the even neighbour, kept within the 32-bit range.
qint32 ganzzahlGerundet(double x);
// x truncated toward zero, kept within the 32-bit range; NaN gives 0.
qint32 ganzzahlGekuerzt(long double x);

// x in fixed-point notation with `nkst` decimals (no point with none), no grouping, a leading
// "-" when x is negative, and the locale's decimal separator. x is first reduced to 18
// significant digits; a first hidden digit of 5 or more then rounds the magnitude up: 2.25 gives
// '2,3', -2.25 '-2,3', and -0.04 keeps its sign as '-0,0' (negative zero shows as '0,0').
// NaN and infinities, which no text reads as, show as 0.
QString dezimalText(long double x, int nkst, const QLocale &locale = QLocale());

// v in decimal: a leading "-" for negatives, no leading zeros, no grouping.
QString ganzzahlText(qint32 v);
