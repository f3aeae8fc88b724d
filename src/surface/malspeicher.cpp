#include "surface/malspeicher.h"

#include <QGuiApplication>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>

namespace {

xcb_connection_t *mitShm()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    const xcb_query_extension_reply_t *shm = c ? xcb_get_extension_data(c, &xcb_shm_id) : nullptr;
    return shm && shm->present ? c : nullptr;
}

} // namespace

uint32_t malspeicherGroesseAendern(const std::function<void()> &groesseAendern)
{
    xcb_connection_t *c = mitShm();
    if (!c) {
        groesseAendern();
        return 0;
    }
    // Qt's backing store names a new segment and then the pixmap that goes with it, nothing
    // in between. Identifiers follow each other by one step until the connection's range ends:
    // with exactly two handed out during the resize, the first is the segment.
    const uint32_t maske = xcb_get_setup(c)->resource_id_mask;
    const uint32_t schritt = maske & (~maske + 1);
    const uint32_t vorher = xcb_generate_id(c);
    groesseAendern();
    const uint32_t nachher = xcb_generate_id(c);
    if (vorher == uint32_t(-1) || nachher != vorher + 3 * schritt)
        return 0;
    return vorher + schritt;
}

void segmentLesenLassen(uint32_t seg, QSize groesse)
{
    xcb_connection_t *c = seg ? mitShm() : nullptr;
    if (!c || groesse.isEmpty())
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    constexpr int Band = 16;
    const auto breite = uint16_t(groesse.width()), hoehe = uint16_t(groesse.height());
    const xcb_pixmap_t ziel = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, ziel, screen->root, breite, Band);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t keineExposes = 0;
    xcb_create_gc(c, gc, ziel, XCB_GC_GRAPHICS_EXPOSURES, &keineExposes);
    // Checked, and their answers dropped: an error, should the segment not be what was
    // thought, reaches nobody.
    for (int y = 0; y < hoehe; y += Band)
        xcb_discard_reply(c,
                          xcb_shm_put_image_checked(c, ziel, gc, breite, hoehe, 0, uint16_t(y), breite,
                                                    uint16_t(std::min(Band, hoehe - y)), 0, 0,
                                                    screen->root_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg, 0)
                              .sequence);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, ziel);
    xcb_flush(c);
}
