#include "drawing/FigureLayout.h"

#include <algorithm>
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
#include "drawing/DrawingColours.h"
#include "drawing/LabelSpread.h"
#include "drawing/PagePoints.h"
#include "drawing/SurfaceAdapters.h"

namespace karvello {

namespace {

// The text whose height is the height of every line of text.
constexpr std::string_view kLineText = "ABC";
constexpr std::string_view kSeparator = ", ";
constexpr std::string_view kLineEnd = ",";
// The least gap between two maps that links join, so that links stay
// readable: 5 mm.
constexpr double kLinkGap = 500.0;
// The longest bar is at least this many lines of text long.
constexpr double kLeastBarLines = 10.0;
// The density strip: its width, the room between it and the bar, and the
// least length of a bin on the page (1 mm), and a legend swatch's width,
// all in 1/100 mm.
constexpr double kStripWidth = 150.0;
constexpr double kStripGap = 50.0;
constexpr double kLeastBinLength = 100.0;
constexpr double kSwatchWidth = 300.0;
// The colours of the density classes, lightest first: a sequential blue
// scale (ColorBrewer's "Blues"), as 0x00BBGGRR.
constexpr RgbColour kDensityColours[] = {0xEFDBC6, 0xE1CA9E, 0xD6AE6B, 0xBD8231, 0x9C5108};
constexpr int kDensityClasses = 5;

// The least of 1, 2 and 5 times a power of ten that is at least x (x > 0).
double NiceStep(double x) {
    double decade = std::pow(10.0, std::floor(std::log10(x)));
    for (int guard = 0; guard < 4; ++guard, decade *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            if (decade * factor >= x * (1 - 1e-12)) {
                return decade * factor;
            }
        }
    }
    return x;
}

// A step of the nice series as text: whole, or to a tenth.
std::string StepText(double step) {
    const std::int64_t tenths = std::llround(step * 10);
    std::string text = DecimalText(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + tenths % 10);
    }
    return text;
}

// A length in 1/100 mm as millimetres for a message, to a tenth at most.
std::string Millimetres(double hundredths) {
    const auto tenths = static_cast<std::int64_t>(std::ceil(hundredths / 10.0 - 1e-9));
    std::string text = DecimalText(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + tenths % 10);
    }
    return text + " mm";
}

// One piece of a line of names: a marker's name, or a plain text.
struct Piece {
    std::int32_t MarkerIndex = -1; // -1: Text is plain black upright text
    std::string Text;
    int Width = 0;
};

// The names of one position, written a few to a line.
struct Label {
    double CM = 0.0; // down the map from its first entry
    std::vector<std::vector<Piece>> Lines;
    std::vector<int> LineWidths;
    std::vector<std::int32_t> Markers; // every marker named, for links
    int Width = 0;
};

// A number left of the bar: a gap or a position.
struct Note {
    double CM = 0.0;
    std::string Text;
    int Width = 0;
};

// The placed markers of one interval, from TopCM to BottomCM down the map.
struct PlacedBlock {
    double TopCM = 0.0;
    double BottomCM = 0.0;
    std::vector<std::int32_t> Markers;
};

// What one map draws, measured once: nothing here depends on the scale.
struct MapPlan {
    std::size_t Index = 0;
    double StartCM = 0.0; // where its first entry lies on the figure's axis
    double LengthCM = 0.0;
    std::vector<double> Ticks;
    std::vector<Label> Labels;
    std::vector<Note> Notes;
    std::vector<PlacedBlock> Placed;
    int PlacedWidth = 0; // the widest placed name
    std::vector<const QtlInterval*> Qtls;
    std::vector<int> QtlWidths;
    std::optional<std::string> Title;
    int TitleWidth = 0;
    // Across, from where its distance column starts.
    double BarLeft = 0.0;
    double LabelsLeft = 0.0;
    double LabelsRight = 0.0; // the end of its labels, or the bar's right edge
    double PlacedLeft = 0.0;
    double QtlLeft = 0.0;
    double Right = 0.0;
    double Overhang = 0.0; // how far its title reaches left of the distance column
    // The tallest column of labels it stacks.
    double Stack = 0.0;
    std::unordered_set<std::string_view> Names; // framework names labelled, for links
    std::vector<double> MarkerCM;               // every framework marker, for the density strip

    double Width(double halfPen) const { return Overhang + Right + 2 * halfPen; }
};

// Where a map was drawn, for the links.
struct DrawnMap {
    double Left = 0.0;
    double LinkEnd = 0.0; // where a link ends with no distance column: the strip or the bar
    double BarLeft = 0.0;
    double BarRight = 0.0;
    double Right = 0.0;
    bool Distances = false;
    struct Place {
        double TickY = 0.0;
        double LabelY = 0.0;   // the middle of its label's first line
        double LabelEnd = 0.0; // the end of that line, or the bar's right edge
    };
    std::unordered_map<std::string_view, Place> Places;
    // Right of the labels: where the placed names and QTL names stand, top
    // to bottom, which a link must pass above or below.
    double LabelsRight = 0.0;
    std::vector<std::pair<double, double>> Blocked;
    std::vector<std::string_view> Order; // the names in the order drawn
};

class FigureLayout {
  public:
    // fixedStarts: where each row starts, by index into maps, when the rows
    // are given; empty when they are chosen to fit.
    FigureLayout(const std::vector<LinkageMap>& maps, Surface& surface, const PageLengths& settings,
                 const MarkerTable& markers, const FigureSettings& figure,
                 const FigureAnnotations& annotations, std::vector<std::size_t> fixedStarts)
        : maps_(maps), surface_(surface), s_(settings), markers_(markers), figure_(figure),
          a_(annotations), fixedStarts_(std::move(fixedStarts)) {
        alignTop_ = figure.Align == "top";
        density_ = figure.Density;
        stripRoom_ = density_ ? kStripWidth + kStripGap : 0.0;
        labels_ = figure.Labels != "none";
        distances_ = figure.Distances.empty() ? (labels_ ? "gaps" : "none") : figure.Distances;
        surface_.SetItalic(false);
        lineHeight_ = surface_.TextHeight(kLineText);
        const int lineWidth = figure.LineWidth >= 0 ? figure.LineWidth : kDefaultLineWidth;
        halfPen_ = (std::int64_t{lineWidth} + 1) / 2;
        pre_ = std::min<double>(s_.PreBendLength, figure.LeaderLength / 3.0);
        edge_ = figure.Margin >= 0 ? figure.Margin : kDefaultEdgeRoom;
        halfEdge_ = std::max<double>(s_.TailLength, lineHeight_ / 2.0) + halfPen_;
    }

