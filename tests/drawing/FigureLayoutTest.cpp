// The figure layout on real maps: the whole drawing inside the box, every
// marker named, no text over text and no line through text; a box too small
// is refused with what would fit. Text is measured about as 6 pt Liberation
// Sans is (1.1 mm a character, 2.4 mm a line).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/Error.h"
#include "drawing/DrawMaps.h"
#include "drawing/FigureLayout.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/TestText.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

constexpr int kCharWidth = 110;
constexpr int kLineHeight = 240;
constexpr std::int64_t kHalfPen = (kDefaultLineWidth + 1) / 2;

struct Cell {
    std::int64_t Left, Top, Right, Bottom; // y downward
    std::string Text;
};
struct Segment {
    double X1, Y1, X2, Y2; // y downward
    bool Edge = false;     // an edge of a rectangle
};
struct Picture {
    std::vector<Cell> Cells;
    std::vector<Cell> Fills; // filled rectangles, Text their colour as logged
    std::vector<Segment> Segments;
    std::int64_t Left = INT64_MAX, Top = INT64_MAX, Right = INT64_MIN, Bottom = INT64_MIN;
    void Include(std::int64_t x, std::int64_t y, std::int64_t grow) {
        Left = std::min(Left, x - grow);
        Right = std::max(Right, x + grow);
        Top = std::min(Top, y - grow);
        Bottom = std::max(Bottom, y + grow);
    }
};

std::string Unquote(const std::string& quoted) {
    std::string text;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && quoted[i + 1] == 'x') {
            text += static_cast<char>(std::stoi(quoted.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else if (quoted[i] == '\\') {
            text += quoted[++i];
        } else {
            text += quoted[i];
        }
    }
    return text;
}

// The recorded drawing as text cells and line segments, y turned downward.
Picture Read(const RecordingSurface& surface) {
    Picture picture;
    double x = 0, y = 0;
    for (const std::string& line : surface.Log()) {
        std::istringstream in(line);
        std::string op;
        in >> op;
        if (op == "TextOut") {
            std::int64_t tx, ty;
            in >> tx >> ty;
            std::string rest;
            std::getline(in, rest);
            const std::string text = Unquote(rest.substr(rest.find('"')));
            const auto width = static_cast<std::int64_t>(text.size()) * kCharWidth;
            picture.Cells.push_back({tx, -ty, tx + width, -ty + kLineHeight, text});
            picture.Include(tx, -ty, 0);
            picture.Include(tx + width, -ty + kLineHeight, 0);
        } else if (op == "MoveTo") {
            in >> x >> y;
        } else if (op == "LineTo") {
            double x2, y2;
            in >> x2 >> y2;
            picture.Segments.push_back({x, -y, x2, -y2});
            picture.Include(static_cast<std::int64_t>(x), static_cast<std::int64_t>(-y), kHalfPen);
            picture.Include(static_cast<std::int64_t>(x2), static_cast<std::int64_t>(-y2),
                            kHalfPen);
            x = x2;
            y = y2;
        } else if (op == "FillRectangle") {
            std::int64_t x1, y1, x2, y2;
            std::string colour;
            in >> x1 >> y1 >> x2 >> y2 >> colour;
            picture.Fills.push_back({std::min(x1, x2), std::min(-y1, -y2), std::max(x1, x2),
                                     std::max(-y1, -y2), colour});
            picture.Include(x1, -y1, 0);
            picture.Include(x2, -y2, 0);
        } else if (op == "Rectangle") {
            double x1, y1, x2, y2;
            in >> x1 >> y1 >> x2 >> y2;
            picture.Segments.push_back({x1, -y1, x2, -y1, true});
            picture.Segments.push_back({x2, -y1, x2, -y2, true});
            picture.Segments.push_back({x2, -y2, x1, -y2, true});
            picture.Segments.push_back({x1, -y2, x1, -y1, true});
            picture.Include(static_cast<std::int64_t>(x1), static_cast<std::int64_t>(-y1),
                            kHalfPen);
            picture.Include(static_cast<std::int64_t>(x2), static_cast<std::int64_t>(-y2),
                            kHalfPen);
        }
    }
    return picture;
}

// Whether the segment runs through the inside of the cell (Liang-Barsky).
bool Crosses(const Segment& s, const Cell& c) {
    const double left = c.Left + 1.0, right = c.Right - 1.0, top = c.Top + 1.0,
                 bottom = c.Bottom - 1.0;
    double t0 = 0.0, t1 = 1.0;
    const double dx = s.X2 - s.X1, dy = s.Y2 - s.Y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {s.X1 - left, right - s.X1, s.Y1 - top, bottom - s.Y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return false;
            }
        } else {
            const double t = q[k] / p[k];
            if (p[k] < 0) {
                t0 = std::max(t0, t);
            } else {
                t1 = std::min(t1, t);
            }
        }
    }
    return t0 < t1;
}

