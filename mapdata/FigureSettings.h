#pragma once
// Settings of the figure beyond the fourteen page lengths: rows, font, line
// width, edge room, grouping and resolution. The drawing, the canvases, the
// command line, the options window and the settings file share this record;
// each member's initialiser is its default, and its row in
// mapdata/FigureSettingsTable.h gives its name, range, option and place.

#include <cstdint>
#include <string>

namespace karvello {

// Settings of the figure beyond the fourteen page lengths. By default every
// map stands in one row, in the format's own font, lines and edge room.
// Lengths are in 1/100 mm.
struct FigureSettings {
    // --width: the width of a row; 0 = all maps in one row.
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
    // 2 mm; 200 in every format when rows are on).
    std::int32_t Margin = -1;
    // --group-maps: each map between metafile begin/end group comments.
    bool GroupMaps = false;
    // --dpi: PNG resolution.
    std::int32_t Dpi = 300;

    bool operator==(const FigureSettings&) const = default;
};

} // namespace karvello
