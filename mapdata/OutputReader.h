#pragma once
// Finds the linkage maps in the lines of a Mapmaker output file.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "base/Progress.h"
#include "mapdata/MapRecords.h"
#include "mapdata/TextLines.h"

namespace karvello {

// A line cut into first token, second token and rest (see SplitMapLine).
struct SplitLine {
    bool Splits = false;
    std::string_view First;
    std::string_view Second;
    std::string_view Rest;
};

// Splits a trimmed line at its first blank and the trimmed remainder at its
// first blank. Splits is false when the line holds fewer than two such blanks;
// the rest is never empty when it is true.
SplitLine SplitMapLine(std::string_view line);

// The output file names a marker number that the marker table does not hold:
// the two files do not belong together. Line is counted from 1.
class MarkerNumberError : public KarvelloError {
  public:
    MarkerNumberError(int line, std::int32_t number, std::size_t markerCount);
    int Line() const { return line_; }
    std::int32_t Number() const { return number_; }
    std::size_t MarkerCount() const { return count_; }
    // The message naming the output file, ready for the user.
    std::string MessageFor(const std::string& outputFileName) const;

  private:
    int line_;
    std::int32_t number_;
    std::size_t count_;
};

// Finds the next map at or after line fromLine, reads it into map (which the
// caller hands over empty with MapNumber set) and marks its markers in the
// marker table. Returns the line index where the next search starts, or -1
// when no further map is found; with -1 neither map nor markers changed.
// Throws MarkerNumberError for a marker number outside the table.
int FindNextMap(Lines lines, int fromLine, MarkerTable& markers, LinkageMap& map);

// Returns every map of the output file in the order found, numbered from 1:
// FindNextMap called from line 0 and then from where each search ended, until
// it finds no further map. Marks the markers as FindNextMap does. Throws
// MarkerNumberError; the marks made before it stay in the table. After each
// map it reports the lines read so far to progress, which may stop the
// reading by throwing.
std::vector<LinkageMap> ReadAllMaps(Lines lines, MarkerTable& markers,
                                    const ProgressFn& progress = {});

// Reads framework marker lines from firstLine into map.Markers, replacing
// them, and marks the markers. Returns the index of the first line that is not
// a framework marker line. Throws MarkerNumberError.
int ReadFrameworkMarkers(Lines lines, int firstLine, MarkerTable& markers, LinkageMap& map);

// Empties map.Placed and reads the placement table whose first row is on line
// headingNextLine + 2, marking the placed markers. Throws MarkerNumberError.
void ReadPlacedMarkers(Lines lines, int headingNextLine, MarkerTable& markers, LinkageMap& map);

} // namespace karvello
