#include "mapdata/MapFileReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"

namespace karvello {

namespace {

// Positions closer than this count as one position.
constexpr double kSamePosition = 0.00005;
// Far beyond any genome; keeps every difference and rounding finite and exact
// enough.
constexpr double kMaxPosition = 1e9;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string LineText(std::int64_t line) {
    return "line " + DecimalText(line);
}

// A difference or position to 6 decimals, so that 20.9 - 18.5 is 2.4 and not
// 2.3999999999999986, whose label would read "2.3".
double RoundToMillionths(double value) {
    return std::round(value * 1e6) / 1e6;
}

// The usual position, an optional "-", up to nine digits and up to six
// decimals after a point (or a comma, with decimalComma), read at the speed
// of a table's rows into exactly what RoundToMillionths(ParseDecimalNumber(
// text)) gives: the digits make a whole number of millionths below 2^51, so
// rounding the quotient to millionths gives the quotient back, and nine
// whole digits keep it below kMaxPosition. False for any other text, which
// the full reading then judges.
bool ReadPlainPosition(std::string_view text, bool decimalComma, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    const char* at = text.data();
    const char* const end = at + text.size();
    const bool negative = at != end && *at == '-';
    at += negative ? 1 : 0;
    const char* const digitsStart = at;
    std::uint64_t whole = 0;
    while (at != end && static_cast<unsigned char>(*at - '0') < 10) {
        whole = whole * 10 + static_cast<unsigned char>(*at - '0');
        ++at;
    }
    const std::ptrdiff_t wholeDigits = at - digitsStart;
    std::ptrdiff_t decimals = 0;
    if (at != end && (*at == '.' || (decimalComma && *at == ','))) {
        const char* const decimalsStart = ++at;
        while (at != end && static_cast<unsigned char>(*at - '0') < 10) {
            whole = whole * 10 + static_cast<unsigned char>(*at - '0');
            ++at;
        }
        decimals = at - decimalsStart;
    }
    if (at != end || wholeDigits + decimals == 0 || wholeDigits > 9 || decimals > 6) {
        return false;
    }
    const double magnitude = static_cast<double>(whole) / kPowers[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

// The three columns a map table must have, and the names each goes by.
enum Column { kGroup, kMarker, kPosition, kColumnCount };

const std::array<ColumnNames, kColumnCount>& KnownColumns() {
    static const std::array<ColumnNames, kColumnCount> columns{{
        {"group", {"group", "chr", "chrom", "chromosome", "lg", "linkage group", "linkage_group"}},
        {"marker", {"marker", "locus", "name", "id", "marker name"}},
        {"position",
         {"position", "pos", "cm", "distance", "dist (cM)", "map position", "position (cM)",
          "pos (cM)", "map position (cM)"}},
    }};
    return columns;
}

std::array<std::int64_t, kColumnCount> FindColumns(const std::vector<std::string_view>& header) {
    const std::vector<std::int64_t> found = FindNamedColumns(header, KnownColumns());
    std::array<std::int64_t, kColumnCount> columns{};
    std::copy(found.begin(), found.end(), columns.begin());
    return columns;
}

// Collects the rows of a file and turns them into maps at the end.
class MapBuilder {
  public:
    // With decimalComma, positions may be written with a comma for the point
    // (the file's fields are not separated by commas).
    MapBuilder(const std::string& fileName, bool decimalComma)
        : fileName_(fileName), decimalComma_(decimalComma) {}

    const std::string& FileName() const { return fileName_; }
    // Room for this many marker rows.
    void Reserve(std::size_t rows) {
        markers_.reserve(rows);
        rows_.reserve(rows);
    }

    // One marker row: checks its fields and keeps it. line counts from 1.
    void Add(std::string_view group, std::string_view name, std::string_view positionText,
             std::int64_t line) {
        double position = 0.0;
        if (group.empty() || name.empty() ||
            !ReadPlainPosition(positionText, decimalComma_, position)) {
            position = CheckedPosition(group, name, positionText, line);
        }
        const std::uint32_t g = GroupIndex(group);
        GroupRows& rows = groups_[g];
        rows.InOrder = rows.InOrder && (rows.Count == 0 || position >= rows.Last);
        rows.Last = position;
        ++rows.Count;
        rows_.push_back(Row{position, line, g,
                            static_cast<std::uint32_t>(std::hash<std::string_view>{}(name))});
        // Chromosome and Position as the map will give them, unless the rows
        // of the group turn out not to be in order, when BuildMap sets
        // Position again.
        markers_.push_back(Marker{std::string(name), 0, false, true,
                                  static_cast<std::int32_t>(g) + 1,
                                  static_cast<std::int32_t>(2 * rows.Count)});
    }

    MapFile Finish(MapFileFormat format) {
        if (markers_.empty()) {
            Fail(Quote(fileName_) + " holds no markers.");
        }
        // The rows of each group in file order, group after group: a stable
        // counting sort of the row numbers by group.
        std::vector<std::size_t> start(groupNames_.size() + 1, 0);
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            start[g + 1] = start[g] + groups_[g].Count;
        }
        std::vector<std::int32_t> members(rows_.size());
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            members[next[rows_[r].Group]++] = static_cast<std::int32_t>(r);
        }
        MapFile file;
        file.Format = format;
        file.Maps.reserve(groupNames_.size());
        for (std::size_t g = 0; g < groupNames_.size(); ++g) {
            const std::span<std::int32_t> group(members.data() + start[g], start[g + 1] - start[g]);
            file.Maps.push_back(BuildMap(g, group, file.Warnings));
        }
        file.Markers = std::move(markers_);
        return file;
    }

    [[noreturn]] static void Fail(const std::string& message) { throw KarvelloError(message); }

  private:
    // The rounded position of a row that the usual reading did not take:
    // checks every field and throws for a fault.
    double CheckedPosition(std::string_view group, std::string_view name,
                           std::string_view positionText, std::int64_t line) const {
        if (group.empty()) {
            Fail("The group on " + LineText(line) + " of " + Quote(fileName_) + " is empty.");
        }
        if (name.empty()) {
            Fail("The marker name on " + LineText(line) + " of " + Quote(fileName_) + " is empty.");
        }
        const auto position = decimalComma_ ? ParseDecimalNumberWithComma(positionText)
                                            : ParseDecimalNumber(positionText);
        if (!position) {
            Fail("Position " + Quote(positionText) + " on " + LineText(line) + " of " +
                 Quote(fileName_) + " is not a number.");
        }
        if (std::fabs(*position) > kMaxPosition) {
            Fail("Position " + Quote(positionText) + " on " + LineText(line) + " of " +
                 Quote(fileName_) + " lies beyond 1000000000 cM.");
        }
        return RoundToMillionths(*position);
    }

    // A marker row, numbered as its marker is.
    struct Row {
        double Position = 0.0;
        std::int64_t Line = 0;
        std::uint32_t Group = 0;
        std::uint32_t NameHash = 0;
    };

    // What is known of a group's rows as they come.
    struct GroupRows {
        std::size_t Count = 0;
        double Last = 0.0;   // the position of the last row
        bool InOrder = true; // no row's position below the one before
    };

    std::uint32_t GroupIndex(std::string_view group) {
        // Rows of one group usually follow each other.
        if (lastGroup_ < groupNames_.size() && groupNames_[lastGroup_] == group) {
            return lastGroup_;
        }
        auto [where, added] = groupIndex_.try_emplace(
            std::string(group), static_cast<std::uint32_t>(groupNames_.size()));
        if (added) {
            groupNames_.emplace_back(group);
            groups_.emplace_back();
        }
        lastGroup_ = where->second;
        return lastGroup_;
    }

    // The map of group g from its rows, given by number in file order.
    LinkageMap BuildMap(std::size_t g, std::span<std::int32_t> members,
                        std::vector<std::string>& warnings) {
        // Tables usually list a group in order already.
        const bool inOrder = groups_[g].InOrder;
        if (!inOrder) {
            std::stable_sort(members.begin(), members.end(),
                             [this](std::int32_t a, std::int32_t b) {
                                 return rows_[static_cast<std::size_t>(a)].Position <
                                        rows_[static_cast<std::size_t>(b)].Position;
                             });
        }
        const auto rowOf = [&](std::size_t i) -> const Row& {
            return rows_[static_cast<std::size_t>(members[i])];
        };

        LinkageMap map;
        map.MapNumber = static_cast<std::int32_t>(g) + 1;
        map.GroupName = groupNames_[g];
        map.FirstPosition = rowOf(0).Position;
        map.Markers.reserve(members.size());

        // Which row first had each name: an open-addressing table of
        // indexes into members, twice as large as the group, so that finding
        // names listed twice costs no allocation a name.
        std::size_t slots = 16;
        while (slots < 2 * members.size()) {
            slots *= 2;
        }
        firstRow_.assign(slots, kNoRow);
        for (std::size_t i = 0; i < members.size(); ++i) {
            if (!inOrder) {
                markers_[static_cast<std::size_t>(members[i])].Position =
                    static_cast<std::int32_t>(2 * (i + 1));
            }

            MapEntry& entry = map.Markers.emplace_back();
            entry.MarkerIndex = members[i];
            if (i + 1 < members.size()) {
                const double gap = rowOf(i + 1).Position - rowOf(i).Position;
                entry.Distance = gap < kSamePosition ? 0.0 : RoundToMillionths(gap);
            }
            if (i > 0 && map.Markers[i - 1].Distance == 0.0) {
                entry.SamePosAsPrev = true;
                map.Markers[i - 1].NextSamePos = static_cast<std::int32_t>(i);
            }

            const std::size_t seen = FirstRowNamed(members, i, slots);
            if (seen != i) {
                const std::string& name = markers_[static_cast<std::size_t>(members[i])].Name;
                const std::int64_t a = std::min(rowOf(seen).Line, rowOf(i).Line);
                const std::int64_t b = std::max(rowOf(seen).Line, rowOf(i).Line);
                warnings.push_back("Marker " + Quote(name) + " is listed twice in group " +
                                   Quote(map.GroupName) + " of " + Quote(fileName_) +
                                   ", on lines " + DecimalText(a) + " and " + DecimalText(b) +
                                   "; both are kept.");
            }
        }
        return map;
    }

    static constexpr std::uint32_t kNoRow = UINT32_MAX;

    // The first of members[0..i] whose marker has the name of members[i]'s,
    // entering i when none has; slots is the table's size, a power of two.
    // Names are compared only where their hashes agree.
    std::size_t FirstRowNamed(std::span<const std::int32_t> members, std::size_t i,
                              std::size_t slots) {
        const auto marker = static_cast<std::size_t>(members[i]);
        const std::uint32_t hash = rows_[marker].NameHash;
        std::size_t slot = hash & (slots - 1);
        while (firstRow_[slot] != kNoRow) {
            const std::size_t seen = firstRow_[slot];
            const auto seenMarker = static_cast<std::size_t>(members[seen]);
            if (rows_[seenMarker].NameHash == hash &&
                markers_[seenMarker].Name == markers_[marker].Name) {
                return seen;
            }
            slot = (slot + 1) & (slots - 1);
        }
        firstRow_[slot] = static_cast<std::uint32_t>(i);
        return i;
    }

    const std::string& fileName_;
    bool decimalComma_ = false;
    MarkerTable markers_;
    std::vector<Row> rows_;
    std::vector<GroupRows> groups_;
    std::vector<std::uint32_t> firstRow_;
    std::vector<std::string> groupNames_;
    std::unordered_map<std::string, std::uint32_t> groupIndex_;
    std::uint32_t lastGroup_ = 0;
};

// The lines that carry content: not blank. The first line loses a UTF-8
// byte-order mark.
struct Content {
    std::vector<std::size_t> Indexes; // of the first few non-blank lines
    std::string_view First;           // the first of them, without a byte-order mark
};

std::string_view LineAt(Lines lines, std::size_t i) {
    std::string_view line = lines[i];
    if (i == 0 && line.starts_with(kByteOrderMark)) {
        line.remove_prefix(kByteOrderMark.size());
    }
    return line;
}

bool IsComment(std::string_view trimmed) {
    return trimmed.starts_with('#');
}

// The first up to `count` lines that are neither blank nor, when skipComments,
// a "#" comment.
std::vector<std::size_t> FirstContentLines(Lines lines, std::size_t count, bool skipComments) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < lines.size() && found.size() < count; ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        if (trimmed.empty() || (skipComments && IsComment(trimmed))) {
            continue;
        }
        found.push_back(i);
    }
    return found;
}

