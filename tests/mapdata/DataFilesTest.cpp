// Broken and unusual files under tests/data: each gives the exact partial
// result or a clean error.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapdata/InputReader.h"
#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/TestText.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

std::string CasePath(const std::string& folder, const char* file) {
    return std::string(KARVELLO_TEST_DATA_DIR) + "/" + folder + "/" + file;
}

test::Loaded Load(const std::string& folder) {
    return test::LoadPair(CasePath(folder, "input.raw"), CasePath(folder, "output.txt"));
}

Marker MarkerNamed(const char* name, bool dominant = false, std::int32_t chromosome = 0,
                   std::int32_t position = 0) {
    Marker marker;
    marker.Name = name;
    marker.Dominant = dominant;
    marker.Mapped = chromosome != 0;
    marker.Chromosome = chromosome;
    marker.Position = position;
    return marker;
}

LinkageMap Map(std::int32_t number, std::vector<MapEntry> markers,
               std::vector<PlacedMarker> placed = {}) {
    LinkageMap map;
    map.MapNumber = number;
    map.Markers = std::move(markers);
    map.Placed = std::move(placed);
    return map;
}

TEST(DataFiles, ExactResults) {
    struct Row {
        const char* folder;
        MarkerTable markers;
        std::vector<LinkageMap> maps;
    };
    std::vector<Row> rows;
    rows.push_back({"input-continuation-lines",
                    {MarkerNamed("Alpha", false, 1, 4), MarkerNamed("Beta", true, 1, 2),
                     MarkerNamed("Gamma", false, 1, 6)},
                    {Map(1, {{1, 7.5, -1, false}, {0, 0.0, 2, false}, {2, 0.0, -1, true}})}});
    {
        MarkerTable markers;
        for (int i = 1; i <= 10; ++i) {
            markers.push_back(
                MarkerNamed(("M" + std::to_string(i)).c_str(), false, i <= 9 ? 1 : 0, 2 * i));
        }
        markers[7].Position = 13; // M8 placed in interval 6, read from block 1
        markers[8].Position = 3;  // M9 placed in interval 1
        markers[9].Position = 0;  // M10's block-1 row lies past the end of the file
        rows.push_back({"output-cut-short-in-second-block",
                        markers,
                        {Map(1,
                             {{0, 1.0, -1, false},
                              {1, 1.0, -1, false},
                              {2, 1.0, -1, false},
                              {3, 1.0, -1, false},
                              {4, 1.0, -1, false},
                              {5, 1.0, -1, false},
                              {6, 0.0, -1, false}},
                             {{7, 6}, {8, 1}, {9, -1}})}});
    }
    rows.push_back(
        {"output-cut-short-in-framework-line",
         {MarkerNamed("M1", false, 1, 2), MarkerNamed("M2"), MarkerNamed("M3", false, 1, 4)},
         {Map(1, {{0, 4.2, -1, false}, {2, 15.0, -1, false}})}});
    rows.push_back({"cr-only-line-ends",
                    {MarkerNamed("M1", true, 1, 4), MarkerNamed("M2", false, 1, 3)},
                    {Map(1, {{1, 3.5, -1, false}, {0, 0.0, -1, false}}, {{1, 1}})}});
    rows.push_back({"nul-byte-in-output",
                    {MarkerNamed("M1", false, 1, 2), MarkerNamed("M2", false, 1, 4)},
                    {Map(1, {{0, 2.0, -1, false}, {1, 0.0, -1, false}})}});
    rows.push_back({"map-without-table-before-map-with-table",
                    {MarkerNamed("M1", false, 2, 1), MarkerNamed("M2", false, 1, 4),
                     MarkerNamed("M3", false, 2, 2), MarkerNamed("M4", false, 2, 4),
                     MarkerNamed("M5", false, 2, 3)},
                    {Map(1, {{0, 4.2, -1, false}, {1, 0.0, -1, false}}),
                     Map(2, {{2, 5.0, -1, false}, {3, 0.0, -1, false}}, {{4, 1}, {0, 0}})}});

    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        const test::Loaded loaded = Load(row.folder);
        EXPECT_EQ(loaded.markers, row.markers);
        EXPECT_EQ(loaded.maps, row.maps);
    }
}

TEST(DataFiles, MarkerNumberNotInInput) {
    const std::string path = CasePath("marker-number-not-in-input", "output.txt");
    const auto error = test::Thrown<MarkerNumberError>([] { Load("marker-number-not-in-input"); });
    ASSERT_TRUE(error.has_value()) << "the pair loaded";
    EXPECT_EQ(error->MessageFor(path), "Marker number 57 on line 4 of \"" + path +
                                           "\" is not in the input file, which lists 40 markers.");
}

TEST(HostileText, TenMegabyteLines) {
    const std::size_t cells = 2'000'000;
    std::string wideRow = "   1 2 ...:";
    for (std::size_t c = 0; c < cells; ++c) {
        wideRow += "....:";
    }
    wideRow += ".**.";
    const std::string hugeNumber = "1 M1 " + std::string(10'000'000, '9') + ".5 cM";
    const TextLines output("Map:\n\n" + hugeNumber +
                           "\n\nMarkers placed relative to above map:\n\n\n" + wideRow + "\n");
    MarkerTable markers(1);
    const auto maps = ReadAllMaps(output.lines(), markers);
    ASSERT_EQ(maps.size(), 1u);
    // A distance too large for a double is no decimal number: the list ends.
    EXPECT_TRUE(maps[0].Markers.empty());
    EXPECT_EQ(maps[0].Placed,
              (std::vector<PlacedMarker>{{0, static_cast<std::int32_t>(cells + 1)}}));
    EXPECT_EQ(markers[0].Position, static_cast<std::int32_t>(2 * (cells + 1) + 1));

    const std::string longName(10'000'000, 'N');
    const TextLines input("h\nh\n*" + longName + " C\n");
    ReadInputFile(input.lines(), markers);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].Name, longName);
    EXPECT_TRUE(markers[0].Dominant);
}

TEST(HostileText, BinaryGarbageGivesAResultOrTheMarkerError) {
    // A fixed pseudo-random megabyte with a few Mapmaker words mixed in, so
    // that headings and rows turn up among the noise.
    std::uint32_t seed = 12345;
    std::string text;
    const char* words[] = {"Map:\n",    "Markers placed relative to above map:\n",
                           " 3 2 **.:", "4 M 1.5 cM\n",
                           "*M",        "\r"};
    while (text.size() < 1'000'000) {
        seed = seed * 1664525u + 1013904223u;
        if ((seed >> 24) < 8) {
            text += words[(seed >> 8) % 6];
        } else {
            text += static_cast<char>(seed >> 16);
        }
    }
    const TextLines lines(text);
    MarkerTable markers;
    ReadInputFile(lines.lines(), markers);
    markers.resize(5);
    try {
        const auto maps = ReadAllMaps(lines.lines(), markers);
        for (const auto& map : maps) {
            for (const auto& entry : map.Markers) {
                EXPECT_LT(static_cast<std::size_t>(entry.MarkerIndex), markers.size());
            }
        }
    } catch (const MarkerNumberError& error) {
        EXPECT_TRUE(error.Number() < 1 || error.Number() > 5) << error.what();
    }
}

} // namespace
} // namespace karvello
