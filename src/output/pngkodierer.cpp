// Our own PNG encoder: filtering straight from the 32-bit rows, and deflate split across the
// cores. The rows are cut into bands that the threads filter and compress as they come free
// (libdeflate, several times faster than zlib at the same level and smaller); the bands' raw
// deflate streams join into one zlib stream (deflateband.h).
#include "output/bildcodecs.h"
#include "output/deflateband.h"

#include <QIODevice>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include <libdeflate.h>
#include <zlib.h>

namespace {

constexpr int Bpp = 3;                       // bytes per pixel in the file
constexpr qsizetype ZweiThreadsAb = 1 << 20; // filtered bytes from which a second thread pays
// Each band starts its deflate stream afresh, without the data before it, and costs a little
// size: bands of a quarter megabyte at least, and 8 per thread, so that the threads finish
// close together.
constexpr qsizetype BandMindestens = 1 << 18;
constexpr int BaenderJeThread = 8;

// BGRX (or XRGB on big-endian machines) to RGB.
void zuRgb(const uchar *quelle, uchar *rgb, int breite)
{
    const auto *px = reinterpret_cast<const QRgb *>(quelle);
    for (int x = 0; x < breite; ++x) {
        rgb[3 * x] = uchar(qRed(px[x]));
        rgb[3 * x + 1] = uchar(qGreen(px[x]));
        rgb[3 * x + 2] = uchar(qBlue(px[x]));
    }
}

// Picks each row's filter as the reference encoder does: the smallest sum of the filtered bytes
// read as signed values.
class Filter
{
public:
    explicit Filter(int breite)
        : m_n(qsizetype(breite) * Bpp), m_roh(size_t(m_n + Bpp)), m_vorher(size_t(m_n + Bpp)),
          m_kandidat(5, std::vector<uchar>(size_t(m_n)))
    {}

    // Filters row y (needs the picture's row y − 1) and appends filter byte and data to `aus`.
    void zeile(const QImage &bild, int y, std::vector<uchar> &aus)
    {
        // Three leading zero bytes stand for the pixel left of the first one. Rows come in
        // order, so the last row's bytes are the prior row of this one.
        if (y == 0)
            std::fill(m_vorher.begin(), m_vorher.end(), 0);
        else if (y - 1 == m_letzte)
            std::swap(m_roh, m_vorher);
        else
            zuRgb(bild.constScanLine(y - 1), m_vorher.data() + Bpp, bild.width());
        zuRgb(bild.constScanLine(y), m_roh.data() + Bpp, bild.width());
        m_letzte = y;

        const uchar *r = m_roh.data() + Bpp;
        const uchar *p = m_vorher.data() + Bpp;
        const unsigned summen[5] = {
            setzen(r, p, m_kandidat[0].data(), [](int, int, int, int x) { return x; }),
            setzen(r, p, m_kandidat[1].data(), [](int a, int, int, int x) { return x - a; }),
            setzen(r, p, m_kandidat[2].data(), [](int, int b, int, int x) { return x - b; }),
            setzen(r, p, m_kandidat[3].data(), [](int a, int b, int, int x) { return x - ((a + b) >> 1); }),
            setzen(r, p, m_kandidat[4].data(), [](int a, int b, int c, int x) {
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                return x - ((pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c));
            })};
        int wahl = 0;
        for (int f = 1; f < 5; ++f)
            if (summen[f] < summen[wahl])
                wahl = f;
        aus.push_back(uchar(wahl));
        aus.insert(aus.end(), m_kandidat[size_t(wahl)].begin(), m_kandidat[size_t(wahl)].end());
    }

private:
    // One filter over the row, one simple loop each so the compiler can vectorise it; returns
    // the sum of the filtered bytes read as signed values.
    template<typename F>
    unsigned setzen(const uchar *__restrict r, const uchar *__restrict p, uchar *__restrict aus, F f) const
    {
        unsigned summe = 0;
        const int n = int(m_n);
        for (int i = 0; i < n; ++i) {
            const uchar v = uchar(f(r[i - Bpp], p[i], p[i - Bpp], r[i]));
            aus[i] = v;
            summe += v < 128 ? v : 256u - v;
        }
        return summe;
    }

