// Maps set in rows in the classic layout: where rows break, that every row
// keeps the one scale and the drawing of a lone row, and that no row reaches
// into the next. Checked on the recording surface (text 100 per character
// wide, 300 high).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "drawing/DrawMaps.h"
#include "tests/drawing/DrawingTestMaps.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

// The box of one map as the log shows it, y upward; the bar's left edge
// tells rows apart, as every row starts again at the left margin.
struct MapBox {
    std::int64_t BarLeft = 0, BarTop = 0, BarBottom = 0;
    std::int64_t Left = INT64_MAX, Top = INT64_MIN, Right = INT64_MIN, Bottom = INT64_MAX;
    void Include(std::int64_t x, std::int64_t y) {
        Left = std::min(Left, x);
        Right = std::max(Right, x);
        Top = std::max(Top, y);
        Bottom = std::min(Bottom, y);
    }
};

// Rows are measured with lines widened by half of the widest default pen.
constexpr std::int64_t kHalfPen = (kDefaultLineWidth + 1) / 2;

// Splits the log into maps at each bar and measures what each map drew:
// lines by their ends widened by half a pen, text by its cell.
std::vector<MapBox> MapBoxes(const std::vector<std::string>& log) {
    std::vector<MapBox> maps;
    std::int64_t x = 0, y = 0;
    for (const auto& line : log) {
        std::istringstream in(line);
        std::string op;
        in >> op;
        if (op == "Rectangle") {
            std::int64_t x1, y1, x2, y2;
            in >> x1 >> y1 >> x2 >> y2;
            MapBox box;
            box.BarLeft = x1;
            box.BarTop = y1;
            box.BarBottom = y2;
            box.Include(x1 - kHalfPen, y1 + kHalfPen);
            box.Include(x2 + kHalfPen, y2 - kHalfPen);
            maps.push_back(box);
        } else if (op == "MoveTo") {
            in >> x >> y;
        } else if (op == "LineTo") {
            std::int64_t x2, y2;
            in >> x2 >> y2;
            maps.back().Include(std::min(x, x2) - kHalfPen, std::max(y, y2) + kHalfPen);
            maps.back().Include(std::max(x, x2) + kHalfPen, std::min(y, y2) - kHalfPen);
            x = x2;
            y = y2;
        } else if (op == "TextOut") {
            std::int64_t tx, ty;
            std::string text;
            in >> tx >> ty >> text;
            maps.back().Include(tx, ty);
            maps.back().Include(tx + 100 * static_cast<std::int64_t>(text.size() - 2), ty - 300);
        }
    }
    return maps;
}

// The maps of each row, by their order in the drawing.
std::vector<std::vector<MapBox>> Rows(const std::vector<MapBox>& maps) {
    std::vector<std::vector<MapBox>> rows;
    for (const auto& map : maps) {
        if (rows.empty() || map.BarLeft <= rows.back().back().BarLeft) {
            rows.emplace_back();
        }
        rows.back().push_back(map);
    }
    return rows;
}

std::vector<std::size_t> RowSizes(const std::vector<MapBox>& maps) {
    std::vector<std::size_t> sizes;
    for (const auto& row : Rows(maps)) {
        sizes.push_back(row.size());
    }
    return sizes;
}

std::int64_t RowWidth(const std::vector<MapBox>& row) {
    std::int64_t left = INT64_MAX, right = INT64_MIN;
    for (const auto& map : row) {
        left = std::min(left, map.Left);
        right = std::max(right, map.Right);
    }
    return right - left;
}

// Five maps numbered 1 to 5 with names of their own; the third is the
// widest, with a long name.
struct Figure {
    std::vector<LinkageMap> Maps;
    MarkerTable Markers;
};

Figure FiveMaps(const std::string& thirdName = "M20") {
    Figure figure;
    figure.Markers = MakeMarkers({"M00", "M01", "M10", "M11", thirdName, "M21", "M30", "M31", "M40",
                                  "M41", "P0", "P1", "P2", "P3", "P4"});
    const std::vector<std::vector<double>> distances = {{20, 0}, {10, 0}, {40, 0}, {5, 0}, {8, 0}};
    for (std::size_t i = 0; i < distances.size(); ++i) {
        figure.Maps.push_back(MakeMap({distances[i][0], 5}, static_cast<int>(2 * i)));
        figure.Maps.back().MapNumber = static_cast<int>(i + 1);
    }
    return figure;
}

