// The page layout, the bar with its ticks and distance labels, and the
// framework marker labels, checked to the unit on the recording surface
// (text 100 per character wide, 300 high unless a case says otherwise).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "drawing/DrawMaps.h"
#include "tests/drawing/DrawingTestMaps.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

// Distances 10, 1, 1 at 74 units per cM, labels 300 high and 600, 450 and
// 450 wide: the first two labels fit at their own places, the third is
// stacked, which makes the label column 450 + 100 + 100 + 1000 + 100 wide.
TEST(DrawMapsLayout, WorkedMapDrawsColumnBarTicksAndStackedLabel) {
    RecordingSurface surface;
    surface.SetStringWidth("10.0", 600);
    surface.SetStringWidth("1.0", 450);
    (void)DrawMaps({MakeMap({10, 1, 1, 0})}, surface, SettingsForScale(12, 74),
                   MakeMarkers({"M0", "M1", "M2", "M3"}));

    const std::vector<std::string> expected = {
        "MapMode 3",
        "Pen 0",
        "Rectangle 1850 -1000 2350 -2488",
        "MoveTo 1850 -1300",
        "LineTo 2350 -1300",
        "MoveTo 1850 -2040",
        "LineTo 2350 -2040",
        "MoveTo 1850 -2114",
        "LineTo 2350 -2114",
        "MoveTo 1850 -2188",
        "LineTo 2350 -2188",
        "Pen 808080",
        "Italic 0",
        "FontColour 0",
        "TextOut 1150 -1520 \"10.0\"",
        "TextOut 1300 -1927 \"1.0\"",
        "TextOut 0 -2227 \"1.0\"",
        "MoveTo 1850 -2151",
        "LineTo 1750 -2151",
        "LineTo 750 -2377",
        "LineTo 650 -2377",
        // The framework pass starts at the bar's right edge, 2350, and
        // writes the names from 5650 on.
        "Pen 808080",
        "MoveTo 2350 -1300",
        "LineTo 2450 -1300",
        "LineTo 5450 -1300",
        "LineTo 5550 -1300",
        "FontColour 0",
        "Italic 0",
        "TextOut 5650 -1150 \"M0\"",
    };
    const auto& log = surface.Log();
    ASSERT_GE(log.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + expected.size()), expected);
}

struct ColumnCase {
    const char* rule;
    std::vector<double> distances;
    PageLengths settings;
    const char* rectangle;
};

// The label column shows in the bar's left edge: LeftMargin + its width.
TEST(DrawMapsLayout, LabelColumnMeasurement) {
    const ColumnCase cases[] = {
        // Labels 400 and 300 wide at their own places: widest + padding.
        {"labels at their own places need the widest plus padding",
         {10, 2.5, 0},
         PageLengths{},
         "Rectangle 600 -1000 1100 -9000"},
        // Scale 300: the first label's top comes out at exactly
        // TopMargin + TailLength, where the measurement starts.
        {"a top equal to the next free y counts as stacked",
         {1, 0},
         SettingsForScale(1, 300),
         "Rectangle 1700 -1000 2200 -1900"},
        // No map longer than 0 cM: scale 0, every marker at 1300, and the
        // never-drawn "0.0" labels are measured and stacked all the same.
        {"zero distances are measured and the scale is 0",
         {0, 0},
         PageLengths{},
         "Rectangle 1700 -1000 2200 -1600"},
        {"a single marker needs no column", {0}, PageLengths{}, "Rectangle 100 -1000 600 -1600"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        RecordingSurface surface;
        (void)DrawMaps({MakeMap(c.distances)}, surface, c.settings, MakeMarkers({"A", "B", "C"}));
        ExpectRun(surface.Log(), {"MapMode 3", "Pen 0", c.rectangle});
        for (const auto& line : surface.Log()) {
            EXPECT_EQ(line.find("\"0.0\""), std::string::npos) << line;
        }
    }
}

// Scale 300: the first label sits at its own place (the drawing starts
// stacking at TopMargin), the second one's top equals the bottom of the
// first and is stacked with its spacing line, the third returns to its own
// place without a line.
TEST(DrawMapsLayout, DistanceLabelsStackAndReturnToTheirPlace) {
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({1, 1, 10, 0})}, surface, SettingsForScale(12, 300),
                   MakeMarkers({"A", "B", "C", "D"}));
    ExpectRun(surface.Log(), {
                                 "Italic 0",
                                 "FontColour 0",
                                 "TextOut 1300 -1300 \"1.0\"",
                                 "TextOut 0 -1600 \"1.0\"",
                                 "MoveTo 1700 -1750",
                                 "LineTo 1600 -1750",
                                 "LineTo 600 -1750",
                                 "LineTo 500 -1750",
                                 "TextOut 1200 -3250 \"10.0\"",
                                 "Pen 808080",
                             });
}