    qsizetype m_n;
    int m_letzte = -1;
    std::vector<uchar> m_roh, m_vorher;
    std::vector<std::vector<uchar>> m_kandidat;
};

// One band of rows as raw deflate data, with the Adler-32 sum of its filtered data.
struct Teil
{
    int Von = 0, Bis = 0;
    std::vector<uchar> Daten;
    uLong Adler = 1;
    qsizetype Gefiltert = 0;
    bool Ok = false;
};

// Filters a band's rows and compresses them at once: libdeflate takes whole buffers only.
void komprimieren(const QImage &bild, DeflateBand &deflate, std::vector<uchar> &gefiltert, bool letzter,
                  Teil &teil)
{
    // On a thread of its own, memory running short must fail the picture, not end the program.
    try {
        Filter filter(bild.width());
        gefiltert.clear();
        gefiltert.reserve(size_t(teil.Bis - teil.Von) * (size_t(bild.width()) * Bpp + 1));
        for (int y = teil.Von; y < teil.Bis; ++y)
            filter.zeile(bild, y, gefiltert);
    } catch (const std::bad_alloc &) {
        return;
    }
    teil.Gefiltert = qsizetype(gefiltert.size());
    teil.Adler = libdeflate_adler32(1, gefiltert.data(), gefiltert.size());
    teil.Ok = deflate.komprimieren(gefiltert.data(), gefiltert.size(), letzter, teil.Daten);
}

bool chunk(QIODevice &ziel, const char *typ, const uchar *daten, qsizetype laenge)
{
    uchar kopf[8];
    qToBigEndian(quint32(laenge), kopf);
    memcpy(kopf + 4, typ, 4);
    quint32 crc = libdeflate_crc32(0, kopf + 4, 4);
    if (laenge > 0)
        crc = libdeflate_crc32(crc, daten, size_t(laenge));
    uchar fuss[4];
    qToBigEndian(quint32(crc), fuss);
    return ziel.write(reinterpret_cast<const char *>(kopf), 8) == 8 &&
           (laenge == 0 || ziel.write(reinterpret_cast<const char *>(daten), laenge) == laenge) &&
           ziel.write(reinterpret_cast<const char *>(fuss), 4) == 4;
}

} // namespace

bool schreibePng(const QImage &bild, QIODevice &ziel, int level)
{
    if (bild.isNull() || level < 0 || level > 9)
        return false;
    const QImage quelle =
        bild.format() == QImage::Format_RGB32 ? bild : bild.convertToFormat(QImage::Format_RGB32);
    const int w = quelle.width(), h = quelle.height();
    const qsizetype gesamt = qsizetype(h) * (qsizetype(w) * Bpp + 1);

    // Bands of rows taken by the threads as they come free, so that a noisy band (slow to
    // compress) does not keep one thread busy while the other waits.
    const int threads =
        gesamt >= ZweiThreadsAb && h >= 2 ? int(std::clamp(std::thread::hardware_concurrency(), 2u, 4u)) : 1;
    const qsizetype baender =
        threads == 1 ? 1 : std::clamp<qsizetype>(gesamt / BandMindestens, threads, BaenderJeThread * threads);
    std::vector<Teil> teile(size_t(std::min<qsizetype>(h, baender)));
    for (size_t i = 0; i < teile.size(); ++i) {
        teile[i].Von = int(qsizetype(h) * qsizetype(i) / qsizetype(teile.size()));
        teile[i].Bis = int(qsizetype(h) * qsizetype(i + 1) / qsizetype(teile.size()));
    }
    // zlib header: deflate with a 32 KiB window; the level class (0 fastest … 3 best) as zlib
    // itself would write it, and the check bits.
    const int klasse = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    uchar zkopf[2] = {0x78, uchar(klasse << 6)};
    zkopf[1] |= uchar((31 - (zkopf[0] * 256 + zkopf[1]) % 31) % 31);
    teile.front().Daten.assign(zkopf, zkopf + 2);
    std::atomic<size_t> naechstes{0};
    const auto arbeiten = [&] {
        DeflateBand deflate(level);
        std::vector<uchar> gefiltert; // one band's filtered rows at a time
        for (size_t i; (i = naechstes.fetch_add(1)) < teile.size();)
            komprimieren(quelle, deflate, gefiltert, i + 1 == teile.size(), teile[i]);
    };
    std::vector<std::thread> helfer;
    for (int i = 1; i < threads; ++i)
        helfer.emplace_back(arbeiten);
    arbeiten();
    for (std::thread &t : helfer)
        t.join();
    uLong adler = teile[0].Adler;
    for (size_t i = 0; i < teile.size(); ++i) {
        if (!teile[i].Ok)
            return false;
        if (i > 0)
            adler = adler32_combine(adler, teile[i].Adler, teile[i].Gefiltert);
    }

    static const uchar Signatur[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uchar ihdr[13] = {};
    qToBigEndian(quint32(w), ihdr);
    qToBigEndian(quint32(h), ihdr + 4);
    ihdr[8] = 8; // bits per channel
    ihdr[9] = 2; // RGB
    uchar zfuss[4];
    qToBigEndian(quint32(adler), zfuss);

    if (ziel.write(reinterpret_cast<const char *>(Signatur), 8) != 8 || !chunk(ziel, "IHDR", ihdr, 13))
        return false;
    // The zlib stream in IDAT chunks of at most 1 MiB, straight from the bands; the first
    // holds the header already, the check sum follows the last.
    teile.back().Daten.insert(teile.back().Daten.end(), zfuss, zfuss + 4);
    constexpr qsizetype ChunkGroesse = 1 << 20;
    for (Teil &t : teile) {
        const qsizetype n = qsizetype(t.Daten.size());
        for (qsizetype at = 0; at < n; at += ChunkGroesse)
            if (!chunk(ziel, "IDAT", t.Daten.data() + at, std::min(ChunkGroesse, n - at)))
                return false;
        std::vector<uchar>().swap(t.Daten);
    }
    return chunk(ziel, "IEND", nullptr, 0);
}
