// The placed-marker blocks and the end of each map, checked to the unit on
// the recording surface (text 100 per character wide, 300 high unless a case
// says otherwise).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/DrawMaps.h"
#include "tests/drawing/DrawingTestMaps.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

// Framework markers at 0, 1, 2 and 3 cM at 74 units per cM, whose labels
// stand at tops 1150, 1450, 1750 and 2050 and end at 5700; P1 placed in
// interval 1, P2 in interval 2; a one-marker map after it.
TEST(DrawMapsPlaced, BlocksStackBelowEachOtherAndEndTheMap) {
    const MarkerTable markers = MakeMarkers({"M0", "M1", "M2", "M3", "P1", "P2", "N0"});
    const std::vector<LinkageMap> maps = {MakeMap({1, 1, 1, 0}, 0, {{4, 1}, {5, 2}}),
                                          MakeMap({0}, 6)};
    RecordingSurface surface;
    (void)DrawMaps(maps, surface, SettingsForScale(3, 74), markers);
    ExpectRun(surface.Log(), {
                                 "Pen C0C0C0",
                                 "Italic 0", // slot 0: centre 1300, no block
                                 "Italic 0", // slot 1: centre 1600, block middle 1450
                                 "Pen C0C0C0",
                                 "MoveTo 5500 -1450",
                                 "LineTo 5800 -1450",
                                 "LineTo 6300 -1450",
                                 "LineTo 6400 -1450",
                                 "Pen 0",
                                 "MoveTo 6400 -1300",
                                 "LineTo 6400 -1600",
                                 "Italic 0",
                                 "FontColour 0",
                                 "TextOut 6500 -1300 \"P1\"",
                                 // slot 2: centre 1900, ideal top 1600 is above
                                 // 1750, where the first block's gap ends
                                 "Italic 0",
                                 "Pen C0C0C0",
                                 "MoveTo 5500 -1750",
                                 "LineTo 5800 -1750",
                                 "LineTo 6300 -1900",
                                 "LineTo 6400 -1900",
                                 "Pen 0",
                                 "MoveTo 6400 -1750",
                                 "LineTo 6400 -2050",
                                 "Italic 0",
                                 "FontColour 0",
                                 "TextOut 6500 -1750 \"P2\"",
                                 "Italic 0", // slot 3, then the closing slot without a block
                                 // the next map: P1 and P2 end at 6700, plus 2000
                                 "Pen 0",
                                 "Rectangle 8700 -1000 9200 -1600",
                             });
}

// F1 and F2 stand at one position: their slot gathers interval 1 (above the
// group) and interval 2 (between its members), each in list order; the
// closing slot gathers interval 3; -1 and 4 name no interval.
TEST(DrawMapsPlaced, GroupSlotGathersItsIntervalsInOrder) {
    MarkerTable markers = MakeMarkers({"F0", "F1", "F2", "Pa", "Pb", "Pc", "Pd", "Pe", "Pf"});
    markers[4].Colour = 0x123456;
    markers[4].Dominant = true;
    const LinkageMap map = MakeMap({1, 0, 0}, 0, {{3, 2}, {4, 1}, {5, 2}, {6, 3}, {7, -1}, {8, 4}});
    RecordingSurface surface;
    (void)DrawMaps({map}, surface, PageLengths{}, markers);

    // The group's label "F1, F2" ends at 4900, so the bracket stands at 5600.
    // The block of three (900 high) is centred between 1300 and 8700.
    ExpectRun(surface.Log(), {
                                 "MoveTo 5600 -4550",
                                 "LineTo 5600 -5450",
                                 "Italic 1",
                                 "FontColour 123456",
                                 "TextOut 5700 -4550 \"Pb\"",
                                 "Italic 0",
                                 "FontColour 0",
                                 "TextOut 5700 -4850 \"Pa\"",
                                 "Italic 0",
                                 "FontColour 0",
                                 "TextOut 5700 -5150 \"Pc\"",
                             });
    std::vector<std::string> placedNames;
    for (const auto& line : surface.Log()) {
        if (line.rfind("TextOut 5700 ", 0) == 0) {
            placedNames.push_back(line);
        }
    }
    EXPECT_EQ(placedNames,
              (std::vector<std::string>{"TextOut 5700 -4550 \"Pb\"", "TextOut 5700 -4850 \"Pa\"",
                                        "TextOut 5700 -5150 \"Pc\"",
                                        // closing slot: between 8700 and the bar's end at 9000
                                        "TextOut 5700 -8700 \"Pd\""}));
}