struct Drawn {
    std::vector<std::string> Log;
    DrawReport Report;
};

Drawn Draw(const Figure& figure, const FigureSettings& rows,
           const PageLengths& settings = PageLengths()) {
    RecordingSurface surface;
    Drawn drawn;
    drawn.Report = DrawMaps(figure.Maps, surface, settings, figure.Markers, rows);
    drawn.Log = surface.Log();
    return drawn;
}

FigureSettings Rows(std::int32_t width, std::int32_t perRow = 0, std::int32_t margin = -1) {
    FigureSettings figure;
    figure.RowWidth = width;
    figure.MapsPerRow = perRow;
    figure.Margin = margin;
    figure.Layout = "classic";
    return figure;
}

// The measuring pass only sets the font style on the real surface; with
// those lines left out, a figure that fits one row is the drawing without
// rows.
TEST(DrawMapsRows, AFigureThatFitsOneRowIsTheDrawingWithoutRows) {
    const Figure figure = FiveMaps();
    const auto plain = Draw(figure, FigureSettings()).Log;
    auto rowed = Draw(figure, Rows(1'000'000)).Log;
    ASSERT_FALSE(rowed.empty());
    const auto firstDrawn = std::find_if(rowed.begin() + 1, rowed.end(), [](const std::string& l) {
        return l.rfind("Italic", 0) != 0;
    });
    rowed.erase(rowed.begin() + 1, firstDrawn);
    EXPECT_EQ(rowed, plain);
}

