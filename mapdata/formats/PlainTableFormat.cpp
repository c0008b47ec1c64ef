// A table of three columns without a header: group, marker and position, as
// the map file that R/qtl reads beside a Mapmaker raw file and OneMap's
// write_map write it (maybe after a blank first line), or marker, group and
// position. Fields are separated by tabs, semicolons, commas or blanks, as
// the first row shows; "#" lines are comments.
//
// Which of the first two columns holds the groups is told from the rows: a
// group's name comes back on each of its markers' rows, a marker's name
// once, so the column with fewer different values is the group; when both
// have as many, a column of numbers alone is the group (chromosomes are
// numbered, markers named), and else the first column is, as R/qtl and
// OneMap write it. When both columns hold numbers alone they cannot be told
// apart with any trust, and the file is refused.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/formats/FormatReaders.h"
#include "mapdata/formats/MapBuilder.h"

namespace karvello::formats {

namespace {

constexpr std::size_t kColumns = 3;

bool IsNumber(std::string_view text, bool decimalComma) {
    return decimalComma ? ParseDecimalNumberWithComma(text).has_value()
                        : ParseDecimalNumber(text).has_value();
}

// One content row: its line and fields.
struct Row {
    std::size_t Line = 0;
    std::vector<std::string_view> Fields;
    std::string Scratch;
};

MapFile Read(Lines lines, const std::string& fileName) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, true);
    if (first.empty()) {
        Fail(Quote(fileName) + " is empty: it holds no map.");
    }
    const char separator = SeparatorOf(LineAt(lines, first.front()));
    const bool decimalComma = separator != ',';
    // Reserved whole, so that no row moves: a field may point into its
    // row's scratch.
    std::vector<Row> rows;
    rows.reserve(lines.size() - first.front());
    for (std::size_t i = first.front(); i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        if (trimmed.empty() || IsComment(trimmed)) {
            continue;
        }
        Row& row = rows.emplace_back();
        row.Line = i;
        SplitFields(LineAt(lines, i), separator, row.Fields, row.Scratch);
        if (row.Fields.size() != kColumns) {
            Fail("Line " + DecimalText(static_cast<std::int64_t>(i) + 1) + " of " +
                 Quote(fileName) + " has " +
                 DecimalText(static_cast<std::int64_t>(row.Fields.size())) +
                 (row.Fields.size() == 1 ? " field" : " fields") +
                 ", but the table's rows have three: group, marker and position.");
        }
    }
    std::unordered_set<std::string_view> firstValues;
    std::unordered_set<std::string_view> secondValues;
    bool firstNumbers = true;
    bool secondNumbers = true;
    for (const Row& row : rows) {
        firstValues.insert(row.Fields[0]);
        secondValues.insert(row.Fields[1]);
        firstNumbers = firstNumbers && IsNumber(row.Fields[0], decimalComma);
        secondNumbers = secondNumbers && IsNumber(row.Fields[1], decimalComma);
    }
    if (firstNumbers && secondNumbers) {
        Fail(Quote(fileName) +
             " has no header, and its first two columns hold numbers alone, so which of them "
             "holds the groups and which the markers cannot be told. A table without a header "
             "is read as group, marker and position (as R/qtl and OneMap write it) or as "
             "marker, group and position, with marker names that are not all numbers; give "
             "the file a header that names its columns (group, marker, position).");
    }
    bool groupFirst = true;
    if (firstValues.size() != secondValues.size()) {
        groupFirst = firstValues.size() < secondValues.size();
    } else if (secondNumbers) {
        groupFirst = false;
    }
    MapBuilder builder(fileName, decimalComma);
    builder.Reserve(rows.size());
    for (const Row& row : rows) {
        std::string_view marker = row.Fields[groupFirst ? 1 : 0];
        // R/qtl's Mapmaker map file may keep the "*" that Mapmaker's raw
        // file puts before a name.
        marker.remove_prefix(marker.size() > 1 && marker.front() == '*' ? 1 : 0);
        builder.Add(row.Fields[groupFirst ? 0 : 1], marker, row.Fields[2],
                    static_cast<std::int64_t>(row.Line) + 1);
    }
    return builder.Finish();
}

} // namespace

// The first row tells the table; the reading judges the rest, so that a
// fault in a later row is named as such.
bool SniffPlainTable(Lines lines) {
    const std::vector<std::size_t> rows = FirstContentLines(lines, 1, true);
    if (rows.empty()) {
        return false;
    }
    const char separator = SeparatorOf(LineAt(lines, rows.front()));
    std::vector<std::string_view> fields;
    std::string scratch;
    for (const std::size_t i : rows) {
        SplitFields(LineAt(lines, i), separator, fields, scratch);
        if (fields.size() != kColumns || !IsNumber(fields[2], separator != ',')) {
            return false;
        }
    }
    return true;
}

MapFile ReadPlainTable(Lines lines, const std::string& fileName) {
    return ReadTakenFor("a table of three columns without a header", fileName,
                        [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
