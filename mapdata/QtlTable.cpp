#include "mapdata/QtlTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/MapNames.h"

namespace karvello {

namespace {

enum Column { kMap, kName, kStart, kEnd, kInnerStart, kInnerEnd, kColour, kColumnCount };
constexpr int kRequiredColumns = kEnd + 1;

const std::array<ColumnNames, kColumnCount>& QtlColumns() {
    static const auto columns = std::to_array<ColumnNames>({
        {"map", {"map", "group", "chr", "chrom", "chromosome", "lg", "linkage group"}},
        {"name", {"name", "qtl", "trait", "label"}},
        {"start", {"start", "from", "left"}},
        {"end", {"end", "to", "right"}},
        {"inner start", {"inner start", "inner_start", "innerstart", "inner from"}},
        {"inner end", {"inner end", "inner_end", "innerend", "inner to"}},
        {"colour", {"colour", "color"}},
    });
    return columns;
}

// Far beyond any genome.
constexpr double kMaxPosition = 1e9;
// Room for rounding when an interval ends at its map's last marker.
constexpr double kEndSlack = 0.05;

// A whole line of noise is not worth repeating in a message.
constexpr std::size_t kMaxQuoted = 100;

std::string Where(std::int64_t line, const std::string& fileName) {
    return "line " + DecimalText(line) + " of " + Quote(fileName, kMaxQuoted);
}

[[noreturn]] void Fail(const std::string& message) {
    throw KarvelloError(message);
}

// With decimalComma (fields not separated by commas) "12,5" reads as 12.5.
double Position(std::string_view text, std::string_view what, std::int64_t line,
                const std::string& fileName, bool decimalComma) {
    const std::optional<double> value =
        decimalComma ? ParseDecimalNumberWithComma(text) : ParseDecimalNumber(text);
    if (!value) {
        Fail("The " + std::string(what) + " " + Quote(text, kMaxQuoted) + " on " +
             Where(line, fileName) + " is not a number.");
    }
    if (std::fabs(*value) > kMaxPosition) {
        Fail("The " + std::string(what) + " " + Quote(text, kMaxQuoted) + " on " +
             Where(line, fileName) + " lies beyond 1000000000 cM.");
    }
    return *value;
}

std::string CmText(double value) {
    // Positions are read to a few decimals; six are plenty to name one.
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6).ptr;
    std::string text(buffer, end);
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text + " cM";
}

std::string QtlName(const QtlInterval& qtl, const std::string& fileName) {
    return "The QTL " + Quote(qtl.Name, kMaxQuoted) + " on " + Where(qtl.Line, fileName);
}

} // namespace

