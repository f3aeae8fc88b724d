// A small always-on-top notice without buttons, shown while a blocking piece of work runs
// (storing a screenshot, preparing a print) and hidden by the code that showed it.
#pragma once

#include <QDialog>
#include <QPointer>

class QFrame;
class TShadowLabel;

class TMeldForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMeldForm(QWidget *parent = nullptr);

    // The window the notice belongs over while it is visible (the drawing surface).
    void bezugSetzen(QWidget *fenster) { m_bezug = fenster; }

    // Shows the text ("|" breaks lines) and returns once the notice is on the screen, so the
    // caller's blocking work cannot keep it from being painted.
    void Zeigen(const QString &text);

    QFrame *Panel1;
    TShadowLabel *InfoLab;

protected:
    void showEvent(QShowEvent *e) override;

private:
    QPointer<QWidget> m_bezug;
};

extern TMeldForm *MeldForm;
