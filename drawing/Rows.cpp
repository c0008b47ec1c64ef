#include "drawing/Rows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "base/Numbers.h"
#include "drawing/Canvas.h"
#include "drawing/PagePoints.h"
#include "drawing/SurfaceAdapters.h"

namespace karvello {

namespace {

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

} // namespace

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

DrawReport DrawInRows(const std::vector<LinkageMap>& maps, Surface& surface,
                      const PageLengths& settings, const MarkerTable& markers,
                      const FigureSettings& figure, double scale, const Decorations& d) {
    const double startX = d.A.Ruler ? d.RulerRoom : 0.0;
    const auto titleBand = static_cast<std::int64_t>(std::ceil(d.TitleBand(maps, settings)));
    const std::int64_t edgeRoom = figure.Margin >= 0 ? figure.Margin : kDefaultEdgeRoom;
    const std::int64_t usableWidth = std::int64_t{figure.RowWidth} - 2 * edgeRoom;
    auto fits = [&](const PageBox& extent) {
        return figure.RowWidth <= 0 || extent.RightMinusLeft() <= usableWidth;
    };

    struct Row {
        std::vector<std::size_t> Maps;
        PageBox Extent;
    };
    std::vector<Row> rows;
    DrawReport report;

    // Each map is measured where it would stand: after the maps already in
    // the row, or first in a new one. A layout holds the running x, so the
    // row's layout is copied for a trial and kept when the map fits.
    ExtentSurface measure(surface, figure.LineWidth >= 0 ? figure.LineWidth : kDefaultLineWidth);
    std::optional<MapLayout> rowLayout;
    bool rowClosed = true;
    for (std::size_t i = 0; i < maps.size(); ++i) {
        const bool full = figure.MapsPerRow > 0 && !rows.empty() &&
                          rows.back().Maps.size() >= static_cast<std::size_t>(figure.MapsPerRow);
        if (!rowClosed && !full) {
            MapLayout trial = *rowLayout;
            measure.Reset();
            trial.Draw(maps[i], d.Qtls[i]);
            PageBox extent = rows.back().Extent;
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
            report.Warnings.push_back(
                "Map " + DecimalText(maps[i].MapNumber) + " is " +
                MillimetreText(measure.Extent().RightMinusLeft() + 2 * edgeRoom) +
                " wide with its edge room, wider than the row width of " +
                MillimetreText(figure.RowWidth) + "; it stands alone in its row.");
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
            shift = rows[r].Extent.Top - rows[r - 1].Extent.Bottom + shift - gap - titleBand;
        }
        ShiftedSurface shifted(surface, ClampToInt32(shift));
        MapLayout layout(shifted, settings, markers, scale, d.A, startX, d.AxisTop);
        DrawRow(maps, rows[r].Maps, shifted, surface, layout, d, settings);
    }
    return report;
}

} // namespace karvello
