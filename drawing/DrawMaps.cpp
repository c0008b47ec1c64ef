#include "drawing/DrawMaps.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/Error.h"
#include "base/Numbers.h"
#include "drawing/FigureLayout.h"
#include "drawing/PagePoints.h"
#include "drawing/SurfaceAdapters.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

constexpr RgbColour kBlack = 0x000000;
constexpr RgbColour kGrey = 0x808080;
constexpr RgbColour kSilver = 0xC0C0C0;
// Lines between the same marker on two maps: lighter than the label lines.
constexpr RgbColour kLinkGrey = 0xA0A0A0;
// QTL drawn without a colour of their own.
constexpr RgbColour kQtlColour = 0x000000;

const FigureAnnotations kNoAnnotations;

// The text whose half height sets the gap below every block of placed names.
constexpr std::string_view kGapText = "ABC";
// Separator between the names of markers at one position.
constexpr std::string_view kSeparator = ", ";

// Refuses maps that would make the layout read outside the marker table or
// compute with values that are not finite, before anything is drawn.
void CheckMaps(const std::vector<LinkageMap>& maps, const MarkerTable& markers) {
    auto fail = [](const LinkageMap& map, const std::string& what) {
        throw KarvelloError("Map " + DecimalText(map.MapNumber) + " cannot be drawn: " + what);
    };
    auto inTable = [&markers](std::int32_t index) {
        return index >= 0 && static_cast<std::size_t>(index) < markers.size();
    };
    for (const auto& map : maps) {
        const auto n = static_cast<std::int64_t>(map.Markers.size());
        for (std::int64_t i = 0; i < n; ++i) {
            const auto& entry = map.Markers[static_cast<std::size_t>(i)];
            if (!inTable(entry.MarkerIndex)) {
                fail(map, "entry " + DecimalText(i + 1) + " refers to marker number " +
                              DecimalText(std::int64_t{entry.MarkerIndex} + 1) +
                              ", which the marker table does not hold");
            }
            if (!std::isfinite(entry.Distance)) {
                fail(map, "entry " + DecimalText(i + 1) + " has a distance that is not a number");
            }
            if (entry.NextSamePos != -1 && (entry.NextSamePos <= i || entry.NextSamePos >= n)) {
                fail(map,
                     "entry " + DecimalText(i + 1) + " links to an entry that does not follow it");
            }
        }
        if (!std::isfinite(MapLength(map))) {
            fail(map, "its length in cM is too large");
        }
        if (!std::isfinite(map.FirstPosition) || std::fabs(map.FirstPosition) > 1e12) {
            fail(map, "its first position is not a number of cM that can be drawn");
        }
        for (const auto& placed : map.Placed) {
            if (placed.Interval >= 0 && placed.Interval <= n && !inTable(placed.MarkerIndex)) {
                fail(map, "a placed marker refers to marker number " +
                              DecimalText(std::int64_t{placed.MarkerIndex} + 1) +
                              ", which the marker table does not hold");
            }
        }
    }
}

// Where a map was drawn, for the annotations that join or mark maps.
struct MapGeometry {
    double Left = 0.0;    // where the map's distance column starts
    double BarLeft = 0.0; // the bar's edges
    double BarRight = 0.0;
    double Right = 0.0; // the end of its labels, placed blocks and QTL
    double Top = 0.0;   // the highest point it drew
    struct Label {
        std::string_view Name;
        double TickY = 0.0;   // the marker's tick on the bar
        double MiddleY = 0.0; // the middle of its label
    };
    std::vector<Label> Labels; // every framework marker that got a label
};

// Draws one drawing: the values that hold for all its maps, and the running x.
class MapLayout {
  public:
    MapLayout(Surface& surface, const PageLengths& settings, const MarkerTable& markers,
              double scale, const FigureAnnotations& annotations = kNoAnnotations,
              double startX = 0.0, double axisTop = 0.0)
        : page_(surface), surface_(surface), s_(settings), markers_(markers), scale_(scale),
          a_(annotations), axisTop_(axisTop), currentX_(settings.LeftMargin + startX) {}