QtlTableFile ReadQtlTable(Lines lines, const std::string& fileName) {
    QtlTableFile table;
    table.FileName = fileName;
    std::vector<std::string_view> fields;
    std::string scratch;
    std::vector<std::int64_t> columns;
    char separator = 0;
    bool haveHeader = false;
    std::int64_t needed = 0;
    std::size_t headerFields = 0;
    std::vector<std::int64_t> longRows; // rows with fields past the header's

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = i == 0 ? WithoutByteOrderMark(lines[i]) : lines[i];
        const std::string_view trimmed = TrimText(line);
        // A row of a table whose first column is the colour starts with "#"
        // too: there, below the header, every line is a row.
        const bool colourFirst = haveHeader && columns[kColour] == 0;
        if (trimmed.empty() || (trimmed.starts_with('#') && !colourFirst)) {
            continue;
        }
        const auto lineNumber = static_cast<std::int64_t>(i) + 1;
        if (!haveHeader) {
            separator = SeparatorOf(trimmed);
            SplitFields(line, separator, fields, scratch);
            std::vector<ColumnChoice> choices;
            columns = FindNamedColumns(fields, QtlColumns(), &choices);
            for (const ColumnChoice& choice : choices) {
                table.Warnings.push_back(ColumnChoiceWarning(
                    choice, fields, QtlColumns(), columns[choice.Column], lineNumber, fileName));
            }
            std::string missing;
            for (int c = 0; c < kRequiredColumns; ++c) {
                if (columns[c] == -1) {
                    missing += missing.empty() ? "" : ", ";
                    missing += QtlColumns()[c].What;
                }
            }
            if (!missing.empty()) {
                Fail("The header on " + Where(lineNumber, fileName) +
                     " lacks the columns: " + missing +
                     ". A QTL table's header names the columns map, name, start and end, and "
                     "may name inner start, inner end and colour.");
            }
            if ((columns[kInnerStart] == -1) != (columns[kInnerEnd] == -1)) {
                Fail("The header on " + Where(lineNumber, fileName) +
                     " names only one of the columns inner start and inner end; give both or "
                     "neither.");
            }
            needed = *std::max_element(columns.begin(), columns.begin() + kRequiredColumns) + 1;
            headerFields = fields.size();
            haveHeader = true;
            continue;
        }

        SplitFields(line, separator, fields, scratch);
        if (static_cast<std::int64_t>(fields.size()) < needed) {
            Fail("Line " + DecimalText(lineNumber) + " of " + Quote(fileName, kMaxQuoted) +
                 " has " + DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field" : " fields") + "; its header asks for at least " +
                 DecimalText(needed) + ".");
        }
        const auto field = [&](int c) -> std::string_view {
            const std::int64_t f = columns[c];
            return f >= 0 && f < static_cast<std::int64_t>(fields.size())
                       ? fields[static_cast<std::size_t>(f)]
                       : std::string_view();
        };

        QtlInterval qtl;
        qtl.Line = lineNumber;
        qtl.Map = field(kMap);
        qtl.Name = field(kName);
        if (qtl.Map.empty()) {
            Fail("The map on " + Where(lineNumber, fileName) + " is empty.");
        }
        if (qtl.Name.empty()) {
            Fail("The name on " + Where(lineNumber, fileName) + " is empty.");
        }
        qtl.Start = Position(field(kStart), "start", lineNumber, fileName, separator != ',');
        qtl.End = Position(field(kEnd), "end", lineNumber, fileName, separator != ',');
        if (qtl.Start > qtl.End) {
            Fail(QtlName(qtl, fileName) + " starts at " + CmText(qtl.Start) +
                 ", after its end at " + CmText(qtl.End) + ".");
        }
        const std::string_view innerStart = field(kInnerStart);
        const std::string_view innerEnd = field(kInnerEnd);
        if (innerStart.empty() != innerEnd.empty()) {
            Fail(QtlName(qtl, fileName) +
                 " gives only one end of its inner interval; give both or neither.");
        }
        if (!innerStart.empty()) {
            qtl.InnerStart =
                Position(innerStart, "inner start", lineNumber, fileName, separator != ',');
            qtl.InnerEnd = Position(innerEnd, "inner end", lineNumber, fileName, separator != ',');
            if (*qtl.InnerStart > *qtl.InnerEnd || *qtl.InnerStart < qtl.Start ||
                *qtl.InnerEnd > qtl.End) {
                Fail(QtlName(qtl, fileName) + " has the inner interval " + CmText(*qtl.InnerStart) +
                     " to " + CmText(*qtl.InnerEnd) + ", which does not lie within its interval " +
                     CmText(qtl.Start) + " to " + CmText(qtl.End) + ".");
            }
        }
        const std::string_view colour = field(kColour);
        if (!colour.empty()) {
            qtl.Colour = ParseHexColour(colour);
            if (!qtl.Colour) {
                Fail("The colour " + Quote(colour, kMaxQuoted) + " on " +
                     Where(lineNumber, fileName) + " is not written #RRGGBB.");
            }
        }
        for (std::size_t f = headerFields; f < fields.size(); ++f) {
            if (!fields[f].empty()) {
                longRows.push_back(lineNumber);
                break;
            }
        }
        table.Qtls.push_back(std::move(qtl));
    }
    if (!haveHeader) {
        Fail(Quote(fileName, kMaxQuoted) + " holds no QTL table: it has no header line.");
    }
    if (!longRows.empty()) {
        std::string listed = LinesText(longRows);
        listed.front() = static_cast<char>(listed.front() - 'a' + 'A');
        table.Warnings.push_back(
            listed + " of " + Quote(fileName, kMaxQuoted) +
            (longRows.size() == 1 ? " has" : " have") + " more fields than the header's " +
            DecimalText(static_cast<std::int64_t>(headerFields)) +
            "; the fields past them are left out." +
            (separator == ',' ? " Is a position written with a decimal comma? Separate the "
                                "fields by semicolons or tabs then, or write the point."
                              : ""));
    }
    return table;
}

