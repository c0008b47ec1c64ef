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

// Whether the map table's reading, given a file that no sniff takes, has
// more to say of it than that it is in none of the formats: the file is
// empty, or its header names at least one of the three columns.
bool MapTableReadingExplains(Lines lines);

// QTL Cartographer's map file, "-filetype Rmap.out"
// (QtlCartographerFormat.cpp).
bool SniffQtlCartographer(Lines lines);
MapFile ReadQtlCartographer(Lines lines, const std::string& fileName);

// The location file of the qtab files R/qtl writes (QtabFormat.cpp).
bool SniffQtab(Lines lines);
MapFile ReadQtab(Lines lines, const std::string& fileName);

// ALLMAPS' CSV of scaffold and genetic positions (AllmapsFormat.cpp).
bool SniffAllmaps(Lines lines);
MapFile ReadAllmaps(Lines lines, const std::string& fileName);

// R/qtl's "tidy" map file, ",chr,pos" (RqtlTidyFormat.cpp).
bool SniffRqtlTidy(Lines lines);
MapFile ReadRqtlTidy(Lines lines, const std::string& fileName);

// A MapChart file, with what only MapChart's files have: a heading's
// settings, a hidden name, a block of QTLs (MapChartFormat.cpp).
bool SniffMapChart(Lines lines);
MapFile ReadMapChart(Lines lines, const std::string& fileName);

// PLINK's .map and .bim files (PlinkFormat.cpp).
bool SniffPlink(Lines lines);
MapFile ReadPlink(Lines lines, const std::string& fileName);

// A table of group, marker and position, or marker, group and position,
// without a header (PlainTableFormat.cpp).
bool SniffPlainTable(Lines lines);
MapFile ReadPlainTable(Lines lines, const std::string& fileName);

// R/qtl's gary markerpos.txt, read with its chrid.dat (RqtlGaryFormat.cpp).
// Given alone, the reading refuses it, saying which file it needs.
bool SniffGaryMarkerFile(Lines lines);
MapFile ReadGaryMarkerFileAlone(Lines lines, const std::string& fileName);
MapFile ReadGaryPair(Lines markerPositions, Lines chromosomeIds, const std::string& markerFileName,
                     const std::string& chromosomeFileName);

// Either file of Mapmaker's pair (MapmakerFormat.cpp). Given alone, the
// reading refuses it, saying which other file it needs.
bool SniffMapmakerFile(Lines lines);
MapFile ReadMapmakerFileAlone(Lines lines, const std::string& fileName);

} // namespace karvello::formats
