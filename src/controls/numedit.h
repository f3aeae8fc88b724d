// The numeric entry fields of the dialogs: TNumEditQ for decimals (print measures in cm) and
// TNumEditZ for whole numbers within bounds (selection area, tool button size). Both keep their
// value only as text: every read parses it, every write formats it (controls/zahlen.h).
//
// Using them:
//     auto *rand = new TNumEditQ(this);      // shows '0,0' (the locale's separator), 81 px wide
//     rand->SetFloat(2.5);                   // '2,5' in German, '2.5' in English
//     long double cm = rand->GetFloat();     // reads '2,5' and '2.5' alike; 0 for no number
//
//     auto *groesse = new TNumEditZ(this);   // shows '0'
//     groesse->setMinValue(25);              // set both bounds; the text is left as it is
//     groesse->setMaxValue(100);
//     groesse->SetInt(wert);                 // writes the value, brought into the bounds
//     int n = groesse->GetInt();             // the value as typed, bounds not applied
//
// While the user types, characters that cannot belong to a number are dropped (shortcuts such as
// Ctrl+V and pasted text pass unfiltered). When the focus moves to another control of the same
// window, the text is replaced by the normal form of its value: TNumEditQ writes
// SetFloat(GetFloat()) ('2.54' becomes '2,5', '' and '-' become '0,0'); TNumEditZ clamps to its
// bounds and writes the rounded value ('007' becomes '7', '12.6' '13', '' the lower bound when
// that is above 0). Leaving the window does not count: a dialog confirmed with Enter while a field
// has the focus reads the text as typed, so GetInt() can then lie outside the bounds and the
// dialog must deal with that.
#pragma once

#include "controls/zahlen.h"

#include <QLineEdit>

// The program's own single-line edit, the common base of the numeric fields; it behaves as a
// plain QLineEdit.
class TEdit2 : public QLineEdit
{
    Q_OBJECT

public:
    explicit TEdit2(QWidget *parent = nullptr);

protected:
    // For the numeric fields: hand a key press or input-method text on with only the characters
    // that a field of the kind accepts.
    void tippenGefiltert(QKeyEvent *e, Zahlenfeld art);
    void eingabeGefiltert(QInputMethodEvent *e, Zahlenfeld art);
    // Whether losing the focus means moving to another control of the same window.
    static bool feldVerlassen(const QFocusEvent *e);
};

class TNumEditQ : public TEdit2
{
    Q_OBJECT
    Q_PROPERTY(quint8 Nkst READ Nkst WRITE setNkst)

public:
    explicit TNumEditQ(QWidget *parent = nullptr);

    // The number of decimals shown; 1 by default. Setting it leaves the text alone.
    quint8 Nkst() const { return m_nkst; }
    void setNkst(quint8 stellen) { m_nkst = stellen; }

    // Writes x with Nkst decimals and the locale's decimal separator.
    void SetFloat(long double x);
    // The text's value; 0 when it is not a number.
    long double GetFloat() const;
    // GetFloat() truncated toward zero, held within the 32-bit range.
    qint32 GetInt() const;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    quint8 m_nkst = 1;
};

class TNumEditZ : public TEdit2
{
    Q_OBJECT
    Q_PROPERTY(qint32 MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(qint32 MaxValue READ MaxValue WRITE setMaxValue)

public:
    explicit TNumEditZ(QWidget *parent = nullptr);

    // The inclusive bounds, 0 and 2147483647 at first. Plain values: setting them neither checks
    // nor changes the text. MinValue should not exceed MaxValue; if it does, the lower bound wins.
    qint32 MinValue() const { return m_min; }
    void setMinValue(qint32 v) { m_min = v; }
    qint32 MaxValue() const { return m_max; }
    void setMaxValue(qint32 v) { m_max = v; }

    // Writes v in decimal, brought into the bounds.
    void SetInt(qint32 v);
    // The text's value rounded to a whole number (a half to the even one), held within the
    // 32-bit range, bounds not applied; 0 when it is not a number.
    qint32 GetInt() const;
    qint32 Value() const { return GetInt(); }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    // Below MinValue the text becomes MinValue, above MaxValue it becomes MaxValue.
    void bereichsregel();

    qint32 m_min = 0;
    qint32 m_max = 2147483647;
};
