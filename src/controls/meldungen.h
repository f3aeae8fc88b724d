// The program's modal message boxes, with German titles and buttons whatever the system's
// language is.
#pragma once

#include <QString>

class QWidget;

void zeigeInformation(QWidget *parent, const QString &text);
void zeigeFehler(QWidget *parent, const QString &text);
void zeigeWarnung(QWidget *parent, const QString &text);

enum class Antwort { Ja, Nein, Abbrechen };
// The confirmation box with "&Ja", "&Nein" and "Abbrechen"; closing it counts as "Abbrechen".
Antwort bestaetigen(QWidget *parent, const QString &text);
