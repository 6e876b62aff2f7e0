#include "Platform/HeapRelease.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Platform {

void returnLargeBlocksWhenFreed()
{
#if defined(__GLIBC__)
    // Without a fixed threshold, freeing one large block raises it for the rest of the run,
    // and later blocks of up to 32 MB stay in the heap after they are freed.
    constexpr int largeBlock = 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, largeBlock);
#endif
}

void releaseFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace Platform