// Half a unit per cM puts markers at 1300, 1300.5, 1301.5, 1302.5 and 1305:
// each y is rounded by itself, halves to the even neighbour, then negated.
TEST(DrawMapsLayout, TicksRoundHalvesToEven) {
    PageLengths settings;
    settings.PageHeight = 2605; // 5 units for the 10 cM map
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({1, 2, 2, 5, 0})}, surface, settings,
                   MakeMarkers({"A", "B", "C", "D", "E"}));
    ExpectRun(surface.Log(), {
                                 "Rectangle 1700 -1000 2200 -1605",
                                 "MoveTo 1700 -1300",
                                 "LineTo 2200 -1300",
                                 "MoveTo 1700 -1300",
                                 "LineTo 2200 -1300",
                                 "MoveTo 1700 -1302",
                                 "LineTo 2200 -1302",
                                 "MoveTo 1700 -1302",
                                 "LineTo 2200 -1302",
                                 "MoveTo 1700 -1305",
                                 "LineTo 2200 -1305",
                                 "Pen 808080",
                             });
}

// Markers at 0, 1, 2 and 3 cM, scale 74, text 300 high: the labels are
// pushed down to tops 1150, 1450, 1750 and 2050 and their lines slant from
// each marker's own height to its label's middle.
TEST(DrawMapsLayout, FrameworkLabelsArePushedDownNeverUp) {
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({1, 1, 1, 0})}, surface, SettingsForScale(3, 74),
                   MakeMarkers({"M0", "M1", "M2", "M3"}));
    // The "1.0" labels stack from the first, so the column is 1600 wide and
    // the bar's right edge is at 2200.
    ExpectRun(surface.Log(), {
                                 "MoveTo 2200 -1300",
                                 "LineTo 2300 -1300",
                                 "LineTo 5300 -1300",
                                 "LineTo 5400 -1300",
                                 "FontColour 0",
                                 "Italic 0",
                                 "TextOut 5500 -1150 \"M0\"",
                                 "MoveTo 2200 -1374",
                                 "LineTo 2300 -1374",
                                 "LineTo 5300 -1600",
                                 "LineTo 5400 -1600",
                                 "FontColour 0",
                                 "Italic 0",
                                 "TextOut 5500 -1450 \"M1\"",
                                 "MoveTo 2200 -1448",
                                 "LineTo 2300 -1448",
                                 "LineTo 5300 -1900",
                                 "LineTo 5400 -1900",
                                 "FontColour 0",
                                 "Italic 0",
                                 "TextOut 5500 -1750 \"M2\"",
                                 "MoveTo 2200 -1522",
                                 "LineTo 2300 -1522",
                                 "LineTo 5300 -2200",
                                 "LineTo 5400 -2200",
                                 "FontColour 0",
                                 "Italic 0",
                                 "TextOut 5500 -2050 \"M3\"",
                                 "Pen C0C0C0",
                             });
}

// Three markers at one position, then one more 1 cM below at 100 units per
// cM: one tick and one line for the group, its names in their own colours
// and styles joined by black upright ", ", and the next label one text
// height below the group's label.
TEST(DrawMapsLayout, GroupSharesOneTickOneLineOneLabel) {
    MarkerTable markers = MakeMarkers({"A", "B", "C", "D"});
    markers[0].Colour = 0x0000FF;
    markers[0].Dominant = true;
    markers[1].Colour = 0x00FF00;
    markers[1].Dominant = true;
    markers[2].Colour = 0xFF0000;
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({0, 0, 1, 0})}, surface, SettingsForScale(1, 100), markers);

    const auto& log = surface.Log();
    EXPECT_EQ(CountLines(log, "MoveTo 1700 "), 2u) << "ticks at 1300 and 1400 only";
    EXPECT_EQ(CountLines(log, "MoveTo 2200 "), 2u) << "one line for the group, one for D";
    ExpectRun(log, {
                       "MoveTo 2200 -1300",
                       "LineTo 2300 -1300",
                       "LineTo 5300 -1300",
                       "LineTo 5400 -1300",
                       "FontColour FF",
                       "Italic 1",
                       "TextOut 5500 -1150 \"A\"",
                       "Italic 0",
                       "FontColour 0",
                       "TextOut 5600 -1150 \", \"",
                       "FontColour FF00",
                       "Italic 1",
                       "TextOut 5800 -1150 \"B\"",
                       "Italic 0",
                       "FontColour 0",
                       "TextOut 5900 -1150 \", \"",
                       "FontColour FF0000",
                       "Italic 0",
                       "TextOut 6100 -1150 \"C\"",
                       "MoveTo 2200 -1400",
                       "LineTo 2300 -1400",
                       "LineTo 5300 -1600",
                       "LineTo 5400 -1600",
                       "FontColour 0",
                       "Italic 0",
                       "TextOut 5500 -1450 \"D\"",
                   });
}

