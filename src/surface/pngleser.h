// A reader of its own for the PNG files a desktop's screenshot service writes: 8 bits a channel,
// RGB or RGBA, not interlaced. Under Wayland every frozen picture comes as such a file, and the
// image library's reader takes several times as long for it.
#pragma once

#include <QByteArrayView>
#include <QImage>

#include <cstddef>
#include <thread>

// Memory for the picture of the next read, its pages written ahead on a thread of its own while
// the caller waits for the file anyway: a fresh page costs a fault at its first write, and on
// some virtual machines the faults of a 1080p picture alone take 30 ms. The memory becomes the
// picture's; what no read takes is let go of with this object.
class PngVorrat
{
public:
    PngVorrat() = default;
    explicit PngVorrat(QSize bild);
    ~PngVorrat();
    PngVorrat(const PngVorrat &) = delete;
    PngVorrat &operator=(const PngVorrat &) = delete;

    // At least `bytes` with their pages written, the caller's from now on (to be freed with
    // std::free), or null when there is not that much here.
    void *nehmen(std::size_t bytes);

private:
    void *m_speicher = nullptr;
    std::size_t m_groesse = 0;
    std::jthread m_schreiber;
};

// The picture in `png`: RGB32 when every pixel is opaque, else ARGB32. A null image for every
// other kind of PNG and for a damaged file (not a PNG, cut short, a wrong checksum, compressed
// data that does not fill the picture's size exactly); the caller then hands it to the image
// library's reader. The picture's memory comes from `vorrat` where it has enough.
QImage pngBildschirmfotoLesen(QByteArrayView png, PngVorrat *vorrat = nullptr);
