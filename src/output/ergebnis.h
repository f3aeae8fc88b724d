// The outcome of an output operation: whether it succeeded, and the text of the error box
// the window shows when it did not.
#pragma once

#include <QString>

struct Ergebnis
{
    bool Ok = true;
    QString Fehler; // empty: nothing to report

    static Ergebnis fehler(const QString &text) { return {false, text}; }
};

// Line break inside the text of a message box.
inline const QString Zeilenumbruch = QStringLiteral("\n");