struct CarryCase {
    const char* rule;
    bool fontStateIgnored;
    const char* rectangle;
    const char* label; // drawn upright, 400 wide, ending 100 left of the bar
};

// The first map ends with a dominant name, so the font is still italic when
// the second map's label column is measured; italic text is 150 per
// character here. The label itself is drawn upright, 400 wide.
TEST(DrawMapsLayout, MeasurementUsesTheFontThePreviousMapLeft) {
    const CarryCase cases[] = {
        {"italic metrics widen the column", false, "Rectangle 6750 -1000 7250 -9000",
         "TextOut 6250 -4850 \"10.0\""},
        {"font state ignored", true, "Rectangle 6500 -1000 7000 -9000",
         "TextOut 6000 -4850 \"10.0\""},
    };
    MarkerTable markers = MakeMarkers({"D", "E", "F"});
    markers[0].Dominant = true;
    const std::vector<LinkageMap> maps = {MakeMap({0}, 0), MakeMap({10, 0}, 1)};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        RecordingSurface surface;
        surface.SetItalicMetrics(150, 300);
        surface.SetFontStateIgnored(c.fontStateIgnored);
        (void)DrawMaps(maps, surface, PageLengths{}, markers);
        ExpectRun(surface.Log(), {c.rectangle});
        ExpectRun(surface.Log(), {c.label});
    }
}

struct AdvanceCase {
    const char* rule;
    std::vector<LinkageMap> maps;
    const char* nextRectangle;
};

