#pragma once
// The figure layout: maps fitted into a box of a given width and height at
// the font size and line width asked for, with labels spread about their
// markers and compact gaps.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/Canvas.h"
#include "drawing/DrawMaps.h"
#include "drawing/Surface.h"
#include "mapdata/Annotations.h"
#include "mapdata/FigureSettings.h"
#include "mapdata/MapRecords.h"

namespace karvello {

// Where the figure layout put the maps: the rows, by index into the maps
// handed to it, and the one scale in 1/100 mm per cM.
struct FigurePlan {
    std::vector<std::vector<std::size_t>> Rows;
    double Scale = 0.0;
    // The size of what is drawn, without the edge room.
    double Width = 0.0;
    double Height = 0.0;
};

// Map numbers as --maps and --rows write them: "3,1,2" or "1-7/8-14/15-20",
// each item a number or a run A-B counted from A up to B, rows parted by
// '/'. Throws KarvelloError naming the text when it is none of these.
std::vector<std::vector<std::int32_t>> ReadMapRows(std::string_view text);

// Draws the maps in the figure layout. Every map gets its rows and the
// scale chosen so that the bars are as long as the box (figure.RowWidth by
// figure.Height, each less the edge room on both sides, which the canvases
// add around what is drawn: figure.Margin, else kDefaultEdgeRoom; 0 =
// unbounded)
// allows. The maps stand in figure.MapOrder's order, in figure.Rows's rows
// when given, aligned as figure.Align says. Throws KarvelloError, before anything is drawn, when
// nothing fits, saying what would. The maps must have passed DrawMaps's checks.
DrawReport DrawFigure(const std::vector<LinkageMap>& maps, Surface& surface,
                      const PageLengths& settings, const MarkerTable& markers,
                      const FigureSettings& figure, const FigureAnnotations& annotations,
                      FigurePlan* plan = nullptr);

} // namespace karvello
