#include "dialogs/meldungen.h"

#include <QMessageBox>

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
