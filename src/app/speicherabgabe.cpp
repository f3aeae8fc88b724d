#include "app/speicherabgabe.h"

// Any C library header defines __GLIBC__ on glibc; asked before one is included, the question
// would always be answered "no".
#include <cstdlib>

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
