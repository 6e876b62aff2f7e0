#include "Platform/HeapRelease.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/mman.h>
#include <unistd.h>

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

void releaseMappedPages(const uchar* data, qsizetype length)
{
    static const auto pageSize = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr begin = (quintptr(data) + pageSize - 1) & ~(pageSize - 1);
    const quintptr end = (quintptr(data) + quintptr(length)) & ~(pageSize - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

} // namespace Platform
