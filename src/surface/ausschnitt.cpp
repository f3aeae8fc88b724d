#include "surface/ausschnitt.h"

#include <cmath>
#include <utility>

namespace {

// The picture in RGB32. A screen's picture is opaque, and an opaque ARGB32 picture has the bits
// of RGB32 already: it is taken over in place, which at 1080p saves a copy of 8 MB.
QImage alsRgb32(QImage bild)
{
    if (bild.format() == QImage::Format_RGB32)
        return bild;
    if (bild.format() == QImage::Format_ARGB32 || bild.format() == QImage::Format_ARGB32_Premultiplied) {
        bool deckend = true;
        for (int y = 0; y < bild.height() && deckend; ++y) {
            const auto *zeile = reinterpret_cast<const QRgb *>(bild.constScanLine(y));
            for (int x = 0; x < bild.width(); ++x)
                if (qAlpha(zeile[x]) != 0xFF) {
                    deckend = false;
                    break;
                }
        }
        if (deckend) {
            bild.reinterpretAsFormat(QImage::Format_RGB32);
            return bild;
        }
    }
    return bild.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage monitorAusschnitt(QImage desktop, const QRect &desktopGeometrie, const QRect &monitor)
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
    // A single monitor is the whole picture: no copy of it.
    QImage teil = quelle == desktop.rect() ? std::move(desktop) : desktop.copy(quelle);
    if (teil.size() != monitor.size())
        teil = teil.scaled(monitor.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    teil = alsRgb32(std::move(teil));
    teil.setDevicePixelRatio(1);
    return teil;
}
