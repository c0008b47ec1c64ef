#include "mapdata/formats/MapBuilder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace karvello::formats {

namespace {

// Positions closer than this count as one position.
constexpr double kSamePosition = 0.00005;
// Far beyond any genome; keeps every difference and rounding finite and exact
// enough.
constexpr double kMaxPosition = 1e9;

// A difference or position to 6 decimals, so that 20.9 - 18.5 is 2.4 and not
// 2.3999999999999986, whose label would read "2.3".
double RoundToMillionths(double value) {
    return std::round(value * 1e6) / 1e6;
}

// The shortest text that reads back as exactly this value.
std::string ShortestText(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

} // namespace

std::string LineText(std::int64_t line) {
    return "line " + DecimalText(line);
}

void Fail(const std::string& message) {
    throw KarvelloError(message);
}

std::string_view LineAt(Lines lines, std::size_t i) {
    return i == 0 ? WithoutByteOrderMark(lines[i]) : lines[i];
}

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

std::string TooFewFields(std::size_t line, std::size_t count, std::string_view what,
                         std::int64_t field, const std::string& fileName) {
    return "Line " + DecimalText(static_cast<std::int64_t>(line) + 1) + " of " + Quote(fileName) +
           " has " + DecimalText(static_cast<std::int64_t>(count)) +
           (count == 1 ? " field" : " fields") + ", too few for " + std::string(what) + " (field " +
           DecimalText(field + 1) + ").";
}

MapFile MapBuilder::Finish() {
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
    file.Maps.reserve(groupNames_.size());
    for (std::size_t g = 0; g < groupNames_.size(); ++g) {
        const std::span<std::int32_t> group(members.data() + start[g], start[g + 1] - start[g]);
        file.Maps.push_back(BuildMap(g, group, file.Warnings));
    }
    file.Markers = std::move(markers_);
    return file;
}

// The rounded position of a row that the usual reading did not take: checks
// every field and throws for a fault.
double MapBuilder::CheckedPosition(std::string_view group, std::string_view name,
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

void MapBuilder::AddPosition(std::string_view group, std::string_view name, double position,
                             std::int64_t line) {
    if (!std::isfinite(position) || std::fabs(position) > kMaxPosition) {
        Fail("The position " + ShortestText(position) + " cM worked out for marker " + Quote(name) +
             " on " + LineText(line) + " of " + Quote(fileName_) + " lies beyond 1000000000 cM.");
    }
    const std::string text = ShortestText(RoundToMillionths(position));
    // Add reads back the text, checking the group and the name.
    Add(group, name, text, line);
}

std::uint32_t MapBuilder::GroupIndex(std::string_view group) {
    // Rows of one group usually follow each other.
    if (lastGroup_ < groupNames_.size() && groupNames_[lastGroup_] == group) {
        return lastGroup_;
    }
    auto [where, added] =
        groupIndex_.try_emplace(std::string(group), static_cast<std::uint32_t>(groupNames_.size()));
    if (added) {
        groupNames_.emplace_back(group);
        groups_.emplace_back();
    }
    lastGroup_ = where->second;
    return lastGroup_;
}

// The map of group g from its rows, given by number in file order.
LinkageMap MapBuilder::BuildMap(std::size_t g, std::span<std::int32_t> members,
                                std::vector<std::string>& warnings) {
    // Tables usually list a group in order already.
    const bool inOrder = groups_[g].InOrder;
    if (!inOrder) {
        std::stable_sort(members.begin(), members.end(), [this](std::int32_t a, std::int32_t b) {
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

    // Which row first had each name: an open-addressing table of indexes
    // into members, twice as large as the group, so that finding names
    // listed twice costs no allocation a name.
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
                               Quote(map.GroupName) + " of " + Quote(fileName_) + ", on lines " +
                               DecimalText(a) + " and " + DecimalText(b) + "; both are kept.");
        }
    }
    return map;
}

// The first of members[0..i] whose marker has the name of members[i]'s,
// entering i when none has; slots is the table's size, a power of two.
// Names are compared only where their hashes agree.
std::size_t MapBuilder::FirstRowNamed(std::span<const std::int32_t> members, std::size_t i,
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

} // namespace karvello::formats
