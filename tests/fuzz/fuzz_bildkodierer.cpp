// Pictures of any size up to 4096 × 96 pixels (past the size from which the PNG encoder splits
// its work between threads) with pixels from the input: noise, a tiled pattern of the input's
// bytes, or one colour, in the picture formats the program can hand over. The PNG and the BMP
// read back pixel for pixel through the image library's own readers; the JPEG decodes through
// libjpeg to the picture's size without a warning, and one colour comes back as that colour.
#include "output/bildcodecs.h"
#include "pruefen.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

struct Eingabe
{
    const std::uint8_t *data;
    std::size_t size;
    std::size_t pos = 0;

    unsigned byte() { return pos < size ? data[pos++] : 0; }
    unsigned wort() { return byte() | byte() << 8; }
};

QImage bild(Eingabe &e)
{
    const int w = int(e.wort() % 4096) + 1;
    const int h = int(e.byte() % 96) + 1;
    static constexpr QImage::Format formate[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                                 QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888,
                                                 QImage::Format_Grayscale8};
    const unsigned art = e.byte();
    QImage b(w, h, QImage::Format_RGB32);
    const unsigned muster = art >> 4 & 3;
    const quint32 farbe = quint32(e.wort()) << 16 | e.wort();
    QRandomGenerator zufall(farbe);
    const std::size_t rest = e.size - e.pos;
    for (int y = 0; y < h; ++y) {
        auto *px = reinterpret_cast<quint32 *>(b.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (muster == 0 || rest < 4)
                px[x] = farbe;
            else if (muster == 1)
                px[x] = zufall.generate();
            else {
                const std::size_t i = e.pos + (std::size_t(y) * w + x) * 4 % (rest - 3);
                px[x] = quint32(e.data[i]) | quint32(e.data[i + 1]) << 8 | quint32(e.data[i + 2]) << 16 |
                        quint32(e.data[i + 3]) << 24;
            }
        }
    }
    // Format_RGB32 keeps its padding byte at 0xFF; the others take the alpha as it comes.
    const QImage::Format format = formate[art % std::size(formate)];
    if (format == QImage::Format_RGB32) {
        for (int y = 0; y < h; ++y) {
            auto *px = reinterpret_cast<quint32 *>(b.scanLine(y));
            for (int x = 0; x < w; ++x)
                px[x] |= 0xFF000000u;
        }
        return b;
    }
    b.reinterpretAsFormat(QImage::Format_ARGB32);
    return b.convertToFormat(format);
}

void vergleiche(const QImage &erwartet, const QByteArray &datei, const char *format)
{
    const QImage gelesen = QImage::fromData(datei, format).convertToFormat(QImage::Format_RGB32);
    PRUEFEN(gelesen.size() == erwartet.size(), format << erwartet.size() << gelesen.size());
    for (int y = 0; y < erwartet.height(); ++y)
        PRUEFEN(std::equal(reinterpret_cast<const QRgb *>(erwartet.constScanLine(y)),
                           reinterpret_cast<const QRgb *>(erwartet.constScanLine(y)) + erwartet.width(),
                           reinterpret_cast<const QRgb *>(gelesen.constScanLine(y))),
                format << "row" << y << erwartet.size());
}

struct JpegFehler
{
    jpeg_error_mgr pub;
    std::jmp_buf sprung;
};

// Decodes a JPEG into packed RGB rows; false on an error or a warning.
bool jpegLesen(const QByteArray &datei, int &w, int &h, std::vector<unsigned char> &rgb)
{
    jpeg_decompress_struct info{};
    JpegFehler fehler{};
    info.err = jpeg_std_error(&fehler.pub);
    fehler.pub.error_exit = [](j_common_ptr i) {
        std::longjmp(reinterpret_cast<JpegFehler *>(i->err)->sprung, 1);
    };
    fehler.pub.output_message = [](j_common_ptr) {};
    if (setjmp(fehler.sprung)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(datei.constData()), datei.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    w = int(info.output_width);
    h = int(info.output_height);
    rgb.assign(std::size_t(w) * h * 3, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW zeile = rgb.data() + std::size_t(info.output_scanline) * w * 3;
        jpeg_read_scanlines(&info, &zeile, 1);
    }
    jpeg_finish_decompress(&info);
    const bool ohneWarnung = fehler.pub.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return ohneWarnung;
}

template<typename Schreiben> QByteArray kodiert(Schreiben schreibe, const QImage &b)
{
    QByteArray bytes;
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    PRUEFEN(schreibe(b, puffer), b.size());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Eingabe e{data, size};
    const int level = int(e.byte() % 10);
    const QImage b = bild(e);
    // What every reader must see: the colours without alpha.
    const QImage farben = b.convertToFormat(QImage::Format_RGB32);

    vergleiche(farben,
               kodiert([level](const QImage &i, QIODevice &d) { return schreibePng(i, d, level); }, b),
               "PNG");

    const QByteArray bmp = kodiert([](const QImage &i, QIODevice &d) { return schreibeBmp(i, d); }, b);
    PRUEFEN(bmp.size() == 54 + qsizetype((b.width() * 3 + 3) & ~3) * b.height(), bmp.size());
    vergleiche(farben, bmp, "BMP");

    const QByteArray jpeg = kodiert([](const QImage &i, QIODevice &d) { return schreibeJpeg(i, d); }, b);
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    PRUEFEN(jpegLesen(jpeg, w, h, rgb), b.size());
    PRUEFEN(w == b.width() && h == b.height(), b.size() << w << h);
    const QRgb erste = farben.pixel(0, 0);
    bool einfarbig = true;
    for (int y = 0; y < farben.height() && einfarbig; ++y)
        for (int x = 0; x < farben.width() && einfarbig; ++x)
            einfarbig = farben.pixel(x, y) == erste;
    if (einfarbig) {
        // At quality 99 one colour comes back within a few steps in every pixel.
        const int soll[3] = {qRed(erste), qGreen(erste), qBlue(erste)};
        for (std::size_t i = 0; i < rgb.size(); ++i)
            PRUEFEN(std::abs(int(rgb[i]) - soll[i % 3]) <= 4, b.size() << i << rgb[i] << soll[i % 3]);
    }
    return 0;
}
