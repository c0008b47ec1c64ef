#pragma once
// The map-file formats the program reads, one row each: how the format is
// named and offered, how its text is told, how it is read. A file is read by
// the first row, in the table's order, whose sniff takes its text. A new
// format is a file of its own under mapdata/formats/ and a row here.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"

namespace karvello {

struct MapFileFormat {
    // What the format is called: MapFile::Format, "map table".
    std::string_view Name;
    // What it is, as one item of a list that --help and the window show:
    // "a table of group, marker and position (R/qtl, OneMap, a spreadsheet)".
    std::string_view Summary;
    // The open dialog's filter that offers its files, "Map tables", and the
    // patterns of their names, "*.csv *.tsv"; formats that share a filter
    // share its patterns.
    std::string_view FilterName;
    std::string_view Patterns;
    // How many files are read together: 1, or 2 for a pair such as
    // Mapmaker's input and output files, which the workspace reads itself.
    int FileCount = 1;
    // Whether the lines look like a file of this format (for a pair, like
    // either of its files).
    bool (*Sniff)(Lines lines) = nullptr;
    // Reads the file, whose lines Sniff took; fileName is how messages name
    // it. A pair's format, given one of its files alone, refuses it, saying
    // which file it needs. Throws KarvelloError naming the file, the line and
    // the value at fault.
    MapFile (*Read)(Lines lines, const std::string& fileName) = nullptr;
};

// The formats in the order a file is tried on them. The first also reads a
// file that no sniff takes, and its message names what the file lacks.
std::span<const MapFileFormat> MapFileFormats();

// The summaries of the formats read from one file, as a list: "a ..., b ...
// or c ...".
std::string OneFileFormatList();

// The open dialog's filters, "Mapmaker files (*.raw *.out *.txt *.log)":
// each filter name once, with the patterns of all its formats; those of
// pairs first, as the window's file boxes take a pair, then in table order.
std::vector<std::string> MapFileDialogFilters();

} // namespace karvello
