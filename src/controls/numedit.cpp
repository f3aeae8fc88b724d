#include "controls/numedit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

constexpr int Breite = 81;

} // namespace

TEdit2::TEdit2(QWidget *parent) : QLineEdit(parent) {}

void TEdit2::tippenGefiltert(QKeyEvent *e, Zahlenfeld art)
{
    // With Ctrl or Meta a key is a command (Ctrl+V, Ctrl+Z …), not a typed character.
    const bool befehl = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const QString text = befehl ? e->text() : zeichenGefiltert(e->text(), art);
    if (text == e->text())
        return QLineEdit::keyPressEvent(e);
    if (text.isEmpty()) {
        e->accept(); // swallowed
        return;
    }
    QKeyEvent rest(e->type(), e->key(), e->modifiers(), e->nativeScanCode(), e->nativeVirtualKey(),
                   e->nativeModifiers(), text, e->isAutoRepeat(), quint16(e->count()), e->device());
    QLineEdit::keyPressEvent(&rest);
    e->setAccepted(rest.isAccepted());
}

void TEdit2::eingabeGefiltert(QInputMethodEvent *e, Zahlenfeld art)
{
    const QString text = zeichenGefiltert(e->commitString(), art);
    if (text == e->commitString())
        return QLineEdit::inputMethodEvent(e);
    QInputMethodEvent rest(e->preeditString(), e->attributes());
    rest.setCommitString(text, e->replacementStart(), e->replacementLength());
    QLineEdit::inputMethodEvent(&rest);
    e->setAccepted(rest.isAccepted());
}

bool TEdit2::feldVerlassen(const QFocusEvent *e)
{
    return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}

TNumEditQ::TNumEditQ(QWidget *parent) : TEdit2(parent)
{
    resize(Breite, height());
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    SetFloat(0);
}

void TNumEditQ::SetFloat(long double x)
{
    setText(dezimalText(x, m_nkst));
}

long double TNumEditQ::GetFloat() const
{
    return dezimalLesen(text());
}

qint32 TNumEditQ::GetInt() const
{
    return ganzzahlGekuerzt(GetFloat());
}

void TNumEditQ::keyPressEvent(QKeyEvent *e)
{
    tippenGefiltert(e, Zahlenfeld::Dezimal);
}

void TNumEditQ::inputMethodEvent(QInputMethodEvent *e)
{
    eingabeGefiltert(e, Zahlenfeld::Dezimal);
}

void TNumEditQ::focusOutEvent(QFocusEvent *e)
{
    if (feldVerlassen(e))
        SetFloat(GetFloat());
    TEdit2::focusOutEvent(e);
}

TNumEditZ::TNumEditZ(QWidget *parent) : TEdit2(parent)
{
    resize(Breite, height());
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    setText(QStringLiteral("0"));
}

void TNumEditZ::SetInt(qint32 v)
{
    setText(ganzzahlText(v));
    bereichsregel();
}

qint32 TNumEditZ::GetInt() const
{
    return ganzzahlLesen(text());
}

void TNumEditZ::bereichsregel()
{
    // Written directly rather than through SetInt(), which would apply the rule again and never
    // end when MinValue exceeds MaxValue.
    const qint32 v = GetInt();
    if (v < m_min)
        setText(ganzzahlText(m_min));
    else if (v > m_max)
        setText(ganzzahlText(m_max));
}

void TNumEditZ::keyPressEvent(QKeyEvent *e)
{
    tippenGefiltert(e, Zahlenfeld::Ganzzahl);
}

void TNumEditZ::inputMethodEvent(QInputMethodEvent *e)
{
    eingabeGefiltert(e, Zahlenfeld::Ganzzahl);
}

void TNumEditZ::focusOutEvent(QFocusEvent *e)
{
    if (feldVerlassen(e)) {
        bereichsregel();
        SetInt(GetInt());
    }
    TEdit2::focusOutEvent(e);
}
