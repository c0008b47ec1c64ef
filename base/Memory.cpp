#include "base/Memory.h"

#include <cstdint>

#include <cstdlib>

#ifdef __linux__
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace karvello {

void AdviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef __linux__
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto first = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t aligned = (first + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (first + bytes) & ~(kHugePage - 1);
    if (data != nullptr && end > aligned) {
        madvise(reinterpret_cast<void*>(aligned), end - aligned, MADV_HUGEPAGE);
    }
#endif
}

void PrepareHeapForLargeWork([[maybe_unused]] std::size_t bytes) {
#if defined(__linux__) && defined(__GLIBC__)
    // Blocks up to this size come from the heap, which is then never
    // handed back to the system before the end: the room made below stays.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(bytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(bytes * 2));
    void* room = std::malloc(bytes - 4096);
    if (room != nullptr) {
        AdviseHugePages(room, bytes - 4096);
        std::free(room);
    }
#endif
}

} // namespace karvello
