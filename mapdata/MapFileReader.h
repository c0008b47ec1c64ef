#pragma once
// Reads a linkage map written by another mapping program or a spreadsheet,
// in any format of the table in mapdata/MapFileFormats.h: a map table (one
// row a marker: group, name, position in cM), an R/qtl cross file in its
// "csv" form, or a group file as MapChart, JoinMap and MSTmap write it. The
// format is found from the content.

#include <string>
#include <string_view>
#include <vector>

#include "mapdata/MapRecords.h"
#include "mapdata/TextLines.h"

namespace karvello {

// What a map file gives: the same records as a Mapmaker load, plus the
// encoding of the names and the warnings for the user.
struct MapFile {
    // The Name of the format read, in the table of formats: "map table".
    std::string_view Format;
    // One marker per row of the file, in file order; every one is mapped
    // (Chromosome and Position as a Mapmaker map gives them), none dominant.
    MarkerTable Markers;
    // One map per group, in the order the groups first appear, numbered from
    // 1. Entries run by position, equal positions in file order; a distance is
    // the difference to the next position rounded to 6 decimals, and exactly 0
    // where two positions differ by less than 0.00005 cM. GroupName and
    // FirstPosition are set; nothing is placed.
    std::vector<LinkageMap> Maps;
    // Map files hold UTF-8 text.
    CharacterEncoding Encoding = CharacterEncoding::Utf8;
    // Complete sentences about what was read but looks wrong (a name twice in
    // one group); the load goes on.
    std::vector<std::string> Warnings;
};

// Reads the lines of a map file. fileName is how messages name the file.
// Throws KarvelloError, naming the file, the line and the field, for an empty
// file, a header without a group, marker or position column, a row with too
// few fields, an empty group or name, a position that is not a decimal number
// or lies beyond 1e9 cM, an R/qtl cross file without its position row, a
// group file line that is not "name position", or one file of Mapmaker's
// pair given alone.
MapFile ReadMapFile(Lines lines, const std::string& fileName);

// The same for the lines of a text held whole, as a file is read: quicker to
// tell whether it is UTF-8.
MapFile ReadMapFile(const TextLines& text, const std::string& fileName);

// Whether the lines are R/qtl's gary markerpos.txt ("name position" lines),
// which is read with chrid.dat, the chromosome of each marker.
bool IsGaryMarkerFile(Lines lines);

// Reads R/qtl's gary pair: markerpos.txt and chrid.dat. Throws KarvelloError
// as ReadMapFile does, and for files of different lengths.
MapFile ReadGaryPair(const TextLines& markerPositions, const TextLines& chromosomeIds,
                     const std::string& markerFileName, const std::string& chromosomeFileName);

} // namespace karvello