namespace {

// The index of the map that qtl names among maps, or maps.size(); the map is
// found among named (the maps the names are read against) by FindNamedMap's
// rule, then among maps by its number.
std::size_t FindMap(const QtlInterval& qtl, const std::vector<LinkageMap>& maps,
                    const std::vector<LinkageMap>& named, const std::string& fileName,
                    std::vector<std::string>* warnings) {
    NamedMap found = FindNamedMap(qtl.Map, named, "on " + Where(qtl.Line, fileName));
    if (found.Index == named.size()) {
        return maps.size();
    }
    if (warnings != nullptr && !found.Warning.empty()) {
        warnings->push_back(std::move(found.Warning));
    }
    const std::int32_t number = named[found.Index].MapNumber;
    for (std::size_t m = 0; m < maps.size(); ++m) {
        if (maps[m].MapNumber == number) {
            return m;
        }
    }
    return maps.size();
}

std::string MapList(const std::vector<LinkageMap>& maps) {
    std::string listed;
    for (std::size_t m = 0; m < maps.size() && m < 12; ++m) {
        listed += m == 0 ? "" : ", ";
        listed += maps[m].GroupName.empty() ? DecimalText(maps[m].MapNumber)
                                            : Quote(maps[m].GroupName, kMaxQuoted);
    }
    if (maps.size() > 12) {
        listed += ", ...";
    }
    return maps.empty() ? std::string("no map") : "the maps " + listed;
}

} // namespace

std::vector<PlacedQtl> PlaceQtls(const QtlTableFile& table, const std::vector<LinkageMap>& maps,
                                 const std::vector<LinkageMap>* loaded,
                                 std::vector<std::string>* warnings) {
    std::vector<PlacedQtl> placed;
    placed.reserve(table.Qtls.size());
    const std::vector<LinkageMap>& named = loaded != nullptr ? *loaded : maps;
    for (const QtlInterval& qtl : table.Qtls) {
        const std::size_t found = FindMap(qtl, maps, named, table.FileName, warnings);
        if (found == maps.size()) {
            if (loaded != nullptr && FindNamedMap(qtl.Map, *loaded, {}).Index < loaded->size()) {
                continue; // a map of the data that this drawing leaves out
            }
            Fail("The map " + Quote(qtl.Map, kMaxQuoted) + " on " +
                 Where(qtl.Line, table.FileName) +
                 (loaded != nullptr ? " is not a map of the loaded data, which holds "
                                    : " is not in the figure, which draws ") +
                 MapList(loaded != nullptr ? *loaded : maps) + ".");
        }
        const LinkageMap& map = maps[found];
        const double first = map.FirstPosition;
        const double last = first + MapLength(map);
        if (qtl.Start < first - kEndSlack || qtl.End > last + kEndSlack) {
            Fail(QtlName(qtl, table.FileName) + " runs from " + CmText(qtl.Start) + " to " +
                 CmText(qtl.End) + ", outside its map " + Quote(qtl.Map, kMaxQuoted) +
                 ", which runs from " + CmText(first) + " to " + CmText(last) +
                 ". Is the table made for another map?");
        }
        placed.push_back({found, qtl});
    }
    return placed;
}

} // namespace karvello
