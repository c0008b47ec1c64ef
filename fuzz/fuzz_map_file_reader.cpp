// Feeds arbitrary bytes to the map file reader and checks the records it
// gives: every marker on exactly one map, entries in position order with
// consistent same-position links, or else one KarvelloError.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Error.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"

namespace {

using namespace karvello;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void CheckFile(const TMapFile& file) {
    Require(!file.Markers.empty());
    std::vector<int> listed(file.Markers.size(), 0);
    for (std::size_t m = 0; m < file.Maps.size(); ++m) {
        const TChrData& map = file.Maps[m];
        Require(map.MapNumber == static_cast<std::int32_t>(m + 1));
        Require(!map.Markers.empty() && map.Placed.empty() && !map.GroupName.empty());
        const std::size_t n = map.Markers.size();
        for (std::size_t i = 0; i < n; ++i) {
            const TChrMarker& entry = map.Markers[i];
            Require(entry.MarkerIndex >= 0 &&
                    static_cast<std::size_t>(entry.MarkerIndex) < file.Markers.size());
            ++listed[static_cast<std::size_t>(entry.MarkerIndex)];
            Require(entry.Distance >= 0.0 && entry.Distance <= 2e9);
            Require(i + 1 < n || entry.Distance == 0.0);
            const bool joined = entry.Distance == 0.0 && i + 1 < n;
            Require(entry.NextSamePos == (joined ? static_cast<std::int32_t>(i + 1) : -1));
            Require(entry.SamePosAsPrev == (i > 0 && map.Markers[i - 1].Distance == 0.0));
            const TMarkerDetails& marker =
                file.Markers[static_cast<std::size_t>(entry.MarkerIndex)];
            Require(marker.Chromosome == map.MapNumber && !marker.Name.empty());
        }
    }
    for (std::size_t k = 0; k < file.Markers.size(); ++k) {
        Require(listed[k] == 1 && file.Markers[k].Mapped);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TextLines text(std::string(reinterpret_cast<const char*>(data), size));
    try {
        CheckFile(ReadMapFile(text.lines(), "fuzz.csv"));
    } catch (const KarvelloError& error) {
        Require(std::string(error.what()).find("\"fuzz.csv\"") != std::string::npos);
    }
    return 0;
}
