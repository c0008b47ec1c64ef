#include "drawing/MapLayout.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "base/Numbers.h"
#include "drawing/Decorations.h"
#include "drawing/DrawMaps.h"
#include "drawing/DrawingColours.h"

namespace karvello {

namespace {

// The text whose half height sets the gap below every block of placed names.
constexpr std::string_view kGapText = "ABC";
// Separator between the names of markers at one position.
constexpr std::string_view kSeparator = ", ";

// The placed entries of each interval 0..n, in the order of the list;
// entries naming no interval are left out.
std::vector<std::vector<std::size_t>> PlacedByInterval(const LinkageMap& map) {
    const std::size_t n = map.Markers.size();
    std::vector<std::vector<std::size_t>> byInterval(n + 1);
    for (std::size_t k = 0; k < map.Placed.size(); ++k) {
        const std::int32_t interval = map.Placed[k].Interval;
        if (interval >= 0 && static_cast<std::size_t>(interval) <= n) {
            byInterval[static_cast<std::size_t>(interval)].push_back(k);
        }
    }
    return byInterval;
}

} // namespace

MapGeometry MapLayout::Draw(const LinkageMap& map, const std::vector<const QtlInterval*>& qtls) {
    geometry_ = MapGeometry();
    geometry_.Left = currentX_;
    // Maps share one position axis: a map read from a table starts where
    // its first position lies on it. Mapmaker maps all start at 0.
    startCM_ = map.FirstPosition - axisTop_;
    geometry_.Top = s_.TopMargin;
    const std::vector<Interval> intervals = LabelledIntervals(map);
    const double columnWidth = MeasureLabelColumn(intervals);
    DrawBarAndDistances(map, columnWidth, intervals);
    DrawFrameworkLabels(map);
    DrawPlacedMarkers(map);
    geometry_.Right = mapRight_;
    if (!qtls.empty()) {
        DrawQtls(*this, map, qtls, surface_, s_, geometry_);
    }
    currentX_ = geometry_.Right + s_.MapSpacing;
    return std::move(geometry_);
}

std::vector<MapLayout::Interval> MapLayout::LabelledIntervals(const LinkageMap& map) const {
    std::vector<Interval> intervals;
    const std::size_t last = map.Markers.empty() ? 0 : map.Markers.size() - 1;
    double cumulativeCM = 0.0;
    if (!a_.ShowOnly) {
        intervals.reserve(last);
        for (std::size_t i = 0; i < last; ++i) {
            intervals.push_back({cumulativeCM, map.Markers[i].Distance});
            cumulativeCM += map.Markers[i].Distance;
        }
        return intervals;
    }
    std::optional<double> previous;
    for (std::size_t i = 0; i < map.Markers.size(); ++i) {
        if (Shown(MarkerAt(map.Markers[i].MarkerIndex).Name) &&
            (!previous || cumulativeCM > *previous)) {
            if (previous) {
                intervals.push_back({*previous, cumulativeCM - *previous});
            }
            previous = cumulativeCM;
        }
        cumulativeCM += map.Markers[i].Distance;
    }
    return intervals;
}

double MapLayout::MeasureLabelColumn(const std::vector<Interval>& intervals) {
    double nextFreeY = MarkerY(0.0);
    std::int64_t columnWidth = 0;
    for (const Interval& interval : intervals) {
        const double distance = interval.Distance;
        const std::string label = DistanceText(distance);
        const int w = surface_.TextWidth(label);
        const int h = surface_.TextHeight(label);
        const double top = DistanceLabelTop(interval.StartCM, distance, h);
        std::int64_t need = std::int64_t{w} + s_.TextPadding;
        if (top > nextFreeY) {
            nextFreeY = top + h;
        } else {
            need += std::int64_t{s_.PreBendLength} + s_.SpacingLineLength + s_.PreBendLength;
            nextFreeY += h;
        }
        columnWidth = std::max(columnWidth, need);
    }
    return static_cast<double>(columnWidth);
}

void MapLayout::DrawBarAndDistances(const LinkageMap& map, double columnWidth,
                                    const std::vector<Interval>& intervals) {
    const double barLeft = currentX_ + columnWidth;
    const std::size_t count = map.Markers.size();

    double spanCM = 0.0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        spanCM += map.Markers[i].Distance;
    }
    barBottom_ = (startCM_ + spanCM) * scale_ + s_.TopMargin + 2 * std::int64_t{s_.TailLength};

    surface_.SetPenColour(kBlack);
    surface_.Rectangle(page_.X(barLeft), page_.Y(s_.TopMargin + startCM_ * scale_),
                       page_.X(barLeft + s_.BarWidth), page_.Y(barBottom_));