std::string MissingColumnsMessage(const std::vector<std::string_view>& header,
                                  const std::array<std::int64_t, kColumnCount>& found,
                                  std::size_t headerLine, const std::string& fileName) {
    std::string missing;
    std::string lookedFor;
    for (int c = 0; c < kColumnCount; ++c) {
        if (found[c] != -1) {
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
    for (std::size_t f = 0; f < header.size(); ++f) {
        columns += f == 0 ? "" : ", ";
        columns += Quote(header[f]);
    }
    return "The header on " + LineText(static_cast<std::int64_t>(headerLine) + 1) + " of " +
           Quote(fileName) + " names " + missing + ". Its columns are " +
           (columns.empty() ? std::string("none") : columns) + "." + lookedFor;
}

std::string TooFewFields(std::size_t line, std::size_t count, std::string_view what,
                         std::int64_t field, const std::string& fileName) {
    return "Line " + DecimalText(static_cast<std::int64_t>(line) + 1) + " of " + Quote(fileName) +
           " has " + DecimalText(static_cast<std::int64_t>(count)) +
           (count == 1 ? " field" : " fields") + ", too few for " + std::string(what) + " (field " +
           DecimalText(field + 1) + ").";
}

MapFile ReadMapTable(Lines lines, std::size_t headerLine, char separator,
                     const std::array<std::int64_t, kColumnCount>& columns,
                     const std::string& fileName) {
    MapBuilder builder(fileName, separator != ',');
    builder.Reserve(lines.size() - headerLine);
    const std::int64_t needed = *std::max_element(columns.begin(), columns.end()) + 1;
    std::array<std::string_view, kColumnCount> wanted;
    std::vector<std::string_view> fields;
    std::string scratch;
    for (std::size_t i = headerLine + 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        // A row that starts with a letter or digit is neither blank nor a
        // comment; only others need trimming to tell.
        if (line.empty() || IsTrimmed(line.front()) || line.front() == '#') {
            const std::string_view trimmed = TrimText(line);
            if (trimmed.empty() || IsComment(trimmed)) {
                continue;
            }
        }
        if (SplitWantedFields(line, separator, columns, wanted)) {
            builder.Add(wanted[kGroup], wanted[kMarker], wanted[kPosition],
                        static_cast<std::int64_t>(i) + 1);
            continue;
        }
        SplitFields(line, separator, fields, scratch);
        if (static_cast<std::int64_t>(fields.size()) < needed) {
            for (int c = 0; c < kColumnCount; ++c) {
                if (columns[c] >= static_cast<std::int64_t>(fields.size())) {
                    const std::string what =
                        "its " + std::string(KnownColumns()[c].What) + " column";
                    MapBuilder::Fail(TooFewFields(i, fields.size(), what, columns[c], fileName));
                }
            }
        }
        builder.Add(fields[static_cast<std::size_t>(columns[kGroup])],
                    fields[static_cast<std::size_t>(columns[kMarker])],
                    fields[static_cast<std::size_t>(columns[kPosition])],
                    static_cast<std::int64_t>(i) + 1);
    }
    return builder.Finish(MapFileFormat::MapTable);
}

// Row 1: phenotype names, then marker names; row 2: each marker's chromosome,
// empty under the phenotypes; row 3: each marker's position, again empty under
// the phenotypes. Without the position row the third row is the first
// individual, whose phenotype values fill those fields.
MapFile ReadRqtlCross(Lines lines, const std::vector<std::size_t>& rows, char separator,
                      const std::string& fileName) {
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
        MapBuilder::Fail(Quote(fileName) +
                         " is an R/qtl cross file without a row of marker positions (its third "
                         "row holds data), so it holds no map to draw. Estimate the map in R/qtl "
                         "and write the cross out again with its positions.");
    }
    MapBuilder builder(fileName, separator != ',');
    const auto& positions = fields[2];
    for (std::size_t f = 0; f < names.size(); ++f) {
        if (f >= chromosomes.size()) {
            MapBuilder::Fail(TooFewFields(rows[1], chromosomes.size(),
                                          "the chromosome of marker " + Quote(names[f]),
                                          static_cast<std::int64_t>(f), fileName));
        }
        if (chromosomes[f].empty()) {
            continue; // a phenotype
        }
        if (f >= positions.size()) {
            MapBuilder::Fail(TooFewFields(rows[2], positions.size(),
                                          "the position of marker " + Quote(names[f]),
                                          static_cast<std::int64_t>(f), fileName));
        }
        // The name is checked on its own line, which differs from the
        // position's.
        if (names[f].empty()) {
            MapBuilder::Fail("The marker name in field " +
                             DecimalText(static_cast<std::int64_t>(f) + 1) + " on " +
                             LineText(static_cast<std::int64_t>(rows[0]) + 1) + " of " +
                             Quote(fileName) + " is empty.");
        }
        builder.Add(chromosomes[f], names[f], positions[f], static_cast<std::int64_t>(rows[2]) + 1);
    }
    return builder.Finish(MapFileFormat::RqtlCross);
}

// "group NAME" (any case) gives NAME, without what follows a "{".
std::optional<std::string_view> GroupLineName(std::string_view trimmed) {
    constexpr std::string_view kGroup = "group";
    if (trimmed.size() < kGroup.size() || !EqualsIgnoringCase(trimmed.substr(0, 5), kGroup) ||
        (trimmed.size() > kGroup.size() && !IsBlank(trimmed[kGroup.size()]))) {
        return std::nullopt;
    }
    std::string_view name = trimmed.substr(kGroup.size());
    name = TrimText(name.substr(0, name.find('{')));
    return name;
}

MapFile ReadGroupFile(Lines lines, const std::string& fileName) {
    MapBuilder builder(fileName, true);
    std::optional<std::string_view> group;
    std::vector<std::string_view> fields;
    std::string scratch;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        const auto line = static_cast<std::int64_t>(i) + 1;
        if (trimmed.empty() || trimmed.starts_with(';')) {
            continue;
        }
        if (auto name = GroupLineName(trimmed)) {
            if (name->empty()) {
                MapBuilder::Fail("The group on " + LineText(line) + " of " + Quote(fileName) +
                                 " has no name.");
            }
            group = name;
            continue;
        }
        // Formatting in braces after the name and position is not ours.
        SplitFields(trimmed.substr(0, trimmed.find('{')), 0, fields, scratch);
        if (fields.size() != 2) {
            MapBuilder::Fail("Line " + DecimalText(line) + " of " + Quote(fileName) +
                             " is not a marker name and its position: it has " +
                             DecimalText(static_cast<std::int64_t>(fields.size())) +
                             (fields.size() == 1 ? " field." : " fields."));
        }
        if (!group) {
            MapBuilder::Fail("Line " + DecimalText(line) + " of " + Quote(fileName) +
                             " names a marker before any \"group\" line.");
        }
        builder.Add(*group, fields[0], fields[1], line);
    }
    return builder.Finish(MapFileFormat::GroupFile);
}

