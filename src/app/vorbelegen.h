#pragma once

#include <cstddef>

// Writes every page of a fresh buffer once, so that whoever uses it next finds its pages
// mapped. A fresh page costs a fault at its first write, and on some virtual machines the
// host charges again for the first write to a page the system handed out zeroed: a 7680 × 4320
// picture has 32,000 pages, and taking them one fault at a time costs up to half a second
// there. Meant for a thread of its own while the main thread waits anyway; the buffer must not
// be in use meanwhile. The pages' contents are undefined afterwards.
void seitenVorbelegen(void *addr, std::size_t bytes);
