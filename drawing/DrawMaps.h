#pragma once
// Lays out maps side by side on one page with one vertical scale.

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/Surface.h"
#include "mapdata/ZazereZeve.h"

namespace karvello {

// The label text of a distance in cM: whole part, ".", tenths digit, cut off
// not rounded (12.96 gives "12.9"), always with "." whatever the locale.
std::string DistanceToStr(double distance);

// Draws the maps, left to right, onto the surface. Changes none of its inputs.
// With no map, draws nothing; when no map is longer than 0 cM the scale is 0.
// Throws KarvelloError, before anything is drawn, for a map that refers to a
// marker outside the table, links a group to an entry that does not follow,
// or holds a distance that is not a finite number; what the surface throws
// passes through.
void DrawMaps(const std::vector<TChrData>& maps, Surface& surface, const TDrawSettings& settings,
              const TAllMarkers& markers);

// The height, in 1/100 mm, that the settings leave for the bars between the
// margins and both tails; 0 or less when the page holds no room for them, in
// which case DrawMaps draws the bars upside down over each other.
std::int64_t BarRoom(const TDrawSettings& settings);

} // namespace karvello
