#include "surface/fensterhintergrund.h"

#include <QGuiApplication>
#include <QSysInfo>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

xcb_connection_t *xVerbindung()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Pixels of depth 24 travel as 32-bit words in the server's byte order; QImage's RGB32 is that
// word in the machine's order.
bool wieRgb32(xcb_connection_t *c, std::uint8_t tiefe)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    if (tiefe != 24 || setup->image_byte_order != (QSysInfo::ByteOrder == QSysInfo::LittleEndian
                                                       ? XCB_IMAGE_ORDER_LSB_FIRST
                                                       : XCB_IMAGE_ORDER_MSB_FIRST))
        return false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == tiefe)
            return f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    return false;
}

// The picture into the pixmap through the socket, in bands that each fit into one request. A
// row goes whole, with what lies beyond the picture's width; the pixmap cuts that off.
// Through a memory file the server reads itself (MIT-SHM) it was slower: writing the picture
// into a fresh memory file cost the program 30 ms of processor time at 1080p and 110 ms at 4K,
// more than the socket saved XWayland.
void perProtokoll(xcb_connection_t *c, xcb_pixmap_t pixmap, xcb_gcontext_t gc, std::uint8_t tiefe,
                  const QImage &bild)
{
    const auto zeile = std::uint32_t(bild.bytesPerLine());
    const std::uint32_t groesste = xcb_get_maximum_request_length(c) * 4 - sizeof(xcb_put_image_request_t);
    const int band = std::max<int>(1, int(groesste / zeile));
    for (int y = 0; y < bild.height(); y += band) {
        const int h = std::min(band, bild.height() - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, std::uint16_t(zeile / 4), std::uint16_t(h), 0,
                      std::int16_t(y), 0, tiefe, std::uint32_t(h) * zeile, bild.constScanLine(y));
    }
}

} // namespace

FensterHintergrund::~FensterHintergrund()
{
    freigeben();
}

bool FensterHintergrund::setzen(WId fenster, const QImage &bild)
{
    freigeben();
    xcb_connection_t *c = xVerbindung();
    if (!c || !fenster || bild.isNull() || bild.format() != QImage::Format_RGB32)
        return false;
    const auto w = xcb_window_t(fenster);
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geo(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr), &std::free);
    if (!geo || !wieRgb32(c, geo->depth))
        return false;
    m_fenster = w;
    m_pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, geo->depth, m_pixmap, w, std::uint16_t(bild.width()), std::uint16_t(bild.height()));
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, m_pixmap, 0, nullptr);
    perProtokoll(c, m_pixmap, gc, geo->depth, bild);
    xcb_free_gc(c, gc);
    xcb_change_window_attributes(c, w, XCB_CW_BACK_PIXMAP, &m_pixmap);
    xcb_flush(c);
    return true;
}

void FensterHintergrund::freigeben()
{
    if (!m_pixmap)
        return;
    if (xcb_connection_t *c = xVerbindung()) {
        const std::uint32_t keiner = XCB_BACK_PIXMAP_NONE;
        xcb_change_window_attributes(c, m_fenster, XCB_CW_BACK_PIXMAP, &keiner);
        xcb_free_pixmap(c, m_pixmap);
        xcb_flush(c);
    }
    m_fenster = m_pixmap = 0;
}