struct Data {
    MarkerTable Markers;
    std::vector<LinkageMap> Maps;
};

Data MapTable(const std::string& path) {
    const TextLines lines(ReadTextFile(path));
    MapFile file = ReadMapFile(lines.lines(), path);
    return {std::move(file.Markers), std::move(file.Maps)};
}

Data Pair(const std::string& folder) {
    const std::string dir = std::string(KARVELLO_SAMPLES_DIR) + "/" + folder + "/";
    Loaded loaded = LoadPair(dir + "input.raw", dir + "output.txt");
    return {std::move(loaded.markers), std::move(loaded.maps)};
}

FigureSettings Box(std::int32_t width, std::int32_t height) {
    FigureSettings figure;
    figure.RowWidth = width;
    figure.Height = height;
    return figure;
}

struct Drawn {
    Picture Drawing;
    DrawReport Report;
};

Drawn Draw(const Data& data, const FigureSettings& figure,
           const FigureAnnotations& annotations = FigureAnnotations()) {
    RecordingSurface surface(kCharWidth, kLineHeight);
    surface.SetFontStateIgnored();
    Drawn drawn;
    drawn.Report = DrawMaps(data.Maps, surface, PageLengths{}, data.Markers, figure, annotations);
    drawn.Drawing = Read(surface);
    return drawn;
}

bool Overlap(const Cell& a, const Cell& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Every rule a figure keeps, checked on what was drawn; with everyName, the
// name of every marker of every map is written.
void ExpectAFigure(const Data& data, const Drawn& drawn, const FigureSettings& figure,
                   bool everyName = true) {
    const Picture& p = drawn.Drawing;
    ASSERT_FALSE(p.Cells.empty());
    const std::int64_t room = 2 * kDefaultEdgeRoom;
    if (figure.RowWidth > 0) {
        EXPECT_LE(p.Right - p.Left + room, figure.RowWidth);
    }
    if (figure.Height > 0) {
        EXPECT_LE(p.Bottom - p.Top + room, figure.Height);
    }
    std::map<std::string, int> written;
    for (const Cell& cell : p.Cells) {
        ++written[cell.Text];
    }
    for (const LinkageMap& map : everyName ? data.Maps : std::vector<LinkageMap>()) {
        for (const MapEntry& entry : map.Markers) {
            const std::string& name =
                data.Markers[static_cast<std::size_t>(entry.MarkerIndex)].Name;
            EXPECT_TRUE(written.contains(name)) << "map " << map.MapNumber << ": " << name;
        }
    }
    std::vector<Cell> cells = p.Cells;
    std::sort(cells.begin(), cells.end(),
              [](const Cell& a, const Cell& b) { return a.Top < b.Top; });
    int overlaps = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = i + 1; j < cells.size() && cells[j].Top < cells[i].Bottom; ++j) {
            if (cells[i].Left < cells[j].Right && cells[j].Left < cells[i].Right &&
                ++overlaps <= 5) {
                ADD_FAILURE() << "\"" << cells[i].Text << "\" overlaps \"" << cells[j].Text << "\"";
            }
        }
    }
    EXPECT_EQ(overlaps, 0);
    int crossings = 0;
    for (const Segment& s : p.Segments) {
        for (const Cell& cell : p.Cells) {
            if (Crosses(s, cell) && ++crossings <= 5) {
                ADD_FAILURE() << "a line from (" << s.X1 << ", " << s.Y1 << ") to (" << s.X2 << ", "
                              << s.Y2 << ") crosses \"" << cell.Text << "\"";
            }
        }
    }
    EXPECT_EQ(crossings, 0);
    int hidden = 0;
    for (const Cell& fill : p.Fills) {
        for (const Cell& cell : p.Cells) {
            if (Overlap(fill, cell) && ++hidden <= 5) {
                ADD_FAILURE() << "a fill " << fill.Text << " lies under \"" << cell.Text << "\"";
            }
        }
    }
    EXPECT_EQ(hidden, 0);
}

