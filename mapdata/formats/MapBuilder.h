#pragma once
// What the map-file readers share: the builder that turns marker rows into
// maps, and the small steps of finding content lines and naming a fault.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"

namespace karvello::formats {

// "line N" for a message, N counting from 1.
std::string LineText(std::int64_t line);

// Throws KarvelloError with the message.
[[noreturn]] void Fail(const std::string& message);

// Line i of the lines, the first without a UTF-8 byte-order mark.
std::string_view LineAt(Lines lines, std::size_t i);

// Whether a trimmed line is a "#" comment.
inline bool IsComment(std::string_view trimmed) {
    return trimmed.starts_with('#');
}

// The indexes of the first up to `count` lines that are neither blank nor,
// when skipComments, a "#" comment.
std::vector<std::size_t> FirstContentLines(Lines lines, std::size_t count, bool skipComments);

// "Line L of "FILE" has COUNT fields, too few for WHAT (field F).", line and
// field counting from 0.
std::string TooFewFields(std::size_t line, std::size_t count, std::string_view what,
                         std::int64_t field, const std::string& fileName);

// The usual position, an optional "-", up to nine digits and up to six
// decimals after a point (or a comma, with decimalComma), read at the speed
// of a table's rows into exactly what the full reading of MapBuilder gives
// after rounding to millionths: the digits make a whole number of millionths
// below 2^51, so rounding the quotient to millionths gives the quotient back,
// and nine whole digits keep it below 1e9. False for any other text, which
// the full reading then judges.
inline bool ReadPlainPosition(std::string_view text, bool decimalComma, double& value) {
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

// Runs read, which reads a file of one format, and adds to the message of
// any KarvelloError it throws which format the file was taken for:
// "... "FILE" was taken for a MapChart file." formatWhat is "a MapChart file".
template <class ReadFile>
MapFile ReadTakenFor(std::string_view formatWhat, const std::string& fileName, ReadFile read) {
    try {
        return read();
    } catch (const KarvelloError& error) {
        throw KarvelloError(std::string(error.what()) + " " + Quote(fileName) + " was taken for " +
                            std::string(formatWhat) + ".");
    }
}

// Collects the marker rows of a file and turns them into maps at the end:
// one map per group, in the order the groups first appear, as MapFile
// describes them.
class MapBuilder {
  public:
    // With decimalComma, positions may be written with a comma for the point
    // (the file's fields are not separated by commas).
    MapBuilder(const std::string& fileName, bool decimalComma)
        : fileName_(fileName), decimalComma_(decimalComma) {}

    // Room for this many marker rows.
    void Reserve(std::size_t rows) {
        markers_.reserve(rows);
        rows_.reserve(rows);
    }

    // One marker row: checks its fields and keeps it. line counts from 1.
    // Throws KarvelloError for an empty group or name, or a position that is
    // not a number or lies beyond 1e9 cM.
    // Inline, as a table's rows come here one by one.
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

    // One marker row whose position a reader has worked out itself (summed
    // from distances, or turned from morgans), checked as Add checks a
    // position's text.
    void AddPosition(std::string_view group, std::string_view name, double position,
                     std::int64_t line);

    // The maps of the rows added. Throws KarvelloError when there were none.
    MapFile Finish();

  private:
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

    double CheckedPosition(std::string_view group, std::string_view name,
                           std::string_view positionText, std::int64_t line) const;
    std::uint32_t GroupIndex(std::string_view group);
    LinkageMap BuildMap(std::size_t g, std::span<std::int32_t> members,
                        std::vector<std::string>& warnings);
    std::size_t FirstRowNamed(std::span<const std::int32_t> members, std::size_t i,
                              std::size_t slots);

    static constexpr std::uint32_t kNoRow = UINT32_MAX;

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

} // namespace karvello::formats
