#include "mapdata/OutputReader.h"

#include "base/Numbers.h"
#include "base/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>
#include <utility>

namespace karvello {

namespace {

constexpr std::string_view kMapHeading = "Map:";
constexpr std::string_view kErrorDetectionWord = "Apriori";
constexpr std::string_view kPlacedHeading = "Markers placed relative to above map:";

// Line indexes are ints in the interface; a text with more lines than an int
// can count is read up to that many.
int LineCount(Lines lines) {
    return lines.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                            : static_cast<int>(lines.size());
}

// "Map:" alone, or "Map:", blanks and "Apriori" as Mapmaker heads a map that
// was computed with error detection on.
bool IsMapHeading(std::string_view line) {
    const std::string_view trimmed = TrimText(line);
    if (trimmed == kMapHeading) {
        return true;
    }
    if (!trimmed.starts_with(kMapHeading) || !trimmed.ends_with(kErrorDetectionWord)) {
        return false;
    }
    const std::size_t blanksEnd = trimmed.size() - kErrorDetectionWord.size();
    if (blanksEnd <= kMapHeading.size()) {
        return false;
    }
    for (std::size_t i = kMapHeading.size(); i < blanksEnd; ++i) {
        if (trimmed[i] != ' ') {
            return false;
        }
    }
    return true;
}

bool IsPlacedHeading(std::string_view line) {
    return TrimText(line) == kPlacedHeading;
}

// The distance on a framework line: a row of dashes (the last marker) is 0,
// otherwise a decimal number followed by "cM", which either ends the rest or
// is followed by a blank and the error-detection columns. Nothing for any
// other form: that line ends the framework list.
std::optional<double> ReadDistance(std::string_view rest) {
    if (rest.starts_with("----")) {
        return 0.0;
    }
    if (rest.ends_with("cM")) {
        if (auto distance = ParseDecimalNumber(TrimText(rest.substr(0, rest.size() - 2)))) {
            return distance;
        }
    }
    if (const std::size_t unit = rest.find("cM "); unit != std::string_view::npos) {
        return ParseDecimalNumber(TrimText(rest.substr(0, unit)));
    }
    return std::nullopt;
}

// Checks a marker number against the table before anything is changed for
// its line; line is an index from 0.
std::int32_t CheckedMarkerIndex(std::int32_t number, int line, const MarkerTable& markers) {
    if (number < 1 || static_cast<std::uint64_t>(number) > markers.size()) {
        throw MarkerNumberError(line + 1, number, markers.size());
    }
    return number - 1;
}

void MarkMarker(MarkerTable& markers, std::int32_t index, const LinkageMap& map,
                std::int32_t position) {
    Marker& marker = markers[static_cast<std::size_t>(index)];
    marker.Mapped = true;
    marker.Chromosome = map.MapNumber;
    marker.Position = position;
}

// A placement row: a line that splits and whose first and second tokens are
// both whole numbers.
struct OutputRow {
    SplitLine Parts;
    std::int32_t Number = 0; // the marker number, the first token
};

// Gives the row on the line, or nothing when the line is missing or no row.
std::optional<OutputRow> ReadRow(Lines lines, std::int64_t line) {
    if (line < 0 || line >= static_cast<std::int64_t>(lines.size())) {
        return std::nullopt;
    }
    const SplitLine split = SplitMapLine(lines[static_cast<std::size_t>(line)]);
    if (!split.Splits || !ParseWholeNumber(split.Second)) {
        return std::nullopt;
    }
    const auto number = ParseWholeNumber(split.First);
    if (!number) {
        return std::nullopt;
    }
    return OutputRow{split, *number};
}

// The highest cell count that still gives a Position (2c + 1) within 32 bits.
constexpr std::int64_t kMaxCell = (INT32_MAX - 1) / 2;

// Reads the cells of one row's rest in one block, counting on from cell.
// Returns true when the "**." cell is found; cell then holds its number.
bool ReadCells(std::string_view rest, std::int64_t& cell) {
    if (rest.starts_with(":.")) {
        rest.remove_prefix(2);
    }
    while (!rest.empty()) {
        if (rest.starts_with("**.")) {
            return true;
        }
        // The last interval is written three characters wide after its colon.
        const std::size_t width = rest.size() == 7 && rest[3] == ':' ? 4 : 5;
        rest.remove_prefix(rest.size() < width ? rest.size() : width);
        if (++cell > kMaxCell) {
            return false;
        }
    }
    return false;
}

std::string MarkerNumberMessage(int line, std::int32_t number, std::size_t count,
                                const std::string& file) {
    return "Marker number " + DecimalText(number) + " on line " + DecimalText(line) + " of " +
           file + " is not in the input file, which lists " +
           DecimalText(static_cast<std::int64_t>(count)) + (count == 1 ? " marker." : " markers.");
}

} // namespace

SplitLine SplitMapLine(std::string_view line) {
    SplitLine result;
    const std::string_view trimmed = TrimText(line);
    const std::size_t firstBlank = trimmed.find(' ');
    if (firstBlank == std::string_view::npos) {
        return result;
    }
    const std::string_view remainder = TrimText(trimmed.substr(firstBlank + 1));
    const std::size_t secondBlank = remainder.find(' ');
    if (secondBlank == std::string_view::npos) {
        return result;
    }
    result.Splits = true;
    result.First = trimmed.substr(0, firstBlank);
    result.Second = remainder.substr(0, secondBlank);
    result.Rest = TrimText(remainder.substr(secondBlank + 1));
    return result;
}

MarkerNumberError::MarkerNumberError(int line, std::int32_t number, std::size_t markerCount)
    : KarvelloError(MarkerNumberMessage(line, number, markerCount, "the output file")), line_(line),
      number_(number), count_(markerCount) {}

std::string MarkerNumberError::MessageFor(const std::string& outputFileName) const {
    return MarkerNumberMessage(line_, number_, count_, "\"" + outputFileName + "\"");
}

int ReadFrameworkMarkers(Lines lines, int firstLine, MarkerTable& markers, LinkageMap& map) {
    map.Markers.clear();
    const int count = LineCount(lines);
    int k = firstLine < 0 ? 0 : firstLine;
    double previousDistance = -1.0;
    for (; k < count; ++k) {
        const SplitLine split = SplitMapLine(lines[static_cast<std::size_t>(k)]);
        if (!split.Splits) {
            break;
        }
        const auto number = ParseWholeNumber(split.First);
        if (!number) {
            break;
        }
        const auto distance = ReadDistance(split.Rest);
        if (!distance) {
            break;
        }
        const std::int32_t index = CheckedMarkerIndex(*number, k, markers);
        const auto i = static_cast<std::int32_t>(map.Markers.size());
        MapEntry& entry = map.Markers.emplace_back();
        entry.MarkerIndex = index;
        entry.Distance = *distance;
        entry.NextSamePos = -1;
        entry.SamePosAsPrev = previousDistance == 0.0;
        if (entry.SamePosAsPrev) {
            map.Markers[static_cast<std::size_t>(i) - 1].NextSamePos = i;
        }
        // A framework list longer than INT32_MAX / 2 entries cannot occur in
        // memory; the position code is computed in 64 bits all the same.
        MarkMarker(markers, index, map,
                   static_cast<std::int32_t>(2 * (static_cast<std::int64_t>(i) + 1)));
        previousDistance = *distance;
    }
    return k;
}

void ReadPlacedMarkers(Lines lines, int headingNextLine, MarkerTable& markers, LinkageMap& map) {
    map.Placed.clear();
    const std::int64_t firstRow = static_cast<std::int64_t>(headingNextLine) + 2;

    // Rows: as many lines as read as rows from the first one on.
    for (std::int64_t line = firstRow;; ++line) {
        const auto row = ReadRow(lines, line);
        if (!row) {
            break;
        }
        const std::int32_t index = CheckedMarkerIndex(row->Number, static_cast<int>(line), markers);
        map.Placed.push_back(PlacedMarker{index, -1});
    }
    const auto n = static_cast<std::int64_t>(map.Placed.size());
    if (n == 0) {
        return;
    }

    // Blocks: a wide table goes on in further blocks of the same rows, each
    // after three lines of its own; one more block follows while the first
    // row of the last one ends with ":".
    std::int64_t blocks = 0;
    for (std::int64_t first = firstRow;; first += n + 3) {
        const auto row = ReadRow(lines, first);
        if (!row) {
            break;
        }
        ++blocks;
        if (!row->Parts.Rest.ends_with(':')) {
            break;
        }
    }

    const auto lineCount = static_cast<std::int64_t>(lines.size());
    for (std::int64_t r = 0; r < n; ++r) {
        PlacedMarker& placed = map.Placed[static_cast<std::size_t>(r)];
        std::int64_t cell = 0;
        for (std::int64_t b = 0; b < blocks; ++b) {
            // A later block cut short by the end of the text gives this row
            // nothing more.
            const std::int64_t line = firstRow + b * (n + 3) + r;
            if (line >= lineCount) {
                break;
            }
            const SplitLine split = SplitMapLine(lines[static_cast<std::size_t>(line)]);
            if (!split.Splits) {
                continue;
            }
            if (ReadCells(split.Rest, cell)) {
                placed.Interval = static_cast<std::int32_t>(cell);
                MarkMarker(markers, placed.MarkerIndex, map,
                           static_cast<std::int32_t>(2 * cell + 1));
                break;
            }
            if (cell > kMaxCell) {
                break;
            }
        }
    }
}

int FindNextMap(Lines lines, int fromLine, MarkerTable& markers, LinkageMap& map) {
    const int count = LineCount(lines);
    if (fromLine < 0) {
        return -1;
    }
    int heading = fromLine;
    while (heading < count && !IsMapHeading(lines[static_cast<std::size_t>(heading)])) {
        ++heading;
    }
    if (heading >= count) {
        return -1;
    }

    // The placement table belongs to this map only when it comes before the
    // next map heading: Mapmaker prints no table after many maps. The line
    // under the heading holds column titles and is never read, so the search
    // starts below it.
    int placedHeading = -1;
    int k = heading + 2;
    for (; k < count; ++k) {
        const std::string_view line = lines[static_cast<std::size_t>(k)];
        if (IsMapHeading(line)) {
            break;
        }
        if (IsPlacedHeading(line)) {
            placedHeading = k;
            break;
        }
    }

    // The framework rows lie before where the search stopped: room for them
    // once (up to a bound, so that a heading followed by millions of other
    // lines reserves no more than a real map needs).
    constexpr int kMostReserved = 4096;
    map.Markers.reserve(static_cast<std::size_t>(std::clamp(k - (heading + 2), 0, kMostReserved)));
    const int frameworkEnd = ReadFrameworkMarkers(lines, heading + 2, markers, map);
    if (placedHeading < 0) {
        map.Placed.clear();
        return frameworkEnd;
    }
    ReadPlacedMarkers(lines, placedHeading + 1, markers, map);
    return placedHeading + 3;
}

std::vector<LinkageMap> ReadAllMaps(Lines lines, MarkerTable& markers, const ProgressFn& progress) {
    std::vector<LinkageMap> maps;
    int from = 0;
    while (true) {
        LinkageMap map;
        map.MapNumber = static_cast<std::int32_t>(maps.size()) + 1;
        from = FindNextMap(lines, from, markers, map);
        if (from == -1) {
            ReportProgress(progress, lines.size(), lines.size());
            return maps;
        }
        maps.push_back(std::move(map));
        ReportProgress(progress, static_cast<std::uint64_t>(from), lines.size());
    }
}

} // namespace karvello
