// The label spread against an independent optimum: every choice of which
// constraints hold with equality is solved on its own and the best feasible
// placement kept, which for a strictly convex problem is the one optimum.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <vector>

#include "drawing/LabelSpread.h"

namespace karvello::test {
namespace {

constexpr double kTolerance = 1e-7;

double Cost(const std::vector<SpreadLabel>& labels, const std::vector<double>& tops) {
    double sum = 0.0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const double off = tops[i] + labels[i].Height / 2 - labels[i].Wanted;
        sum += off * off;
    }
    return sum;
}

bool Feasible(const std::vector<SpreadLabel>& labels, const std::vector<double>& tops, double top,
              double bottom) {
    if (tops.front() < top - kTolerance ||
        tops.back() + labels.back().Height > bottom + kTolerance) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
        if (tops[i + 1] < tops[i] + labels[i].Height - kTolerance) {
            return false;
        }
    }
    return true;
}

// Tries every set of active constraints: constraint 0 is the band's top,
// constraint i (1..n-1) joins label i-1 to label i, constraint n is the
// band's bottom. Labels joined by active constraints form a stack, which
// stands at the band's edge when it touches an active edge, else at the
// mean of what its labels want.
std::vector<double> BruteForce(const std::vector<SpreadLabel>& labels, double top, double bottom) {
    const std::size_t n = labels.size();
    double best = std::numeric_limits<double>::infinity();
    std::vector<double> bestTops;
    for (unsigned mask = 0; mask < (1u << (n + 1)); ++mask) {
        std::vector<double> tops(n);
        std::size_t first = 0;
        while (first < n) {
            std::size_t last = first;
            while (last + 1 < n && (mask & (1u << (last + 1)))) {
                ++last;
            }
            // Offsets of each label's top from the stack's top.
            std::vector<double> offset(last - first + 1);
            for (std::size_t k = 1; k < offset.size(); ++k) {
                offset[k] = offset[k - 1] + labels[first + k - 1].Height;
            }
            const double stackHeight = offset.back() + labels[last].Height;
            double at = 0.0;
            if (first == 0 && (mask & 1u)) {
                at = top;
            } else if (last == n - 1 && (mask & (1u << n))) {
                at = bottom - stackHeight;
            } else {
                for (std::size_t k = 0; k < offset.size(); ++k) {
                    at += labels[first + k].Wanted - labels[first + k].Height / 2 - offset[k];
                }
                at /= static_cast<double>(offset.size());
            }
            for (std::size_t k = 0; k < offset.size(); ++k) {
                tops[first + k] = at + offset[k];
            }
            first = last + 1;
        }
        if (Feasible(labels, tops, top, bottom) && Cost(labels, tops) < best) {
            best = Cost(labels, tops);
            bestTops = tops;
        }
    }
    return bestTops;
}

TEST(LabelSpreadTest, MatchesTheBruteForceOptimumOnRandomCases) {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::size_t> count(1, 8);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t n = count(random);
        std::vector<SpreadLabel> labels(n);
        // Markers crowd at a few positions, as on a dense map.
        const double spread = 5.0 + 95.0 * unit(random);
        for (auto& label : labels) {
            label.Wanted = std::round(unit(random) * 4) / 4 * spread;
            label.Height = 1.0 + 19.0 * unit(random);
        }
        std::sort(labels.begin(), labels.end(),
                  [](const SpreadLabel& a, const SpreadLabel& b) { return a.Wanted < b.Wanted; });
        const double total = SpreadHeight(labels);
        const double top = -20.0 + 40.0 * unit(random);
        // Sometimes exactly the room the labels need, usually more.
        const double bottom = top + total + (round % 7 == 0 ? 0.0 : 60.0 * unit(random));

        const std::vector<double> tops = SpreadLabels(labels, top, bottom);
        const std::vector<double> expected = BruteForce(labels, top, bottom);
        ASSERT_EQ(tops.size(), n);
        ASSERT_FALSE(expected.empty()) << "round " << round;
        EXPECT_TRUE(Feasible(labels, tops, top, bottom)) << "round " << round;
        EXPECT_NEAR(Cost(labels, tops), Cost(labels, expected), 1e-6) << "round " << round;
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_NEAR(tops[i], expected[i], 1e-6) << "round " << round << " label " << i;
        }
    }
}

TEST(LabelSpreadTest, FreeLabelsStandAtTheirMarkersAndCrowdedOnesShareTheShift) {
    struct Case {
        const char* What;
        std::vector<SpreadLabel> Labels;
        double Top, Bottom;
        std::vector<double> Tops;
    };
    const std::vector<Case> cases = {
        {"apart", {{10, 4}, {20, 4}, {30, 4}}, 0, 100, {8, 18, 28}},
        {"two on one spot move apart evenly", {{50, 4}, {50, 4}}, 0, 100, {46, 50}},
        {"three on one spot: the middle stays", {{50, 2}, {50, 2}, {50, 2}}, 0, 100, {47, 49, 51}},
        {"pushed down by the top", {{0, 4}, {0, 4}}, 0, 100, {0, 4}},
        {"pushed up by the bottom", {{100, 4}, {100, 4}}, 0, 100, {92, 96}},
        {"a crowd pulls in its neighbour", {{10, 4}, {10, 4}, {13, 4}}, 0, 100, {5, 9, 13}},
        {"exactly full", {{0, 5}, {0, 5}, {100, 5}}, 0, 15, {0, 5, 10}},
        {"too tall: stacked from the top", {{50, 10}, {50, 10}}, 0, 15, {0, 10}},
        {"none", {}, 0, 10, {}},
    };
    for (const Case& c : cases) {
        const std::vector<double> tops = SpreadLabels(c.Labels, c.Top, c.Bottom);
        ASSERT_EQ(tops.size(), c.Tops.size()) << c.What;
        for (std::size_t i = 0; i < tops.size(); ++i) {
            EXPECT_NEAR(tops[i], c.Tops[i], 1e-9) << c.What << ", label " << i;
        }
    }
}

TEST(LabelSpreadTest, LongCrowdedColumnsKeepOrderGapsAndBand) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<SpreadLabel> labels(2000);
    double wanted = 0.0;
    for (auto& label : labels) {
        wanted += unit(random) < 0.7 ? 0.0 : 3.0 * unit(random);
        label = {wanted, 1.0 + unit(random)};
    }
    const double total = SpreadHeight(labels);
    const std::vector<double> tops = SpreadLabels(labels, -5.0, -5.0 + total + 10.0);
    EXPECT_TRUE(Feasible(labels, tops, -5.0, -5.0 + total + 10.0));
    // Optimal: moving any maximal stack of touching labels as one, within
    // the band, cannot lower the cost, so its mean displacement is zero
    // unless it touches an edge.
    std::size_t first = 0;
    while (first < labels.size()) {
        std::size_t last = first;
        double displacement = tops[first] + labels[first].Height / 2 - labels[first].Wanted;
        while (last + 1 < labels.size() &&
               tops[last + 1] <= tops[last] + labels[last].Height + 1e-9) {
            ++last;
            displacement += tops[last] + labels[last].Height / 2 - labels[last].Wanted;
        }
        const bool atTop = first == 0 && tops[0] <= -5.0 + 1e-9;
        const bool atBottom =
            last + 1 == labels.size() && tops[last] + labels[last].Height >= total + 5.0 - 1e-9;
        if (!atTop && !atBottom) {
            EXPECT_NEAR(displacement, 0.0, 1e-6) << "stack " << first << "-" << last;
        }
        first = last + 1;
    }
}

} // namespace
} // namespace karvello::test
