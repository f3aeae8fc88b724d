// A reader of its own for the PNG files a desktop's screenshot service writes: 8 bits a channel,
// RGB or RGBA, not interlaced. Under Wayland every frozen picture comes as such a file, and the
// image library's reader takes several times as long for it.
#pragma once

#include <QByteArrayView>
#include <QImage>

// The picture in `png`: RGB32 when every pixel is opaque, else ARGB32. A null image for every
// other kind of PNG and for a damaged file (not a PNG, cut short, a wrong checksum, compressed
// data that does not fill the picture's size exactly); the caller then hands it to the image
// library's reader.
QImage pngBildschirmfotoLesen(QByteArrayView png);
