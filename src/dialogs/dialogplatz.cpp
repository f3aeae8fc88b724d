#include "dialogs/dialogplatz.h"

#include "controls/fensterrahmen.h"
#include "toolwindow/toolwin2.h"

#include <QGuiApplication>
#include <QScreen>

void mittigAufBildschirm(QWidget *dialog)
{
    const QScreen *monitor = ToolForm ? ToolForm->screen() : QGuiApplication::primaryScreen();
    if (!monitor)
        return;
    rahmenMittig(*dialog, monitor->availableGeometry());
}