    DrawReport Draw(FigurePlan* planOut) {
        Measure();
        // A page spans its drawn extent, both ends included, and the edge
        // room on each side.
        const double width = figure_.RowWidth > 0 ? figure_.RowWidth - 2.0 * edge_ - 1 : 0.0;
        double height = figure_.Height > 0 ? figure_.Height - 2.0 * edge_ - 1 : 0.0;
        RefuseTooWide(width);
        if (density_) {
            MeasureLegend(width);
        }
        Fit fit = Choose(width, height);
        // What is drawn is measured once more as it will stand; should
        // rounding or a pen take it past the box, the box is taken in by
        // that much and the fit chosen again.
        for (int attempt = 0; attempt < 4; ++attempt) {
            ExtentSurface measure(surface_,
                                  figure_.LineWidth >= 0 ? figure_.LineWidth : kDefaultLineWidth);
            DrawAll(fit, measure, nullptr);
            const PageBox& box = measure.Extent();
            const double over = static_cast<double>(box.BottomMinusTop()) - height;
            if (height <= 0 || over <= 0) {
                fit.DrawnWidth = static_cast<double>(box.RightMinusLeft());
                fit.DrawnHeight = static_cast<double>(box.BottomMinusTop());
                break;
            }
            height -= over + 1;
            fit = Choose(width, height);
        }
        DrawReport report;
        DrawAll(fit, surface_, &report);
        if (planOut != nullptr) {
            planOut->Rows = fit.Rows;
            planOut->Scale = fit.Scale;
            planOut->Width = fit.DrawnWidth;
            planOut->Height = fit.DrawnHeight;
        }
        return report;
    }

  private:
    struct Fit {
        std::vector<std::vector<std::size_t>> Rows;
        double Scale = 0.0;
        double DrawnWidth = 0.0;
        double DrawnHeight = 0.0;
    };

    const Marker& MarkerAt(std::int32_t index) const {
        return markers_[static_cast<std::size_t>(index)];
    }
    bool Shown(std::int32_t index) const {
        return !a_.ShowOnly || a_.ShowOnly->contains(MarkerAt(index).Name);
    }
    int NameWidth(std::int32_t index) {
        const Marker& marker = MarkerAt(index);
        surface_.SetItalic(marker.Dominant);
        const int w = surface_.TextWidth(marker.Name);
        surface_.SetItalic(false);
        return w;
    }
    int PlainWidth(std::string_view text) {
        surface_.SetItalic(false);
        return surface_.TextWidth(text);
    }

    std::optional<std::string> TitleOf(const LinkageMap& map) const {
        const auto given = a_.TitleTexts.find(map.MapNumber);
        if (given != a_.TitleTexts.end()) {
            return given->second;
        }
        if (!a_.Titles) {
            return std::nullopt;
        }
        return map.GroupName.empty() ? "Map " + DecimalText(map.MapNumber) : map.GroupName;
    }

    // The label of the shown markers of one position.
    Label MakeLabel(double cm, const std::vector<std::int32_t>& shown) {
        Label label;
        label.CM = cm;
        label.Markers = shown;
        const bool collapsed =
            a_.Collapse > 0 && shown.size() > static_cast<std::size_t>(a_.Collapse);
        const std::size_t perLine = static_cast<std::size_t>(std::max(figure_.NamesPerLine, 1));
        const std::size_t written = collapsed ? 1 : shown.size();
        for (std::size_t k = 0; k < written; ++k) {
            if (k % perLine == 0) {
                if (!label.Lines.empty()) {
                    label.Lines.back().push_back({-1, std::string(kLineEnd), PlainWidth(kLineEnd)});
                }
                label.Lines.emplace_back();
            } else {
                label.Lines.back().push_back({-1, std::string(kSeparator), PlainWidth(kSeparator)});
            }
            label.Lines.back().push_back({shown[k], {}, NameWidth(shown[k])});
        }
        if (collapsed) {
            std::string more =
                " (+" + DecimalText(static_cast<std::int64_t>(shown.size() - 1)) + ")";
            const int w = PlainWidth(more);
            label.Lines.back().push_back({-1, std::move(more), w});
        }
        for (const auto& line : label.Lines) {
            int w = 0;
            for (const Piece& piece : line) {
                w += piece.Width;
            }
            label.LineWidths.push_back(w);
            label.Width = std::max(label.Width, w);
        }
        return label;
    }

    double PositionOf(const LinkageMap& map, double cm) const {
        return map.Flipped ? map.FirstPosition + MapLength(map) - cm : map.FirstPosition + cm;
    }

