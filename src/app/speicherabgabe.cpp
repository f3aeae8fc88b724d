#include "app/speicherabgabe.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void SpeicherabgabeEinrichten()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

void SpeicherZurueckgeben()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
