#pragma once
// What the annotations add to the maps: titles above them, a ruler of cM
// left of them, lines that link a marker's places on neighbouring maps, and
// QTL right of each map.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drawing/MapLayout.h"
#include "drawing/PagePoints.h"
#include "drawing/Surface.h"
#include "mapdata/Annotations.h"
#include "mapdata/MapRecords.h"

namespace karvello {

// What the annotations of every row share: the figure's annotations, each
// map's QTL, and the ruler's marks.
struct Decorations {
    const FigureAnnotations& A;
    std::vector<std::vector<const QtlInterval*>> Qtls; // by map
    // The ruler: its marks (position down the axis in cM, label), the widest
    // label, the text height, and the room it takes left of the first map.
    std::vector<std::pair<double, std::string>> RulerMarks;
    int RulerLabelWidth = 0;
    int TextHeight = 0;
    double RulerRoom = 0.0;
    double AxisLength = 0.0; // cM
    double AxisTop = 0.0;    // the lowest first position of the maps drawn

    // Sorts the annotations' QTL by the map, of mapCount, they belong to.
    Decorations(const FigureAnnotations& annotations, std::size_t mapCount);

    // Whether the map gets a title, and which.
    std::optional<std::string> Title(const LinkageMap& map) const;

    // The room that titles take above a row of these maps.
    double TitleBand(const std::vector<LinkageMap>& maps, const PageLengths& s) const;
};

// Measures the ruler's labels on the surface in upright text and chooses its
// marks, down an axis axisLength cM long from d.AxisTop, drawn at scale.
void PrepareRuler(Decorations& d, Surface& surface, const PageLengths& s, double scale,
                  double axisLength);

// Draws the ruler at the left margin, on the axis of the layout.
void DrawRuler(const Decorations& d, PagePoints& page, Surface& surface, const MapLayout& layout,
               const PageLengths& s);

// Lines between the places of each marker that two neighbouring maps share,
// from the end of the left map's labels, at its label's height, to the start
// of the right map, at its tick's height: through the room between the maps,
// where there is no text.
void DrawLinks(const std::vector<MapGeometry>& row, PagePoints& page, Surface& surface,
               const PageLengths& s);

// Draws the titles of the maps which (indices into maps) above the row they
// were drawn in, each centred over its bar.
void DrawTitles(const std::vector<LinkageMap>& maps, const std::vector<std::size_t>& which,
                const std::vector<MapGeometry>& row, const Decorations& d, PagePoints& page,
                Surface& surface, const PageLengths& s);

// Draws the QTL of the map right of everything else the layout drew for it
// (geometry.Right), each as a box over its inner interval (or its whole
// interval when it has none) with whiskers out to its interval's ends, its
// name beside the box. QTL whose boxes or names would overlap stand side by
// side. Moves geometry.Right past their names and geometry.Top up to their
// highest point.
void DrawQtls(const MapLayout& layout, const LinkageMap& map,
              const std::vector<const QtlInterval*>& qtls, Surface& surface, const PageLengths& s,
              MapGeometry& geometry);

} // namespace karvello