// A Mapmaker file given alone: its own message, as it is no map table.
void RefuseMapmakerFileAlone(Lines lines, const std::string& fileName) {
    const std::string_view first = TrimText(LineAt(lines, 0));
    if (first.size() >= 9 && EqualsIgnoringCase(first.substr(0, 9), "data type")) {
        MapBuilder::Fail(Quote(fileName) + " is a Mapmaker input file, which is read together "
                                           "with its Mapmaker output file: give both files.");
    }
    for (std::string_view line : lines) {
        if (TrimText(line).starts_with("Map:")) {
            MapBuilder::Fail(Quote(fileName) + " is a Mapmaker output file, which is read "
                                               "together with its Mapmaker input file: give "
                                               "both files, the input file first.");
        }
    }
}

MapFile ReadMapFileOfItsKind(Lines lines, const std::string& fileName) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, true);
    if (first.empty()) {
        MapBuilder::Fail(Quote(fileName) + " is empty: it holds no map.");
    }
    const std::size_t headerLine = first.front();
    const std::string_view header = LineAt(lines, headerLine);
    const char separator = SeparatorOf(header);
    std::vector<std::string_view> headerFields;
    std::string scratch;
    SplitFields(header, separator, headerFields, scratch);
    const auto columns = FindColumns(headerFields);
    if (std::find(columns.begin(), columns.end(), -1) == columns.end()) {
        return ReadMapTable(lines, headerLine, separator, columns, fileName);
    }

    const std::vector<std::size_t> rows = FirstContentLines(lines, 3, false);
    const std::string_view firstTrimmed = TrimText(LineAt(lines, rows.front()));
    if (firstTrimmed.starts_with(';') || GroupLineName(firstTrimmed)) {
        return ReadGroupFile(lines, fileName);
    }
    if (rows.size() >= 2 && separator != 0) {
        std::vector<std::string_view> second;
        std::string secondScratch;
        SplitFields(LineAt(lines, rows[1]), separator, second, secondScratch);
        if (!second.empty() && second.front().empty()) {
            return ReadRqtlCross(lines, rows, separator, fileName);
        }
    }
    RefuseMapmakerFileAlone(lines, fileName);
    MapBuilder::Fail(MissingColumnsMessage(headerFields, columns, headerLine, fileName));
}