const std::string kMaps = KARVELLO_MAPS_DIR;

TEST(FigureLayoutTest, RealMapsFitTheirBoxWithEveryNameAndNoTextOverText) {
    FigureAnnotations linked;
    linked.Links = true;
    linked.Titles = true;
    struct Case {
        const char* What;
        Data Maps;
        FigureSettings Figure;
        FigureAnnotations Annotations;
    };
    const Data hyper = MapTable(kMaps + "/rqtl_hyper/hyper_map.csv");
    Data chromosome1;
    chromosome1.Markers = hyper.Markers;
    chromosome1.Maps = {hyper.Maps.front()};
    const Case cases[] = {
        {"hyper in a page", hyper, Box(17500, 23000), {}},
        {"one chromosome of hyper in a column", chromosome1, Box(8500, 0), {}},
        {"the example with links and titles", Pair("mouse_tutorial"), Box(17500, 23000), linked},
        {"the carrot map with links and titles", MapTable(kMaps + "/carrot_comparative/Carrot.csv"),
         Box(17500, 23000), linked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const Drawn drawn = Draw(c.Maps, c.Figure, c.Annotations);
        ExpectAFigure(c.Maps, drawn, c.Figure);
        // Every link kept: no row break between maps that share markers.
        EXPECT_TRUE(drawn.Report.Warnings.empty()) << drawn.Report.Warnings.front();
    }
}

// mouse_order_all stacks up to 23 names at one position: at 230 mm it is
// refused, with the height it needs; at that height it fits.
TEST(FigureLayoutTest, ABoxTooSmallIsRefusedWithTheHeightThatFits) {
    const Data genome = Pair("mouse_order_all");
    const FigureSettings small = Box(17500, 23000);
    std::string message;
    try {
        Draw(genome, small);
        FAIL() << "drawn into a box too small";
    } catch (const KarvelloError& error) {
        message = error.what();
    }
    const std::string need = "they need ";
    const auto at = message.find(need);
    ASSERT_NE(at, std::string::npos) << message;
    EXPECT_NE(message.find("--show-only"), std::string::npos) << message;
    const double millimetres = std::strtod(message.c_str() + at + need.size(), nullptr);
    EXPECT_GT(millimetres, 230.0) << message;
    const FigureSettings named = Box(17500, static_cast<std::int32_t>(millimetres * 100));
    ExpectAFigure(genome, Draw(genome, named), named);

    // Nothing drawn when refused, and a map wider than the box is named.
    RecordingSurface surface(kCharWidth, kLineHeight);
    try {
        (void)DrawMaps(genome.Maps, surface, PageLengths{}, genome.Markers, Box(1500, 0));
        FAIL() << "drawn into a box too narrow";
    } catch (const KarvelloError& error) {
        EXPECT_NE(std::string(error.what()).find("map 1 needs"), std::string::npos) << error.what();
    }
    for (const std::string& line : surface.Log()) {
        EXPECT_EQ(line.rfind("TextOut", 0), std::string::npos) << line;
    }
}

// Where labels are free each stands at its marker; names at one position
// come a few to a line, as one block.
// The widest line a settings file can ask for is measured in wide enough
// numbers, in rows and in the figure layout: the drawing is refused as too
// large or drawn, never computed with a number that overflows (which the
// sanitizers' build of the tests would report).
TEST(FigureLayoutTest, TheWidestLineIsMeasuredWithoutOverflow) {
    const Data hyper = MapTable(kMaps + "/rqtl_hyper/hyper_map.csv");
    for (const char* layout : {"classic", "figure"}) {
        SCOPED_TRACE(layout);
        FigureSettings figure = Box(17500, 0);
        figure.Layout = layout;
        figure.LineWidth = std::numeric_limits<std::int32_t>::max();
        RecordingSurface surface(kCharWidth, kLineHeight);
        try {
            (void)DrawMaps(hyper.Maps, surface, PageLengths{}, hyper.Markers, figure);
        } catch (const KarvelloError& error) {
            EXPECT_FALSE(std::string(error.what()).empty());
        }
    }
}

TEST(FigureLayoutTest, FreeLabelsStandAtTheirMarkersAndNamesWrap) {
    Data data;
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
        data.Markers.push_back({name});
    }
    LinkageMap map;
    // A at 0, B..E at 50 cM, F at 100 cM.
    map.Markers = {{0, 50.0},         {1, 0.0, 2},         {2, 0.0, 3, true},
                   {3, 0.0, 4, true}, {4, 50.0, -1, true}, {5, 0.0}};
    data.Maps = {map};
    FigureSettings figure = Box(0, 12000);
    figure.NamesPerLine = 2;
    const Drawn drawn = Draw(data, figure);
    ExpectAFigure(data, drawn, figure);
    std::map<std::string, const Cell*> cells;
    for (const Cell& cell : drawn.Drawing.Cells) {
        cells[cell.Text] = &cell;
    }
    // The ticks, as the bar's horizontal lines, top down.
    std::vector<double> ticks;
    for (const Segment& s : drawn.Drawing.Segments) {
        if (!s.Edge && s.Y1 == s.Y2 && s.X2 - s.X1 == PageLengths{}.BarWidth) {
            ticks.push_back(s.Y1);
        }
    }
    std::sort(ticks.begin(), ticks.end());
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_NEAR(cells.at("A")->Top + kLineHeight / 2.0, ticks[0], 1.0);
    EXPECT_NEAR(cells.at("B")->Top + kLineHeight / 2.0, ticks[1], 1.0);
    EXPECT_NEAR(cells.at("F")->Top + kLineHeight / 2.0, ticks[2], 1.0);
    // B, C on the first line; D, E on the second, below B.
    EXPECT_EQ(cells.at("C")->Top, cells.at("B")->Top);
    EXPECT_EQ(cells.at("D")->Top, cells.at("B")->Top + kLineHeight);
    EXPECT_EQ(cells.at("D")->Left, cells.at("B")->Left);
}