    MapPlan PlanMap(std::size_t index, double axisTop) {
        const LinkageMap& map = maps_[index];
        MapPlan plan;
        plan.Index = index;
        plan.StartCM = alignTop_ ? 0.0 : map.FirstPosition - axisTop;
        plan.LengthCM = MapLength(map);
        const auto& entries = map.Markers;
        const std::size_t n = entries.size();

        // Positions: their cM, and the shown markers at each.
        std::vector<double> positionCM;    // by framework entry that starts a position
        std::vector<std::size_t> startsAt; // the entry
        double cm = 0.0;
        std::vector<double> entryCM(n);
        for (std::size_t i = 0; i < n; ++i) {
            entryCM[i] = cm;
            if (density_) {
                plan.MarkerCM.push_back(cm);
            }
            if (!entries[i].SamePosAsPrev) {
                plan.Ticks.push_back(cm);
                std::vector<std::int32_t> shown;
                for (std::size_t j = i;; j = static_cast<std::size_t>(entries[j].NextSamePos)) {
                    if (Shown(entries[j].MarkerIndex)) {
                        shown.push_back(entries[j].MarkerIndex);
                    }
                    if (entries[j].NextSamePos == -1) {
                        break;
                    }
                }
                if (!shown.empty()) {
                    positionCM.push_back(cm);
                    if (labels_) {
                        plan.Labels.push_back(MakeLabel(cm, shown));
                        for (std::int32_t marker : shown) {
                            plan.Names.insert(MarkerAt(marker).Name);
                        }
                    }
                }
            }
            cm += entries[i].Distance;
        }
        if (!labels_) {
            for (std::size_t i = 0; i < n; ++i) {
                plan.Names.insert(MarkerAt(entries[i].MarkerIndex).Name);
            }
        }

        // The numbers left of the bar: gaps between labelled positions, or
        // the labelled positions themselves.
        if (distances_ == "gaps") {
            for (std::size_t k = 0; k + 1 < positionCM.size(); ++k) {
                const double gap = positionCM[k + 1] - positionCM[k];
                std::string text = DistanceText(gap);
                const int w = PlainWidth(text);
                plan.Notes.push_back({(positionCM[k] + positionCM[k + 1]) / 2, std::move(text), w});
            }
        } else if (distances_ == "positions") {
            for (double at : positionCM) {
                const double position = PositionOf(map, at);
                std::string text = DistanceText(position + (position < 0 ? -1e-9 : 1e-9));
                const int w = PlainWidth(text);
                plan.Notes.push_back({at, std::move(text), w});
            }
        }

        // Placed markers, by interval: interval c lies above entry c, 0
        // above the first entry, n below the last.
        if (labels_ && !map.Placed.empty()) {
            std::vector<std::vector<std::int32_t>> byInterval(n + 1);
            for (const PlacedMarker& placed : map.Placed) {
                if (placed.Interval >= 0 && static_cast<std::size_t>(placed.Interval) <= n &&
                    Shown(placed.MarkerIndex)) {
                    byInterval[static_cast<std::size_t>(placed.Interval)].push_back(
                        placed.MarkerIndex);
                }
            }
            for (std::size_t c = 0; c <= n; ++c) {
                if (byInterval[c].empty()) {
                    continue;
                }
                const double bottom = n == 0 ? 0.0 : entryCM[std::min(c, n - 1)];
                const double top = c == 0 || n == 0 ? bottom : entryCM[c - 1];
                plan.Placed.push_back({top, bottom, byInterval[c]});
                for (std::int32_t marker : byInterval[c]) {
                    plan.PlacedWidth = std::max(plan.PlacedWidth, NameWidth(marker));
                }
            }
        }

        // Across: distance column, bar, leaders, labels, placed, QTL.
        int noteWidth = 0;
        for (const Note& note : plan.Notes) {
            noteWidth = std::max(noteWidth, note.Width);
        }
        plan.BarLeft =
            (plan.Notes.empty() ? 0.0 : noteWidth + s_.TextPadding + DistanceLeader()) + stripRoom_;
        const double barRight = plan.BarLeft + s_.BarWidth;
        int labelWidth = 0;
        double labelStack = 0.0;
        for (const Label& label : plan.Labels) {
            labelWidth = std::max(labelWidth, label.Width);
            labelStack += static_cast<double>(label.Lines.size()) * lineHeight_;
        }
        plan.LabelsLeft = barRight + figure_.LeaderLength + s_.TextPadding;
        plan.LabelsRight = plan.Labels.empty() ? barRight : plan.LabelsLeft + labelWidth;
        double x = plan.LabelsRight;
        plan.PlacedLeft = x + s_.TextPadding;
        std::size_t placedCount = 0;
        if (!plan.Placed.empty()) {
            for (const PlacedBlock& block : plan.Placed) {
                placedCount += block.Markers.size();
            }
            x = plan.PlacedLeft + 2 * pre_ + s_.TextPadding + plan.PlacedWidth;
        }
        plan.QtlLeft = x + s_.TextPadding;
        if (!a_.Qtls.empty()) {
            for (const PlacedQtl& placed : a_.Qtls) {
                if (placed.MapIndex == index) {
                    plan.Qtls.push_back(&placed.Qtl);
                    plan.QtlWidths.push_back(PlainWidth(placed.Qtl.Name));
                }
            }
            if (!plan.Qtls.empty()) {
                x = plan.QtlLeft;
                for (int w : plan.QtlWidths) {
                    x += QtlBoxWidth() + s_.TextPadding + w + 2.0 * s_.TextPadding;
                }
                x -= 2.0 * s_.TextPadding;
            }
        }
        plan.Right = x;
        plan.Title = TitleOf(map);
        if (plan.Title) {
            plan.TitleWidth = PlainWidth(*plan.Title);
            const double middle = plan.BarLeft + s_.BarWidth / 2.0;
            plan.Overhang = std::max(0.0, plan.TitleWidth / 2.0 - middle);
            plan.Right = std::max(plan.Right, middle + plan.TitleWidth / 2.0);
        }
        plan.Stack = std::max({labelStack, static_cast<double>(plan.Notes.size()) * lineHeight_,
                               static_cast<double>(placedCount) * lineHeight_});
        return plan;
    }

    double DistanceLeader() const { return figure_.LeaderLength / 2.0; }
    double QtlBoxWidth() const { return std::max(s_.BarWidth / 2.0, 1.0); }

    void Measure() {
        // Bars aligned at their tops share no cM axis: the ruler counts down
        // from the tops.
        axisTop_ = alignTop_ ? 0.0 : maps_.front().FirstPosition;
        for (const LinkageMap& map : maps_) {
            axisTop_ = alignTop_ ? 0.0 : std::min(axisTop_, map.FirstPosition);
        }
        plans_.clear();
        plans_.reserve(maps_.size());
        for (std::size_t i = 0; i < maps_.size(); ++i) {
            plans_.push_back(PlanMap(i, axisTop_));
        }
        axisLength_ = 0.0;
        for (const MapPlan& plan : plans_) {
            axisLength_ = std::max(axisLength_, plan.StartCM + plan.LengthCM);
        }
        titleBand_ = 0.0;
        rulerRoom_ = 0.0;
        surface_.SetItalic(false);
        if (a_.Ruler) {
            // Room for the widest label any step could give.
            const double far = std::max(std::fabs(axisTop_), std::fabs(axisTop_ + axisLength_));
            rulerLabelWidth_ = std::max(PlainWidth((axisTop_ < 0 ? "-" : "") + DistanceText(far)),
                                        PlainWidth("cM"));
            rulerRoom_ = rulerLabelWidth_ + s_.TextPadding + s_.PreBendLength + figure_.MapGap;
        }
        links_.assign(maps_.size(), 0);
        if (a_.Links) {
            for (std::size_t i = 0; i + 1 < plans_.size(); ++i) {
                for (std::string_view name : plans_[i].Names) {
                    if (!name.empty() && plans_[i + 1].Names.contains(name)) {
                        ++links_[i];
                    }
                }
            }
        }
    }

    double GapAfter(std::size_t i) const {
        return links_[i] > 0 ? std::max<double>(figure_.MapGap, kLinkGap) : figure_.MapGap;
    }

    bool RowHasTitles(std::size_t first, std::size_t last) const {
        for (std::size_t i = first; i < last; ++i) {
            if (plans_[i].Title) {
                return true;
            }
        }
        return false;
    }

    double TitleBand(bool titles) const {
        return titles || a_.Ruler ? lineHeight_ + 2.0 * s_.TextPadding : 0.0;
    }

    // The height of the row of maps first..last-1 at a scale, its title band
    // included.
    double RowHeight(std::size_t first, std::size_t last, double scale) const {
        double top = std::numeric_limits<double>::max();
        double bottom = std::numeric_limits<double>::lowest();
        double stack = 0.0;
        for (std::size_t i = first; i < last; ++i) {
            top = std::min(top, plans_[i].StartCM);
            bottom = std::max(bottom, plans_[i].StartCM + plans_[i].LengthCM);
            stack = std::max(stack, plans_[i].Stack);
        }
        return TitleBand(RowHasTitles(first, last)) +
               std::max((bottom - top) * scale + 2 * halfEdge_, stack);
    }

    double RowWidth(std::size_t first, std::size_t last) const {
        double w = rulerRoom_;
        for (std::size_t i = first; i < last; ++i) {
            w += plans_[i].Width(halfPen_);
            if (i + 1 < last) {
                w += GapAfter(i);
            }
        }
        return w;
    }

