#include "mapdata/MapRecords.h"

namespace karvello {

double MapLength(const LinkageMap& map) {
    double length = 0.0;
    for (const auto& entry : map.Markers) {
        length += entry.Distance;
    }
    return length;
}

} // namespace karvello
