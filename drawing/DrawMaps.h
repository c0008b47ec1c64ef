#pragma once
// Lays out maps side by side on one page with one vertical scale, in one row
// or, when the figure settings ask for it, in several.

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/Canvas.h"
#include "drawing/Surface.h"
#include "mapdata/Annotations.h"
#include "mapdata/FigureSettings.h"
#include "mapdata/MapRecords.h"

namespace karvello {

// The label text of a distance in cM: whole part, ".", tenths digit, cut off
// not rounded (12.96 gives "12.9"), always with "." whatever the locale.
std::string DistanceText(double distance);

// A map's length as a list shows it (karvello maps, the window's list of
// maps): a map of a map file, whose length is summed from the differences of
// its positions, rounded to 0.1 cM (112.49999999999999 shows as 112.5); a
// Mapmaker map's as DistanceText gives it.
std::string MapLengthText(const LinkageMap& map);

// What a drawing has to tell the user beside the picture. Whoever draws
// must read it: a function that returns one cannot be called as if it
// returned nothing.
struct [[nodiscard]] DrawReport {
    // One sentence each, such as a map that is wider than a row by itself.
    std::vector<std::string> Warnings;

    bool operator==(const DrawReport&) const = default;
};

// Draws the maps, left to right, onto the surface. Changes none of its inputs.
// With no map, draws nothing; when no map is longer than 0 cM the scale is 0.
//
// With figure.RowWidth or figure.MapsPerRow above 0 the maps wrap into rows:
// a row takes maps while it holds fewer than MapsPerRow (when set) and while
// everything it draws, with the edge room on both sides (figure.Margin, or
// kDefaultEdgeRoom when that is left to the format), fits RowWidth (when
// set); lines count kDefaultLineWidth wide when figure.LineWidth is left to
// the format. A map too wide by itself stands alone in its row, and the report
// says so. Every row uses the one scale of the longest map, starts at the
// left margin and lies MapSpacing below everything the row above drew. The
// other figure settings are the canvas's business and change nothing here.
//
// Throws KarvelloError, before anything is drawn, for a map that refers to a
// marker outside the table, links a group to an entry that does not follow,
// or holds a distance that is not a finite number; what the surface throws
// passes through.
[[nodiscard]] DrawReport DrawMaps(const std::vector<LinkageMap>& maps, Surface& surface,
                                  const PageLengths& settings, const MarkerTable& markers,
                                  const FigureSettings& figure = FigureSettings(),
                                  const FigureAnnotations& annotations = FigureAnnotations());

// The height, in 1/100 mm, that the settings leave for the bars between the
// margins and both tails; 0 or less when the page holds no room for them, in
// which case DrawMaps draws the bars upside down over each other.
std::int64_t BarRoom(const PageLengths& settings);

} // namespace karvello