    // The rows of least height at a scale, with no row wider than width
    // (when above 0) and, with keepLinks, the fewest links broken first.
    struct Partition {
        std::int64_t Broken = 0;
        double Height = 0.0;
        std::vector<std::size_t> Starts;
    };
    Partition Rows(double scale, double width, bool keepLinks) const {
        const std::size_t n = plans_.size();
        if (!fixedStarts_.empty()) {
            Partition partition;
            partition.Starts = fixedStarts_;
            partition.Height = -static_cast<double>(figure_.RowGap);
            for (std::size_t k = 0; k < fixedStarts_.size(); ++k) {
                const std::size_t first = fixedStarts_[k];
                const std::size_t last = k + 1 < fixedStarts_.size() ? fixedStarts_[k + 1] : n;
                partition.Height += figure_.RowGap + RowHeight(first, last, scale);
                partition.Broken += first > 0 ? links_[first - 1] : 0;
            }
            partition.Height += LegendBand();
            return partition;
        }
        const double inf = std::numeric_limits<double>::infinity();
        std::vector<std::pair<std::int64_t, double>> best(n + 1, {INT64_MAX, inf});
        std::vector<std::size_t> from(n + 1, 0);
        best[0] = {0, -static_cast<double>(figure_.RowGap)};
        const std::size_t perRow =
            figure_.MapsPerRow > 0 ? static_cast<std::size_t>(figure_.MapsPerRow) : n;
        for (std::size_t last = 1; last <= n; ++last) {
            for (std::size_t first = last; first-- > 0;) {
                if (last - first > perRow) {
                    break;
                }
                if (last - first > 1 && width > 0 && RowWidth(first, last) > width) {
                    break;
                }
                if (best[first].first == INT64_MAX) {
                    continue;
                }
                const std::int64_t broken =
                    best[first].first + (keepLinks && first > 0 ? links_[first - 1] : 0);
                const double height =
                    best[first].second + figure_.RowGap + RowHeight(first, last, scale);
                if (std::make_pair(broken, height) < best[last]) {
                    best[last] = {broken, height};
                    from[last] = first;
                }
            }
        }
        Partition partition;
        partition.Broken = best[n].first;
        partition.Height = best[n].second + LegendBand();
        for (std::size_t at = n; at > 0; at = from[at]) {
            partition.Starts.push_back(from[at]);
        }
        std::reverse(partition.Starts.begin(), partition.Starts.end());
        return partition;
    }

    Fit MakeFit(const Partition& partition, double scale) const {
        Fit fit;
        fit.Scale = scale;
        for (std::size_t k = 0; k < partition.Starts.size(); ++k) {
            const std::size_t end =
                k + 1 < partition.Starts.size() ? partition.Starts[k + 1] : plans_.size();
            auto& row = fit.Rows.emplace_back();
            for (std::size_t i = partition.Starts[k]; i < end; ++i) {
                row.push_back(i);
            }
        }
        return fit;
    }

    double LongestCM() const {
        double longest = 0.0;
        for (const MapPlan& plan : plans_) {
            longest = std::max(longest, plan.LengthCM);
        }
        return longest;
    }

    // The least scale the figure layout draws at: the longest bar at least
    // as long as the tallest column of labels and ten lines of text.
    double LeastScale() const {
        double stack = kLeastBarLines * lineHeight_;
        for (const MapPlan& plan : plans_) {
            stack = std::max(stack, plan.Stack);
        }
        const double longest = LongestCM();
        return longest > 0 ? stack / longest : 0.0;
    }

    void RefuseTooWide(double width) const {
        if (width <= 0) {
            return;
        }
        for (std::size_t k = 0; k < fixedStarts_.size(); ++k) {
            const std::size_t first = fixedStarts_[k];
            const std::size_t last =
                k + 1 < fixedStarts_.size() ? fixedStarts_[k + 1] : plans_.size();
            const double need = RowWidth(first, last);
            if (need > width) {
                std::string names;
                for (std::size_t i = first; i < last; ++i) {
                    names += (i > first ? "," : "") + DecimalText(maps_[i].MapNumber);
                }
                throw KarvelloError("The row of maps " + names + " does not fit " +
                                    Millimetres(figure_.RowWidth) + " wide: it needs " +
                                    Millimetres(need + 2.0 * edge_ + 1) +
                                    " with its edge room. Fewer maps in that row of --rows, a "
                                    "wider box or a smaller --font-size would make it fit.");
            }
        }
        for (std::size_t i = 0; i < plans_.size(); ++i) {
            const double need = RowWidth(i, i + 1);
            if (need > width) {
                throw KarvelloError(
                    "The maps do not fit " + Millimetres(figure_.RowWidth) + " wide: map " +
                    DecimalText(maps_[i].MapNumber) + " needs " +
                    Millimetres(need + 2.0 * edge_ + 1) + " with its edge room, for its " +
                    (labels_ ? "labels" : "bar and numbers") +
                    ". A wider box, a smaller --font-size, --names-per-line 1, --show-only, "
                    "--collapse N or --labels none would make it fit.");
            }
        }
    }

    Fit Choose(double width, double height) const {
        const double least = LeastScale();
        if (height <= 0) {
            // No height asked for: the scale of the page lengths.
            const double longest = axisLength_;
            double scale = longest > 0 ? static_cast<double>(BarRoom(s_)) / longest : 0.0;
            if (!std::isfinite(scale) || scale < 0) {
                scale = 0.0;
            }
            return MakeFit(Rows(scale, width, a_.Links), scale);
        }
        for (bool keepLinks : {true, false}) {
            if (keepLinks && !a_.Links) {
                continue;
            }
            const Partition lowest = Rows(least, width, keepLinks);
            if (lowest.Height > height) {
                continue;
            }
            // The largest scale whose rows still fit; heights grow with it.
            double low = least;
            double high = std::max(least, LongestCM() > 0 ? height / LongestCM() : least);
            if (Rows(high, width, keepLinks).Height <= height) {
                low = high;
            }
            for (int step = 0; step < 60 && high - low > 1e-9 * std::max(high, 1.0); ++step) {
                const double middle = (low + high) / 2;
                (Rows(middle, width, keepLinks).Height <= height ? low : high) = middle;
            }
            return MakeFit(Rows(low, width, keepLinks), low);
        }
        const Partition lowest = Rows(least, width, false);
        std::size_t tallest = 0;
        for (std::size_t i = 0; i < plans_.size(); ++i) {
            if (plans_[i].Stack > plans_[tallest].Stack) {
                tallest = i;
            }
        }
        std::string message =
            "The maps do not fit a box " +
            (figure_.RowWidth > 0 ? Millimetres(figure_.RowWidth) + " wide and " : std::string()) +
            Millimetres(figure_.Height) + " high at this font size: they need " +
            Millimetres(lowest.Height + 2.0 * edge_ + 1) + " high";
        if (figure_.RowWidth > 0) {
            message += " at that width";
        }
        message +=
            " (in " + DecimalText(static_cast<std::int64_t>(lowest.Starts.size())) + " rows). ";
        if (plans_[tallest].Stack > kLeastBarLines * lineHeight_) {
            message += "Map " + DecimalText(maps_[plans_[tallest].Index].MapNumber) +
                       " alone stacks " + Millimetres(plans_[tallest].Stack) + " of labels. ";
        }
        message += "A taller box, a smaller --font-size, --show-only, --collapse N or --labels "
                   "none would make it fit.";
        throw KarvelloError(message);
    }

    // ---- drawing -----------------------------------------------------------