// Rows break where the next map would make the row, with its edge room on
// both sides, wider than the row width: the width two maps need fits them
// exactly, one unit less does not.
TEST(DrawMapsRows, RowsBreakAtTheWidth) {
    const Figure figure = FiveMaps();
    const auto oneRow = MapBoxes(Draw(figure, FigureSettings()).Log);
    const std::vector<MapBox> firstTwo(oneRow.begin(), oneRow.begin() + 2);
    const auto twoMaps = static_cast<std::int32_t>(RowWidth(firstTwo));

    struct Case {
        const char* rule;
        FigureSettings figure;
        std::vector<std::size_t> rowSizes;
    };
    const Case cases[] = {
        {"two maps fit exactly with the default edge room",
         Rows(twoMaps + 2 * kDefaultEdgeRoom),
         {2, 2, 1}},
        // The fourth map's distance labels are one digit narrower.
        {"one unit less leaves the first two maps alone",
         Rows(twoMaps + 2 * kDefaultEdgeRoom - 1),
         {1, 1, 2, 1}},
        {"a margin given counts instead of the default edge room",
         Rows(twoMaps + 2 * 50, 0, 50),
         {2, 2, 1}},
        {"the given margin too breaks one unit below",
         Rows(twoMaps + 2 * 50 - 1, 0, 50),
         {1, 1, 2, 1}},
        {"maps per row alone", Rows(0, 2), {2, 2, 1}},
        {"maps per row within a width that holds more", Rows(1'000'000, 3), {3, 2}},
        {"the width wins over maps per row", Rows(twoMaps + 2 * kDefaultEdgeRoom, 4), {2, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const auto drawn = Draw(figure, c.figure);
        const auto maps = MapBoxes(drawn.Log);
        EXPECT_EQ(RowSizes(maps), c.rowSizes);
        if (c.figure.RowWidth > 0) {
            const std::int64_t room = c.figure.Margin >= 0 ? c.figure.Margin : kDefaultEdgeRoom;
            for (const auto& row : Rows(maps)) {
                if (row.size() > 1) {
                    EXPECT_LE(RowWidth(row) + 2 * room, c.figure.RowWidth);
                }
            }
        }
    }
}

// The third map, with its long name, does not fit any row: it stands alone,
// the maps after it start a new row, and the report names it with its width.
TEST(DrawMapsRows, AMapWiderThanTheRowStandsAloneAndIsReported) {
    const Figure figure = FiveMaps(std::string(150, 'W'));
    const auto oneRow = MapBoxes(Draw(FiveMaps(), FigureSettings()).Log);
    const std::int32_t width =
        static_cast<std::int32_t>(RowWidth({oneRow[0], oneRow[1]}) + 10 + 2 * kDefaultEdgeRoom);

    const auto drawn = Draw(figure, Rows(width));
    EXPECT_EQ(RowSizes(MapBoxes(drawn.Log)), (std::vector<std::size_t>{2, 1, 2}));
    ASSERT_EQ(drawn.Report.Warnings.size(), 1u);
    const std::string& warning = drawn.Report.Warnings.front();
    EXPECT_EQ(warning.rfind("Map 3 is ", 0), 0u) << warning;
    EXPECT_NE(warning.find("stands alone in its row"), std::string::npos) << warning;

    EXPECT_TRUE(Draw(figure, FigureSettings()).Report.Warnings.empty());
    EXPECT_TRUE(Draw(figure, Rows(0, 1)).Report.Warnings.empty());

    // A width under a centimetre was likely meant in millimetres: one more
    // warning says how to write it.
    const auto tiny = Draw(figure, Rows(175));
    ASSERT_FALSE(tiny.Report.Warnings.empty());
    EXPECT_EQ(tiny.Report.Warnings.back(),
              "The row width is 1.75 mm: a length without a unit is in 1/100 mm, so write 175mm "
              "for 175 millimetres.");
}

// Each map of every row is drawn between its own BeginMap and EndMap.
TEST(DrawMapsRows, EveryMapOfEveryRowIsGrouped) {
    class GroupLog : public RecordingSurface {
      public:
        void BeginMap(int number) override { Groups.push_back("Begin " + std::to_string(number)); }
        void EndMap() override { Groups.push_back("End"); }
        std::vector<std::string> Groups;
    } surface;
    const Figure figure = FiveMaps();
    (void)DrawMaps(figure.Maps, surface, PageLengths(), figure.Markers, Rows(0, 2));
    const std::vector<std::string> expected = {"Begin 1", "End", "Begin 2", "End", "Begin 3", "End",
                                               "Begin 4", "End", "Begin 5", "End"};
    EXPECT_EQ(surface.Groups, expected);
}

// Every row keeps the scale of the longest map of the whole figure: the bar
// of the 10-cM map in the second row has half the length of the 20-cM
// map's, as it would in one row.
TEST(DrawMapsRows, EveryRowUsesTheScaleOfTheLongestMap) {
    const Figure figure = FiveMaps();
    const auto plain = MapBoxes(Draw(figure, FigureSettings()).Log);
    const auto rowed = MapBoxes(Draw(figure, Rows(0, 1)).Log);
    ASSERT_EQ(rowed.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rowed[i].BarTop - rowed[i].BarBottom, plain[i].BarTop - plain[i].BarBottom);
    }
}

// Placed markers below the last framework marker hang their block below the
// bar; the row underneath starts MapSpacing below the block's last name, not
// below the bar.
TEST(DrawMapsRows, RowsStandApartBelowEverythingTheRowAboveDrew) {
    Figure figure = FiveMaps();
    for (int k = 0; k < 5; ++k) {
        figure.Maps[0].Placed.push_back({10 + k, 2});
    }
    PageLengths settings;
    settings.MapSpacing = 700;
    const auto rows = Rows(MapBoxes(Draw(figure, Rows(0, 2), settings).Log));
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_LT(rows[0][0].Bottom, rows[0][0].BarBottom) << "the block must hang below the bar";
    for (std::size_t r = 1; r < rows.size(); ++r) {
        SCOPED_TRACE(r);
        std::int64_t above = INT64_MAX, top = INT64_MIN;
        for (const auto& map : rows[r - 1]) {
            above = std::min(above, map.Bottom);
        }
        for (const auto& map : rows[r]) {
            top = std::max(top, map.Top);
        }
        const std::int64_t gap = above - top;
        EXPECT_EQ(gap, settings.MapSpacing);
    }
}

} // namespace
} // namespace karvello::test