    // One tick per position: a marker at the position of the one before
    // it shares that marker's tick.
    double cumulativeCM = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i == 0 || map.Markers[i - 1].Distance > 0) {
            const double y = MarkerY(cumulativeCM);
            page_.MoveTo(barLeft, y);
            page_.LineTo(barLeft + s_.BarWidth, y);
        }
        cumulativeCM += map.Markers[i].Distance;
    }

    DrawDistanceLabels(intervals, barLeft);
    geometry_.BarLeft = barLeft;
    geometry_.BarRight = barLeft + s_.BarWidth;

    currentX_ = currentX_ + columnWidth + s_.BarWidth;
    frameworkTextX_ =
        currentX_ + s_.PreBendLength + s_.FrameworkLineLength + s_.PreBendLength + s_.TextPadding;
}

void MapLayout::DrawDistanceLabels(const std::vector<Interval>& intervals, double barLeft) {
    double nextFreeY = s_.TopMargin;
    surface_.SetPenColour(kGrey);
    surface_.SetItalic(false);
    surface_.SetFontColour(kBlack);
    for (const Interval& interval : intervals) {
        const double distance = interval.Distance;
        if (distance == 0) {
            continue; // markers at one position have no interval to label
        }
        const std::string label = DistanceText(distance);
        const int w = surface_.TextWidth(label);
        const int h = surface_.TextHeight(label);
        const double top = DistanceLabelTop(interval.StartCM, distance, h);
        if (top > nextFreeY) {
            page_.TextOut(barLeft - static_cast<double>(std::int64_t{w} + s_.TextPadding), top,
                          label);
            nextFreeY = top + h;
        } else {
            // Stacked below the label above, with a line from the
            // interval's middle to the label's middle.
            const double textX = barLeft - s_.TextPadding - s_.PreBendLength -
                                 s_.SpacingLineLength - s_.PreBendLength - s_.TextPadding - w;
            page_.TextOut(textX, nextFreeY, label);
            const double fromY = top + h / 2.0;
            const double toY = nextFreeY + h / 2.0;
            page_.MoveTo(barLeft, fromY);
            page_.LineTo(barLeft - s_.PreBendLength, fromY);
            page_.LineTo(barLeft - s_.PreBendLength - s_.SpacingLineLength, toY);
            page_.LineTo(barLeft - s_.PreBendLength - s_.SpacingLineLength - s_.PreBendLength, toY);
            nextFreeY = nextFreeY + h;
        }
    }
}

void MapLayout::DrawFrameworkLabels(const LinkageMap& map) {
    const auto& entries = map.Markers;
    double nextFreeY = s_.TopMargin;
    double cumulativeCM = 0.0;
    // Starting at the bar's right edge rather than at 0 keeps a map
    // without framework entries from pulling the next map back to the
    // page's left edge; with entries, every label ends further right.
    mapRight_ = currentX_;
    surface_.SetPenColour(kGrey);
    const double lineEndX = currentX_ + s_.PreBendLength + s_.FrameworkLineLength;
    std::vector<std::size_t> group;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].SamePosAsPrev) {
            // The markers at this position that get a label.
            group.clear();
            for (std::size_t j = i;; j = static_cast<std::size_t>(entries[j].NextSamePos)) {
                if (Shown(MarkerAt(entries[j].MarkerIndex).Name)) {
                    group.push_back(j);
                }
                if (entries[j].NextSamePos == -1) {
                    break;
                }
            }
            if (!group.empty()) {
                DrawLabel(entries, group, MarkerY(cumulativeCM), lineEndX, nextFreeY);
            }
        }
        cumulativeCM += entries[i].Distance;
    }
    currentX_ = mapRight_ + s_.TextPadding;
}

void MapLayout::DrawLabel(const std::vector<MapEntry>& entries,
                          const std::vector<std::size_t>& group, double markerY, double lineEndX,
                          double& nextFreeY) {
    const std::string& name = MarkerAt(entries[group.front()].MarkerIndex).Name;
    const int h = surface_.TextHeight(name);
    const double labelTop = std::max(markerY - h / 2.0, nextFreeY);
    const double labelMiddle = labelTop + h / 2.0;

    page_.MoveTo(currentX_, markerY);
    page_.LineTo(currentX_ + s_.PreBendLength, markerY);
    page_.LineTo(lineEndX, labelMiddle);
    page_.LineTo(lineEndX + s_.PreBendLength, labelMiddle);

    // Past the collapse limit only the first name is written, and how
    // many more stand there.
    const bool collapsed = a_.Collapse > 0 && group.size() > static_cast<std::size_t>(a_.Collapse);
    const std::size_t written = collapsed ? 1 : group.size();
    double textX = frameworkTextX_;
    std::string_view lastText;
    for (std::size_t k = 0; k < written; ++k) {
        const Marker& marker = MarkerAt(entries[group[k]].MarkerIndex);
        if (k > 0) {
            surface_.SetItalic(false);
            surface_.SetFontColour(kBlack);
            page_.TextOut(textX, labelTop, kSeparator);
            textX += surface_.TextWidth(kSeparator);
        }
        surface_.SetFontColour(marker.Colour);
        surface_.SetItalic(marker.Dominant);
        page_.TextOut(textX, labelTop, marker.Name);
        textX += surface_.TextWidth(marker.Name);
        lastText = marker.Name;
    }
    std::string more;
    if (collapsed) {
        more = " (+" + DecimalText(static_cast<std::int64_t>(group.size() - 1)) + ")";
        surface_.SetItalic(false);
        surface_.SetFontColour(kBlack);
        page_.TextOut(textX, labelTop, more);
        textX += surface_.TextWidth(more);
        lastText = more;
    }
    mapRight_ = std::max(mapRight_, textX);
    nextFreeY = labelTop + surface_.TextHeight(lastText);
    for (std::size_t k = 0; k < group.size(); ++k) {
        geometry_.Labels.push_back(
            {MarkerAt(entries[group[k]].MarkerIndex).Name, markerY, labelMiddle});
    }
}