// --maps and --rows as the figure layout reads them.
TEST(FigureLayoutTest, MapListsAreReadAsWrittenAndRefusedWhenUnreadable) {
    using Rows = std::vector<std::vector<std::int32_t>>;
    EXPECT_EQ(ReadMapRows(""), Rows{});
    EXPECT_EQ(ReadMapRows("3,1,2"), (Rows{{3, 1, 2}}));
    EXPECT_EQ(ReadMapRows("1-3/5,4/7"), (Rows{{1, 2, 3}, {5, 4}, {7}}));
    for (const char* bad : {"0", "1,,2", "1/", "/1", "a", "3-1", "1-", "-2", "1 2", "1234567"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ReadMapRows(bad), KarvelloError);
    }
}

// The maps of hyper in the order and the rows asked for; a row too wide or a
// drawn map left out of the rows is refused before anything is drawn.
TEST(FigureLayoutTest, MapsStandInTheOrderAndRowsAsked) {
    const Data hyper = MapTable(kMaps + "/rqtl_hyper/hyper_map.csv");
    ASSERT_EQ(hyper.Maps.size(), 20u);
    const auto planned = [&hyper](const FigureSettings& figure) {
        RecordingSurface surface(kCharWidth, kLineHeight);
        surface.SetFontStateIgnored();
        FigurePlan plan;
        (void)DrawFigure(hyper.Maps, surface, PageLengths{}, hyper.Markers, figure, {}, &plan);
        return plan;
    };
    // Rows: by index into the maps handed in, left to right.
    FigureSettings ordered = Box(17500, 23000);
    ordered.MapOrder = "3,1,2";
    const FigurePlan byOrder = planned(ordered);
    std::vector<std::size_t> sequence;
    for (const auto& row : byOrder.Rows) {
        sequence.insert(sequence.end(), row.begin(), row.end());
    }
    ASSERT_EQ(sequence.size(), 20u);
    EXPECT_EQ(std::vector<std::size_t>(sequence.begin(), sequence.begin() + 4),
              (std::vector<std::size_t>{2, 0, 1, 3}));

    // Seven maps of hyper stand in a row 250 mm wide.
    FigureSettings broken = Box(25000, 30000);
    broken.Rows = "1-7/8-14/15-20";
    const FigurePlan byRows = planned(broken);
    ASSERT_EQ(byRows.Rows.size(), 3u);
    EXPECT_EQ(byRows.Rows[0].size(), 7u);
    EXPECT_EQ(byRows.Rows[1].front(), 7u);
    EXPECT_EQ(byRows.Rows[2].size(), 6u);
    ExpectAFigure(hyper, Draw(hyper, broken), broken);
    // A row's maps stand in the order the row names them.
    broken.Rows = "20,19/1-5/6-10/11-14/15-18";
    const FigurePlan reversed = planned(broken);
    ASSERT_EQ(reversed.Rows.size(), 5u);
    EXPECT_EQ(reversed.Rows[0], (std::vector<std::size_t>{19, 18}));

    const struct {
        const char* Rows;
        const char* Says;
    } refused[] = {
        {"1-20", "The row of maps 1,2,3"},
        {"1-10/12-20", "Map 11 is drawn but in none of the rows"},
        {"1-10/10-20", "name map 10 twice"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.Rows);
        FigureSettings figure = Box(17500, 23000);
        figure.Rows = r.Rows;
        RecordingSurface surface(kCharWidth, kLineHeight);
        try {
            (void)DrawFigure(hyper.Maps, surface, PageLengths{}, hyper.Markers, figure, {});
            ADD_FAILURE() << "drawn";
        } catch (const KarvelloError& error) {
            EXPECT_NE(std::string(error.what()).find(r.Says), std::string::npos) << error.what();
        }
        for (const std::string& line : surface.Log()) {
            EXPECT_EQ(line.rfind("TextOut", 0), std::string::npos) << line;
        }
    }
}

