#include "output/drucspez.h"

#include "output/drucker.h"
#include "output/druckgeometrie.h"

#include <QPainter>
#include <QPrinter>

#include <stdexcept>

namespace {

[[noreturn]] void druckfehler(const QString &text)
{
    throw std::runtime_error(text.toStdString());
}

} // namespace

void MetrischAbbilden(QPainter &p, const QPrinter &drucker)
{
    // Without "full page" the painter's origin already lies at the printable area's corner.
    p.resetTransform();
    p.scale(drucker.logicalDpiX() / 254.0, drucker.logicalDpiY() / 254.0);
}

void RaenderKorrigieren(const QPrinter &drucker, qint32 &l, qint32 &t)
{
    // The printable area as the painter sees it: the page's margins, which start out as the
    // printer's unprintable border.
    const QRect bereich = drucker.pageLayout().paintRectPixels(drucker.resolution());
    RaenderKorrigieren(l, t, pixelZehntelMm(bereich.left(), drucker.resolution()),
                       pixelZehntelMm(bereich.top(), drucker.resolution()));
}

void BitmapDrucken(QPainter &p, const QRect &rect, const QImage &bmp)
{
    p.save();
    // No smoothing: a viewer or printer would blend neighbouring pixels and fade the edges.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The pixels as they are, not compressed with losses.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    p.drawImage(QRectF(rect), bmp, QRectF(bmp.rect()));
    p.restore();
}

void SeiteDrucken(QPrinter &drucker, qint32 l, qint32 t, qint32 w, qint32 h, const QImage &bmp)
{
    if (drucker.outputFormat() != QPrinter::NativeFormat || drucker.printerName().isEmpty())
        druckfehler(QStringLiteral("Es ist kein Drucker eingerichtet"));
    drucker.setDocName(QString());
    QPainter p;
    if (!p.begin(&drucker))
        druckfehler(QStringLiteral("Der Druckauftrag ließ sich nicht beginnen"));
    MetrischAbbilden(p, drucker);
    RaenderKorrigieren(drucker, l, t);
    BitmapDrucken(p, QRect(l, t, w, h), bmp);
    if (!p.end())
        druckfehler(QStringLiteral("Der Druckauftrag ließ sich nicht abschließen"));
    // Qt hands the job to the server when the painter ends and keeps the answer to itself.
    if (const QString grund = cupsFehler(); !grund.isEmpty())
        druckfehler(QStringLiteral("Der Drucker hat den Auftrag nicht angenommen: ") + grund);
}
