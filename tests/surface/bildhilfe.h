// Small helpers for exact-pixel tests on pictures.
#pragma once

#include "surface/raster.h"

#include <QImage>
#include <QSet>

// A picture in which neighbouring pixels differ, so that a wrong pixel cannot hide.
inline QImage musterBild(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (y * 5 + x * 3) & 0xFF, (x ^ y) & 0xFF));
    return img;
}

inline QImage einfarbig(int w, int h, QRgb farbe)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(farbe);
    return img;
}

// The pixels in which two pictures of the same size differ.
inline QSet<QPoint> unterschiede(const QImage &a, const QImage &b)
{
    QSet<QPoint> d;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *za = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *zb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (za[x] != zb[x])
                d.insert(QPoint(x, y));
    }
    return d;
}

// True when every pixel that differs lies in one of the reported rectangles.
inline bool abgedeckt(const QImage &vorher, const QImage &nachher, const Rechtecke &r)
{
    for (const QPoint &p : unterschiede(vorher, nachher)) {
        bool drin = false;
        for (const QRect &q : r)
            drin = drin || q.contains(p);
        if (!drin)
            return false;
    }
    return true;
}