// Bars of a row stand at their 0 cM, so a map that starts at 10 cM starts
// lower by 10 cM; aligned at their tops, they start level.
TEST(FigureLayoutTest, BarsAlignAtTheirZeroOrTheirTops) {
    Data data;
    for (const char* name : {"A", "B", "C", "D"}) {
        data.Markers.push_back({name});
    }
    LinkageMap first;
    first.MapNumber = 1;
    first.Markers = {{0, 40.0}, {1, 0.0}};
    LinkageMap second = first;
    second.MapNumber = 2;
    second.FirstPosition = 10.0;
    second.Markers = {{2, 40.0}, {3, 0.0}};
    data.Maps = {first, second};
    for (const char* align : {"zero", "top"}) {
        SCOPED_TRACE(align);
        FigureSettings figure = Box(17500, 10000);
        figure.Align = align;
        RecordingSurface surface(kCharWidth, kLineHeight);
        surface.SetFontStateIgnored();
        FigurePlan plan;
        (void)DrawFigure(data.Maps, surface, PageLengths{}, data.Markers, figure, {}, &plan);
        ASSERT_EQ(plan.Rows.size(), 1u);
        std::vector<std::array<int, 4>> bars;
        for (const std::string& line : surface.Log()) {
            std::istringstream in(line);
            std::string op;
            std::array<int, 4> box{};
            if (in >> op && op == "Rectangle" && in >> box[0] >> box[1] >> box[2] >> box[3]) {
                bars.push_back(box);
            }
        }
        ASSERT_EQ(bars.size(), 2u);
        const double shift = std::string(align) == "top" ? 0.0 : 10.0 * plan.Scale;
        // y upward: the second bar's top lies lower, by its start.
        EXPECT_NEAR(bars[0][1] - bars[1][1], shift, 1.0);
        EXPECT_NEAR(bars[0][1] - bars[0][3], bars[1][1] - bars[1][3], 1.0) << "same length";
    }
}

