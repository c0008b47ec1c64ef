#pragma once
// Maps set side by side in one row, or wrapped into several rows by the
// figure's row width and maps per row.

#include <cstddef>
#include <vector>

#include "drawing/Decorations.h"
#include "drawing/DrawMaps.h"
#include "drawing/MapLayout.h"
#include "drawing/Surface.h"
#include "mapdata/FigureSettings.h"
#include "mapdata/MapRecords.h"

namespace karvello {

// Draws the maps which (indices into maps) of one row with layout, each
// between BeginMap and EndMap on grouping, and then what joins or heads them
// on target.
void DrawRow(const std::vector<LinkageMap>& maps, const std::vector<std::size_t>& which,
             Surface& target, Surface& grouping, MapLayout& layout, const Decorations& d,
             const PageLengths& s);

// Sets the maps in rows by the figure's RowWidth and MapsPerRow, at the one
// scale of the figure. Each row is laid out exactly as a drawing of its maps
// alone would be, and the rows below the first are that drawing moved down.
// The report names every map too wide for a row by itself.
DrawReport DrawInRows(const std::vector<LinkageMap>& maps, Surface& surface,
                      const PageLengths& settings, const MarkerTable& markers,
                      const FigureSettings& figure, double scale, const Decorations& d);

} // namespace karvello
