#include "drawing/LabelSpread.h"

#include <algorithm>
#include <cstddef>

namespace karvello {

double SpreadHeight(std::span<const SpreadLabel> labels) {
    double total = 0.0;
    for (const SpreadLabel& label : labels) {
        total += label.Height;
    }
    return total;
}

std::vector<double> SpreadLabels(std::span<const SpreadLabel> labels, double top, double bottom) {
    const std::size_t n = labels.size();
    std::vector<double> tops(n);
    if (n == 0) {
        return tops;
    }
    // wanted[i]: the top minus the heights above that label i wants, so that
    // the tops of a gapless stack are all equal in these terms.
    std::vector<double> wanted(n);
    double above = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        wanted[i] = labels[i].Wanted - labels[i].Height / 2 - above;
        above += labels[i].Height;
    }

    // Pool adjacent violators: a block stands at the mean of what its labels
    // want; a block whose mean lies above the one before it joins it.
    struct Block {
        double Sum = 0.0;
        std::size_t Count = 0;
        double Mean() const { return Sum / static_cast<double>(Count); }
    };
    std::vector<Block> blocks;
    blocks.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        blocks.push_back({wanted[i], 1});
        while (blocks.size() > 1 && blocks[blocks.size() - 2].Mean() >= blocks.back().Mean()) {
            const Block last = blocks.back();
            blocks.pop_back();
            blocks.back().Sum += last.Sum;
            blocks.back().Count += last.Count;
        }
    }

    // The band bounds every label alike in these terms: [top, bottom - all].
    const double highest = top;
    const double lowest = std::max(bottom - above, top);
    std::size_t i = 0;
    above = 0.0;
    for (const Block& block : blocks) {
        const double at = std::clamp(block.Mean(), highest, lowest);
        for (std::size_t k = 0; k < block.Count; ++k, ++i) {
            tops[i] = at + above;
            above += labels[i].Height;
        }
    }
    return tops;
}

} // namespace karvello
