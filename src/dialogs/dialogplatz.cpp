#include "dialogs/dialogplatz.h"

#include "toolwindow/toolwin2.h"

#include <QGuiApplication>
#include <QScreen>

void mittigAufBildschirm(QWidget *dialog)
{
    const QScreen *monitor = ToolForm ? ToolForm->screen() : QGuiApplication::primaryScreen();
    if (!monitor)
        return;
    QRect platz(QPoint(), dialog->size());
    platz.moveCenter(monitor->availableGeometry().center());
    dialog->move(platz.topLeft());
}
