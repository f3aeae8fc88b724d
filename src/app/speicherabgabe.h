#pragma once

// Pictures are allocated and freed whole, a frame or more at a time. glibc raises its mmap
// threshold to the size of each such block freed (up to 32 MB), after which pictures come from
// the heap, where the memory of a freed one stays with the process as long as anything lies
// above it. A fixed threshold keeps every picture in a mapping of its own, given back to the
// system when the picture is freed. To be called first thing in main().
void SpeicherabgabeEinrichten();

// Gives the free pages inside the heap back to the system: after Fertig, what the session's
// smaller blocks (printing, encoders, text) left free between live ones.
void SpeicherZurueckgeben();
