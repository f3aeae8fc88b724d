// Encoders for the three picture file formats. Each writes the picture's colours (without
// alpha) to the device and returns false when the picture cannot be encoded or the device
// refuses the data.
#pragma once

class QImage;
class QIODevice;

// PNG: RGB, 8 bits per channel, not interlaced, deflate at the given level, 0 to 9 (libdeflate's,
// which trade speed for size as zlib's do).
bool schreibePng(const QImage &bild, QIODevice &ziel, int level = 5);
// JPEG: baseline, 24-bit colour, the given quality (1 to 100).
bool schreibeJpeg(const QImage &bild, QIODevice &ziel, int qualitaet = 99);
// Windows bitmap: uncompressed, 24 bits per pixel, rows bottom-up.
bool schreibeBmp(const QImage &bild, QIODevice &ziel);