    void DrawAll(const Fit& fit, Surface& target, DrawReport* report) {
        PagePoints page(target);
        if (density_) {
            Bin(fit.Scale);
        }
        std::vector<DrawnMap> drawn(plans_.size());
        double rowTop = 0.0;
        for (std::size_t r = 0; r < fit.Rows.size(); ++r) {
            const auto& row = fit.Rows[r];
            const std::size_t first = row.front();
            const std::size_t last = row.back() + 1;
            double top = std::numeric_limits<double>::max();
            double bottom = std::numeric_limits<double>::lowest();
            double stack = 0.0;
            for (std::size_t i : row) {
                top = std::min(top, plans_[i].StartCM);
                bottom = std::max(bottom, plans_[i].StartCM + plans_[i].LengthCM);
                stack = std::max(stack, plans_[i].Stack);
            }
            const double titleBand = TitleBand(RowHasTitles(first, last));
            const double barBand = (bottom - top) * fit.Scale + 2 * halfEdge_;
            const double extra = std::max(0.0, stack - barBand) / 2;
            const double bandTop = rowTop + titleBand;
            // y of 0 cM on the figure's axis in this row.
            const double axisY = bandTop + extra + halfEdge_ - top * fit.Scale;
            const double bandBottom = bandTop + std::max(barBand, stack);

            double x = 0.0;
            if (a_.Ruler) {
                DrawRuler(page, target, axisY, top, bottom, fit.Scale, rowTop);
                x = rulerRoom_;
            }
            for (std::size_t i : row) {
                const MapPlan& plan = plans_[i];
                const double left = x + plan.Overhang + halfPen_;
                target.BeginMap(maps_[i].MapNumber);
                drawn[i] = DrawMap(plan, page, target, left, axisY, fit.Scale, bandTop, bandBottom);
                if (plan.Title) {
                    target.SetFontColour(kBlack);
                    target.SetItalic(false);
                    const double middle = left + plan.BarLeft + s_.BarWidth / 2.0;
                    page.TextOut(middle - plan.TitleWidth / 2.0, rowTop + s_.TextPadding,
                                 *plan.Title);
                }
                target.EndMap();
                x += plan.Width(halfPen_) + (i + 1 < last ? GapAfter(i) : 0.0);
            }
            if (a_.Links) {
                for (std::size_t i = first; i + 1 < last; ++i) {
                    DrawLinks(drawn[i], drawn[i + 1], page, target);
                }
            }
            rowTop = bandBottom + figure_.RowGap;
        }
        if (density_) {
            DrawLegend(page, target, rowTop);
        }
        if (report != nullptr && a_.Links) {
            for (std::size_t r = 0; r + 1 < fit.Rows.size(); ++r) {
                const std::size_t i = fit.Rows[r].back();
                if (links_[i] > 0) {
                    report->Warnings.push_back(DecimalText(links_[i]) +
                                               (links_[i] == 1 ? " link" : " links") +
                                               " between map " + DecimalText(maps_[i].MapNumber) +
                                               " and map " + DecimalText(maps_[i + 1].MapNumber) +
                                               " are not drawn: the maps do not fit one row.");
                }
            }
        }
    }

    // ---- density ------------------------------------------------------------

    // The bins of the density strips at a scale: each binCM_ long, the least
    // of 1, 2 and 5 times a power of ten cM that is at least 1 mm on the
    // page; and the classes' step, a fifth of the 95th percentile of the
    // bins' markers per cM, rounded up to 1, 2 or 5 times a power of ten.
    void Bin(double scale) {
        binCM_ = std::max(0.1, NiceStep(scale > 0 ? kLeastBinLength / scale : 1.0));
        std::vector<double> densities; // of every bin that holds a marker
        for (const MapPlan& plan : plans_) {
            std::vector<std::size_t> counts(BinCount(plan), 0);
            for (double cm : plan.MarkerCM) {
                ++counts[BinOf(cm, counts.size())];
            }
            for (std::size_t count : counts) {
                if (count > 0) {
                    densities.push_back(static_cast<double>(count) / binCM_);
                }
            }
        }
        // The 95th percentile, so that a few crowded positions do not leave
        // every other bin in the lightest class; bins above it take the last.
        double top = 1e-9;
        if (!densities.empty()) {
            const auto at =
                densities.begin() + static_cast<std::ptrdiff_t>((densities.size() - 1) * 95 / 100);
            std::nth_element(densities.begin(), at, densities.end());
            top = std::max(top, *at);
        }
        classStep_ = std::max(0.1, NiceStep(top / kDensityClasses));
    }
    std::size_t BinCount(const MapPlan& plan) const {
        return std::max<std::size_t>(
            1, static_cast<std::size_t>(std::ceil(plan.LengthCM / binCM_ - 1e-9)));
    }
    std::size_t BinOf(double cm, std::size_t bins) const {
        return std::min(bins - 1, static_cast<std::size_t>(std::max(0.0, cm / binCM_)));
    }

    // The strip of one map from x, its bins coloured by their class.
    template <typename MarkerY>
    void DrawStrip(const MapPlan& plan, PagePoints& page, Surface& target, double x,
                   const MarkerY& markerY) {
        const std::size_t bins = BinCount(plan);
        std::vector<std::size_t> counts(bins, 0);
        for (double cm : plan.MarkerCM) {
            ++counts[BinOf(cm, bins)];
        }
        const double top = markerY(0.0) - s_.TailLength;
        const double bottom = markerY(plan.LengthCM) + s_.TailLength;
        target.SetPenColour(kBlack);
        target.Rectangle(page.X(x), page.Y(top), page.X(x + kStripWidth), page.Y(bottom));
        const double inset = halfPen_;
        for (std::size_t b = 0; b < bins; ++b) {
            if (counts[b] == 0) {
                continue;
            }
            const double density = static_cast<double>(counts[b]) / binCM_;
            const int k = std::clamp(static_cast<int>(std::ceil(density / classStep_ - 1e-9)) - 1,
                                     0, kDensityClasses - 1);
            // The bins at the ends reach the bar's tails.
            const double y1 =
                std::max(b == 0 ? top : markerY(static_cast<double>(b) * binCM_), top + inset);
            const double y2 =
                std::min(b + 1 == bins ? bottom : markerY(static_cast<double>(b + 1) * binCM_),
                         bottom - inset);
            if (y2 > y1) {
                target.FillRectangle(page.X(x + inset), page.Y(y1), page.X(x + kStripWidth - inset),
                                     page.Y(y2), kDensityColours[k]);
            }
        }
    }

