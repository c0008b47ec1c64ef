#include "base/Memory.h"

#include <cstdint>

#ifdef __linux__
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

} // namespace karvello
