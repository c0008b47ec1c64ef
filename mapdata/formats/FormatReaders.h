#pragma once
// The map-file formats' own readers, one file each under mapdata/formats/:
// for each, whether a text looks like it (Sniff...), and the reading of it
// (Read...). mapdata/MapFileFormats.cpp puts them in its table.

#include <string>

#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"

namespace karvello::formats {

// A table with a header that names a group, a marker and a position column
// (MapTableFormat.cpp). Its reading also takes a file that nothing else
// claims, and names the columns its header lacks.
bool SniffMapTable(Lines lines);
MapFile ReadMapTable(Lines lines, const std::string& fileName);

// A group file as MapChart, JoinMap and MSTmap write it (GroupFileFormat.cpp).
bool SniffGroupFile(Lines lines);
MapFile ReadGroupFile(Lines lines, const std::string& fileName);

// An R/qtl cross file in its "csv" form (RqtlCrossFormat.cpp).
bool SniffRqtlCross(Lines lines);
MapFile ReadRqtlCross(Lines lines, const std::string& fileName);

// Either file of Mapmaker's pair (MapmakerFormat.cpp). Given alone, the
// reading refuses it, saying which other file it needs.
bool SniffMapmakerFile(Lines lines);
MapFile ReadMapmakerFileAlone(Lines lines, const std::string& fileName);

} // namespace karvello::formats
