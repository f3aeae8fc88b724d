// A picture for the clipboard, kept as PNG: a screenshot takes a few megabytes there instead of
// a whole frame for as long as it stays on the clipboard.
#pragma once

#include <QFuture>
#include <QImage>
#include <QMimeData>

class PngAblage : public QMimeData
{
public:
    // Starts encoding on a thread of the pool. `bild` is shared, not copied: a picture drawn on
    // meanwhile gets pixels of its own, so the clipboard keeps those of now.
    explicit PngAblage(const QImage &bild);

    // "image/png", handed out as it is, and Qt's own image type, decoded on request; Qt offers
    // the other image types from that.
    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

    // From now on offers "image/png" alone: for a clipboard manager, which keeps a copy of each
    // type offered.
    void nurPngAnbieten() { m_nurPng = true; }

    // The PNG file; waits for the encoder. Empty when the picture could not be encoded.
    QByteArray png() const;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QFuture<QByteArray> m_png;
    bool m_nurPng = false;
};

// Deflate level of the clipboard's PNG: fast, and still small for screen contents.
inline constexpr int AblagePngLevel = 1;
