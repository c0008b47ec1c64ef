#pragma once
// Helpers shared by the mapdata tests: text written as lines, and reading a
// pair of files the way the workspace loads them.

#include <ostream>
#include <string>
#include <vector>

#include "mapdata/InputReader.h"
#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"

namespace karvello {

// Readable failure messages for the records.
inline void PrintTo(const MapEntry& entry, std::ostream* out) {
    *out << "{" << entry.MarkerIndex << ", " << entry.Distance << ", " << entry.NextSamePos << ", "
         << (entry.SamePosAsPrev ? "true" : "false") << "}";
}

inline void PrintTo(const PlacedMarker& placed, std::ostream* out) {
    *out << "{" << placed.MarkerIndex << ", " << placed.Interval << "}";
}

inline void PrintTo(const Marker& marker, std::ostream* out) {
    *out << "{\"" << marker.Name << "\", colour " << marker.Colour
         << (marker.Dominant ? ", dominant" : "") << (marker.Mapped ? ", mapped" : "")
         << ", chromosome " << marker.Chromosome << ", position " << marker.Position << "}";
}

} // namespace karvello

namespace karvello::test {

// A framework entry: marker index, distance, next same-position entry and
// whether it shares the previous entry's position.
inline MapEntry Entry(std::int32_t index, double distance, std::int32_t next = -1,
                      bool samePrev = false) {
    return MapEntry{index, distance, next, samePrev};
}

// Joins lines with LF, so that a test can write a file as a list of lines.
inline TextLines Text(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += '\n';
    }
    return TextLines(std::move(text));
}

// A pair of files loaded the way the workspace loads them.
struct Loaded {
    MarkerTable markers;
    std::vector<LinkageMap> maps;
};

inline Loaded LoadPair(const std::string& inputPath, const std::string& outputPath) {
    Loaded loaded;
    const TextLines input(ReadTextFile(inputPath));
    ReadInputFile(input.lines(), loaded.markers);
    const TextLines output(ReadTextFile(outputPath));
    loaded.maps = ReadAllMaps(output.lines(), loaded.markers);
    return loaded;
}

} // namespace karvello::test
