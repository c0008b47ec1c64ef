// A group file as MapChart, JoinMap and MSTmap write it: a "group NAME" line
// before each group's markers, then one "name position" line a marker.
// Lines starting with ";" are comments; what follows a "{" is formatting.

#include <optional>
#include <string_view>
#include <vector>

#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/formats/FormatReaders.h"
#include "mapdata/formats/MapBuilder.h"

namespace karvello::formats {

namespace {

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

} // namespace

bool SniffGroupFile(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    if (first.empty()) {
        return false;
    }
    const std::string_view trimmed = TrimText(LineAt(lines, first.front()));
    return trimmed.starts_with(';') || GroupLineName(trimmed).has_value();
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
                Fail("The group on " + LineText(line) + " of " + Quote(fileName) + " has no name.");
            }
            group = name;
            continue;
        }
        // Formatting in braces after the name and position is not ours.
        SplitFields(trimmed.substr(0, trimmed.find('{')), 0, fields, scratch);
        if (fields.size() != 2) {
            Fail("Line " + DecimalText(line) + " of " + Quote(fileName) +
                 " is not a marker name and its position: it has " +
                 DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field." : " fields."));
        }
        if (!group) {
            Fail("Line " + DecimalText(line) + " of " + Quote(fileName) +
                 " names a marker before any \"group\" line.");
        }
        builder.Add(*group, fields[0], fields[1], line);
    }
    return builder.Finish();
}

} // namespace karvello::formats
