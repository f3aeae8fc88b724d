#include "output/bildcodecs.h"

#include <QIODevice>
#include <QImage>
#include <QtEndian>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <memory>
#include <vector>

#include <jpeglib.h>

#include <jerror.h> // after jpeglib.h, which it needs

namespace {

// The encoders read 32-bit rows straight from the picture and skip the padding byte.
QImage alsRgb32(const QImage &bild)
{
    return bild.format() == QImage::Format_RGB32 ? bild : bild.convertToFormat(QImage::Format_RGB32);
}

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
