// Copying, flipping and colouring maps.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "mapdata/Transforms.h"
#include "tests/mapdata/TestText.h"

namespace karvello {
namespace {

using test::Entry;
// A (10 cM), B (0 cM), C (5 cM), D (last): B and C stand at one position.
LinkageMap FourMarkerMap() {
    LinkageMap map;
    map.Markers = {Entry(0, 10.0), Entry(1, 0.0, 2), Entry(2, 5.0, -1, true), Entry(3, 0.0)};
    map.Placed = {{10, 1}, {11, 0}, {12, 4}, {13, -1}};
    map.MapNumber = 3;
    return map;
}

TEST(FlipMap, Cases) {
    struct Row {
        const char* name;
        LinkageMap map;
        std::vector<MapEntry> markers;
        std::vector<PlacedMarker> placed;
    };
    LinkageMap lastWithDistance;
    lastWithDistance.Markers = {Entry(0, 2.0), Entry(1, 7.0)};
    LinkageMap single;
    single.Markers = {Entry(5, 3.0)};
    single.Placed = {{1, 0}, {2, 1}};
    LinkageMap empty;
    empty.Placed = {{1, 2}, {2, -1}, {3, 0}};
    LinkageMap allTogether;
    allTogether.Markers = {Entry(0, 0.0, 1), Entry(1, 0.0, 2, true), Entry(2, 0.0, -1, true)};

    const std::vector<Row> rows = {
        {"groups rebuilt and intervals mirrored",
         FourMarkerMap(),
         {Entry(3, 5.0), Entry(2, 0.0, 2), Entry(1, 10.0, -1, true), Entry(0, 0.0)},
         {{10, 3}, {11, 4}, {12, 0}, {13, 5}}},
        {"a last distance other than 0 is lost",
         lastWithDistance,
         {Entry(1, 2.0), Entry(0, 0.0)},
         {}},
        {"one entry ends with distance 0", single, {Entry(5, 0.0)}, {{1, 1}, {2, 0}}},
        {"no entries: interval c becomes -c", empty, {}, {{1, -2}, {2, 1}, {3, 0}}},
        {"one group of three",
         allTogether,
         {Entry(2, 0.0, 1), Entry(1, 0.0, 2, true), Entry(0, 0.0, -1, true)},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LinkageMap map = row.map;
        map.Flipped = true;
        map.MapNumber = 8;
        FlipMap(map);
        EXPECT_EQ(map.Markers, row.markers);
        EXPECT_EQ(map.Placed, row.placed);
        EXPECT_TRUE(map.Flipped);
        EXPECT_EQ(map.MapNumber, 8);
    }
}

TEST(FlipMap, TwiceGivesBackTheMap) {
    LinkageMap map = FourMarkerMap();
    FlipMap(map);
    FlipMap(map);
    EXPECT_EQ(map, FourMarkerMap());
}

TEST(FlipMap, FlippingACopyLeavesTheKeptMap) {
    const LinkageMap kept = FourMarkerMap();
    LinkageMap copy = kept;
    FlipMap(copy);
    EXPECT_EQ(kept, FourMarkerMap());
    EXPECT_NE(copy, kept);
}

TEST(FlipMap, ExtremeIntervalsDoNotOverflow) {
    LinkageMap map;
    map.Markers = {Entry(0, 0.0)};
    map.Placed = {{0, -2147483647 - 1}, {0, 2147483647}};
    FlipMap(map);
    // 1 - INT32_MIN wraps to INT32_MIN + 1; still names no interval.
    EXPECT_EQ(map.Placed[0].Interval, -2147483647);
    EXPECT_EQ(map.Placed[1].Interval, -2147483646);
}

TEST(ApplyColourRange, Ranges) {
    struct Row {
        const char* name;
        std::int32_t start, end;
        std::vector<int> coloured; // indexes of the 6 markers that get the colour
    };
    const std::vector<Row> rows = {
        {"middle", 1, 3, {1, 2, 3}},
        {"end -1 runs to the last marker", 4, -1, {4, 5}},
        {"start -1 starts at the first", -1, 1, {0, 1}},
        {"start below 0 clipped", -50, 0, {0}},
        {"end past the table clipped", 5, 100, {5}},
        {"start greater than end colours nothing", 4, 2, {}},
        {"start past the table colours nothing", 6, -1, {}},
        {"end below -1 colours nothing", 0, -2, {}},
        {"whole 32-bit span", -2147483647 - 1, 2147483647, {0, 1, 2, 3, 4, 5}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MarkerTable markers(6);
        for (auto& marker : markers) {
            marker.Colour = 0x111111;
        }
        ApplyColourRange(markers, row.start, row.end, 0x0000FF);
        for (int i = 0; i < 6; ++i) {
            const bool expected =
                std::find(row.coloured.begin(), row.coloured.end(), i) != row.coloured.end();
            EXPECT_EQ(markers[i].Colour, expected ? 0x0000FFu : 0x111111u) << "marker " << i;
        }
    }
}

TEST(ApplyColourRange, LaterRangesOverrideAndEmptyTableIsLeftAlone) {
    MarkerTable markers(20);
    ApplyColourRange(markers, 0, 9, 0x0000FF);
    ApplyColourRange(markers, 5, -1, 0xFF0000);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(markers[i].Colour, i < 5 ? 0x0000FFu : 0xFF0000u) << "marker " << i;
    }
    MarkerTable none;
    for (auto [start, end] :
         {std::pair{0, -1}, std::pair{-1, -1}, std::pair{0, 0}, std::pair{3, 7}}) {
        ApplyColourRange(none, start, end, 0xFF);
    }
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace karvello
