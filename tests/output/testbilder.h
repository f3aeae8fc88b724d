// Deterministic pictures for the output tests.
#pragma once

#include <QImage>

// Every channel varies on its own, so swapped channels or rows show up.
inline QImage musterBild(int w, int h)
{
    QImage bild(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *z = reinterpret_cast<QRgb *>(bild.scanLine(y));
        for (int x = 0; x < w; ++x)
            z[x] = qRgb((x * 7 + y * 3) & 0xFF, (x ^ y) & 0xFF, (x * y + 11) & 0xFF);
    }
    return bild;
}

// Smooth, as photographs and screen gradients are (a step of one per pixel at most); JPEG
// keeps it close.
inline QImage verlaufBild(int w, int h)
{
    auto dreieck = [](int t) { return qAbs(t % 510 - 255); };
    QImage bild(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *z = reinterpret_cast<QRgb *>(bild.scanLine(y));
        for (int x = 0; x < w; ++x)
            z[x] = qRgb(dreieck(x + 40), dreieck(y + 90), dreieck(x + y) / 2 + 60);
    }
    return bild;
}

// Pseudo-random pixels that deflate cannot shrink much.
inline QImage rauschBild(int w, int h)
{
    QImage bild(w, h, QImage::Format_RGB32);
    quint32 s = 12345;
    for (int y = 0; y < h; ++y) {
        auto *z = reinterpret_cast<QRgb *>(bild.scanLine(y));
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            z[x] = 0xFF000000u | (s >> 8);
        }
    }
    return bild;
}
