#include "drawing/DrawMaps.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "base/Error.h"
#include "base/Numbers.h"
#include "drawing/PagePoints.h"
#include "drawing/SurfaceAdapters.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

constexpr TColour kBlack = 0x000000;
constexpr TColour kGrey = 0x808080;
constexpr TColour kSilver = 0xC0C0C0;

// The text whose half height sets the gap below every block of placed names.
constexpr std::string_view kGapText = "ABC";
// Separator between the names of markers at one position.
constexpr std::string_view kSeparator = ", ";

// Refuses maps that would make the layout read outside the marker table or
// compute with values that are not finite, before anything is drawn.
void CheckMaps(const std::vector<TChrData>& maps, const TAllMarkers& markers) {
    auto fail = [](const TChrData& map, const std::string& what) {
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
        for (const auto& placed : map.Placed) {
            if (placed.Interval >= 0 && placed.Interval <= n && !inTable(placed.MarkerIndex)) {
                fail(map, "a placed marker refers to marker number " +
                              DecimalText(std::int64_t{placed.MarkerIndex} + 1) +
                              ", which the marker table does not hold");
            }
        }
    }
}

// Draws one drawing: the values that hold for all its maps, and the running x.
class MapLayout {
  public:
    MapLayout(Surface& surface, const TDrawSettings& settings, const TAllMarkers& markers,
              double scale)
        : page_(surface), surface_(surface), s_(settings), markers_(markers), scale_(scale),
          currentX_(settings.LeftMargin) {}

    void Draw(const TChrData& map) {
        const double columnWidth = MeasureLabelColumn(map);
        DrawBarAndDistances(map, columnWidth);
        DrawFrameworkLabels(map);
        DrawPlacedMarkers(map);
    }

  private:
    // The y of a map position given in cM: the first marker stands one tail
    // below the top of the bar.
    double MarkerY(double cumulativeCM) const {
        return static_cast<double>(std::int64_t{s_.TopMargin} + s_.TailLength) +
               cumulativeCM * scale_;
    }

    // The top of a distance label whose middle lies at the middle of the
    // interval that starts at cumulativeCM.
    double DistanceLabelTop(double cumulativeCM, double distance, int height) const {
        return (cumulativeCM + distance / 2) * scale_ - height / 2.0 + s_.TopMargin + s_.TailLength;
    }

    const TMarkerDetails& Marker(std::int32_t index) const {
        return markers_[static_cast<std::size_t>(index)];
    }

    // How wide the column left of the bar must be for the distance labels.
    // It predicts the stacking of DrawBarAndDistances, but starts one tail
    // lower and also counts the "0.0" labels that are never drawn: both can
    // only stack more labels, so the column is never narrower than the
    // labels drawn at their own places need.
    double MeasureLabelColumn(const TChrData& map) {
        double nextFreeY = MarkerY(0.0);
        double cumulativeCM = 0.0;
        std::int64_t columnWidth = 0;
        const std::size_t last = map.Markers.empty() ? 0 : map.Markers.size() - 1;
        for (std::size_t i = 0; i < last; ++i) {
            const double distance = map.Markers[i].Distance;
            const std::string label = DistanceToStr(distance);
            const int w = surface_.TextWidth(label);
            const int h = surface_.TextHeight(label);
            const double top = DistanceLabelTop(cumulativeCM, distance, h);
            std::int64_t need = std::int64_t{w} + s_.TextPadding;
            if (top > nextFreeY) {
                nextFreeY = top + h;
            } else {
                need += std::int64_t{s_.PreBendLength} + s_.SpacingLineLength + s_.PreBendLength;
                nextFreeY += h;
            }
            columnWidth = std::max(columnWidth, need);
            cumulativeCM += distance;
        }
        return static_cast<double>(columnWidth);
    }

