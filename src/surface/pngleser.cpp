#include "surface/pngleser.h"

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

quint32 be32(const uchar *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

constexpr uchar Signatur[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Pictures beyond this go to the image library, which refuses them by its own allocation limit
// (256 MB) or reads them; a damaged size field must not make us ask for gigabytes.
constexpr size_t GroesstePixelzahl = size_t(64) << 20;
// Deflate shrinks at most about 1032 : 1; a file whose data cannot fill its size is damaged.
constexpr size_t GroessteVerdichtung = 1040;

struct Kopf
{
    quint32 breite = 0, hoehe = 0;
    int bpp = 0; // bytes a pixel: 3 (RGB) or 4 (RGBA)
};

bool kopfLesen(const uchar *d, quint32 laenge, Kopf &k)
{
    if (laenge != 13)
        return false;
    k.breite = be32(d);
    k.hoehe = be32(d + 4);
    const uchar tiefe = d[8], farbart = d[9], verfahren = d[10], filter = d[11], zeilensprung = d[12];
    if (k.breite == 0 || k.hoehe == 0 || k.breite > (1u << 16) || k.hoehe > (1u << 16) ||
        size_t(k.breite) * k.hoehe > GroesstePixelzahl)
        return false;
    if (tiefe != 8 || (farbart != 2 && farbart != 6) || verfahren != 0 || filter != 0 || zeilensprung != 0)
        return false;
    k.bpp = farbart == 6 ? 4 : 3;
    return true;
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the filter of one line of `n` bytes in place; `oben` is the line above, already
// undone (zeros above the first line).
template<int Bpp> bool entfiltern(uchar art, uchar *z, const uchar *oben, size_t n)
{
    switch (art) {
    case 0:
        return true;
    case 1:
        for (size_t i = Bpp; i < n; ++i)
            z[i] = uchar(z[i] + z[i - Bpp]);
        return true;
    case 2:
        for (size_t i = 0; i < n; ++i)
            z[i] = uchar(z[i] + oben[i]);
        return true;
    case 3:
        for (size_t i = 0; i < Bpp; ++i)
            z[i] = uchar(z[i] + (oben[i] >> 1));
        for (size_t i = Bpp; i < n; ++i)
            z[i] = uchar(z[i] + ((z[i - Bpp] + oben[i]) >> 1));
        return true;
    case 4:
        for (size_t i = 0; i < Bpp; ++i)
            z[i] = uchar(z[i] + oben[i]);
        for (size_t i = Bpp; i < n; ++i)
            z[i] = uchar(z[i] + paeth(z[i - Bpp], oben[i], oben[i - Bpp]));
        return true;
    }
    return false;
}

// The inflated lines, each a filter byte and the line's bytes, undone and written into `bild`
// line by line while the line is still in the cache. False at an unknown filter.
template<int Bpp> bool zeilenUebertragen(uchar *roh, const Kopf &k, QImage &bild, bool &deckend)
{
    const size_t n = size_t(k.breite) * Bpp;
    const std::vector<uchar> nullen(n, 0);
    const uchar *oben = nullen.data();
    quint32 alpha = 0xFF;
    for (quint32 y = 0; y < k.hoehe; ++y) {
        uchar *z = roh + y * (n + 1);
        if (!entfiltern<Bpp>(z[0], z + 1, oben, n))
            return false;
        ++z;
        auto *ziel = reinterpret_cast<QRgb *>(bild.scanLine(int(y)));
        for (quint32 x = 0; x < k.breite; ++x, z += Bpp) {
            const quint32 a = Bpp == 4 ? z[3] : 0xFF;
            alpha &= a;
            ziel[x] = a << 24 | quint32(z[0]) << 16 | quint32(z[1]) << 8 | z[2];
        }
        oben = z - n;
    }
    deckend = alpha == 0xFF;
    return true;
}

struct Entpacker
{
    void operator()(libdeflate_decompressor *d) const { libdeflate_free_decompressor(d); }
};

} // namespace

QImage pngBildschirmfotoLesen(QByteArrayView png)
{
    const auto *d = reinterpret_cast<const uchar *>(png.data());
    const size_t groesse = size_t(png.size());
    if (groesse < sizeof Signatur || std::memcmp(d, Signatur, sizeof Signatur) != 0)
        return {};
    Kopf kopf;
    // The compressed data, in the order of the IDAT chunks, which must follow one another.
    std::vector<std::pair<const uchar *, size_t>> daten;
    size_t datenGroesse = 0;
    bool datenVorbei = false, ende = false;
    for (size_t pos = sizeof Signatur; !ende;) {
        if (groesse - pos < 12)
            return {};
        const quint32 laenge = be32(d + pos);
        if (laenge > groesse - pos - 12)
            return {};
        const uchar *typ = d + pos + 4, *inhalt = d + pos + 8;
        if (libdeflate_crc32(0, typ, laenge + 4) != be32(inhalt + laenge))
            return {};
        const bool ersterBlock = pos == sizeof Signatur;
        pos += size_t(laenge) + 12;
        if (std::memcmp(typ, "IHDR", 4) == 0) {
            if (!ersterBlock || !kopfLesen(inhalt, laenge, kopf))
                return {};
        } else if (ersterBlock) {
            return {};
        } else if (std::memcmp(typ, "IDAT", 4) == 0) {
            if (datenVorbei)
                return {};
            daten.emplace_back(inhalt, laenge);
            datenGroesse += laenge;
        } else {
            datenVorbei = !daten.empty();
            ende = std::memcmp(typ, "IEND", 4) == 0;
            // A palette is only a suggestion for RGB pictures; any other critical block is one
            // we do not know.
            if (!ende && std::memcmp(typ, "PLTE", 4) != 0 && !(typ[0] & 0x20))
                return {};
        }
    }
    const size_t zeile = size_t(kopf.breite) * size_t(kopf.bpp) + 1;
    const size_t rohGroesse = zeile * kopf.hoehe;
    if (daten.empty() || rohGroesse / GroessteVerdichtung > datenGroesse)
        return {};

    // One zlib stream over all IDAT blocks: inflated in one call. A file with several blocks has
    // them copied together first; at 1080p that costs about a millisecond.
    std::vector<uchar> zusammen;
    const uchar *strom = daten.front().first;
    if (daten.size() > 1) {
        zusammen.reserve(datenGroesse);
        for (const auto &[p, n] : daten)
            zusammen.insert(zusammen.end(), p, p + n);
        strom = zusammen.data();
    }
    const std::unique_ptr<libdeflate_decompressor, Entpacker> entpacker(libdeflate_alloc_decompressor());
    if (!entpacker)
        return {};
    // Not value-initialised: every byte is written by the inflation or it fails.
    const std::unique_ptr<uchar[]> roh(new (std::nothrow) uchar[rohGroesse]);
    if (!roh)
        return {};
    // Without a place for the size written, anything but exactly the picture's size is an error.
    if (libdeflate_zlib_decompress(entpacker.get(), strom, datenGroesse, roh.get(), rohGroesse, nullptr) !=
        LIBDEFLATE_SUCCESS)
        return {};
    zusammen = {};

    QImage bild(int(kopf.breite), int(kopf.hoehe), QImage::Format_ARGB32);
    if (bild.isNull())
        return {};
    bool deckend = false;
    const bool gelesen = kopf.bpp == 4 ? zeilenUebertragen<4>(roh.get(), kopf, bild, deckend)
                                       : zeilenUebertragen<3>(roh.get(), kopf, bild, deckend);
    if (!gelesen)
        return {};
    // An opaque ARGB32 picture has the bits of RGB32 already.
    if (deckend)
        bild.reinterpretAsFormat(QImage::Format_RGB32);
    return bild;
}
