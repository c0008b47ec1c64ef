#pragma once
// Small builders for the drawing tests: maps made from their distances,
// marker tables made from names, settings that give a chosen scale, and a
// check that a run of lines stands in a surface log.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "mapdata/MapRecords.h"

namespace karvello::test {

// A map of framework entries for the markers first, first + 1, ... with the
// given distances, linked into same-position groups as the reader links
// them: an entry with distance exactly 0 points at the next one.
inline LinkageMap MakeMap(const std::vector<double>& distances, int first = 0,
                          std::vector<PlacedMarker> placed = {}) {
    LinkageMap map;
    map.MapNumber = 1;
    for (std::size_t i = 0; i < distances.size(); ++i) {
        MapEntry entry;
        entry.MarkerIndex = first + static_cast<int>(i);
        entry.Distance = distances[i];
        entry.SamePosAsPrev = i > 0 && distances[i - 1] == 0;
        entry.NextSamePos =
            distances[i] == 0 && i + 1 < distances.size() ? static_cast<int>(i + 1) : -1;
        map.Markers.push_back(entry);
    }
    map.Placed = std::move(placed);
    return map;
}

// Black, upright markers with the given names.
inline MarkerTable MakeMarkers(const std::vector<std::string>& names) {
    MarkerTable markers;
    for (const auto& name : names) {
        Marker marker;
        marker.Name = name;
        markers.push_back(marker);
    }
    return markers;
}

// Default settings with the page height chosen so that a longest map of
// lengthCM comes out at unitsPerCM page units per cM.
inline PageLengths SettingsForScale(int lengthCM, int unitsPerCM) {
    PageLengths settings;
    settings.PageHeight = settings.TopMargin + settings.BottomMargin + 2 * settings.TailLength +
                          lengthCM * unitsPerCM;
    return settings;
}

// Expects the lines of `run` to stand one after another in the log, starting
// at the first occurrence of run's first line.
inline void ExpectRun(const std::vector<std::string>& log, const std::vector<std::string>& run) {
    ASSERT_FALSE(run.empty());
    auto start = std::find(log.begin(), log.end(), run.front());
    if (start == log.end()) {
        std::string text;
        for (const auto& line : log) {
            text += line + "\n";
        }
        FAIL() << "\"" << run.front() << "\" is not in the log:\n" << text;
    }
    const auto available = static_cast<std::size_t>(log.end() - start);
    std::vector<std::string> actual(
        start, start + static_cast<std::ptrdiff_t>(std::min(available, run.size())));
    EXPECT_EQ(actual, run);
}

inline std::size_t CountLines(const std::vector<std::string>& log, const std::string& prefix) {
    return static_cast<std::size_t>(
        std::count_if(log.begin(), log.end(), [&](const std::string& l) {
            return l.compare(0, prefix.size(), prefix) == 0;
        }));
}

} // namespace karvello::test