    // The legend's texts: its caption and each class's range.
    std::string LegendCaption() const {
        return "Markers per cM, in bins of " + StepText(binCM_) + " cM (white: none):";
    }
    std::string ClassText(int k) const {
        return k + 1 == kDensityClasses
                   ? StepText(classStep_ * k) + " or more"
                   : StepText(classStep_ * k) + "-" + StepText(classStep_ * (k + 1));
    }
    // Room for the legend below the rows: the row gap and one or two lines.
    double LegendBand() const {
        return density_ ? figure_.RowGap + legendLines_ * lineHeight_ : 0.0;
    }
    // Whether the legend takes one line or two (caption, then swatches),
    // from the widest texts it may write.
    void MeasureLegend(double width) {
        surface_.SetItalic(false);
        const double caption = PlainWidth("Markers per cM, in bins of 0.5 cM (white: none):");
        const double swatches =
            kDensityClasses * (kSwatchWidth + 2.0 * s_.TextPadding + PlainWidth("000.5 or more"));
        legendLines_ = width > 0 && caption + s_.TextPadding + swatches > width ? 2 : 1;
    }
    void DrawLegend(PagePoints& page, Surface& target, double top) {
        target.SetItalic(false);
        target.SetFontColour(kBlack);
        const std::string caption = LegendCaption();
        page.TextOut(0.0, top, caption);
        double x = legendLines_ == 1 ? target.TextWidth(caption) + 2.0 * s_.TextPadding : 0.0;
        const double y = legendLines_ == 1 ? top : top + lineHeight_;
        for (int k = 0; k < kDensityClasses; ++k) {
            const double inset = lineHeight_ / 6.0;
            target.FillRectangle(page.X(x), page.Y(y + inset), page.X(x + kSwatchWidth),
                                 page.Y(y + lineHeight_ - inset), kDensityColours[k]);
            x += kSwatchWidth + s_.TextPadding;
            const std::string text = ClassText(k);
            page.TextOut(x, y, text);
            x += target.TextWidth(text) + 2.0 * s_.TextPadding;
        }
    }

    void DrawRuler(PagePoints& page, Surface& target, double axisY, double topCM, double bottomCM,
                   double scale, double rowTop) {
        target.SetItalic(false);
        // The first of 0.1, 0.2, 0.5, 1, 2, 5 ... cM that leaves the labels
        // their own height apart.
        double step = 0.0;
        for (double decade = 0.1; step == 0.0 && decade < 1e12; decade *= 10) {
            for (double factor : {1.0, 2.0, 5.0}) {
                if (decade * factor * scale >= 2.0 * lineHeight_) {
                    step = decade * factor;
                    break;
                }
            }
        }
        const double labelRight = rulerLabelWidth_;
        const double axisX = labelRight + s_.TextPadding + s_.PreBendLength;
        target.SetPenColour(kBlack);
        page.MoveTo(axisX, axisY + topCM * scale);
        page.LineTo(axisX, axisY + bottomCM * scale);
        target.SetFontColour(kBlack);
        if (step > 0) {
            const double from = std::ceil((axisTop_ + topCM) / step - 1e-9);
            const double to = std::floor((axisTop_ + bottomCM) / step + 1e-9);
            for (double k = from; k <= to && k - from < 100000; k += 1) {
                const double value = k * step;
                const std::string label =
                    step >= 1 ? DecimalText(static_cast<std::int64_t>(std::llround(value)))
                              : DistanceText(value + (value < 0 ? -1e-9 : 1e-9));
                const double y = axisY + (value - axisTop_) * scale;
                page.MoveTo(axisX - s_.PreBendLength, y);
                page.LineTo(axisX, y);
                page.TextOut(labelRight - target.TextWidth(label), y - lineHeight_ / 2.0, label);
            }
        }
        page.TextOut(axisX - target.TextWidth("cM") / 2.0, rowTop + s_.TextPadding, "cM");
    }

    // Draws one map with its distance column starting at left and 0 cM of
    // the axis at axisY; its labels stay between bandTop and bandBottom.
    DrawnMap DrawMap(const MapPlan& plan, PagePoints& page, Surface& target, double left,
                     double axisY, double scale, double bandTop, double bandBottom) {
        const LinkageMap& map = maps_[plan.Index];
        auto markerY = [&](double cm) { return axisY + (plan.StartCM + cm) * scale; };
        DrawnMap drawn;
        drawn.Left = left;
        drawn.BarLeft = left + plan.BarLeft;
        drawn.BarRight = drawn.BarLeft + s_.BarWidth;
        drawn.LinkEnd = drawn.BarLeft - stripRoom_;
        drawn.Right = left + plan.Right;
        drawn.Distances = !plan.Notes.empty();
        drawn.LabelsRight = left + plan.LabelsRight;

        target.SetPenColour(kBlack);
        target.Rectangle(page.X(drawn.BarLeft), page.Y(markerY(0.0) - s_.TailLength),
                         page.X(drawn.BarRight), page.Y(markerY(plan.LengthCM) + s_.TailLength));
        for (double cm : plan.Ticks) {
            page.MoveTo(drawn.BarLeft, markerY(cm));
            page.LineTo(drawn.BarRight, markerY(cm));
        }
        if (density_) {
            DrawStrip(plan, page, target, drawn.LinkEnd, markerY);
        }

        // The numbers left of the bar, spread about their places.
        std::vector<SpreadLabel> spread;
        if (!plan.Notes.empty()) {
            spread.clear();
            for (const Note& note : plan.Notes) {
                spread.push_back({markerY(note.CM), static_cast<double>(lineHeight_)});
            }
            const std::vector<double> tops = SpreadLabels(spread, bandTop, bandBottom);
            const double noteEnd = drawn.BarLeft - stripRoom_;
            const double textRight = noteEnd - DistanceLeader() - s_.TextPadding;
            target.SetFontColour(kBlack);
            target.SetItalic(false);
            target.SetPenColour(kGrey);
            for (std::size_t k = 0; k < plan.Notes.size(); ++k) {
                const double wanted = spread[k].Wanted;
                const double middle = tops[k] + lineHeight_ / 2.0;
                page.MoveTo(noteEnd, wanted);
                page.LineTo(noteEnd - pre_, wanted);
                page.LineTo(textRight + s_.TextPadding / 2.0, middle);
                page.TextOut(textRight - plan.Notes[k].Width, tops[k], plan.Notes[k].Text);
            }
        }

        // The names right of the bar, each label spread about its marker
        // with its first line at the marker where it is free.
        if (!plan.Labels.empty()) {
            spread.clear();
            for (const Label& label : plan.Labels) {
                const double h = static_cast<double>(label.Lines.size()) * lineHeight_;
                spread.push_back({markerY(label.CM) + (h - lineHeight_) / 2, h});
            }
            const std::vector<double> tops = SpreadLabels(spread, bandTop, bandBottom);
            const double textX = left + plan.LabelsLeft;
            const double leaderEnd = textX - s_.TextPadding;
            for (std::size_t k = 0; k < plan.Labels.size(); ++k) {
                const Label& label = plan.Labels[k];
                const double tickY = markerY(label.CM);
                const double middle = tops[k] + lineHeight_ / 2.0;
                target.SetPenColour(kGrey);
                page.MoveTo(drawn.BarRight, tickY);
                page.LineTo(drawn.BarRight + pre_, tickY);
                page.LineTo(leaderEnd - pre_, middle);
                page.LineTo(leaderEnd, middle);
                double y = tops[k];
                for (std::size_t l = 0; l < label.Lines.size(); ++l) {
                    double x = textX;
                    for (const Piece& piece : label.Lines[l]) {
                        if (piece.MarkerIndex >= 0) {
                            const Marker& marker = MarkerAt(piece.MarkerIndex);
                            target.SetFontColour(marker.Colour);
                            target.SetItalic(marker.Dominant);
                            page.TextOut(x, y, marker.Name);
                        } else {
                            target.SetFontColour(kBlack);
                            target.SetItalic(false);
                            page.TextOut(x, y, piece.Text);
                        }
                        x += piece.Width;
                    }
                    y += lineHeight_;
                }
                for (std::int32_t marker : label.Markers) {
                    const std::string_view name = MarkerAt(marker).Name;
                    if (drawn.Places
                            .try_emplace(
                                name, DrawnMap::Place{tickY, middle, textX + label.LineWidths[0]})
                            .second) {
                        drawn.Order.push_back(name);
                    }
                }
            }
        } else if (!labels_) {
            double cm = 0.0;
            for (const MapEntry& entry : map.Markers) {
                const std::string_view name = MarkerAt(entry.MarkerIndex).Name;
                const double y = markerY(cm);
                if (drawn.Places.try_emplace(name, DrawnMap::Place{y, y, drawn.BarRight}).second) {
                    drawn.Order.push_back(name);
                }
                cm += entry.Distance;
            }
        }

        if (!plan.Placed.empty()) {
            DrawPlaced(plan, page, target, left, markerY, bandTop, bandBottom, drawn.Blocked);
        }
        if (!plan.Qtls.empty()) {
            DrawQtls(plan, page, target, left, markerY, drawn.Blocked);
        }
        std::sort(drawn.Blocked.begin(), drawn.Blocked.end());
        return drawn;
    }

