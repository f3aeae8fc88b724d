// A deflate stream made of bands compressed apart, so that the cores can share the work.
//
// libdeflate compresses a whole buffer at once and always ends with a final block. A band that
// another follows has that block's final bit cleared and, where its last code ends inside a
// byte, an empty stored block appended, which takes the stream to the next byte boundary. The
// bands' outputs then follow each other byte for byte as one raw deflate stream.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct libdeflate_compressor;

class DeflateBand
{
public:
    // A deflate level 0 to 12, libdeflate's; the PNG writer uses zlib's range 0 to 9.
    explicit DeflateBand(int level);
    ~DeflateBand();
    DeflateBand(const DeflateBand &) = delete;
    DeflateBand &operator=(const DeflateBand &) = delete;

    // Appends `n` bytes at `daten`, compressed, to `aus`. Unless `letzter`, the band ends on a
    // byte boundary without a final block, ready for the next band's output to follow; the band
    // is decoded into `daten` for that, which then holds the same bytes again. False when memory
    // is short or the band's stream could not be traced to its end.
    bool komprimieren(unsigned char *daten, size_t n, bool letzter, std::vector<unsigned char> &aus);

private:
    bool fortsetzbar(std::vector<unsigned char> &aus, size_t von, unsigned char *raum, size_t n);

    libdeflate_compressor *m_k = nullptr;
    // The compressor's output before it is copied to `aus`, kept for the next band.
    std::unique_ptr<unsigned char[]> m_platz;
    size_t m_platzGroesse = 0;
};
