#pragma once
// Reads the marker table from the lines of a Mapmaker input file.

#include <cstddef>
#include <string>
#include <string_view>

#include "mapdata/MapRecords.h"
#include "mapdata/TextLines.h"

namespace karvello {

// Reads the lines of an input file one at a time, as they come from the
// file, into a marker table; ReadInputFile below is the same for lines held
// whole.
class InputFileReader {
  public:
    // Empties markers, which are then filled line by line. Room for the
    // marker count the header claims is reserved at once when the count is
    // at most mostEntries, a bound of the entries the file can hold (0:
    // nothing is reserved), so that a wrong count never reserves more room
    // than the file could fill.
    InputFileReader(MarkerTable& markers, std::size_t mostEntries);

    // Takes the next line. Returns false when no later line can add a
    // marker: the entries after the counted markers are traits.
    bool Take(std::string_view line);

    // Whether the first line is Mapmaker's "data type" line.
    bool BeginsLikeAnInputFile() const { return beginsLikeInputFile_; }

  private:
    MarkerTable& markers_;
    std::size_t mostEntries_;
    std::size_t line_ = 0;
    std::size_t limit_ = 0;
    std::string dominant_; // the characters that make a marker dominant
    bool beginsLikeInputFile_ = false;
};

// Replaces markers with one entry per marker of the input file, in file
// order: Name and Dominant from the file, Colour 0, Mapped false, Chromosome
// and Position 0. Reports nothing; lines that are not marker entries are
// passed over.
void ReadInputFile(Lines lines, MarkerTable& markers);

// Whether line, the first of a file, is Mapmaker's "data type" line, with
// which every input file begins.
bool BeginsLikeAnInputFile(std::string_view firstLine);

} // namespace karvello
