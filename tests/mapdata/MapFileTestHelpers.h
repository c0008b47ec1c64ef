#pragma once
// What the map-file tests share: a map in one line, the reading of a file
// written as lines, and the checks every load must pass.

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/TestText.h"

namespace karvello::test {

inline std::string Number(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// A map in one line: "GROUP @FIRST: name distance name ...", the last entry
// without a distance.
inline std::vector<std::string> Describe(const MapFile& file) {
    std::vector<std::string> maps;
    for (const auto& map : file.Maps) {
        std::string text = map.GroupName + " @" + Number(map.FirstPosition) + ":";
        for (std::size_t i = 0; i < map.Markers.size(); ++i) {
            text += " " + file.Markers[static_cast<std::size_t>(map.Markers[i].MarkerIndex)].Name;
            if (i + 1 < map.Markers.size()) {
                text += " " + Number(map.Markers[i].Distance);
            }
        }
        maps.push_back(text);
    }
    return maps;
}

inline MapFile Read(const std::vector<std::string>& lines, const std::string& name = "map.csv") {
    const TextLines text = Text(lines);
    return ReadMapFile(text, name);
}

// What every load must give, whatever the file: the records as the drawing
// and the workspace expect them from a Mapmaker load.
inline void CheckRecords(const MapFile& file) {
    std::vector<int> listed(file.Markers.size(), 0);
    for (std::size_t m = 0; m < file.Maps.size(); ++m) {
        const LinkageMap& map = file.Maps[m];
        EXPECT_EQ(map.MapNumber, static_cast<std::int32_t>(m + 1));
        EXPECT_TRUE(map.Placed.empty());
        const std::size_t n = map.Markers.size();
        for (std::size_t i = 0; i < n; ++i) {
            const MapEntry& entry = map.Markers[i];
            ASSERT_LT(static_cast<std::size_t>(entry.MarkerIndex), file.Markers.size());
            ++listed[static_cast<std::size_t>(entry.MarkerIndex)];
            const Marker& marker = file.Markers[static_cast<std::size_t>(entry.MarkerIndex)];
            EXPECT_EQ(marker.Chromosome, map.MapNumber);
            EXPECT_EQ(marker.Position, static_cast<std::int32_t>(2 * (i + 1)));
            EXPECT_GE(entry.Distance, 0.0);
            const bool joined = entry.Distance == 0.0 && i + 1 < n;
            EXPECT_EQ(entry.NextSamePos, joined ? static_cast<std::int32_t>(i + 1) : -1);
            EXPECT_EQ(entry.SamePosAsPrev, i > 0 && map.Markers[i - 1].Distance == 0.0);
        }
    }
    for (std::size_t k = 0; k < file.Markers.size(); ++k) {
        EXPECT_EQ(listed[k], 1) << file.Markers[k].Name;
        EXPECT_TRUE(file.Markers[k].Mapped);
        EXPECT_FALSE(file.Markers[k].Dominant);
    }
    EXPECT_EQ(file.Encoding, CharacterEncoding::Utf8);
}

} // namespace karvello::test
