// A Mapmaker map written out as a map table and read back draws as the
// Mapmaker load does: the same heights for its markers and the same distance
// labels, since the table's positions are the running sums of its distances.

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "drawing/DrawMaps.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/TestText.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

std::string Fixed(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

std::string TableOf(const Loaded& loaded) {
    std::string table = "group,marker,position\n";
    for (const LinkageMap& map : loaded.maps) {
        double position = 0.0;
        for (const MapEntry& entry : map.Markers) {
            table += std::to_string(map.MapNumber) + "," +
                     loaded.markers[static_cast<std::size_t>(entry.MarkerIndex)].Name + "," +
                     Fixed(position) + "\n";
            position += entry.Distance;
        }
    }
    return table;
}

TEST(DrawMapsFromTable, MapmakerMapsReadBackFromATableDrawTheSame) {
    for (const char* folder : {"sample_tutorial", "mouse_tutorial"}) {
        SCOPED_TRACE(folder);
        const std::string dir = std::string(KARVELLO_SAMPLES_DIR) + "/" + folder + "/";
        Loaded loaded = LoadPair(dir + "input.raw", dir + "output.txt");
        ASSERT_FALSE(loaded.maps.empty());
        for (LinkageMap& map : loaded.maps) {
            map.Placed.clear(); // a table holds the framework only
        }
        for (auto& marker : loaded.markers) {
            marker.Dominant = false; // and no dominance, which sets italics
        }
        const std::string table = TableOf(loaded);
        const std::vector<std::string_view> lines = SplitLines(table);
        const MapFile file = ReadMapFile(lines, "table.csv");
        ASSERT_EQ(file.Maps.size(), loaded.maps.size());

        RecordingSurface fromMapmaker;
        (void)DrawMaps(loaded.maps, fromMapmaker, PageLengths{}, loaded.markers);
        RecordingSurface fromTable;
        (void)DrawMaps(file.Maps, fromTable, PageLengths{}, file.Markers);
        EXPECT_EQ(fromTable.Text(), fromMapmaker.Text());
    }
}

} // namespace
} // namespace karvello::test
