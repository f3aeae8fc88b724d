#include "controls/meldungen.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

void zeige(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
}

} // namespace

void zeigeInformation(QWidget *parent, const QString &text)
{
    zeige(parent, QMessageBox::Information, QStringLiteral("Informationen"), text);
}

void zeigeFehler(QWidget *parent, const QString &text)
{
    zeige(parent, QMessageBox::Critical, QStringLiteral("Fehler"), text);
}

void zeigeWarnung(QWidget *parent, const QString &text)
{
    zeige(parent, QMessageBox::Warning, QStringLiteral("Warnung"), text);
}

Antwort bestaetigen(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigen"), text, QMessageBox::NoButton, parent);
    QPushButton *ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton *nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    QPushButton *abbrechen = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(ja);
    box.setEscapeButton(abbrechen);
    box.exec();
    if (box.clickedButton() == ja)
        return Antwort::Ja;
    if (box.clickedButton() == nein)
        return Antwort::Nein;
    return Antwort::Abbrechen;
}
