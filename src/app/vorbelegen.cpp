#include "app/vorbelegen.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

void seitenVorbelegen(void *addr, std::size_t bytes)
{
#if defined(MADV_POPULATE_WRITE)
    // All pages mapped in one call instead of one fault each.
    madvise(addr, bytes, MADV_POPULATE_WRITE);
#endif
    // Written, not just mapped: a zeroed page may still cost the host a fault at its first write.
    auto *p = static_cast<volatile std::uint32_t *>(addr);
    const std::size_t seite = std::size_t(sysconf(_SC_PAGESIZE)) / sizeof(std::uint32_t);
    for (std::size_t i = 0; i < bytes / sizeof(std::uint32_t); i += seite)
        p[i] = 0xFF000000u;
}
