// A map table: a header line that names a group, a marker and a position
// column among any others, then one row a marker. Fields are separated by
// commas, semicolons, tabs or blanks, as the header shows. "#" lines above
// the header are skipped; below it, a row is a row whatever it begins with,
// as the programs that write map tables know no comments.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
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

// The three columns a map table must have, and the names each goes by, the
// most telling first: a header with "ID" and "Marker" names its markers by
// "Marker", one with "Position" and "cM" places them by "cM".
enum Column { kGroup, kMarker, kPosition, kColumnCount };

const std::array<ColumnNames, kColumnCount>& KnownColumns() {
    static const auto columns = std::to_array<ColumnNames>({
        {"group", {"group", "chr", "chrom", "chromosome", "lg", "linkage group", "linkage_group"}},
        {"marker", {"marker", "marker name", "locus", "name", "id"}},
        {"position",
         {"cm", "position (cM)", "pos (cM)", "map position (cM)", "dist (cM)", "position", "pos",
          "map position", "distance"}},
    });
    return columns;
}

// The header line and what it says: the separator of the table and the
// field of each column, -1 for one it lacks.
struct Header {
    std::size_t Line = 0;
    char Separator = 0;
    std::vector<std::string_view> Fields;
    std::array<std::int64_t, kColumnCount> Columns{};
    bool Complete = false;
    // Columns that more than one field names.
    std::vector<ColumnChoice> Choices;
};

// The header: the first line that is neither blank nor a comment. None for
// a file without one.
std::optional<Header> FindHeader(Lines lines, std::string& scratch) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, true);
    if (first.empty()) {
        return std::nullopt;
    }
    Header header;
    header.Line = first.front();
    const std::string_view text = LineAt(lines, header.Line);
    header.Separator = SeparatorOf(text);
    SplitFields(text, header.Separator, header.Fields, scratch);
    const std::vector<std::int64_t> found =
        FindNamedColumns(header.Fields, KnownColumns(), &header.Choices);
    std::copy(found.begin(), found.end(), header.Columns.begin());
    header.Complete =
        std::find(header.Columns.begin(), header.Columns.end(), -1) == header.Columns.end();
    return header;
}

std::string MissingColumnsMessage(const Header& header, const std::string& fileName) {
    std::string missing;
    std::string lookedFor;
    for (int c = 0; c < kColumnCount; ++c) {
        if (header.Columns[c] != -1) {
            continue;
        }
        const ColumnNames& column = KnownColumns()[c];
        missing += missing.empty() ? "no " : " and no ";
        missing += column.What;
        missing += " column";
        lookedFor += " A ";
        lookedFor += column.What;
        lookedFor += " column is named one of: ";
        for (std::size_t n = 0; n < column.Names.size(); ++n) {
            lookedFor += n == 0 ? "" : ", ";
            lookedFor += column.Names[n];
        }
        lookedFor += ".";
    }
    std::string columns;
    for (std::size_t f = 0; f < header.Fields.size(); ++f) {
        columns += f == 0 ? "" : ", ";
        columns += Quote(header.Fields[f]);
    }
    return "The header on " + LineText(static_cast<std::int64_t>(header.Line) + 1) + " of " +
           Quote(fileName) + " names " + missing + ". Its columns are " +
           (columns.empty() ? std::string("none") : columns) + "." + lookedFor;
}

// Whether the split fields go on past the header's count with one that is
// not empty (a row that ends in empty fields is only padded).
bool HasFieldsPast(const std::vector<std::string_view>& fields, std::size_t headerFields) {
    for (std::size_t f = headerFields; f < fields.size(); ++f) {
        if (!fields[f].empty()) {
            return true;
        }
    }
    return false;
}

bool HasFieldsPast(std::string_view line, char separator, std::size_t headerFields,
                   std::vector<std::string_view>& fields, std::string& scratch) {
    SplitFields(line, separator, fields, scratch);
    return HasFieldsPast(fields, headerFields);
}

// The text with its first letter in capitals.
std::string Capitalised(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') {
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    }
    return text;
}

} // namespace

bool SniffMapTable(Lines lines) {
    std::string scratch;
    const std::optional<Header> header = FindHeader(lines, scratch);
    return header && header->Complete;
}

bool MapTableReadingExplains(Lines lines) {
    std::string scratch;
    const std::optional<Header> header = FindHeader(lines, scratch);
    return !header || std::find_if(header->Columns.begin(), header->Columns.end(),
                                   [](std::int64_t c) { return c != -1; }) != header->Columns.end();
}

