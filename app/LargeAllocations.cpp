#include "app/LargeAllocations.hpp"

// Any C library header says which C library this is.
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

void returnLargeAllocationsWhenFreed() {
#ifdef __GLIBC__
    // Setting the limit also stops the allocator from moving it.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    // With the limit set, the heap's free top would be handed back to the
    // system once it passes 128 KB. The renderer allocates and frees a few
    // hundred kilobytes there every frame, so every frame would fault the
    // same pages in again (about 80 faults a frame in the arena). Kept up to
    // 16 MB instead: large blocks no longer come from the heap.
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
#endif
}
