// Genuine Mapmaker 3.0b files: every pair loads, and the maps of a few are
// checked against what the files show (counted by hand from the files).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapdata/InputReader.h"
#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/TestText.h"

namespace karvello {
namespace {

using test::Loaded;

std::string SamplePath(const std::string& folder, const char* file) {
    return std::string(KARVELLO_SAMPLES_DIR) + "/" + folder + "/" + file;
}

Loaded Load(const std::string& folder) {
    return test::LoadPair(SamplePath(folder, "input.raw"), SamplePath(folder, "output.txt"));
}

std::vector<std::int32_t> Indexes(const LinkageMap& map) {
    std::vector<std::int32_t> indexes;
    for (const auto& entry : map.Markers) {
        indexes.push_back(entry.MarkerIndex);
    }
    return indexes;
}

std::vector<double> Distances(const LinkageMap& map) {
    std::vector<double> distances;
    for (const auto& entry : map.Markers) {
        distances.push_back(entry.Distance);
    }
    return distances;
}

TEST(Samples, EveryPairLoadsWithItsMapCount) {
    struct Row {
        const char* folder;
        std::size_t markers;
        std::size_t maps;
    };
    const std::vector<Row> rows = {
        {"sample_tutorial", 12, 2},  {"sample_order_build", 12, 8},
        {"mouse_tutorial", 308, 6},  {"mouse_order_all", 308, 24},
        {"listeria_order", 133, 17}, {"listeria_error_detection", 133, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        Loaded loaded;
        ASSERT_NO_THROW(loaded = Load(row.folder));
        EXPECT_EQ(loaded.markers.size(), row.markers);
        EXPECT_EQ(loaded.maps.size(), row.maps);
        for (std::size_t m = 0; m < loaded.maps.size(); ++m) {
            EXPECT_EQ(loaded.maps[m].MapNumber, static_cast<std::int32_t>(m + 1));
        }
    }
}

TEST(Samples, SampleOrderBuild) {
    const Loaded loaded = Load("sample_order_build");
    ASSERT_EQ(loaded.maps.size(), 8u);
    const auto& markers = loaded.markers;
    const std::vector<std::string> names = {"T175", "T93",  "C35", "T24", "C66", "T209",
                                            "T50B", "T125", "T83", "T17", "C15", "T71"};
    ASSERT_EQ(markers.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(markers[i].Name, names[i]);
        EXPECT_FALSE(markers[i].Dominant) << names[i];
        EXPECT_TRUE(markers[i].Mapped) << names[i];
    }

    // order, group 2: ordered uniquely, so no placement table.
    const LinkageMap& ordered = loaded.maps[0];
    EXPECT_EQ(Indexes(ordered), (std::vector<std::int32_t>{3, 10, 7, 11, 8, 5, 9}));
    EXPECT_EQ(Distances(ordered), (std::vector<double>{14.8, 6.4, 18.9, 24.0, 18.1, 28.6, 0.0}));
    EXPECT_TRUE(ordered.Placed.empty());

    // build: the one placement table, with best intervals at both ends.
    const LinkageMap& built = loaded.maps[1];
    EXPECT_EQ(Indexes(built), (std::vector<std::int32_t>{0, 2, 1, 4, 6}));
    EXPECT_EQ(Distances(built), (std::vector<double>{4.2, 15.0, 11.9, 12.2, 0.0}));
    EXPECT_EQ(built.Placed, (std::vector<PlacedMarker>{
                                {7, 5}, {8, 5}, {10, 0}, {11, 5}, {9, 0}, {3, 0}, {5, 5}}));

    // units rf: distances are not in cM, so the list ends at its first line.
    EXPECT_TRUE(loaded.maps[3].Markers.empty());

    // Unlinked markers 345.4 cM apart.
    EXPECT_EQ(Distances(loaded.maps[5]), (std::vector<double>{4.2, 345.4, 62.5, 0.0}));
    // Two orders printed one after the other.
    EXPECT_EQ(Indexes(loaded.maps[6]), (std::vector<std::int32_t>{0, 2, 1, 4}));
    EXPECT_EQ(Indexes(loaded.maps[7]), (std::vector<std::int32_t>{0, 2, 4, 1}));

    // The last listing of each marker: T24 in map 6, T50B only in map 2,
    // T125 last in the Kosambi map 5, T93 in map 8.
    EXPECT_EQ(markers[3].Chromosome, 6);
    EXPECT_EQ(markers[3].Position, 6);
    EXPECT_EQ(markers[6].Chromosome, 2);
    EXPECT_EQ(markers[6].Position, 10);
    EXPECT_EQ(markers[7].Chromosome, 5);
    EXPECT_EQ(markers[7].Position, 6);
    EXPECT_EQ(markers[1].Chromosome, 8);
    EXPECT_EQ(markers[1].Position, 8);
}

TEST(Samples, MouseOrderAllWideTable) {
    const Loaded loaded = Load("mouse_order_all");
    ASSERT_EQ(loaded.maps.size(), 24u);
    const auto& markers = loaded.markers;
    EXPECT_EQ(markers[0].Name, "L013");
    EXPECT_FALSE(markers[0].Dominant);
    // Dominant through the symbols clause: its codes hold 5, which is D.
    EXPECT_EQ(markers[22].Name, "L028");
    EXPECT_TRUE(markers[22].Dominant);
    // A commented-out "#M097" line stands between M108 and the real M097.
    EXPECT_EQ(markers[116].Name, "M108");
    EXPECT_EQ(markers[117].Name, "M097");
    EXPECT_EQ(markers[118].Name, "M119");
    EXPECT_EQ(markers[307].Name, "T025");

    // Map 6: 20 markers, its placement table continued in a second block.
    const LinkageMap& map = loaded.maps[5];
    ASSERT_EQ(map.Markers.size(), 20u);
    EXPECT_EQ(map.Markers[0], (MapEntry{148, 0.0, 1, false}));
    EXPECT_EQ(map.Markers[1], (MapEntry{123, 8.6, -1, true}));
    EXPECT_EQ(map.Markers[14], (MapEntry{290, 37.0, -1, true})); // D015 above it is 0.0 cM away
    EXPECT_EQ(map.Markers[19], (MapEntry{102, 0.0, -1, false}));
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{153, 15}, {192, 6}}));
    EXPECT_EQ(markers[153].Name, "M151");
    EXPECT_EQ(markers[153].Chromosome, 6);
    EXPECT_EQ(markers[153].Position, 31);
    EXPECT_EQ(markers[192].Name, "M236");
    EXPECT_EQ(markers[192].Chromosome, 6);
    EXPECT_EQ(markers[192].Position, 13);
}

