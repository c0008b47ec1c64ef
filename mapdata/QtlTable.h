#pragma once
// QTL to mark on a figure, read from a table (comma-, semicolon-, tab- or
// blank-separated, with a header): the map, the QTL's name, its interval in
// cM and optionally an inner interval (its support) and a colour.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Colour.h"
#include "mapdata/MapRecords.h"
#include "mapdata/TextLines.h"

namespace karvello {

struct QtlInterval {
    // The map as written: a group's name, a map's number or #N (see
    // mapdata/MapNames.h).
    std::string Map;
    std::string Name;
    double Start = 0.0;
    double End = 0.0;
    // Both or neither; within Start..End.
    std::optional<double> InnerStart;
    std::optional<double> InnerEnd;
    std::optional<RgbColour> Colour;
    // The line of the file it was read from, counted from 1.
    std::int64_t Line = 0;

    bool operator==(const QtlInterval&) const = default;
};

struct QtlTableFile {
    std::string FileName; // how messages name the file
    std::vector<QtlInterval> Qtls;
    // What was odd but could be read, each naming the lines.
    std::vector<std::string> Warnings;
};

// Reads the lines of a QTL table. The header names the columns: map (or
// group, chr, chromosome, lg), name (or qtl, trait, label), start (or from,
// left), end (or to, right), and optionally inner start, inner end and colour
// (or color). Blank lines and lines starting with "#" are skipped (below
// the header of a table whose first column is the colour, only blank lines).
// Throws
// KarvelloError naming the file, the line and the field: a missing column, too
// few fields, an empty map or name, a position that is not a number, a start
// after its end, an inner interval given by half or not inside the interval,
// a colour not written #RRGGBB.
QtlTableFile ReadQtlTable(Lines lines, const std::string& fileName);

// A QTL placed on one of the figure's maps.
struct PlacedQtl {
    std::size_t MapIndex = 0; // into the maps given to PlaceQtls
    QtlInterval Qtl;

    bool operator==(const PlacedQtl&) const = default;
};

// Finds each QTL's map among the figure's maps by FindNamedMap's rule
// (mapdata/MapNames.h), read against loaded where given, else against maps;
// the warnings of a number taken as a place go into warnings. Throws KarvelloError naming the file,
// the line and the field for a map the figure does not draw, and for an interval that reaches
// outside its map (FirstPosition to FirstPosition plus its length, with
// 0.05 cM to spare for rounding): such a QTL was found on another map than
// the one drawn, so it is refused rather than cut to fit. With loaded given
// (every map of the data, of which maps are the ones drawn), a QTL of a
// loaded map that is not drawn is left out, and only a map that is not
// loaded at all is an error.
std::vector<PlacedQtl> PlaceQtls(const QtlTableFile& table, const std::vector<LinkageMap>& maps,
                                 const std::vector<LinkageMap>* loaded = nullptr,
                                 std::vector<std::string>* warnings = nullptr);

} // namespace karvello
