// Whole small drawings compared with stored logs in golden/. Run with
// KARVELLO_UPDATE_GOLDEN=1 to rewrite the stored logs, then review the diff.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "drawing/DrawMaps.h"
#include "mapdata/Transforms.h"
#include "tests/drawing/DrawingTestMaps.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

void CompareWithGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = std::filesystem::path(KARVELLO_DRAWING_GOLDEN_DIR) / name;
    const char* update = std::getenv("KARVELLO_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        // Written beside the target and moved over it, so that a failed
        // write never leaves half a log behind.
        const auto temporary = std::filesystem::path(path.string() + ".tmp");
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << actual;
            ASSERT_TRUE(out.flush()) << "cannot write " << temporary;
        }
        std::filesystem::rename(temporary, path);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path << " is missing; run with KARVELLO_UPDATE_GOLDEN=1 to write it";
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str()) << "drawing differs from " << path;
}

// Two maps: a group of coloured, partly dominant names with placed markers
// above, inside and below it, then a shorter map. Measurements are logged
// and italic text measures differently, so the log shows the font state of
// every measurement, including the one carried into the second map.
TEST(DrawMapsGolden, TwoMapsWithGroupsAndPlacedMarkers) {
    MarkerTable markers = MakeMarkers({"D1S101", "D1S202", "D1S303", "D1S404", "D1S505", "APLACED",
                                       "BPLACED", "CPLACED", "DPLACED", "X1", "X2", "X3"});
    markers[1].Dominant = true;
    markers[1].Colour = 0x0000FF;
    markers[2].Colour = 0x00FF00;
    markers[6].Dominant = true;
    markers[8].Colour = 0xFF0000;
    markers[8].Dominant = true;
    markers[11].Dominant = true;
    const std::vector<LinkageMap> maps = {
        MakeMap({12.5, 0, 3.25, 30.1, 0}, 0, {{5, 0}, {6, 2}, {7, 1}, {8, 5}}),
        MakeMap({4.1, 17.95, 0}, 9),
    };
    RecordingSurface surface(110, 320);
    surface.SetItalicMetrics(130, 340);
    surface.SetLogMeasurements();
    (void)DrawMaps(maps, surface, PageLengths{}, markers);
    CompareWithGolden("two_maps_groups_placed.log", surface.Text());
}

// Many short intervals: distance labels and framework labels stack all the
// way down, with their slanted lines.
TEST(DrawMapsGolden, CrowdedMap) {
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) {
        names.push_back("MK" + std::string(1, static_cast<char>('A' + i)));
    }
    const std::vector<double> distances = {0.2, 0.5, 0.8, 1.1, 0.2, 0.5,
                                           0.8, 1.1, 0.2, 0.5, 0.8, 0};
    PageLengths settings;
    settings.PageHeight = 4000;
    RecordingSurface surface;
    (void)DrawMaps({MakeMap(distances)}, surface, settings, MakeMarkers(names));
    CompareWithGolden("crowded_map.log", surface.Text());
}

// Every annotation at once on two maps that share markers, the second
// flipped: titles, the ruler, links, a QTL with an inner interval beside the
// placed markers, and a crowded position collapsed.
TEST(DrawMapsGolden, Annotations) {
    const MarkerTable markers =
        MakeMarkers({"A", "B", "C", "D", "E", "F", "P1", "P2", "C", "A", "G", "H", "I"});
    std::vector<LinkageMap> maps = {
        MakeMap({4.5, 0, 0, 0, 8.25, 0}, 0, {{6, 2}, {7, 2}}),
        MakeMap({6, 3.5, 0, 0}, 8),
    };
    maps[1].MapNumber = 2;
    maps[1].GroupName = "chr2";
    FlipMap(maps[1]);
    FigureAnnotations annotations;
    annotations.Titles = true;
    annotations.Ruler = true;
    annotations.Links = true;
    annotations.Collapse = 2;
    QtlInterval qtl;
    qtl.Name = "qYield";
    qtl.Start = 2;
    qtl.End = 12;
    qtl.InnerStart = 4;
    qtl.InnerEnd = 7.5;
    qtl.Colour = 0x0000C0;
    annotations.Qtls = {{0, qtl}};
    RecordingSurface surface(110, 320);
    surface.SetLogMeasurements();
    (void)DrawMaps(maps, surface, SettingsForScale(13, 300), markers, FigureSettings{},
                   annotations);
    CompareWithGolden("annotations.log", surface.Text());
}

} // namespace
} // namespace karvello::test
