#include "surface/ausschnitt.h"

#include <cmath>

QImage monitorAusschnitt(const QImage &desktop, const QRect &desktopGeometrie, const QRect &monitor)
{
    if (desktop.isNull() || desktopGeometrie.isEmpty() || monitor.isEmpty() ||
        !desktopGeometrie.contains(monitor))
        return {};
    const double sx = double(desktop.width()) / desktopGeometrie.width();
    const double sy = double(desktop.height()) / desktopGeometrie.height();
    const QPoint ab = monitor.topLeft() - desktopGeometrie.topLeft();
    // Edges rounded separately, so that neighbouring monitors share their border exactly.
    const int links = int(std::lround(ab.x() * sx)), oben = int(std::lround(ab.y() * sy));
    const int rechts = int(std::lround((ab.x() + monitor.width()) * sx));
    const int unten = int(std::lround((ab.y() + monitor.height()) * sy));
    const QRect quelle = QRect(QPoint(links, oben), QPoint(rechts - 1, unten - 1)) & desktop.rect();
    if (quelle.isEmpty())
        return {};
    QImage teil = desktop.copy(quelle);
    if (teil.size() != monitor.size())
        teil = teil.scaled(monitor.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (teil.format() != QImage::Format_RGB32)
        teil = teil.convertToFormat(QImage::Format_RGB32);
    teil.setDevicePixelRatio(1);
    return teil;
}
