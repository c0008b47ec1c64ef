#pragma once
// Settings of the figure beyond the fourteen page lengths: rows, font, line
// width, edge room, grouping and resolution, and the figure layout that fits
// a box. The drawing, the canvases, the command line, the options window and
// the settings file share this record;
// each member's initialiser is its default, and its row in
// mapdata/FigureSettingsTable.h gives its name, range, option and place.

#include <cstdint>
#include <string>

namespace karvello {

// Settings of the figure beyond the fourteen page lengths. Lengths are in
// 1/100 mm.
struct FigureSettings {
    // --width: the width of a row (classic layout) or of the figure's box
    // (figure layout); 0 = no width asked for.
    std::int32_t RowWidth = 0;
    // --per-row: at most this many maps in a row; 0 = any number.
    std::int32_t MapsPerRow = 0;
    // --font: empty = "Microsoft Sans Serif" (measured as Liberation Sans).
    std::string FontFace;
    // --font-size: 0 = the default (the metafile's 282, 8 pt).
    std::int32_t FontHeight = 0;
    // --line-width: -1 = the format's default (metafile 1 unit; SVG, PDF,
    // PNG 0.25 pt = 8.82 -> 9 units).
    std::int32_t LineWidth = -1;
    // --margin: -1 = the format's default (metafile 0; SVG, PDF, PNG 200 =
    // 2 mm; 200 in every format when rows or the figure layout are on).
    std::int32_t Margin = -1;
    // --group-maps: each map between metafile begin/end group comments.
    bool GroupMaps = false;
    // --dpi: PNG resolution.
    std::int32_t Dpi = 300;

    // --height: the height of the figure's box; 0 = no height asked for.
    std::int32_t Height = 0;
    // --layout: "figure", "classic", or empty for figure whenever a width or
    // a height is given and classic otherwise.
    std::string Layout;
    // The figure layout's own settings; the classic layout ignores them.
    // --names-per-line: names at one position written on one line, at most.
    std::int32_t NamesPerLine = 3;
    // --distances: "gaps" (between neighbours), "positions" (in cM), "none",
    // or empty for gaps with labels and none without.
    std::string Distances;
    // --labels: "all" or "none" (bars and ticks only).
    std::string Labels = "all";
    // From a bar to the labels beside it.
    std::int32_t LeaderLength = 300;
    // Between the maps of a row, and between rows.
    std::int32_t MapGap = 400;
    std::int32_t RowGap = 400;
    // --maps: the order of the maps drawn, by number, as "3,1,2" or "1,3-5";
    // maps it leaves out follow in the file's order. Empty: the file's order.
    std::string MapOrder;
    // --rows: the maps of each row, by number, rows parted by '/', as
    // "1-7/8-14/15-20"; empty: the rows are chosen to fit the box.
    std::string Rows;
    // --align: "zero" (the bars of a row at their 0 cM) or "top".
    std::string Align = "zero";
    // --density: a strip beside each bar coloured by markers per cM, with a
    // legend.
    bool Density = false;

    bool operator==(const FigureSettings&) const = default;
};

// Whether the maps are drawn in the figure layout that fits a box.
inline bool UsesFigureLayout(const FigureSettings& figure) {
    if (figure.Layout.empty()) {
        return figure.RowWidth > 0 || figure.Height > 0;
    }
    return figure.Layout == "figure";
}

} // namespace karvello
