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
#endif
}
