#include "output/drucspez.h"

#include "output/drucker.h"
#include "output/druckgeometrie.h"

#include <QPainter>
#include <QPrinter>

#include <stdexcept>

void druckfehler(const QString &text)
{
    throw std::runtime_error(text.toStdString());
}

namespace {

// The printable area as the painter sees it, in device pixels from the paper edge: inside the
// page's margins, which start out as the printer's unprintable border.
QRect druckbereich(const QPrinter &drucker)
{
    return drucker.pageLayout().paintRectPixels(drucker.resolution());
}

} // namespace

void MetrischAbbilden(QPainter &p, const QPrinter &drucker)
{
    const int dpi = drucker.resolution();
    const QRect bereich = druckbereich(drucker);
    // Without "full page" the painter's origin lies at the printable area's corner. That corner
    // need not lie on a whole 0.1 mm from the paper edge; the origin moves by the fraction to the
    // border that RaenderKorrigieren subtracts, so that the margins typed are met exactly and a
    // picture's edge does not fall between two units.
    p.resetTransform();
    p.scale(dpi / 254.0, dpi / 254.0);
    p.translate(pixelZehntelMm(bereich.left(), dpi) - bereich.left() * 254.0 / dpi,
                pixelZehntelMm(bereich.top(), dpi) - bereich.top() * 254.0 / dpi);
}

void RaenderKorrigieren(const QPrinter &drucker, qint32 &l, qint32 &t)
{
    const int dpi = drucker.resolution();
    const QRect bereich = druckbereich(drucker);
    RaenderKorrigieren(l, t, pixelZehntelMm(bereich.left(), dpi), pixelZehntelMm(bereich.top(), dpi));
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

QRect bedruckbarerBereich(const QPrinter &drucker)
{
    const int dpi = drucker.resolution();
    const QRect bereich = druckbereich(drucker);
    const QPoint links(pixelZehntelMm(bereich.left(), dpi), pixelZehntelMm(bereich.top(), dpi));
    const QPoint rechts(pixelZehntelMm(bereich.left() + bereich.width(), dpi),
                        pixelZehntelMm(bereich.top() + bereich.height(), dpi));
    return QRect(links, rechts - QPoint(1, 1));
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
