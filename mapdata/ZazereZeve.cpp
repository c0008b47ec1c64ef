#include "mapdata/ZazereZeve.h"

namespace karvello {

double MapLength(const TChrData& map) {
    double length = 0.0;
    for (const auto& entry : map.Markers) {
        length += entry.Distance;
    }
    return length;
}

} // namespace karvello