// Where the next map begins: MapSpacing right of the first map's widest
// label, framework or placed.
TEST(DrawMapsLayout, NextMapStartsAfterTheWidestLabel) {
    LinkageMap framework = MakeMap({1, 0}, 0); // "LONGNAME" ends at 5100, "S" at 4400
    LinkageMap withPlaced = framework;
    withPlaced.Placed = {{3, 1}}; // column at 5200, name from 5900 to 7700
    LinkageMap empty;
    const LinkageMap single = MakeMap({0}, 2);
    const AdvanceCase cases[] = {
        {"widest framework label, not the last",
         {framework, single},
         "Rectangle 7100 -1000 7600 -1600"},
        {"widest placed name", {withPlaced, single}, "Rectangle 9700 -1000 10200 -1600"},
        {"a map without entries ends at its bar",
         {empty, single},
         "Rectangle 2600 -1000 3100 -1600"},
    };
    const MarkerTable markers = MakeMarkers({"LONGNAME", "S", "N", "VERYLONGPLACEDNAME"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        RecordingSurface surface;
        (void)DrawMaps(c.maps, surface, PageLengths{}, markers);
        EXPECT_EQ(CountLines(surface.Log(), "Rectangle "), 2u);
        ExpectRun(surface.Log(), {c.nextRectangle});
    }
}

TEST(DrawMapsLayout, MapWithoutEntriesGetsABarOfTwoTails) {
    RecordingSurface surface;
    (void)DrawMaps({LinkageMap{}}, surface, PageLengths{}, {});
    EXPECT_EQ(surface.Log(),
              (std::vector<std::string>{"MapMode 3", "Pen 0", "Rectangle 100 -1000 600 -1600",
                                        "Pen 808080", "Italic 0", "FontColour 0", "Pen 808080",
                                        "Pen C0C0C0"}));
}

TEST(DrawMapsLayout, NoMapSetsTheModeAndDrawsNothing) {
    RecordingSurface surface;
    (void)DrawMaps({}, surface, PageLengths{}, {});
    EXPECT_EQ(surface.Log(), std::vector<std::string>{"MapMode 3"});
    EXPECT_EQ(surface.MapMode(), MappingMode::HiMetric);
}

TEST(DrawMapsLayout, PageWidthAndRightMarginChangeNothing) {
    const MarkerTable markers = MakeMarkers({"A", "B", "C", "D"});
    const std::vector<LinkageMap> maps = {MakeMap({3.5, 0}), MakeMap({0.5, 0.2, 0}, 1)};
    RecordingSurface plain;
    (void)DrawMaps(maps, plain, PageLengths{}, markers);
    PageLengths wide;
    wide.PageWidth = 123;
    wide.RightMargin = 4567;
    RecordingSurface changed;
    (void)DrawMaps(maps, changed, wide, markers);
    EXPECT_EQ(plain.Log(), changed.Log());
}

struct BrokenCase {
    const char* rule;
    LinkageMap map;
};

// Maps that would make the drawing read outside the marker table or compute
// with values that are not finite are refused before anything is drawn.
TEST(DrawMapsLayout, RefusesMapsItCannotDrawBeforeDrawing) {
    const double inf = std::numeric_limits<double>::infinity();
    LinkageMap backLink = MakeMap({1, 0, 0});
    backLink.Markers[2].NextSamePos = 1;
    LinkageMap pastEnd = MakeMap({1, 0});
    pastEnd.Markers[1].NextSamePos = 2;
    const BrokenCase cases[] = {
        {"marker index past the table", MakeMap({1, 0}, 2)},
        {"negative marker index", MakeMap({1, 0}, -1)},
        {"distance not a number", MakeMap({std::nan(""), 0})},
        {"infinite distance", MakeMap({inf, 0})},
        {"length overflows", MakeMap({1e308, 1e308, 0})},
        {"group link pointing back", backLink},
        {"group link past the end", pastEnd},
        {"placed marker past the table", MakeMap({1, 0}, 0, {{7, 1}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        RecordingSurface surface;
        EXPECT_THROW(DrawMaps({MakeMap({2, 0}), c.map}, surface, PageLengths{},
                              MakeMarkers({"A", "B", "C"})),
                     KarvelloError);
        EXPECT_TRUE(surface.Log().empty());
    }
    // A placed marker that names no interval is never read.
    RecordingSurface surface;
    EXPECT_NO_THROW(DrawMaps({MakeMap({1, 0}, 0, {{7, -1}, {8, 3}})}, surface, PageLengths{},
                             MakeMarkers({"A", "B"})));
}

// Settings far beyond any page still reach the surface as integers at the
// ends of its range, never as undefined conversions.
TEST(DrawMapsLayout, HugeSettingsArePinnedToTheSurfaceRange) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    PageLengths settings;
    settings.PageHeight = kMax;
    settings.TopMargin = kMin;
    settings.BottomMargin = kMin;
    settings.TailLength = 0;
    settings.LeftMargin = kMax;
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({1, 0})}, surface, settings, MakeMarkers({"A", "B"}));
    // The bar starts right of the largest x, at a y above the largest, and
    // ends below the smallest.
    ExpectRun(surface.Log(), {"Rectangle 2147483647 2147483647 2147483647 -2147483648"});

    // The annotations' room and places are reckoned beyond 32 bits as well.
    FigureAnnotations every;
    every.Titles = every.Ruler = every.Links = true;
    every.Collapse = 1;
    RecordingSurface annotated;
    (void)DrawMaps({MakeMap({1, 0})}, annotated, settings, MakeMarkers({"A", "B"}),
                   FigureSettings{}, every);
    ExpectRun(annotated.Log(), {"Rectangle 2147483647 2147483647 2147483647 -2147483648"});
}

// The map hooks enclose exactly each map's drawing: what a canvas groups
// between them must be the whole map and nothing of its neighbours.
TEST(DrawMapsLayout, EachMapIsDrawnBetweenItsBeginAndEndHooks) {
    class HookedSurface : public RecordingSurface {
      public:
        // Each hook with the number of log lines before it.
        std::vector<std::pair<std::string, std::size_t>> hooks;
        void BeginMap(int mapNumber) override {
            hooks.emplace_back("BeginMap " + std::to_string(mapNumber), Log().size());
        }
        void EndMap() override { hooks.emplace_back("EndMap", Log().size()); }
    };
    LinkageMap first = MakeMap({5, 0}, 0);
    first.MapNumber = 3;
    LinkageMap second = MakeMap({2, 0}, 2);
    second.MapNumber = 7;
    HookedSurface surface;
    (void)DrawMaps({first, second}, surface, SettingsForScale(5, 74),
                   MakeMarkers({"A0", "A1", "B0", "B1"}));

    const auto& log = surface.Log();
    ASSERT_EQ(surface.hooks.size(), 4U);
    EXPECT_EQ(surface.hooks[0], std::make_pair(std::string("BeginMap 3"), std::size_t{1}));
    EXPECT_EQ(surface.hooks[1].first, "EndMap");
    EXPECT_EQ(surface.hooks[2], std::make_pair(std::string("BeginMap 7"), surface.hooks[1].second));
    EXPECT_EQ(surface.hooks[3], std::make_pair(std::string("EndMap"), log.size()));
    const auto textsIn = [&](std::size_t from, std::size_t to) {
        std::string texts;
        for (std::size_t i = from; i < to; ++i) {
            if (log[i].rfind("TextOut", 0) == 0) {
                texts += log[i].substr(log[i].find('"')) + " ";
            }
        }
        return texts;
    };
    EXPECT_EQ(textsIn(1, surface.hooks[1].second), "\"5.0\" \"A0\" \"A1\" ");
    EXPECT_EQ(textsIn(surface.hooks[2].second, log.size()), "\"2.0\" \"B0\" \"B1\" ");
}

} // namespace
} // namespace karvello::test
