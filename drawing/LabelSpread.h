#pragma once
// Places labels beside a bar so that none overlaps the next: each label as
// near its marker as the others allow, by the least sum of squared
// displacements, inside a band of the page.

#include <span>
#include <vector>

namespace karvello {

// One label to place, in page units with y downward.
struct SpreadLabel {
    double Wanted = 0.0; // the y its middle should stand at: its marker's
    double Height = 0.0; // its own height, gaps to the next label included
};

// The tops of the labels, in their order, such that each label starts where
// the one before it ends or below, the first starts at top or below and the
// last ends at bottom or above, with the least sum over the labels of
// (middle - Wanted)^2. Labels must come in the order of their markers down
// the page; the result keeps that order.
//
// The problem is an isotonic regression: with H(i) the heights of the labels
// before label i, the tops minus H(i) must not decrease. Adjacent violators
// are pooled into blocks that stand at the mean of what their labels want,
// exactly and in linear time, and the blocks are then clamped into the band,
// which is the least-squares optimum of the bounded problem as well.
//
// When the labels are together taller than the band, they are stacked from
// top down and the last ones end below bottom; SpreadHeight tells the caller
// beforehand.
std::vector<double> SpreadLabels(std::span<const SpreadLabel> labels, double top, double bottom);

// The height of the labels stacked without gaps.
double SpreadHeight(std::span<const SpreadLabel> labels);

} // namespace karvello
