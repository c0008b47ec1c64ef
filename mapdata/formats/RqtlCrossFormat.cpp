// An R/qtl cross file in its "csv" form. Row 1: phenotype names, then marker
// names; row 2: each marker's chromosome, empty under the phenotypes; row 3:
// each marker's position, again empty under the phenotypes; then one row an
// individual. Without the position row the third row is the first
// individual, whose phenotype values fill those fields.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/formats/FormatReaders.h"
#include "mapdata/formats/MapBuilder.h"

namespace karvello::formats {

namespace {

// The separator of the file, as its first line that is neither blank nor a
// comment shows it; 0 for blanks or a file without such a line.
char FileSeparator(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, true);
    return first.empty() ? 0 : SeparatorOf(LineAt(lines, first.front()));
}

} // namespace

bool SniffRqtlCross(Lines lines) {
    const char separator = FileSeparator(lines);
    const std::vector<std::size_t> rows = FirstContentLines(lines, 2, false);
    if (rows.size() < 2 || separator == 0) {
        return false;
    }
    // The chromosome row begins with the empty field under the first
    // phenotype.
    std::vector<std::string_view> second;
    std::string scratch;
    SplitFields(LineAt(lines, rows[1]), separator, second, scratch);
    return !second.empty() && second.front().empty();
}

MapFile ReadRqtlCross(Lines lines, const std::string& fileName) {
    const char separator = FileSeparator(lines);
    const std::vector<std::size_t> rows = FirstContentLines(lines, 3, false);
    std::array<std::vector<std::string_view>, 3> fields;
    std::array<std::string, 3> scratch;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SplitFields(LineAt(lines, rows[r]), separator, fields[r], scratch[r]);
    }
    const auto& names = fields[0];
    const auto& chromosomes = fields[1];
    bool positionRow = rows.size() == 3;
    for (std::size_t f = 0; positionRow && f < names.size() && f < chromosomes.size(); ++f) {
        if (chromosomes[f].empty() && f < fields[2].size() && !fields[2][f].empty()) {
            positionRow = false;
        }
    }
    if (!positionRow) {
        Fail(Quote(fileName) +
             " is an R/qtl cross file without a row of marker positions (its third row holds "
             "data), so it holds no map to draw. Estimate the map in R/qtl and write the cross "
             "out again with its positions.");
    }
    MapBuilder builder(fileName, separator != ',');
    const auto& positions = fields[2];
    for (std::size_t f = 0; f < names.size(); ++f) {
        if (f >= chromosomes.size()) {
            Fail(TooFewFields(rows[1], chromosomes.size(),
                              "the chromosome of marker " + Quote(names[f]),
                              static_cast<std::int64_t>(f), fileName));
        }
        if (chromosomes[f].empty()) {
            continue; // a phenotype
        }
        if (f >= positions.size()) {
            Fail(TooFewFields(rows[2], positions.size(),
                              "the position of marker " + Quote(names[f]),
                              static_cast<std::int64_t>(f), fileName));
        }
        // The name is checked on its own line, which differs from the
        // position's.
        if (names[f].empty()) {
            Fail("The marker name in field " + DecimalText(static_cast<std::int64_t>(f) + 1) +
                 " on " + LineText(static_cast<std::int64_t>(rows[0]) + 1) + " of " +
                 Quote(fileName) + " is empty.");
        }
        builder.Add(chromosomes[f], names[f], positions[f], static_cast<std::int64_t>(rows[2]) + 1);
    }
    return builder.Finish();
}

} // namespace karvello::formats
