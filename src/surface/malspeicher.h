// The memory a window is painted into, as the X server sees it.
#pragma once

#include <QSize>

#include <cstdint>
#include <functional>

// Resizes a window's backing store through `groesseAendern` and returns the MIT-SHM segment
// that Qt made for it and shares with the X server, or 0 where that cannot be told for certain
// (no new segment, no X11, or Qt named other resources meanwhile).
uint32_t malspeicherGroesseAendern(const std::function<void()> &groesseAendern);

// Has the X server read segment `seg` of a backing store of `groesse` once, in its own time:
// the server maps a shared segment's pages only as it first reads them, which would otherwise
// be the window's first showing: a fault for every 16 pages, and on some virtual machines a
// trap to the host for every page, some 50 ms at 4K there. Read now into a small pixmap,
// band by band, the pages are mapped on the server's side before they are needed. The pixels
// read are of no use. Returns at once; a request that fails is ignored.
void malspeicherLesenLassen(uint32_t seg, QSize groesse);
