#include "surface/capture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

QImage bildschirmLesen(QScreen *monitor)
{
    const QRect g = monitor->geometry();
    QImage bild = monitor->grabWindow(0, 0, 0, g.width(), g.height()).toImage();
    if (bild.isNull() || bild.size() != g.size())
        return {};
    if (bild.format() != QImage::Format_RGB32)
        bild = bild.convertToFormat(QImage::Format_RGB32);
    return bild;
}
