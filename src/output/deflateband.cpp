#include "output/deflateband.h"

#include <cstring>
#include <new>

#include <libdeflate.h>
#include <zlib.h>

DeflateBand::DeflateBand(int level) : m_k(libdeflate_alloc_compressor(level)) {}

DeflateBand::~DeflateBand()
{
    libdeflate_free_compressor(m_k);
}

bool DeflateBand::komprimieren(unsigned char *daten, size_t n, bool letzter, std::vector<unsigned char> &aus)
{
    if (!m_k)
        return false;
    const size_t grenze = libdeflate_deflate_compress_bound(m_k, n);
    if (grenze > m_platzGroesse) {
        m_platz.reset(new (std::nothrow) unsigned char[grenze]);
        m_platzGroesse = m_platz ? grenze : 0;
        if (!m_platz)
            return false;
    }
    const size_t laenge = libdeflate_deflate_compress(m_k, daten, n, m_platz.get(), grenze);
    if (laenge == 0)
        return false;
    const size_t von = aus.size();
    try {
        // Room for what a band that others follow may need at its end.
        aus.reserve(von + laenge + 6);
        aus.insert(aus.end(), m_platz.get(), m_platz.get() + laenge);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return letzter || fortsetzbar(aus, von, daten, n);
}

// Finds where the final block starts and where its last code ends by decoding the band with
// zlib, which stops at each block boundary and tells how many bits of the last byte it read.
// Decoding is a fraction of the cost of compressing, and checks the band on the way. It writes
// into the band's own bytes, all at once: a smaller buffer would have zlib copy its window each
// time it is full.
bool DeflateBand::fortsetzbar(std::vector<unsigned char> &aus, size_t von, unsigned char *raum, size_t n)
{
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    const size_t laenge = aus.size() - von;
    z.next_in = aus.data() + von;
    z.avail_in = uInt(laenge);
    z.next_out = raum;
    z.avail_out = uInt(n);
    size_t kopf = 0; // bit where the block being decoded starts
    size_t ende = 0; // bit after the final block's end code
    bool fertig = false;
    while (!fertig) {
        const int rc = inflate(&z, Z_BLOCK);
        if (rc != Z_OK)
            break;
        if (z.data_type & 128) {
            const size_t bit = (laenge - z.avail_in) * 8 - size_t(z.data_type & 7);
            if (z.data_type & 64) {
                ende = bit;
                fertig = true;
            } else {
                kopf = bit;
            }
        }
    }
    const uLong entpackt = z.total_out;
    inflateEnd(&z);
    // The final block's end code lies in the last byte, and the band decodes to all its bytes.
    if (!fertig || entpackt != n || (ende + 7) / 8 != laenge)
        return false;

    unsigned char *d = aus.data() + von;
    d[kopf / 8] &= static_cast<unsigned char>(~(1u << (kopf % 8)));
    const size_t rest = ende % 8;
    if (rest == 0)
        return true; // the next band's first block starts at the next byte as it is
    // An empty stored block: three zero header bits after the end code (unused bits are zero),
    // spilling into a new byte when fewer than three are left, then padding to the byte
    // boundary, its length 0 and the length's complement.
    d[ende / 8] &= static_cast<unsigned char>((1u << rest) - 1);
    if (rest > 5)
        aus.push_back(0);
    static const unsigned char Leer[4] = {0x00, 0x00, 0xFF, 0xFF};
    aus.insert(aus.end(), Leer, Leer + 4);
    return true;
}