    void DrawBarAndDistances(const TChrData& map, double columnWidth) {
        const double barLeft = currentX_ + columnWidth;
        const std::size_t count = map.Markers.size();

        double spanCM = 0.0;
        for (std::size_t i = 0; i + 1 < count; ++i) {
            spanCM += map.Markers[i].Distance;
        }
        barBottom_ = spanCM * scale_ + s_.TopMargin + 2 * std::int64_t{s_.TailLength};

        surface_.SetPenColour(kBlack);
        surface_.Rectangle(page_.X(barLeft), page_.Y(s_.TopMargin), page_.X(barLeft + s_.BarWidth),
                           page_.Y(barBottom_));

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

        DrawDistanceLabels(map, barLeft);

        currentX_ = currentX_ + columnWidth + s_.BarWidth;
        frameworkTextX_ = currentX_ + s_.PreBendLength + s_.FrameworkLineLength + s_.PreBendLength +
                          s_.TextPadding;
    }

    void DrawDistanceLabels(const TChrData& map, double barLeft) {
        double nextFreeY = s_.TopMargin;
        double cumulativeCM = 0.0;
        surface_.SetPenColour(kGrey);
        surface_.SetItalic(false);
        surface_.SetFontColour(kBlack);
        const std::size_t last = map.Markers.empty() ? 0 : map.Markers.size() - 1;
        for (std::size_t i = 0; i < last; ++i) {
            const double distance = map.Markers[i].Distance;
            if (distance == 0) {
                continue; // markers at one position have no interval to label
            }
            const std::string label = DistanceToStr(distance);
            const int w = surface_.TextWidth(label);
            const int h = surface_.TextHeight(label);
            const double top = DistanceLabelTop(cumulativeCM, distance, h);
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
            cumulativeCM += distance;
        }
    }

