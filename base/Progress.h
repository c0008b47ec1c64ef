#pragma once
// Long work (a load, a drawing) tells how far it has come through a
// ProgressFn, and the one who started it can stop it from there by throwing
// OperationCancelled. The work is then given up as after any other error:
// whatever it was making is thrown away.

#include <cstdint>
#include <functional>

#include "base/Error.h"

namespace karvello {

// Called with how much of the work is done, out of total (total > 0, done
// never more than total and never going back).
using ProgressFn = std::function<void(std::uint64_t done, std::uint64_t total)>;

class OperationCancelled : public KarvelloError {
  public:
    OperationCancelled() : KarvelloError("Cancelled.") {}
};

// The steps in which ProgressPart reports the whole.
constexpr std::uint64_t kProgressSteps = 1000;

// A progress for one part of a piece of work that has several: the part's
// own done/total become first..last thousandths of the whole, reported to
// whole (which may be empty).
inline ProgressFn ProgressPart(const ProgressFn& whole, std::uint64_t first, std::uint64_t last) {
    if (!whole) {
        return {};
    }
    return [whole, first, last](std::uint64_t done, std::uint64_t total) {
        const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0;
        whole(first + static_cast<std::uint64_t>(share * static_cast<double>(last - first)),
              kProgressSteps);
    };
}

inline void ReportProgress(const ProgressFn& progress, std::uint64_t done, std::uint64_t total) {
    if (progress && total > 0) {
        progress(done < total ? done : total, total);
    }
}

} // namespace karvello
