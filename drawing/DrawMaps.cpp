#include "drawing/DrawMaps.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "base/Error.h"
#include "base/Numbers.h"
#include "drawing/Decorations.h"
#include "drawing/FigureLayout.h"
#include "drawing/MapLayout.h"
#include "drawing/Rows.h"

namespace karvello {

namespace {

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

} // namespace

std::string MapLengthText(const LinkageMap& map) {
    const double length = MapLength(map);
    if (map.GroupName.empty() || !std::isfinite(length)) {
        return DistanceText(length);
    }
    return DistanceText(std::round(length * 10.0) / 10.0);
}

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