    // Draws the map; qtls are the QTL of this map.
    MapGeometry Draw(const LinkageMap& map, const std::vector<const QtlInterval*>& qtls = {}) {
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
        if (!qtls.empty()) {
            DrawQtls(map, qtls);
        }
        geometry_.Right = mapRight_;
        currentX_ = mapRight_ + s_.MapSpacing;
        return std::move(geometry_);
    }

    // The y of a position of the map, in cM as the map file or the QTL table
    // gives it.
    double PositionY(const LinkageMap& map, double position) const {
        double offset = position - map.FirstPosition;
        if (map.Flipped) {
            offset = MapLength(map) - offset;
        }
        return MarkerY(offset);
    }

    // The y of a running position in cM down the map being drawn from its
    // first marker.
    double MarkerY(double cumulativeCM) const {
        return static_cast<double>(std::int64_t{s_.TopMargin} + s_.TailLength) +
               (startCM_ + cumulativeCM) * scale_;
    }

    // The y of a position in cM down the figure's axis from its top.
    double AxisY(double cm) const {
        return static_cast<double>(std::int64_t{s_.TopMargin} + s_.TailLength) + cm * scale_;
    }

  private:
    // An interval that gets a distance label: its start, down the map in cM,
    // and its length.
    struct Interval {
        double StartCM = 0.0;
        double Distance = 0.0;
    };

    bool Shown(std::string_view name) const {
        return !a_.ShowOnly || a_.ShowOnly->contains(std::string(name));
    }

    // The intervals labelled with their distance: every framework interval,
    // or with only some markers labelled, those between labelled positions.
    std::vector<Interval> LabelledIntervals(const LinkageMap& map) const {
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

    // The top of a distance label whose middle lies at the middle of the
    // interval that starts at cumulativeCM.
    double DistanceLabelTop(double cumulativeCM, double distance, int height) const {
        return (startCM_ + cumulativeCM + distance / 2) * scale_ - height / 2.0 + s_.TopMargin +
               s_.TailLength;
    }

    const Marker& MarkerAt(std::int32_t index) const {
        return markers_[static_cast<std::size_t>(index)];
    }

    // How wide the column left of the bar must be for the distance labels.
    // It predicts the stacking of DrawBarAndDistances, but starts one tail
    // lower and also counts the "0.0" labels that are never drawn: both can
    // only stack more labels, so the column is never narrower than the
    // labels drawn at their own places need.
    double MeasureLabelColumn(const std::vector<Interval>& intervals) {
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

    void DrawBarAndDistances(const LinkageMap& map, double columnWidth,
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
        frameworkTextX_ = currentX_ + s_.PreBendLength + s_.FrameworkLineLength + s_.PreBendLength +
                          s_.TextPadding;
    }

    void DrawDistanceLabels(const std::vector<Interval>& intervals, double barLeft) {
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
                page_.LineTo(barLeft - s_.PreBendLength - s_.SpacingLineLength - s_.PreBendLength,
                             toY);
                nextFreeY = nextFreeY + h;
            }
        }
    }

