#include "surface/pngleser.h"

#include "app/vorbelegen.h"

#include <libdeflate.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
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

#if !defined(__SSE2__)
int paeth(int a, int b, int c)
{
    // |p - a|, |p - b| and |p - c| for p = a + b - c.
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}
#endif

#if defined(__SSE2__)
// Paeth a pixel at a time, its channels side by side in 16-bit lanes: byte by byte the
// predictor's branches make it the slowest of the filters, and desktops' PNG writers choose it
// for most lines of a busy screen. From the second pixel on; the first has no left neighbour.
template<int Bpp> void paethSse2(const uchar *roh, uchar *z, const uchar *oben, size_t n)
{
    const __m128i null = _mm_setzero_si128();
    auto laden = [](const uchar *p) {
        int v = 0;
        std::memcpy(&v, p, Bpp);
        return _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), _mm_setzero_si128());
    };
    auto betrag = [&](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(null, v)); };
    auto wahl = [](__m128i maske, __m128i ja, __m128i nein) {
        return _mm_or_si128(_mm_and_si128(maske, ja), _mm_andnot_si128(maske, nein));
    };
    __m128i a = laden(z), c = laden(oben);
    for (size_t i = Bpp; i < n; i += Bpp) {
        const __m128i b = laden(oben + i);
        const __m128i p = _mm_sub_epi16(b, c), q = _mm_sub_epi16(a, c);
        const __m128i pa = betrag(p), pb = betrag(q), pc = betrag(_mm_add_epi16(p, q));
        const __m128i kleinste = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        // Ties go to a before b before c.
        const __m128i naechste =
            wahl(_mm_cmpeq_epi16(kleinste, pa), a, wahl(_mm_cmpeq_epi16(kleinste, pb), b, c));
        a = _mm_and_si128(_mm_add_epi16(naechste, laden(roh + i)), _mm_set1_epi16(0xFF));
        const int v = _mm_cvtsi128_si32(_mm_packus_epi16(a, a));
        std::memcpy(z + i, &v, Bpp);
        c = b;
    }
}
#endif

// Undoes the filter of the line `roh` of `n` bytes into `z`; `oben` is the line above, already
// undone (zeros above the first line).
template<int Bpp> bool entfiltern(uchar art, const uchar *roh, uchar *z, const uchar *oben, size_t n)
{
    switch (art) {
    case 0:
        std::memcpy(z, roh, n);
        return true;
    case 1:
        std::memcpy(z, roh, Bpp);
        for (size_t i = Bpp; i < n; ++i)
            z[i] = uchar(roh[i] + z[i - Bpp]);
        return true;
    case 2:
        for (size_t i = 0; i < n; ++i)
            z[i] = uchar(roh[i] + oben[i]);
        return true;
    case 3:
        for (size_t i = 0; i < Bpp; ++i)
            z[i] = uchar(roh[i] + (oben[i] >> 1));
        for (size_t i = Bpp; i < n; ++i)
            z[i] = uchar(roh[i] + ((z[i - Bpp] + oben[i]) >> 1));
        return true;
    case 4:
        for (size_t i = 0; i < Bpp; ++i)
            z[i] = uchar(roh[i] + oben[i]);
#if defined(__SSE2__)
        paethSse2<Bpp>(roh, z, oben, n);
#else
        for (size_t i = Bpp; i < n; ++i)
            z[i] = uchar(roh[i] + paeth(z[i - Bpp], oben[i], oben[i - Bpp]));
#endif
        return true;
    }
    return false;
}