    void DrawFrameworkLabels(const TChrData& map) {
        const auto& entries = map.Markers;
        double nextFreeY = s_.TopMargin;
        double cumulativeCM = 0.0;
        // Starting at the bar's right edge rather than at 0 keeps a map
        // without framework entries from pulling the next map back to the
        // page's left edge; with entries, every label ends further right.
        mapRight_ = currentX_;
        surface_.SetPenColour(kGrey);
        const double lineEndX = currentX_ + s_.PreBendLength + s_.FrameworkLineLength;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].SamePosAsPrev) {
                const std::string& name = Marker(entries[i].MarkerIndex).Name;
                const int h = surface_.TextHeight(name);
                const double markerY = MarkerY(cumulativeCM);
                const double labelTop = std::max(markerY - h / 2.0, nextFreeY);
                const double labelMiddle = labelTop + h / 2.0;

                page_.MoveTo(currentX_, markerY);
                page_.LineTo(currentX_ + s_.PreBendLength, markerY);
                page_.LineTo(lineEndX, labelMiddle);
                page_.LineTo(lineEndX + s_.PreBendLength, labelMiddle);

                double textX = frameworkTextX_;
                std::size_t j = i;
                for (;;) {
                    const TMarkerDetails& marker = Marker(entries[j].MarkerIndex);
                    surface_.SetFontColour(marker.Colour);
                    surface_.SetItalic(marker.Dominant);
                    page_.TextOut(textX, labelTop, marker.Name);
                    textX += surface_.TextWidth(marker.Name);
                    if (entries[j].NextSamePos == -1) {
                        break;
                    }
                    surface_.SetItalic(false);
                    surface_.SetFontColour(kBlack);
                    page_.TextOut(textX, labelTop, kSeparator);
                    textX += surface_.TextWidth(kSeparator);
                    j = static_cast<std::size_t>(entries[j].NextSamePos);
                }
                mapRight_ = std::max(mapRight_, textX);
                nextFreeY = labelTop + surface_.TextHeight(Marker(entries[j].MarkerIndex).Name);
            }
            cumulativeCM += entries[i].Distance;
        }
        currentX_ = mapRight_ + s_.TextPadding;
    }

    // The placed entries of each interval 0..n, in the order of the list;
    // entries naming no interval are left out.
    static std::vector<std::vector<std::size_t>> PlacedByInterval(const TChrData& map) {
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

    void DrawPlacedMarkers(const TChrData& map) {
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
                const TMarkerDetails& marker = Marker(entries[i].MarkerIndex);
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
        currentX_ = mapRight_ + s_.MapSpacing;
    }

    // Draws one block of placed names with its silver line from the middle
    // between two framework labels and its black bracket. Returns the y at
    // which the next block may start.
    double DrawBlock(const TChrData& map, const std::vector<std::size_t>& gathered, double mid,
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
        for (std::size_t k : gathered) {
            const TMarkerDetails& marker = Marker(map.Placed[k].MarkerIndex);
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
    const TDrawSettings& s_;
    const TAllMarkers& markers_;
    const double scale_;
    double currentX_;
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

// Sets the maps in rows. Each row is laid out exactly as a drawing of its
// maps alone would be, so the first row of a figure that needs only one is
// today's drawing; the rows below are the same drawing moved down.
TDrawReport DrawInRows(const std::vector<TChrData>& maps, Surface& surface,
                       const TDrawSettings& settings, const TAllMarkers& markers,
                       const TFigureSettings& figure, double scale) {
    const std::int64_t edgeRoom = figure.Margin >= 0 ? figure.Margin : kRowEdgeRoom;
    const std::int64_t usableWidth = std::int64_t{figure.RowWidth} - 2 * edgeRoom;
    auto fits = [&](const TExtent& extent) {
        return figure.RowWidth <= 0 || extent.Width() <= usableWidth;
    };

    struct Row {
        std::vector<std::size_t> Maps;
        TExtent Extent;
    };
    std::vector<Row> rows;
    TDrawReport report;

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
            trial.Draw(maps[i]);
            TExtent extent = rows.back().Extent;
            extent.Include(measure.Extent());
            if (fits(extent)) {
                rowLayout.emplace(trial);
                rows.back().Maps.push_back(i);
                rows.back().Extent = extent;
                continue;
            }
        }
        rowLayout.emplace(measure, settings, markers, scale);
        measure.Reset();
        rowLayout->Draw(maps[i]);
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

    // Each row starts MapSpacing below the lowest point of the row above.
    const std::int64_t gap = std::max<std::int64_t>(settings.MapSpacing, 0);
    std::int64_t shift = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) {
            shift = rows[r - 1].Extent.Bottom + shift - gap - rows[r].Extent.Top;
        }
        ShiftedSurface shifted(surface, ClampToInt32(shift));
        MapLayout layout(shifted, settings, markers, scale);
        for (std::size_t i : rows[r].Maps) {
            surface.BeginMap(maps[i].MapNumber);
            layout.Draw(maps[i]);
            surface.EndMap();
        }
    }
    return report;
}

} // namespace

std::string DistanceToStr(double distance) {
    if (!std::isfinite(distance)) {
        return std::isnan(distance) ? "nan" : (distance < 0 ? "-inf" : "inf");
    }
    if (distance < 0) {
        return "-" + DistanceToStr(-distance);
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

TDrawReport DrawMaps(const std::vector<TChrData>& maps, Surface& surface,
                     const TDrawSettings& settings, const TAllMarkers& markers,
                     const TFigureSettings& figure) {
    CheckMaps(maps, markers);
    surface.SetMapMode(MappingMode::HiMetric);
    if (maps.empty()) {
        return {};
    }

    double maxMapLength = 0.0;
    for (const auto& map : maps) {
        const double length = MapLength(map);
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

    if (figure.RowWidth > 0 || figure.MapsPerRow > 0) {
        return DrawInRows(maps, surface, settings, markers, figure, scale);
    }
    MapLayout layout(surface, settings, markers, scale);
    for (const auto& map : maps) {
        surface.BeginMap(map.MapNumber);
        layout.Draw(map);
        surface.EndMap();
    }
    return {};
}

std::int64_t BarRoom(const TDrawSettings& settings) {
    return std::int64_t{settings.PageHeight} - settings.TopMargin - settings.BottomMargin -
           2 * std::int64_t{settings.TailLength};
}

} // namespace karvello
