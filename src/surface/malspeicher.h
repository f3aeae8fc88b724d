// Shared memory (MIT-SHM) as the X server sees it.
#pragma once

#include <QSize>

#include <cstdint>
#include <functional>

// Resizes a window's backing store through `groesseAendern` and returns the MIT-SHM segment
// that Qt made for it and shares with the X server, or 0 where that cannot be told for certain
// (no new segment, no X11, or Qt named other resources meanwhile).
uint32_t malspeicherGroesseAendern(const std::function<void()> &groesseAendern);

// Has the X server read segment `seg`, which holds a picture of `groesse` laid out as the
// screen's pixels are, once: the server maps a shared segment's pages only as it first touches
// them, a fault for every page it writes but only one for every 16 it reads, and on some
// virtual machines a trap to the host for every page (some 50 ms at 4K there). Read into a
// small pixmap, band by band, the pages are mapped on the server's side before they are
// needed. The pixels read are of no use. Returns at once; a request that fails is ignored.
void segmentLesenLassen(uint32_t seg, QSize groesse);