// The inflated lines, each a filter byte and the line's bytes, lie in `speicher` from `ab` on;
// undone one by one into a line of their own and written as pixels to the start of
// `speicher`, line y at y × 4 × width. Each line is read whole before its pixels are written,
// and the pixels of line y end before the inflated line y + 1 begins (`ab` leaves room for
// that: RGB lines are shorter than their pixels). False at an unknown filter.
template<int Bpp> bool zeilenUebertragen(uchar *speicher, size_t ab, const Kopf &k, bool &deckend)
{
    const size_t n = size_t(k.breite) * Bpp;
    std::vector<uchar> zeilen(2 * n, 0);
    uchar *oben = zeilen.data(), *z = zeilen.data() + n;
    quint32 alpha = 0xFF;
    for (quint32 y = 0; y < k.hoehe; ++y) {
        const uchar *roh = speicher + ab + y * (n + 1);
        if (!entfiltern<Bpp>(roh[0], roh + 1, z, oben, n))
            return false;
        auto *ziel = reinterpret_cast<QRgb *>(speicher + size_t(y) * k.breite * 4);
        const uchar *q = z;
        for (quint32 x = 0; x < k.breite; ++x, q += Bpp) {
            const quint32 a = Bpp == 4 ? q[3] : 0xFF;
            alpha &= a;
            ziel[x] = a << 24 | quint32(q[0]) << 16 | quint32(q[1]) << 8 | q[2];
        }
        std::swap(oben, z);
    }
    deckend = alpha == 0xFF;
    return true;
}

struct Entpacker
{
    void operator()(libdeflate_decompressor *d) const { libdeflate_free_decompressor(d); }
};

} // namespace

QImage pngBildschirmfotoLesen(QByteArrayView png, PngVorrat *vorrat)
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
    // One buffer for the inflated lines and the picture: the pixels take its start, the lines
    // its end, and the pixels are written over lines already read.
    const size_t pixelGroesse = size_t(kopf.breite) * kopf.hoehe * 4;
    const size_t gesamt = std::max(pixelGroesse, rohGroesse);
    std::unique_ptr<uchar, decltype(&std::free)> speicher(
        static_cast<uchar *>(vorrat ? vorrat->nehmen(gesamt) : nullptr), &std::free);
    if (!speicher)
        speicher.reset(static_cast<uchar *>(std::malloc(gesamt)));
    if (!speicher)
        return {};
    const size_t ab = gesamt - rohGroesse;
    // Without a place for the size written, anything but exactly the picture's size is an error.
    if (libdeflate_zlib_decompress(entpacker.get(), strom, datenGroesse, speicher.get() + ab, rohGroesse,
                                   nullptr) != LIBDEFLATE_SUCCESS)
        return {};
    zusammen = {};

    bool deckend = false;
    const bool gelesen = kopf.bpp == 4 ? zeilenUebertragen<4>(speicher.get(), ab, kopf, deckend)
                                       : zeilenUebertragen<3>(speicher.get(), ab, kopf, deckend);
    if (!gelesen)
        return {};
    // An opaque ARGB32 picture has the bits of RGB32 already.
    QImage bild(speicher.get(), int(kopf.breite), int(kopf.hoehe), qsizetype(kopf.breite) * 4,
                deckend ? QImage::Format_RGB32 : QImage::Format_ARGB32, &std::free, speicher.get());
    if (bild.isNull())
        return {};
    speicher.release();
    return bild;
}

PngVorrat::PngVorrat(QSize bild)
{
    if (bild.isEmpty())
        return;
    // Room for the inflated RGBA lines, a byte a line more than the pixels.
    const size_t groesse = size_t(bild.width()) * size_t(bild.height()) * 4 + size_t(bild.height());
    m_speicher = std::malloc(groesse);
    if (!m_speicher)
        return;
    m_groesse = groesse;
    m_schreiber = std::jthread([p = m_speicher, groesse] { seitenVorbelegen(p, groesse); });
}

PngVorrat::~PngVorrat()
{
    if (m_schreiber.joinable())
        m_schreiber.join();
    std::free(m_speicher);
}

void *PngVorrat::nehmen(std::size_t bytes)
{
    if (m_schreiber.joinable())
        m_schreiber.join();
    if (!m_speicher || bytes > m_groesse)
        return nullptr;
    m_groesse = 0;
    return std::exchange(m_speicher, nullptr);
}
