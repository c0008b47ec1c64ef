#include "drawing/Decorations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/Numbers.h"
#include "drawing/DrawMaps.h"
#include "drawing/DrawingColours.h"

namespace karvello {

namespace {

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

} // namespace

Decorations::Decorations(const FigureAnnotations& annotations, std::size_t mapCount)
    : A(annotations) {
    Qtls.resize(mapCount);
    for (const PlacedQtl& placed : A.Qtls) {
        if (placed.MapIndex < mapCount) {
            Qtls[placed.MapIndex].push_back(&placed.Qtl);
        }
    }
}

std::optional<std::string> Decorations::Title(const LinkageMap& map) const {
    const auto given = A.TitleTexts.find(map.MapNumber);
    if (given != A.TitleTexts.end()) {
        return given->second;
    }
    if (!A.Titles) {
        return std::nullopt;
    }
    return map.GroupName.empty() ? "Map " + DecimalText(map.MapNumber) : map.GroupName;
}

double Decorations::TitleBand(const std::vector<LinkageMap>& maps, const PageLengths& s) const {
    for (const LinkageMap& map : maps) {
        if (Title(map)) {
            return TextHeight + 2.0 * s.TextPadding;
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

void DrawQtls(const MapLayout& layout, const LinkageMap& map,
              const std::vector<const QtlInterval*>& qtls, Surface& surface, const PageLengths& s,
              MapGeometry& geometry) {
    PagePoints page(surface);
    const double width = std::max(s.BarWidth / 2.0, 1.0);
    struct Placed {
        const QtlInterval* Qtl;
        double Top, Bottom, BoxTop, BoxBottom, TextTop;
        int TextWidth, TextHeight;
        std::size_t Column;
    };
    std::vector<Placed> placed;
    placed.reserve(qtls.size());
    for (const QtlInterval* qtl : qtls) {
        const double y1 = layout.PositionY(map, qtl->Start);
        const double y2 = layout.PositionY(map, qtl->End);
        double boxTop = std::min(y1, y2);
        double boxBottom = std::max(y1, y2);
        if (qtl->InnerStart) {
            const double i1 = layout.PositionY(map, *qtl->InnerStart);
            const double i2 = layout.PositionY(map, *qtl->InnerEnd);
            boxTop = std::min(i1, i2);
            boxBottom = std::max(i1, i2);
        }
        const int w = surface.TextWidth(qtl->Name);
        const int h = surface.TextHeight(qtl->Name);
        const double textTop = (boxTop + boxBottom) / 2 - h / 2.0;
        placed.push_back({qtl, std::min({y1, y2, textTop}), std::max({y1, y2, textTop + h}), boxTop,
                          boxBottom, textTop, w, h, 0});
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
    double x = geometry.Right + s.TextPadding;
    for (std::size_t c = 0; c < columnX.size(); ++c) {
        columnX[c] = x;
        x += width + s.TextPadding + columnText[c] + 2.0 * s.TextPadding;
    }
    surface.SetItalic(false);
    for (const Placed& q : placed) {
        const RgbColour colour = q.Qtl->Colour.value_or(kQtlColour);
        const double left = columnX[q.Column];
        const double middle = left + width / 2;
        surface.SetPenColour(colour);
        if (q.Qtl->InnerStart) {
            const double top =
                std::min(layout.PositionY(map, q.Qtl->Start), layout.PositionY(map, q.Qtl->End));
            const double bottom =
                std::max(layout.PositionY(map, q.Qtl->Start), layout.PositionY(map, q.Qtl->End));
            page.MoveTo(middle, top);
            page.LineTo(middle, bottom);
            page.MoveTo(left, top);
            page.LineTo(left + width, top);
            page.MoveTo(left, bottom);
            page.LineTo(left + width, bottom);
        }
        surface.Rectangle(page.X(left), page.Y(q.BoxTop), page.X(left + width),
                          page.Y(q.BoxBottom));
        surface.SetFontColour(colour);
        const double textX = left + width + s.TextPadding;
        page.TextOut(textX, q.TextTop, q.Qtl->Name);
        geometry.Right = std::max(geometry.Right, textX + q.TextWidth);
        geometry.Top = std::min(geometry.Top, q.Top);
    }
}

} // namespace karvello
