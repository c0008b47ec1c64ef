// ALLMAPS' input CSV: a header "Scaffold ID,scaffold position,LG,genetic
// position", then one row a marker: the scaffold it lies on, its base
// position there, its linkage group and its position in cM. A marker has no
// name of its own: it is named "scaffold:position", as it is found in the
// assembly. "#" lines are comments.

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

constexpr std::array<std::string_view, 4> kHeader = {"Scaffold ID", "scaffold position", "LG",
                                                     "genetic position"};

bool IsHeader(std::string_view line) {
    std::vector<std::string_view> fields;
    std::string scratch;
    SplitFields(line, ',', fields, scratch);
    if (fields.size() != kHeader.size()) {
        return false;
    }
    for (std::size_t f = 0; f < kHeader.size(); ++f) {
        if (!EqualsIgnoringCase(fields[f], kHeader[f])) {
            return false;
        }
    }
    return true;
}

MapFile Read(Lines lines, const std::string& fileName) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, true);
    MapBuilder builder(fileName, false);
    builder.Reserve(lines.size());
    std::vector<std::string_view> fields;
    std::string scratch;
    std::string name;
    for (std::size_t i = first.front() + 1; i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(lines[i]);
        if (trimmed.empty() || IsComment(trimmed)) {
            continue;
        }
        SplitFields(trimmed, ',', fields, scratch);
        if (fields.size() < kHeader.size()) {
            Fail(TooFewFields(i, fields.size(), "its genetic position column", 3, fileName));
        }
        if (fields[0].empty()) {
            Fail("The scaffold ID on " + LineText(static_cast<std::int64_t>(i) + 1) + " of " +
                 Quote(fileName) + " is empty.");
        }
        name.assign(fields[0]);
        name += ':';
        name += fields[1];
        builder.Add(fields[2], name, fields[3], static_cast<std::int64_t>(i) + 1);
    }
    return builder.Finish();
}

} // namespace

bool SniffAllmaps(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, true);
    return !first.empty() && IsHeader(LineAt(lines, first.front()));
}

MapFile ReadAllmaps(Lines lines, const std::string& fileName) {
    return ReadTakenFor("an ALLMAPS CSV file", fileName, [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