struct BlockCase {
    const char* rule;
    int textHeight;
    int interval;
    int names;
    std::vector<std::string> run;
};

// Markers F0 at 1300 and F1 at 8700 (7400 units per cM), labels ending at
// 4500: the silver line leaves x 4300, reaches the column at 4600, slants to
// 5100 and ends at the bracket at 5200; names start at 5300.
TEST(DrawMapsPlaced, BlockPlaces) {
    const BlockCase cases[] = {
        {"interval 0 starts at the middle of the upper tail",
         300,
         0,
         1,
         {"MoveTo 4300 -1150", "LineTo 4600 -1150", "LineTo 5100 -1150", "LineTo 5200 -1150",
          "Pen 0", "MoveTo 5200 -1000", "LineTo 5200 -1300", "Italic 0", "FontColour 0",
          "TextOut 5300 -1000 \"P0\""}},
        {"a tall first block rises above the top margin",
         300,
         0,
         5,
         {"MoveTo 4300 -1150", "LineTo 4600 -1150", "LineTo 5100 -1150", "LineTo 5200 -1150",
          "Pen 0", "MoveTo 5200 -400", "LineTo 5200 -1900", "Italic 0", "FontColour 0",
          "TextOut 5300 -400 \"P0\""}},
        {"but never above the page's top edge",
         300,
         0,
         10,
         {"MoveTo 4300 -1150", "LineTo 4600 -1150", "LineTo 5100 -1500", "LineTo 5200 -1500",
          "Pen 0", "MoveTo 5200 0", "LineTo 5200 -3000", "Italic 0", "FontColour 0",
          "TextOut 5300 0 \"P0\""}},
        // Closing slot: its centre is the lower of the bar's end (9000) and
        // one text height below the last centre (8700 + h).
        {"closing slot one text height below the last centre",
         400,
         2,
         1,
         {"MoveTo 4300 -8900", "LineTo 4600 -8900", "LineTo 5100 -8900", "LineTo 5200 -8900",
          "Pen 0", "MoveTo 5200 -8700", "LineTo 5200 -9100", "Italic 0", "FontColour 0",
          "TextOut 5300 -8700 \"P0\""}},
        {"closing slot at the bar's end",
         200,
         2,
         1,
         {"MoveTo 4300 -8850", "LineTo 4600 -8850", "LineTo 5100 -8850", "LineTo 5200 -8850",
          "Pen 0", "MoveTo 5200 -8750", "LineTo 5200 -8950", "Italic 0", "FontColour 0",
          "TextOut 5300 -8750 \"P0\""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        std::vector<std::string> names = {"F0", "F1"};
        LinkageMap map = MakeMap({1, 0});
        for (int k = 0; k < c.names; ++k) {
            names.push_back("P" + std::string(1, static_cast<char>('0' + k)));
            map.Placed.push_back({2 + k, c.interval});
        }
        RecordingSurface surface(100, c.textHeight);
        (void)DrawMaps({map}, surface, PageLengths{}, MakeMarkers(names));
        ExpectRun(surface.Log(), c.run);
    }
}

TEST(DrawMapsPlaced, MapWithoutPlacedMarkersOnlySetsThePen) {
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({1, 0})}, surface, PageLengths{}, MakeMarkers({"F0", "F1"}));
    const auto& log = surface.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ((std::vector<std::string>(log.end() - 3, log.end())),
              (std::vector<std::string>{"Pen C0C0C0", "Italic 0", "Italic 0"}));
}

} // namespace
} // namespace karvello::test