    void DrawFrameworkLabels(const LinkageMap& map) {
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

    // Draws the label of the markers of one position, the entries in group,
    // with its line from the tick at markerY; moves nextFreeY below it.
    void DrawLabel(const std::vector<MapEntry>& entries, const std::vector<std::size_t>& group,
                   double markerY, double lineEndX, double& nextFreeY) {
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
        const bool collapsed =
            a_.Collapse > 0 && group.size() > static_cast<std::size_t>(a_.Collapse);
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

    // The placed entries of each interval 0..n, in the order of the list;
    // entries naming no interval are left out.
    static std::vector<std::vector<std::size_t>> PlacedByInterval(const LinkageMap& map) {
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

    void DrawPlacedMarkers(const LinkageMap& map) {
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

            const double blockHeight =
                static_cast<double>(h) * static_cast<double>(gathered.size());
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

    // Draws the QTL of the map right of everything else it drew, each as a
    // box over its inner interval (or its whole interval when it has none)
    // with whiskers out to its interval's ends, its name beside the box.
    // QTL whose boxes or names would overlap stand side by side.
    void DrawQtls(const LinkageMap& map, const std::vector<const QtlInterval*>& qtls) {
        const double width = std::max(s_.BarWidth / 2.0, 1.0);
        struct Placed {
            const QtlInterval* Qtl;
            double Top, Bottom, BoxTop, BoxBottom, TextTop;
            int TextWidth, TextHeight;
            std::size_t Column;
        };
        std::vector<Placed> placed;
        placed.reserve(qtls.size());
        for (const QtlInterval* qtl : qtls) {
            const double y1 = PositionY(map, qtl->Start);
            const double y2 = PositionY(map, qtl->End);
            double boxTop = std::min(y1, y2);
            double boxBottom = std::max(y1, y2);
            if (qtl->InnerStart) {
                const double i1 = PositionY(map, *qtl->InnerStart);
                const double i2 = PositionY(map, *qtl->InnerEnd);
                boxTop = std::min(i1, i2);
                boxBottom = std::max(i1, i2);
            }
            const int w = surface_.TextWidth(qtl->Name);
            const int h = surface_.TextHeight(qtl->Name);
            const double textTop = (boxTop + boxBottom) / 2 - h / 2.0;
            placed.push_back({qtl, std::min({y1, y2, textTop}), std::max({y1, y2, textTop + h}),
                              boxTop, boxBottom, textTop, w, h, 0});
        }
        std::stable_sort(placed.begin(), placed.end(),
                         [](const Placed& a, const Placed& b) { return a.Top < b.Top; });
        // Each QTL takes the first column whose last QTL ends above it.
        std::vector<double> columnBottom;
        std::vector<int> columnText;
        for (Placed& q : placed) {
            std::size_t c = 0;
            while (c < columnBottom.size() && columnBottom[c] > q.Top) {
                ++c;
            }
            if (c == columnBottom.size()) {
                columnBottom.push_back(q.Bottom);
                columnText.push_back(q.TextWidth);
            } else {
                columnBottom[c] = q.Bottom;
                columnText[c] = std::max(columnText[c], q.TextWidth);
            }
            q.Column = c;
        }
        std::vector<double> columnX(columnBottom.size());
        double x = mapRight_ + s_.TextPadding;
        for (std::size_t c = 0; c < columnX.size(); ++c) {
            columnX[c] = x;
            x += width + s_.TextPadding + columnText[c] + 2.0 * s_.TextPadding;
        }
        surface_.SetItalic(false);
        for (const Placed& q : placed) {
            const RgbColour colour = q.Qtl->Colour.value_or(kQtlColour);
            const double left = columnX[q.Column];
            const double middle = left + width / 2;
            surface_.SetPenColour(colour);
            if (q.Qtl->InnerStart) {
                const double top =
                    std::min(PositionY(map, q.Qtl->Start), PositionY(map, q.Qtl->End));
                const double bottom =
                    std::max(PositionY(map, q.Qtl->Start), PositionY(map, q.Qtl->End));
                page_.MoveTo(middle, top);
                page_.LineTo(middle, bottom);
                page_.MoveTo(left, top);
                page_.LineTo(left + width, top);
                page_.MoveTo(left, bottom);
                page_.LineTo(left + width, bottom);
            }
            surface_.Rectangle(page_.X(left), page_.Y(q.BoxTop), page_.X(left + width),
                               page_.Y(q.BoxBottom));
            surface_.SetFontColour(colour);
            const double textX = left + width + s_.TextPadding;
            page_.TextOut(textX, q.TextTop, q.Qtl->Name);
            mapRight_ = std::max(mapRight_, textX + q.TextWidth);
            geometry_.Top = std::min(geometry_.Top, q.Top);
        }
    }

    // Draws one block of placed names with its silver line from the middle
    // between two framework labels and its black bracket. Returns the y at
    // which the next block may start.
    double DrawBlock(const LinkageMap& map, const std::vector<std::size_t>& gathered, double mid,
                     double blockHeight, double blockY) {
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

    PagePoints page_;
    Surface& surface_;
    const PageLengths& s_;
    const MarkerTable& markers_;
    const double scale_;
    const FigureAnnotations& a_;
    const double axisTop_;
    double startCM_ = 0.0; // where the map being drawn starts on the axis
    double currentX_;
    MapGeometry geometry_;
    // Per map, handed from one step to the next.
    double barBottom_ = 0.0;
    double frameworkTextX_ = 0.0;
    double mapRight_ = 0.0;
};

// A length in 1/100 mm as millimetres for a message: "175 mm", "190.25 mm".
std::string MillimetreText(std::int64_t hundredths) {
    std::string text = DecimalText(hundredths / 100);
    const std::int64_t rest = hundredths % 100 < 0 ? -(hundredths % 100) : hundredths % 100;
    if (rest != 0) {
        text += '.';
        text += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0) {
            text += static_cast<char>('0' + rest % 10);
        }
    }
    return text + " mm";
}

// What the annotations of every row share: the figure's annotations, each
// map's QTL, and the ruler's marks.
struct Decorations {
    const FigureAnnotations& A;
    std::vector<std::vector<const QtlInterval*>> Qtls; // by map
    // The ruler: its marks (position down the axis in cM, label), the widest
    // label, the text height, and the room it takes left of the first map.
    std::vector<std::pair<double, std::string>> RulerMarks;
    int RulerLabelWidth = 0;
    int TextHeight = 0;
    double RulerRoom = 0.0;
    double AxisLength = 0.0; // cM
    double AxisTop = 0.0;    // the lowest first position of the maps drawn

    Decorations(const FigureAnnotations& annotations, std::size_t mapCount) : A(annotations) {
        Qtls.resize(mapCount);
        for (const PlacedQtl& placed : A.Qtls) {
            if (placed.MapIndex < mapCount) {
                Qtls[placed.MapIndex].push_back(&placed.Qtl);
            }
        }
    }

    // Whether the map gets a title, and which.
    std::optional<std::string> Title(const LinkageMap& map) const {
        const auto given = A.TitleTexts.find(map.MapNumber);
        if (given != A.TitleTexts.end()) {
            return given->second;
        }
        if (!A.Titles) {
            return std::nullopt;
        }
        return map.GroupName.empty() ? "Map " + DecimalText(map.MapNumber) : map.GroupName;
    }

    // The room that titles take above a row of these maps.
    double TitleBand(const std::vector<LinkageMap>& maps, const PageLengths& s) const {
        for (const LinkageMap& map : maps) {
            if (Title(map)) {
                return TextHeight + 2.0 * s.TextPadding;
            }
        }
        return 0.0;
    }
};

// The ruler's step: the first of 0.1, 0.2, 0.5, 1, 2, 5, 10 ... cM that
// leaves its labels at least their own height apart.
double RulerStep(double scale, int textHeight) {
    double decade = 0.1;
    for (int i = 0; i < 40; ++i, decade *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            if (decade * factor * scale >= 2.0 * textHeight) {
                return decade * factor;
            }
        }
    }
    return 0.0;
}

void PrepareRuler(Decorations& d, Surface& surface, const PageLengths& s, double scale,
                  double axisLength) {
    surface.SetItalic(false);
    d.TextHeight = surface.TextHeight("0123456789");
    d.AxisLength = axisLength;
    const double step = RulerStep(scale, d.TextHeight);
    // Marks at the round positions from the axis's top (maybe below 0) down.
    const double first = step > 0 ? std::ceil(d.AxisTop / step - 1e-9) : 0.0;
    const auto count =
        step > 0
            ? static_cast<std::int64_t>(std::floor((d.AxisTop + axisLength) / step + 1e-9) - first)
            : 0;
    for (std::int64_t k = 0; k <= count && k <= 100000; ++k) {
        const double value = (first + static_cast<double>(k)) * step;
        std::string label = step >= 1 ? DecimalText(static_cast<std::int64_t>(std::llround(value)))
                                      : DistanceText(value + (value < 0 ? -1e-9 : 1e-9));
        d.RulerLabelWidth = std::max(d.RulerLabelWidth, surface.TextWidth(label));
        d.RulerMarks.emplace_back(value - d.AxisTop, std::move(label));
    }
    d.RulerLabelWidth = std::max(d.RulerLabelWidth, surface.TextWidth("cM"));
    d.RulerRoom = d.RulerLabelWidth + 2.0 * s.TextPadding + s.PreBendLength + s.MapSpacing / 2.0;
}

void DrawRuler(const Decorations& d, PagePoints& page, Surface& surface, const MapLayout& layout,
               const PageLengths& s) {
    const double labelRight = static_cast<double>(s.LeftMargin) + d.RulerLabelWidth;
    const double axisX = labelRight + s.TextPadding + s.PreBendLength;
    const double top = layout.AxisY(0.0);
    surface.SetPenColour(kBlack);
    page.MoveTo(axisX, top);
    page.LineTo(axisX, layout.AxisY(d.AxisLength));
    surface.SetFontColour(kBlack);
    surface.SetItalic(false);
    for (const auto& [value, label] : d.RulerMarks) {
        const double y = layout.AxisY(value);
        page.MoveTo(axisX - s.PreBendLength, y);
        page.LineTo(axisX, y);
        page.TextOut(labelRight - surface.TextWidth(label), y - d.TextHeight / 2.0, label);
    }
    page.TextOut(axisX - surface.TextWidth("cM") / 2.0,
                 top - d.TextHeight - static_cast<double>(s.TextPadding), "cM");
}

// Lines between the places of each marker that two neighbouring maps share,
// from the end of the left map's labels, at its label's height, to the start
// of the right map, at its tick's height: through the room between the maps,
// where there is no text.
void DrawLinks(const std::vector<MapGeometry>& row, PagePoints& page, Surface& surface,
               const PageLengths& s) {
    surface.SetPenColour(kLinkGrey);
    for (std::size_t m = 0; m + 1 < row.size(); ++m) {
        const MapGeometry& left = row[m];
        const MapGeometry& right = row[m + 1];
        std::unordered_map<std::string_view, const MapGeometry::Label*> onRight;
        onRight.reserve(right.Labels.size());
        for (const auto& label : right.Labels) {
            onRight.try_emplace(label.Name, &label);
        }
        const double fromX = left.Right + s.TextPadding / 2.0;
        const double toX = right.Left - s.TextPadding / 2.0;
        // One line a name, from its first place on the left map, even where
        // a map lists a name twice.
        std::unordered_set<std::string_view> linked;
        for (const auto& label : left.Labels) {
            const auto found = onRight.find(label.Name);
            if (found == onRight.end() || label.Name.empty() || !linked.insert(label.Name).second) {
                continue;
            }
            page.MoveTo(fromX, label.MiddleY);
            page.LineTo(toX, found->second->TickY);
        }
    }
}

void DrawTitles(const std::vector<LinkageMap>& maps, const std::vector<std::size_t>& which,
                const std::vector<MapGeometry>& row, const Decorations& d, PagePoints& page,
                Surface& surface, const PageLengths& s) {
    double top = std::numeric_limits<double>::max();
    for (const MapGeometry& g : row) {
        top = std::min(top, g.Top);
    }
    surface.SetFontColour(kBlack);
    surface.SetItalic(false);
    for (std::size_t k = 0; k < which.size(); ++k) {
        const std::optional<std::string> title = d.Title(maps[which[k]]);
        if (!title) {
            continue;
        }
        const double middle = (row[k].BarLeft + row[k].BarRight) / 2;
        page.TextOut(middle - surface.TextWidth(*title) / 2.0, top - s.TextPadding - d.TextHeight,
                     *title);
    }
}

// Draws the maps of one row, each between BeginMap and EndMap on grouping,
// and then what joins or heads them.
void DrawRow(const std::vector<LinkageMap>& maps, const std::vector<std::size_t>& which,
             Surface& target, Surface& grouping, MapLayout& layout, const Decorations& d,
             const PageLengths& s) {
    std::vector<MapGeometry> row;
    row.reserve(which.size());
    for (std::size_t i : which) {
        grouping.BeginMap(maps[i].MapNumber);
        row.push_back(layout.Draw(maps[i], d.Qtls[i]));
        grouping.EndMap();
    }
    PagePoints page(target);
    if (d.A.Links) {
        DrawLinks(row, page, target, s);
    }
    if (d.A.Ruler) {
        DrawRuler(d, page, target, layout, s);
    }
    if (d.TitleBand(maps, s) > 0) {
        DrawTitles(maps, which, row, d, page, target, s);
    }
}

// Sets the maps in rows. Each row is laid out exactly as a drawing of its
// maps alone would be, so the first row of a figure that needs only one is
// today's drawing; the rows below are the same drawing moved down.
DrawReport DrawInRows(const std::vector<LinkageMap>& maps, Surface& surface,
                      const PageLengths& settings, const MarkerTable& markers,
                      const FigureSettings& figure, double scale, const Decorations& d) {
    const double startX = d.A.Ruler ? d.RulerRoom : 0.0;
    const auto titleBand = static_cast<std::int64_t>(std::ceil(d.TitleBand(maps, settings)));
    const std::int64_t edgeRoom = figure.Margin >= 0 ? figure.Margin : kRowEdgeRoom;
    const std::int64_t usableWidth = std::int64_t{figure.RowWidth} - 2 * edgeRoom;
    auto fits = [&](const ExtentBox& extent) {
        return figure.RowWidth <= 0 || extent.Width() <= usableWidth;
    };

    struct Row {
        std::vector<std::size_t> Maps;
        ExtentBox Extent;
    };
    std::vector<Row> rows;
    DrawReport report;

    // Each map is measured where it would stand: after the maps already in
    // the row, or first in a new one. A layout holds the running x, so the
    // row's layout is copied for a trial and kept when the map fits.
    ExtentSurface measure(surface, figure.LineWidth >= 0 ? figure.LineWidth : kWidestDefaultLine);
    std::optional<MapLayout> rowLayout;
    bool rowClosed = true;
    for (std::size_t i = 0; i < maps.size(); ++i) {
        const bool full = figure.MapsPerRow > 0 && !rows.empty() &&
                          rows.back().Maps.size() >= static_cast<std::size_t>(figure.MapsPerRow);
        if (!rowClosed && !full) {
            MapLayout trial = *rowLayout;
            measure.Reset();
            trial.Draw(maps[i], d.Qtls[i]);
            ExtentBox extent = rows.back().Extent;
            extent.Include(measure.Extent());
            if (fits(extent)) {
                rowLayout.emplace(trial);
                rows.back().Maps.push_back(i);
                rows.back().Extent = extent;
                continue;
            }
        }
        rowLayout.emplace(measure, settings, markers, scale, d.A, startX, d.AxisTop);
        measure.Reset();
        rowLayout->Draw(maps[i], d.Qtls[i]);
        if (d.A.Ruler) {
            // The row's ruler stands in its width and height too.
            PagePoints page(measure);
            DrawRuler(d, page, measure, *rowLayout, settings);
        }
        rows.push_back({{i}, measure.Extent()});
        rowClosed = !fits(measure.Extent());
        if (rowClosed) {
            report.Warnings.push_back("Map " + DecimalText(maps[i].MapNumber) + " is " +
                                      MillimetreText(measure.Extent().Width() + 2 * edgeRoom) +
                                      " wide with its edge room, wider than the row width of " +
                                      MillimetreText(figure.RowWidth) +
                                      "; it stands alone in its row.");
        }
    }

    // A width under a centimetre was most likely meant in millimetres.
    if (!report.Warnings.empty() && figure.RowWidth > 0 && figure.RowWidth < 1000) {
        report.Warnings.push_back("The row width is " + MillimetreText(figure.RowWidth) +
                                  ": a length without a unit is in 1/100 mm, so write " +
                                  DecimalText(figure.RowWidth) + "mm for " +
                                  DecimalText(figure.RowWidth) + " millimetres.");
    }

    // Each row starts MapSpacing below the lowest point of the row above.
    const std::int64_t gap = std::max<std::int64_t>(settings.MapSpacing, 0);
    std::int64_t shift = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) {
            // A row's titles stand above everything else it draws.
            shift = rows[r - 1].Extent.Bottom + shift - gap - rows[r].Extent.Top - titleBand;
        }
        ShiftedSurface shifted(surface, ClampToInt32(shift));
        MapLayout layout(shifted, settings, markers, scale, d.A, startX, d.AxisTop);
        DrawRow(maps, rows[r].Maps, shifted, surface, layout, d, settings);
    }
    return report;
}

} // namespace

