#include "mapdata/Transforms.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace karvello {

void FlipMap(LinkageMap& map) {
    LinkageMap flipped = map;
    const std::size_t n = map.Markers.size();
    double previousDistance = -1.0;
    for (std::size_t i = 0; i < n; ++i) {
        MapEntry& entry = flipped.Markers[i];
        entry.MarkerIndex = map.Markers[n - 1 - i].MarkerIndex;
        // The gap below new entry i is the gap above old entry n - 1 - i.
        entry.Distance = i + 1 < n ? map.Markers[n - 2 - i].Distance : 0.0;
        entry.NextSamePos = -1;
        entry.SamePosAsPrev = previousDistance == 0.0;
        if (entry.SamePosAsPrev) {
            flipped.Markers[i - 1].NextSamePos = static_cast<std::int32_t>(i);
        }
        previousDistance = entry.Distance;
    }
    // Interval c lies between entries c - 1 and c and becomes n - c; values
    // that name no interval stay outside 0..n (-1 becomes n + 1). The sum is
    // taken in 64 bits; C++20 wraps the conversion back for values no reader
    // gives.
    for (PlacedMarker& placed : flipped.Placed) {
        placed.Interval = static_cast<std::int32_t>(static_cast<std::int64_t>(n) - placed.Interval);
    }
    map = std::move(flipped);
}

void ApplyColourRange(MarkerTable& markers, std::int32_t StartIndex, std::int32_t EndIndex,
                      RgbColour Colour) {
    const auto count = static_cast<std::int64_t>(markers.size());
    const std::int64_t end = EndIndex == -1 ? count - 1 : EndIndex;
    const std::int64_t first = std::max<std::int64_t>(0, StartIndex);
    const std::int64_t last = std::min<std::int64_t>(end, count - 1);
    for (std::int64_t i = first; i <= last; ++i) {
        markers[static_cast<std::size_t>(i)].Colour = Colour;
    }
}

} // namespace karvello
