#include "netware/large_pages.h"

#include <cstdint>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace netsim {

void adviseLargePages(const void *data, size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t first = (uintptr_t(data) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t last = (uintptr_t(data) + bytes) & ~(kLarge - 1);
    // Refused where the system has no such pages: the 4 kB ones serve as before.
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

void prepareToFill(const void *data, size_t bytes)
{
    adviseLargePages(data, bytes);
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    // Refused before Linux 5.14: the faults then come one by one, as before.
    constexpr uintptr_t kPage = 4096;
    const uintptr_t first = uintptr_t(data) & ~(kPage - 1);
    const uintptr_t last = (uintptr_t(data) + bytes + kPage - 1) & ~(kPage - 1);
    if (bytes >= 16 * kPage)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(bytes);
#endif
}

} // namespace netsim