MapFile ReadMapTable(Lines lines, const std::string& fileName) {
    std::string scratch;
    const std::optional<Header> header = FindHeader(lines, scratch);
    if (!header) {
        Fail(Quote(fileName) + " is empty: it holds no map.");
    }
    if (!header->Complete) {
        Fail(MissingColumnsMessage(*header, fileName));
    }
    const char separator = header->Separator;
    const std::array<std::int64_t, kColumnCount>& columns = header->Columns;
    MapBuilder builder(fileName, separator != ',');
    builder.Reserve(lines.size() - header->Line);
    const std::int64_t needed = *std::max_element(columns.begin(), columns.end()) + 1;
    std::array<std::string_view, kColumnCount> wanted;
    std::vector<std::string_view> fields;
    std::string rowScratch;
    const std::size_t headerFields = header->Fields.size();
    std::vector<std::int64_t> longRows;
    std::vector<std::int64_t> hashRows;
    for (std::size_t i = header->Line + 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const auto lineNumber = static_cast<std::int64_t>(i) + 1;
        // A row that starts with a letter or digit is not blank; only others
        // need trimming to tell.
        if (line.empty() || IsTrimmed(line.front()) || line.front() == '#') {
            const std::string_view trimmed = TrimText(line);
            if (trimmed.empty()) {
                continue;
            }
            if (IsComment(trimmed)) {
                hashRows.push_back(lineNumber);
            }
        }
        // Fields past the header's are noted; counting separators is quick,
        // and only a row with too many, or a quote, is split to be sure.
        if (SplitWantedFields(line, separator, columns, wanted)) {
            if (static_cast<std::size_t>(std::count(line.begin(), line.end(), separator)) >=
                    headerFields &&
                HasFieldsPast(line, separator, headerFields, fields, rowScratch)) {
                longRows.push_back(lineNumber);
            }
            builder.Add(wanted[kGroup], wanted[kMarker], wanted[kPosition], lineNumber);
            continue;
        }
        SplitFields(line, separator, fields, rowScratch);
        if (static_cast<std::int64_t>(fields.size()) < needed) {
            for (int c = 0; c < kColumnCount; ++c) {
                if (columns[c] >= static_cast<std::int64_t>(fields.size())) {
                    const std::string what =
                        "its " + std::string(KnownColumns()[c].What) + " column";
                    Fail(TooFewFields(i, fields.size(), what, columns[c], fileName));
                }
            }
        }
        builder.Add(fields[static_cast<std::size_t>(columns[kGroup])],
                    fields[static_cast<std::size_t>(columns[kMarker])],
                    fields[static_cast<std::size_t>(columns[kPosition])], lineNumber);
        if (HasFieldsPast(fields, headerFields)) {
            longRows.push_back(lineNumber);
        }
    }
    MapFile file = builder.Finish();
    std::vector<std::string> warnings;
    for (const ColumnChoice& choice : header->Choices) {
        warnings.push_back(
            ColumnChoiceWarning(choice, header->Fields, KnownColumns(), columns[choice.Column],
                                static_cast<std::int64_t>(header->Line) + 1, fileName));
    }
    if (!longRows.empty()) {
        warnings.push_back(
            Capitalised(LinesText(longRows)) + " of " + Quote(fileName) +
            (longRows.size() == 1 ? " has" : " have") + " more fields than the header's " +
            DecimalText(static_cast<std::int64_t>(headerFields)) +
            "; the fields past them are left out. " +
            (separator == ','
                 ? "Is a position written with a decimal comma? Separate the fields by "
                   "semicolons or tabs then, or write the point."
             : separator == 0 ? "Does a name hold a blank? Quote it, or separate the fields "
                                "by tabs."
                              : "Does a field hold the separator? Quote it."));
    }
    if (!hashRows.empty()) {
        warnings.push_back(Capitalised(LinesText(hashRows)) + " of " + Quote(fileName) +
                           (hashRows.size() == 1 ? " begins with \"#\" and is read as a row"
                                                 : " begin with \"#\" and are read as rows") +
                           " of markers: a map table has no comments.");
    }
    file.Warnings.insert(file.Warnings.begin(), warnings.begin(), warnings.end());
    return file;
}

} // namespace karvello::formats