// Text that is not UTF-8 is most likely a spreadsheet's "CSV" in the Windows
// code page: its names are read as that, and the user told. wholeText, when
// not empty, holds all the lines with only line ends between them: it is
// valid UTF-8 exactly when every line is, as no character of UTF-8 spans a
// line end, and one look at it is quicker than one a line.
void TellEncoding(Lines lines, std::string_view wholeText, const std::string& fileName,
                  MapFile& file) {
    if (!wholeText.empty() && FirstNonUtf8(wholeText) == std::string_view::npos) {
        return;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (FirstNonUtf8(lines[i]) != std::string_view::npos) {
            file.Encoding = CharacterEncoding::Windows1252;
            file.Warnings.push_back(Quote(fileName) + " is not UTF-8 text (line " +
                                    DecimalText(static_cast<std::int64_t>(i) + 1) +
                                    " holds a byte UTF-8 does not allow), so its names are read "
                                    "as Windows-1252 (ANSI, Latin-1); save it as UTF-8 to be sure "
                                    "of its accented letters.");
            return;
        }
    }
}

} // namespace

MapFile ReadMapFile(Lines lines, const std::string& fileName) {
    MapFile file = ReadMapFileOfItsKind(lines, fileName);
    TellEncoding(lines, {}, fileName, file);
    return file;
}

MapFile ReadMapFile(const TextLines& text, const std::string& fileName) {
    MapFile file = ReadMapFileOfItsKind(text.lines(), fileName);
    TellEncoding(text.lines(), text.text(), fileName, file);
    return file;
}

} // namespace karvello