    // Placed markers: a silver line over each interval that holds some, and
    // their names spread about its middle behind a black bracket.
    template <typename MarkerY>
    void DrawPlaced(const MapPlan& plan, PagePoints& page, Surface& target, double left,
                    const MarkerY& markerY, double bandTop, double bandBottom,
                    std::vector<std::pair<double, double>>& blocked) {
        std::vector<SpreadLabel> spread;
        for (const PlacedBlock& block : plan.Placed) {
            const double middle = (markerY(block.TopCM) + markerY(block.BottomCM)) / 2;
            for (std::size_t k = 0; k < block.Markers.size(); ++k) {
                spread.push_back({middle, static_cast<double>(lineHeight_)});
            }
        }
        const std::vector<double> tops = SpreadLabels(spread, bandTop, bandBottom);
        const double lineX = left + plan.PlacedLeft;
        const double bracketX = lineX + 2 * pre_;
        const double textX = bracketX + s_.TextPadding;
        std::size_t at = 0;
        for (const PlacedBlock& block : plan.Placed) {
            const double blockTop = tops[at];
            const double blockBottom = tops[at + block.Markers.size() - 1] + lineHeight_;
            target.SetPenColour(kSilver);
            page.MoveTo(lineX, markerY(block.TopCM));
            page.LineTo(lineX, markerY(block.BottomCM));
            page.MoveTo(lineX, spread[at].Wanted);
            page.LineTo(bracketX, (blockTop + blockBottom) / 2);
            target.SetPenColour(kBlack);
            page.MoveTo(bracketX, blockTop);
            page.LineTo(bracketX, blockBottom);
            for (std::int32_t index : block.Markers) {
                const Marker& marker = MarkerAt(index);
                target.SetFontColour(marker.Colour);
                target.SetItalic(marker.Dominant);
                page.TextOut(textX, tops[at], marker.Name);
                blocked.emplace_back(tops[at], tops[at] + lineHeight_);
                ++at;
            }
        }
    }

    // QTL: each in a column of its own right of everything else of the map,
    // a box over its inner interval (or whole interval) with whiskers to its
    // ends and its name beside the box.
    template <typename MarkerY>
    void DrawQtls(const MapPlan& plan, PagePoints& page, Surface& target, double left,
                  const MarkerY& markerY, std::vector<std::pair<double, double>>& blocked) {
        const LinkageMap& map = maps_[plan.Index];
        auto y = [&](double position) {
            double offset = position - map.FirstPosition;
            if (map.Flipped) {
                offset = MapLength(map) - offset;
            }
            return markerY(offset);
        };
        const double width = QtlBoxWidth();
        double x = left + plan.QtlLeft;
        target.SetItalic(false);
        for (std::size_t k = 0; k < plan.Qtls.size(); ++k) {
            const QtlInterval& qtl = *plan.Qtls[k];
            const RgbColour colour = qtl.Colour.value_or(kQtlColour);
            const double top = std::min(y(qtl.Start), y(qtl.End));
            const double bottom = std::max(y(qtl.Start), y(qtl.End));
            double boxTop = top;
            double boxBottom = bottom;
            target.SetPenColour(colour);
            if (qtl.InnerStart) {
                boxTop = std::min(y(*qtl.InnerStart), y(*qtl.InnerEnd));
                boxBottom = std::max(y(*qtl.InnerStart), y(*qtl.InnerEnd));
                page.MoveTo(x + width / 2, top);
                page.LineTo(x + width / 2, bottom);
                page.MoveTo(x, top);
                page.LineTo(x + width, top);
                page.MoveTo(x, bottom);
                page.LineTo(x + width, bottom);
            }
            target.Rectangle(page.X(x), page.Y(boxTop), page.X(x + width), page.Y(boxBottom));
            target.SetFontColour(colour);
            const double textTop = (boxTop + boxBottom) / 2 - lineHeight_ / 2.0;
            page.TextOut(x + width + s_.TextPadding, textTop, qtl.Name);
            blocked.emplace_back(textTop, textTop + lineHeight_);
            x += width + s_.TextPadding + plan.QtlWidths[k] + 2.0 * s_.TextPadding;
        }
    }

    // The y nearest to y that no text right of the map's labels covers.
    static double FreeY(const DrawnMap& map, double y) {
        // Runs of touching or overlapping cells, top down.
        double runTop = 0.0;
        double runBottom = 0.0;
        bool inRun = false;
        for (const auto& [top, bottom] : map.Blocked) {
            if (inRun && top <= runBottom + 1.0) {
                runBottom = std::max(runBottom, bottom);
                continue;
            }
            if (inRun && y > runTop - 1.0 && y < runBottom + 1.0) {
                break;
            }
            runTop = top;
            runBottom = bottom;
            inRun = true;
        }
        if (!inRun || y <= runTop - 1.0 || y >= runBottom + 1.0) {
            return y;
        }
        return y - runTop < runBottom - y ? runTop - 1.0 : runBottom + 1.0;
    }