TEST(Samples, ErrorDetectionMap) {
    const Loaded loaded = Load("listeria_error_detection");
    ASSERT_EQ(loaded.maps.size(), 4u);
    const LinkageMap& map = loaded.maps[0];
    EXPECT_EQ(Indexes(map), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 7, 9, 10, 12}));
    EXPECT_EQ(Distances(map),
              (std::vector<double>{28.1, 18.1, 10.6, 2.9, 21.2, 11.5, 3.6, 9.4, 0.0}));
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{6, 5}, {8, 6}, {11, 8}, {0, 0}}));
    EXPECT_EQ(loaded.maps[1].Markers.size(), 12u);
    EXPECT_TRUE(loaded.maps[1].Placed.empty());
}

TEST(Samples, ListeriaTwoHeaderLinesAndTrait) {
    const Loaded loaded = Load("listeria_order");
    ASSERT_EQ(loaded.markers.size(), 133u);
    EXPECT_EQ(loaded.markers[0].Name, "D10M44");
    EXPECT_EQ(loaded.markers[132].Name, "DXM64");
    EXPECT_TRUE(loaded.markers[130].Dominant); // D19M10, codes with c
}

TEST(Samples, BioperlOutputWithoutInputFile) {
    const TextLines output(ReadTextFile(SamplePath("bioperl_chad1_dos", "output.txt")));
    MarkerTable markers(18);
    const auto maps = ReadAllMaps(output.lines(), markers);
    ASSERT_EQ(maps.size(), 1u);
    const LinkageMap& map = maps[0];
    ASSERT_EQ(map.Markers.size(), 18u);
    for (std::int32_t i = 0; i < 18; ++i) {
        EXPECT_EQ(map.Markers[i].MarkerIndex, i);
        EXPECT_EQ(markers[i].Position, 2 * (i + 1));
    }
    EXPECT_EQ(Distances(map), (std::vector<double>{0.0, 0.0, 3.3, 10.1, 6.7, 13.7, 10.1, 3.4, 21.7,
                                                   21.7, 0.0, 3.3, 3.3, 0.0, 10.1, 0.0, 0.0, 0.0}));
    EXPECT_EQ(map.Markers[0].NextSamePos, 1);
    EXPECT_EQ(map.Markers[1].NextSamePos, 2);
    EXPECT_TRUE(map.Markers[2].SamePosAsPrev);
    EXPECT_EQ(map.Markers[2].NextSamePos, -1);
    EXPECT_EQ(map.Markers[16].NextSamePos, 17);
    EXPECT_TRUE(markers[17].Mapped);
    EXPECT_TRUE(map.Placed.empty());

    // With a table too small for it, the pair does not belong together.
    MarkerTable small(17);
    EXPECT_THROW(ReadAllMaps(output.lines(), small), MarkerNumberError);
}

} // namespace
} // namespace karvello
