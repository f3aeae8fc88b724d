// Our reader of the desktop's PNG files. The input as it comes is refused or read, never read out
// of bounds; built into a PNG with right checksums (size, colour type, filter bytes and pixels
// from the input, its data in several blocks), it is read whenever every filter byte is a known
// one, and what our reader reads the image library reads the same, pixel for pixel.
#include "../surface/pngbloecke.h"
#include "pruefen.h"
#include "surface/pngleser.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

#include <zlib.h>

namespace {

void wieDieBibliothek(const QImage &unser, const QByteArray &png)
{
    if (unser.isNull())
        return;
    const QImage bibliothek = QImage::fromData(png, "PNG");
    PRUEFEN(!bibliothek.isNull(), unser.size());
    PRUEFEN(unser.convertToFormat(QImage::Format_ARGB32) == bibliothek.convertToFormat(QImage::Format_ARGB32),
            unser.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray roh(reinterpret_cast<const char *>(data), qsizetype(size));
    wieDieBibliothek(pngBildschirmfotoLesen(roh), roh);
    if (size < 5)
        return 0;

    const int breite = data[0] % 64 + 1, hoehe = data[1] % 16 + 1;
    const bool rgba = data[2] & 1;
    const int bloecke = (data[2] >> 1) % 4 + 1;
    const int stufe = data[3] % 10;
    const int zeile = breite * (rgba ? 4 : 3) + 1;
    QByteArray zeilen(qsizetype(zeile) * hoehe, Qt::Uninitialized);
    bool bekannt = true;
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        zeilen[i] = char(data[4 + std::size_t(i) % (size - 4)]);
        if (i % zeile == 0) {
            // Mostly known filters; now and then one that is not.
            if (data[4] % 8 != 0)
                zeilen[i] = char(uchar(zeilen[i]) % 5);
            bekannt = bekannt && uchar(zeilen[i]) < 5;
        }
    }
    uLongf n = compressBound(uLong(zeilen.size()));
    QByteArray z(qsizetype(n), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(z.data()), &n, reinterpret_cast<const Bytef *>(zeilen.constData()),
              uLong(zeilen.size()), stufe);
    z.resize(qsizetype(n));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray kopf;
    be32(kopf, quint32(breite));
    be32(kopf, quint32(hoehe));
    kopf.append('\x08').append(rgba ? '\x06' : '\x02').append('\0').append('\0').append('\0');
    block(png, "IHDR", kopf);
    const qsizetype stueck = z.size() / bloecke + 1;
    for (int i = 0; i < bloecke; ++i)
        block(png, "IDAT", z.mid(i * stueck, stueck));
    block(png, "IEND", {});

    PngVorrat vorrat(QSize(breite, hoehe));
    const QImage unser = pngBildschirmfotoLesen(png, data[3] & 0x80 ? &vorrat : nullptr);
    PRUEFEN(unser.isNull() != bekannt, breite << hoehe << rgba);
    wieDieBibliothek(unser, png);
    return 0;
}
