// Feeds arbitrary bytes to the output file reader, loading every map the way
// the workspace does, and checks the records it gives.
//
// The first byte sets the size of the marker table (0 to 255), so that both
// marker numbers inside and outside the table are tried.

#include <cstddef>
#include <cstdint>
#include <string>

#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"
#include "mapdata/Transforms.h"

namespace {

using namespace karvello;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool InTable(std::int32_t index, const MarkerTable& markers) {
    return index >= 0 && static_cast<std::size_t>(index) < markers.size();
}

void CheckMap(const LinkageMap& map, const MarkerTable& markers) {
    const std::size_t n = map.Markers.size();
    for (std::size_t i = 0; i < n; ++i) {
        const MapEntry& entry = map.Markers[i];
        Require(InTable(entry.MarkerIndex, markers));
        const bool joined = entry.Distance == 0.0 && i + 1 < n;
        Require(entry.NextSamePos == (joined ? static_cast<std::int32_t>(i + 1) : -1));
        Require(entry.SamePosAsPrev == (i > 0 && map.Markers[i - 1].Distance == 0.0));
    }
    for (const PlacedMarker& placed : map.Placed) {
        Require(InTable(placed.MarkerIndex, markers));
        Require(placed.Interval >= -1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    MarkerTable markers(data[0]);
    const TextLines text(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    try {
        int from = 0;
        for (std::int32_t number = 1;; ++number) {
            LinkageMap map;
            map.MapNumber = number;
            const int next = FindNextMap(text.lines(), from, markers, map);
            if (next == -1) {
                Require(map.Markers.empty() && map.Placed.empty());
                break;
            }
            // Every search moves on, so loading always ends.
            Require(next > from);
            CheckMap(map, markers);
            LinkageMap flipped = map;
            FlipMap(flipped);
            FlipMap(flipped);
            if (map.Markers.empty() || map.Markers.back().Distance == 0.0) {
                Require(flipped == map);
            }
            from = next;
        }
    } catch (const MarkerNumberError& error) {
        Require(error.Number() < 1 || static_cast<std::size_t>(error.Number()) > markers.size());
        Require(error.Line() >= 1 && static_cast<std::size_t>(error.Line()) <= text.size());
    }
    for (const auto& marker : markers) {
        Require(marker.Mapped == (marker.Chromosome != 0));
        Require(!marker.Mapped || marker.Position >= 1);
    }
    return 0;
}
