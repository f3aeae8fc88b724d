#include "output/bildcodecs.h"

#include <QIODevice>
#include <QImage>
#include <QtEndian>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include <jerror.h> // after jpeglib.h, which it needs

namespace {

// The encoders read 32-bit rows straight from the picture and skip the padding byte.
QImage alsRgb32(const QImage &bild)
{
    return bild.format() == QImage::Format_RGB32 ? bild : bild.convertToFormat(QImage::Format_RGB32);
}

// --- PNG -----------------------------------------------------------------------------------

void pngSchreiben(png_structp png, png_bytep daten, size_t laenge)
{
    auto *ziel = static_cast<QIODevice *>(png_get_io_ptr(png));
    if (ziel->write(reinterpret_cast<const char *>(daten), qint64(laenge)) != qint64(laenge))
        png_error(png, "write failed");
}

void pngLeeren(png_structp) {}

// libpng would print to stderr; the caller reports the failure itself.
void pngFehler(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void pngWarnung(png_structp, png_const_charp) {}

// --- JPEG ----------------------------------------------------------------------------------

struct JpegFehler
{
    jpeg_error_mgr pub;
    std::jmp_buf sprung;
};

void jpegAbbruch(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegFehler *>(info->err)->sprung, 1);
}

void jpegMeldung(j_common_ptr) {}

struct JpegZiel
{
    jpeg_destination_mgr pub;
    QIODevice *ziel = nullptr;
    std::vector<JOCTET> puffer = std::vector<JOCTET>(64 * 1024);
};

void jpegZielStart(j_compress_ptr info)
{
    auto *z = reinterpret_cast<JpegZiel *>(info->dest);
    z->pub.next_output_byte = z->puffer.data();
    z->pub.free_in_buffer = z->puffer.size();
}

void jpegZielSchreiben(j_compress_ptr info, size_t laenge)
{
    auto *z = reinterpret_cast<JpegZiel *>(info->dest);
    if (z->ziel->write(reinterpret_cast<const char *>(z->puffer.data()), qint64(laenge)) != qint64(laenge))
        ERREXIT(info, JERR_FILE_WRITE);
}

boolean jpegZielVoll(j_compress_ptr info)
{
    auto *z = reinterpret_cast<JpegZiel *>(info->dest);
    jpegZielSchreiben(info, z->puffer.size());
    jpegZielStart(info);
    return TRUE;
}

void jpegZielEnde(j_compress_ptr info)
{
    auto *z = reinterpret_cast<JpegZiel *>(info->dest);
    jpegZielSchreiben(info, z->puffer.size() - z->pub.free_in_buffer);
}

} // namespace

bool schreibePng(const QImage &bild, QIODevice &ziel, int level)
{
    if (bild.isNull())
        return false;
    const QImage quelle = alsRgb32(bild);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFehler, pngWarnung);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // Nothing with a destructor is created between here and the end of the encoding.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &ziel, pngSchreiben, pngLeeren);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, png_uint_32(quelle.width()), png_uint_32(quelle.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(png); // rows are B, G, R, X in memory
    png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
    png_set_filler(png, 0, PNG_FILLER_BEFORE); // rows are X, R, G, B in memory
#endif
    for (int y = 0; y < quelle.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(quelle.constScanLine(y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool schreibeJpeg(const QImage &bild, QIODevice &ziel, int qualitaet)
{
    if (bild.isNull() || bild.width() > JPEG_MAX_DIMENSION || bild.height() > JPEG_MAX_DIMENSION)
        return false;
    const QImage quelle = alsRgb32(bild);
    auto zielMgr = std::make_unique<JpegZiel>();
    zielMgr->ziel = &ziel;
    zielMgr->pub.init_destination = jpegZielStart;
    zielMgr->pub.empty_output_buffer = jpegZielVoll;
    zielMgr->pub.term_destination = jpegZielEnde;

    jpeg_compress_struct info{};
    JpegFehler fehler{};
    info.err = jpeg_std_error(&fehler.pub);
    fehler.pub.error_exit = jpegAbbruch;
    fehler.pub.output_message = jpegMeldung;
    if (setjmp(fehler.sprung)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    info.dest = &zielMgr->pub;
    info.image_width = JDIMENSION(quelle.width());
    info.image_height = JDIMENSION(quelle.height());
    info.input_components = 4;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    info.in_color_space = JCS_EXT_BGRX;
#else
    info.in_color_space = JCS_EXT_XRGB;
#endif
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, qualitaet, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW zeile = const_cast<JSAMPROW>(quelle.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &zeile, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool schreibeBmp(const QImage &bild, QIODevice &ziel)
{
    if (bild.isNull())
        return false;
    const QImage quelle = alsRgb32(bild);
    const qint64 w = quelle.width();
    const qint64 h = quelle.height();
    const qint64 zeilenBytes = (w * 3 + 3) & ~qint64(3);
    const qint64 kopf = 14 + 40;
    const qint64 groesse = kopf + zeilenBytes * h;
    if (groesse > 0xFFFFFFFFLL)
        return false;

    uchar k[kopf] = {};
    auto u16 = [&k](int at, quint16 v) { qToLittleEndian(v, k + at); };
    auto u32 = [&k](int at, quint32 v) { qToLittleEndian(v, k + at); };
    k[0] = 'B';
    k[1] = 'M';
    u32(2, quint32(groesse));
    u32(10, quint32(kopf));
    u32(14, 40);
    u32(18, quint32(w));
    u32(22, quint32(h)); // positive height: the bottom row comes first
    u16(26, 1);
    u16(28, 24);
    u32(34, quint32(zeilenBytes * h));
    u32(38, 3780); // 96 dpi in pixels per metre
    u32(42, 3780);
    if (ziel.write(reinterpret_cast<const char *>(k), kopf) != kopf)
        return false;

    std::vector<char> zeile(size_t(zeilenBytes), 0);
    for (qint64 y = h - 1; y >= 0; --y) {
        const auto *px = reinterpret_cast<const QRgb *>(quelle.constScanLine(int(y)));
        char *out = zeile.data();
        for (qint64 x = 0; x < w; ++x) {
            *out++ = char(qBlue(px[x]));
            *out++ = char(qGreen(px[x]));
            *out++ = char(qRed(px[x]));
        }
        if (ziel.write(zeile.data(), zeilenBytes) != zeilenBytes)
            return false;
    }
    return true;
}
