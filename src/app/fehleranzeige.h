// The program's application object. An exception that escapes an event handler ends that
// handler's command; the user sees the error in a box titled "Skizzomat", and the program
// goes on with the next event.
#pragma once

#include <QApplication>

// A platform that cannot be loaded ends the program with one line instead of an abort
// (PlattformWacheAufstellen).
class TAnwendung : public QApplication
{
    Q_OBJECT

public:
    TAnwendung(int &argc, char **argv);

    bool notify(QObject *empfaenger, QEvent *e) override;

private:
    void fehlerZeigen(const QString &text);
    bool m_zeigtFehler = false;
};
