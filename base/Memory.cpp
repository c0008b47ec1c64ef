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
    // The allocator takes a threshold of at most 32 MiB; below a megabyte
    // there is nothing worth preparing.
    constexpr std::size_t kMost = std::size_t{32} << 20;
    if (bytes < (std::size_t{1} << 20)) {
        return;
    }
    bytes = bytes > kMost ? kMost : bytes;
    // Blocks up to this size come from the heap, which is then never
    // handed back to the system before the end: the room made below stays.
    // Where the system's memory is fragmented, the first writes to advised
    // room may wait for it to gather a huge page; that is the system's
    // usual trade, and it falls back to small pages when it cannot.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(bytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(bytes * 2));
    const std::size_t roomBytes = bytes - 4096; // under the threshold, so from the heap
    void* room = std::malloc(roomBytes);
    if (room != nullptr) {
        AdviseHugePages(room, roomBytes);
        std::free(room);
    }
#endif
}

} // namespace karvello