    // Lines between the places of each marker two neighbouring maps share:
    // from the end of its label on the left map along its label's middle
    // (stepping above or below the placed names and QTL beside the labels)
    // to the end of that map, across the gap to the right map's distance
    // column at its tick's height, and on to the bar when that map has no
    // distance column.
    void DrawLinks(const DrawnMap& left, const DrawnMap& right, PagePoints& page, Surface& target) {
        target.SetPenColour(kLinkGrey);
        const double fromX = left.Right + s_.TextPadding / 2.0;
        const double toX = right.Left - s_.TextPadding / 2.0;
        const double stepX = left.LabelsRight + s_.TextPadding / 2.0;
        for (std::string_view name : left.Order) {
            const auto found = right.Places.find(name);
            if (name.empty() || found == right.Places.end()) {
                continue;
            }
            const DrawnMap::Place& from = left.Places.at(name);
            const double y = FreeY(left, from.LabelY);
            page.MoveTo(from.LabelEnd + s_.TextPadding / 2.0, from.LabelY);
            if (y != from.LabelY) {
                page.LineTo(stepX, from.LabelY);
                page.LineTo(stepX, y);
            }
            page.LineTo(fromX, y);
            page.LineTo(toX, found->second.TickY);
            if (!right.Distances) {
                page.LineTo(right.LinkEnd, found->second.TickY);
            }
        }
    }

    const std::vector<LinkageMap>& maps_;
    Surface& surface_;
    const PageLengths& s_;
    const MarkerTable& markers_;
    const FigureSettings& figure_;
    const FigureAnnotations& a_;
    bool labels_ = true;
    std::string distances_;
    int lineHeight_ = 0;
    double halfPen_ = 0.0;
    double pre_ = 0.0;
    double edge_ = 0.0;
    double halfEdge_ = 0.0;
    double axisTop_ = 0.0;
    std::vector<std::size_t> fixedStarts_;
    bool alignTop_ = false;
    bool density_ = false;
    double stripRoom_ = 0.0;
    double binCM_ = 1.0;
    double classStep_ = 1.0;
    int legendLines_ = 1;
    double axisLength_ = 0.0;
    double titleBand_ = 0.0;
    double rulerRoom_ = 0.0;
    int rulerLabelWidth_ = 0;
    std::vector<MapPlan> plans_;
    std::vector<std::int64_t> links_; // links between map i and map i+1
};

} // namespace

DrawReport DrawFigure(const std::vector<LinkageMap>& maps, Surface& surface,
                      const PageLengths& settings, const MarkerTable& markers,
                      const FigureSettings& figure, const FigureAnnotations& annotations,
                      FigurePlan* plan) {
    if (figure.Distances != "" && figure.Distances != "gaps" && figure.Distances != "positions" &&
        figure.Distances != "none") {
        throw KarvelloError("The distances \"" + figure.Distances +
                            "\" are none of gaps, positions and none.");
    }
    if (figure.Labels != "all" && figure.Labels != "none") {
        throw KarvelloError("The labels \"" + figure.Labels + "\" are neither all nor none.");
    }
    if (figure.Align != "zero" && figure.Align != "top") {
        throw KarvelloError("The alignment \"" + figure.Align + "\" is neither zero nor top.");
    }
    const auto order = ReadMapRows(figure.MapOrder);
    if (order.size() > 1) {
        throw KarvelloError("The map order \"" + figure.MapOrder +
                            "\" has rows: write the maps' numbers like 3,1,2.");
    }
    const auto rows = ReadMapRows(figure.Rows);
    surface.SetMapMode(MappingMode::HiMetric);
    if (maps.empty()) {
        return {};
    }

    // The maps in the order asked for: those the rows (else the order) name,
    // first time named, then the rest as given.
    std::unordered_map<std::int32_t, std::size_t> byNumber;
    for (std::size_t i = 0; i < maps.size(); ++i) {
        byNumber.emplace(maps[i].MapNumber, i);
    }
    std::vector<std::size_t> chosen;
    std::vector<bool> taken(maps.size(), false);
    std::vector<std::size_t> fixedStarts;
    for (const auto& row : rows.empty() ? order : rows) {
        const std::size_t start = chosen.size();
        for (std::int32_t number : row) {
            const auto found = byNumber.find(number);
            if (found == byNumber.end()) {
                continue; // a map not drawn
            }
            if (taken[found->second]) {
                if (!rows.empty()) {
                    throw KarvelloError("The rows \"" + figure.Rows + "\" name map " +
                                        DecimalText(number) + " twice.");
                }
                continue;
            }
            taken[found->second] = true;
            chosen.push_back(found->second);
        }
        if (!rows.empty() && chosen.size() > start) {
            fixedStarts.push_back(start);
        }
    }
    for (std::size_t i = 0; i < maps.size(); ++i) {
        if (!taken[i]) {
            if (!rows.empty()) {
                throw KarvelloError("Map " + DecimalText(maps[i].MapNumber) +
                                    " is drawn but in none of the rows \"" + figure.Rows +
                                    "\": name it in --rows, or leave it out of --maps.");
            }
            chosen.push_back(i);
        }
    }
    bool reordered = false;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        reordered = reordered || chosen[i] != i;
    }
    if (!reordered) {
        FigureLayout layout(maps, surface, settings, markers, figure, annotations,
                            std::move(fixedStarts));
        return layout.Draw(plan);
    }
    std::vector<LinkageMap> ordered;
    ordered.reserve(maps.size());
    for (std::size_t i : chosen) {
        ordered.push_back(maps[i]);
    }
    FigureLayout layout(ordered, surface, settings, markers, figure, annotations,
                        std::move(fixedStarts));
    DrawReport report = layout.Draw(plan);
    if (plan != nullptr) {
        // The rows by index into the maps as handed in.
        for (auto& row : plan->Rows) {
            for (std::size_t& index : row) {
                index = chosen[index];
            }
        }
    }
    return report;
}

std::vector<std::vector<std::int32_t>> ReadMapRows(std::string_view text) {
    std::vector<std::vector<std::int32_t>> rows;
    if (text.empty()) {
        return rows;
    }
    const auto refuse = [text]() {
        return KarvelloError("Cannot read the maps \"" + std::string(text) +
                             "\": write map numbers from 1 like 3,1,2 or 1-7/8-14.");
    };
    const auto number = [&refuse](std::string_view digits) {
        if (digits.empty() || digits.size() > 6 ||
            !std::all_of(digits.begin(), digits.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            throw refuse();
        }
        std::int32_t value = 0;
        for (char c : digits) {
            value = value * 10 + (c - '0');
        }
        if (value < 1) {
            throw refuse();
        }
        return value;
    };
    // Every row and item ends at its separator; one past the text's end
    // stands for the last.
    std::size_t at = 0;
    rows.emplace_back();
    while (true) {
        const std::size_t end = text.find_first_of(",/", at);
        const std::string_view item =
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        const std::size_t dash = item.find('-');
        const std::int32_t first = number(item.substr(0, dash));
        const std::int32_t last =
            dash == std::string_view::npos ? first : number(item.substr(dash + 1));
        if (last < first) {
            throw KarvelloError("The map run \"" + std::string(item) + "\" in \"" +
                                std::string(text) + "\" ends before it starts.");
        }
        if (rows.back().size() + static_cast<std::size_t>(last - first) > 100000) {
            throw refuse();
        }
        for (std::int32_t n = first; n <= last; ++n) {
            rows.back().push_back(n);
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (text[end] == '/') {
            rows.emplace_back();
        }
        at = end + 1;
    }
    return rows;
}

} // namespace karvello
