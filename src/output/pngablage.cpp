#include "output/pngablage.h"

#include "output/bildcodecs.h"

#include <QBuffer>
#include <QPromise>
#include <QThreadPool>

#include <memory>

namespace {

const QString PngTyp = QStringLiteral("image/png");
const QString QtBildTyp = QStringLiteral("application/x-qt-image");

} // namespace

PngAblage::PngAblage(const QImage &bild)
{
    auto versprechen = std::make_shared<QPromise<QByteArray>>();
    m_png = versprechen->future();
    versprechen->start();
    QThreadPool::globalInstance()->start([versprechen, bild] {
        QByteArray png;
        QBuffer puffer(&png);
        puffer.open(QIODevice::WriteOnly);
        if (!schreibePng(bild, puffer, AblagePngLevel))
            png.clear();
        versprechen->addResult(png);
        versprechen->finish();
    });
}

QStringList PngAblage::formats() const
{
    if (m_nurPng)
        return {PngTyp};
    return {PngTyp, QtBildTyp};
}

bool PngAblage::hasFormat(const QString &mimeType) const
{
    return formats().contains(mimeType);
}

QByteArray PngAblage::png() const
{
    return m_png.result();
}

QVariant PngAblage::retrieveData(const QString &mimeType, QMetaType type) const
{
    if (mimeType == PngTyp)
        return png();
    if (mimeType != QtBildTyp)
        return {};
    if (type.id() != QMetaType::QImage)
        return png();
    QImage bild = QImage::fromData(png(), "PNG");
    if (bild.format() != QImage::Format_RGB32 && !bild.isNull())
        bild = bild.convertToFormat(QImage::Format_RGB32);
    return bild;
}