std::string DistanceText(double distance) {
    if (!std::isfinite(distance)) {
        return std::isnan(distance) ? "nan" : (distance < 0 ? "-inf" : "inf");
    }
    if (distance < 0) {
        return "-" + DistanceText(-distance);
    }
    // The tenths come from 10 x d rounded to a double, so that a distance
    // read as 0.3 (stored just below it) keeps its digit 3. The whole part is
    // floor(d) itself: from about 2^50 on, where a double has no room left
    // for tenths, the rounded product can fall below 10 x floor(d), which
    // would take one off the whole part of a whole number; its digit is then
    // 0, as the number has no tenths. Below 1e17 both fit a 64-bit integer.
    if (distance < 1e17) {
        const auto whole = static_cast<std::int64_t>(std::floor(distance));
        const auto tenths = static_cast<std::int64_t>(std::floor(distance * 10.0)) - 10 * whole;
        return DecimalText(whole) + "." + DecimalText(std::clamp<std::int64_t>(tenths, 0, 9));
    }
    // So large that every such double is a whole number: the tenths are 0.
    char buffer[400];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, std::floor(distance),
                             std::chars_format::fixed, 0)
                   .ptr;
    return std::string(buffer, end) + ".0";
}

DrawReport DrawMaps(const std::vector<LinkageMap>& maps, Surface& surface,
                    const PageLengths& settings, const MarkerTable& markers,
                    const FigureSettings& figure, const FigureAnnotations& annotations) {
    CheckMaps(maps, markers);
    if (!figure.Layout.empty() && figure.Layout != "figure" && figure.Layout != "classic") {
        throw KarvelloError("The layout \"" + figure.Layout + "\" is neither figure nor classic.");
    }
    if (UsesFigureLayout(figure)) {
        return DrawFigure(maps, surface, settings, markers, figure, annotations);
    }
    surface.SetMapMode(MappingMode::HiMetric);
    if (maps.empty()) {
        return {};
    }

    // One position axis for every map: from the lowest first position to
    // the furthest end. Mapmaker maps all start at 0, so the axis is then the
    // longest map.
    double axisTop = maps.front().FirstPosition;
    for (const auto& map : maps) {
        axisTop = std::min(axisTop, map.FirstPosition);
    }
    double maxMapLength = 0.0;
    for (const auto& map : maps) {
        const double length = map.FirstPosition - axisTop + MapLength(map);
        if (length > maxMapLength) {
            maxMapLength = length;
        }
    }
    const std::int64_t usableHeight = BarRoom(settings);
    // Without a map longer than 0 cM every marker stands at the top of its
    // bar's lower tail, which is the true picture of such maps.
    double scale = maxMapLength > 0 ? static_cast<double>(usableHeight) / maxMapLength : 0.0;
    if (!std::isfinite(scale)) {
        scale = 0.0;
    }

    Decorations d(annotations, maps.size());
    d.AxisTop = axisTop;
    if (annotations.Ruler || d.TitleBand(maps, settings) > 0 || !annotations.TitleTexts.empty()) {
        PrepareRuler(d, surface, settings, scale, maxMapLength);
    }
    if (figure.RowWidth > 0 || figure.MapsPerRow > 0) {
        return DrawInRows(maps, surface, settings, markers, figure, scale, d);
    }
    MapLayout layout(surface, settings, markers, scale, annotations,
                     annotations.Ruler ? d.RulerRoom : 0.0, axisTop);
    std::vector<std::size_t> all(maps.size());
    for (std::size_t i = 0; i < maps.size(); ++i) {
        all[i] = i;
    }
    DrawRow(maps, all, surface, surface, layout, d, settings);
    return {};
}

std::int64_t BarRoom(const PageLengths& settings) {
    return std::int64_t{settings.PageHeight} - settings.TopMargin - settings.BottomMargin -
           2 * std::int64_t{settings.TailLength};
}

} // namespace karvello
