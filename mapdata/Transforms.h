#pragma once
// Flipping and colouring maps. The records hold only values and vectors, so
// a plain copy (operator=) shares nothing.

#include <cstdint>

#include "mapdata/MapRecords.h"

namespace karvello {

// Turns map upside down in place: entries reversed, distances moved to the
// new upper entry of each gap, same-position links rebuilt, every placed
// Interval c turned into n - c. Flipped, MapNumber, GroupName and
// FirstPosition keep their values: a flipped map covers the same stretch of
// the position axis.
void FlipMap(LinkageMap& map);

// Gives the markers StartIndex..EndIndex (inclusive, clipped to the table;
// EndIndex -1 meaning the last marker) the colour. Out-of-range indexes are
// clipped, never an error.
void ApplyColourRange(MarkerTable& markers, std::int32_t StartIndex, std::int32_t EndIndex,
                      RgbColour Colour);

} // namespace karvello