// Beside each bar a strip coloured by markers per cM: darkest where the
// markers crowd, lightest where they are few, nothing where there are none;
// a legend below names the classes. The oat map, every group, fits a page
// with it and no names.
TEST(FigureLayoutTest, DensityStripsShowWhereMarkersCrowd) {
    Data data;
    LinkageMap map;
    map.MapNumber = 1;
    // 40 markers in the first 4 cM, then one every 20 cM down to 104 cM.
    for (int i = 0; i < 40; ++i) {
        data.Markers.push_back({"d" + std::to_string(i)});
        map.Markers.push_back({i, i + 1 < 40 ? 0.1 : 20.0 - 3.9});
    }
    for (int i = 0; i < 6; ++i) {
        data.Markers.push_back({"s" + std::to_string(i)});
        map.Markers.push_back({40 + i, i + 1 < 6 ? 20.0 : 0.0});
    }
    data.Maps = {map};
    FigureSettings figure = Box(17500, 12000);
    figure.Labels = "none";
    figure.Density = true;
    const Drawn drawn = Draw(data, figure);
    ExpectAFigure(data, drawn, figure, false);
    const Picture& p = drawn.Drawing;

    std::vector<Cell> strip; // the fills beside the bar, top down
    double barLeft = 1e18;
    for (const Segment& s : p.Segments) {
        if (!s.Edge && s.Y1 == s.Y2 && s.X2 - s.X1 == PageLengths{}.BarWidth) {
            barLeft = std::min(barLeft, s.X1);
        }
    }
    const auto caption = std::find_if(p.Cells.begin(), p.Cells.end(), [](const Cell& c) {
        return c.Text.rfind("Markers per cM, in bins of ", 0) == 0;
    });
    ASSERT_NE(caption, p.Cells.end());
    const std::int64_t legendTop = caption->Top;
    for (const Cell& fill : p.Fills) {
        if (fill.Bottom <= legendTop) {
            EXPECT_LT(fill.Right, barLeft) << "the strip stands left of the bar";
            strip.push_back(fill);
        }
    }
    ASSERT_GE(strip.size(), 2u);
    std::sort(strip.begin(), strip.end(),
              [](const Cell& a, const Cell& b) { return a.Top < b.Top; });
    EXPECT_EQ(strip.front().Text, "9C5108") << "the crowded top in the darkest class";
    EXPECT_EQ(strip.back().Text, "EFDBC6") << "the sparse bottom in the lightest class";
    // The sparse part: a light bin for each of its markers, with the empty
    // bins between them left unfilled.
    EXPECT_GE(
        std::count_if(strip.begin(), strip.end(), [](const Cell& c) { return c.Text == "EFDBC6"; }),
        5);
    for (std::size_t i = 1; i < strip.size(); ++i) {
        if (strip[i].Text == "EFDBC6" && strip[i - 1].Text == "EFDBC6") {
            EXPECT_LT(strip[i - 1].Bottom, strip[i].Top) << "an empty bin between sparse markers";
        }
    }
    for (std::size_t i = 1; i < strip.size(); ++i) {
        EXPECT_LE(strip[i - 1].Bottom, strip[i].Top) << "bins do not overlap";
    }
    EXPECT_EQ(p.Fills.size() - strip.size(), 5u) << "a swatch for each class";

    const Data oat = MapTable(kMaps + "/oat_consensus/oat.csv");
    FigureAnnotations titled;
    titled.Titles = true;
    FigureSettings page = Box(17500, 23000);
    page.Labels = "none";
    page.Density = true;
    const Drawn oatDrawn = Draw(oat, page, titled);
    ExpectAFigure(oat, oatDrawn, page, false);
    EXPECT_GE(oatDrawn.Drawing.Fills.size(), oat.Maps.size());
}

} // namespace
} // namespace karvello::test