void MapLayout::DrawPlacedMarkers(const LinkageMap& map) {
    const auto& entries = map.Markers;
    const std::size_t n = entries.size();
    const auto byInterval = PlacedByInterval(map);

    double nextCentreY = s_.TopMargin;
    double prevCentreY = s_.TopMargin;
    double blockY = 0.0; // the page's top edge: a first block may rise above the margin
    double cumulativeCM = 0.0;
    surface_.SetPenColour(kSilver);

    // A map without framework entries has no name to size its closing
    // slot by; the reference text of the block gap stands in for it.
    std::string_view name = kGapText;
    std::vector<std::size_t> gathered;
    for (std::size_t i = 0; i <= n; ++i) {
        if (i < n && entries[i].SamePosAsPrev) {
            cumulativeCM += entries[i].Distance;
            continue;
        }
        double slotY = barBottom_;
        gathered.clear();
        if (i < n) {
            const Marker& marker = MarkerAt(entries[i].MarkerIndex);
            name = marker.Name;
            surface_.SetItalic(marker.Dominant);
            slotY = MarkerY(cumulativeCM);
            // The group's own interval, then those between its members.
            for (std::size_t j = i;; j = static_cast<std::size_t>(entries[j].NextSamePos)) {
                gathered.insert(gathered.end(), byInterval[j].begin(), byInterval[j].end());
                if (entries[j].NextSamePos == -1) {
                    break;
                }
            }
        } else {
            gathered = byInterval[n];
        }
        if (a_.ShowOnly) {
            std::erase_if(gathered, [&](std::size_t k) {
                return !Shown(MarkerAt(map.Placed[k].MarkerIndex).Name);
            });
        }
        const int h = surface_.TextHeight(name);
        const double centreY = slotY > nextCentreY ? slotY : nextCentreY;

        const double blockHeight = static_cast<double>(h) * static_cast<double>(gathered.size());
        if (blockHeight > 0) {
            blockY = DrawBlock(map, gathered, (prevCentreY + centreY) / 2, blockHeight, blockY);
        }
        prevCentreY = centreY;
        nextCentreY = centreY + h;
        if (i < n) {
            cumulativeCM += entries[i].Distance;
        }
    }
}

double MapLayout::DrawBlock(const LinkageMap& map, const std::vector<std::size_t>& gathered,
                            double mid, double blockHeight, double blockY) {
    const double idealTop = mid - blockHeight / 2;
    if (idealTop > blockY) {
        blockY = idealTop;
    }
    const double slantEndX = currentX_ + s_.AncillaryLineLength;
    const double bracketX = slantEndX + s_.PreBendLength;
    const double blockMiddle = blockY + blockHeight / 2;

    surface_.SetPenColour(kSilver);
    page_.MoveTo(frameworkTextX_, mid);
    page_.LineTo(currentX_, mid);
    page_.LineTo(slantEndX, blockMiddle);
    page_.LineTo(bracketX, blockMiddle);

    surface_.SetPenColour(kBlack);
    page_.MoveTo(bracketX, blockY);
    page_.LineTo(bracketX, blockY + blockHeight);

    const double textX = bracketX + s_.TextPadding;
    geometry_.Top = std::min(geometry_.Top, blockY);
    for (std::size_t k : gathered) {
        const Marker& marker = MarkerAt(map.Placed[k].MarkerIndex);
        surface_.SetItalic(marker.Dominant);
        surface_.SetFontColour(marker.Colour);
        page_.TextOut(textX, blockY, marker.Name);
        blockY += surface_.TextHeight(marker.Name);
        mapRight_ = std::max(mapRight_, textX + surface_.TextWidth(marker.Name));
    }
    return blockY + surface_.TextHeight(kGapText) / 2.0;
}

} // namespace karvello
