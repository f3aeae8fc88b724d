#include "dialogs/dialogplatz.h"

#include "controls/fensterrahmen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void mittigAufBildschirm(QWidget *dialog, const QWidget *bezug)
{
    const QScreen *monitor = bezug ? bezug->screen() : QGuiApplication::primaryScreen();
    if (!monitor)
        return;
    rahmenMittig(*dialog, monitor->availableGeometry());
}
