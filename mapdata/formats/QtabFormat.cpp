// The location file of the qtab files, as R/qtl's write.cross(..., format =
// "qtab") writes it: a first line "# --- qtlHD-in-VERSION Location ...",
// then, between "# --- Data Location begin" and "# --- Data Location end",
// one tab-separated row a marker: name, chromosome, position. Other "#"
// lines (the header "#	Chr	Pos" among them) are comments.

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

MapFile Read(Lines lines, const std::string& fileName) {
    MapBuilder builder(fileName, true);
    builder.Reserve(lines.size());
    std::vector<std::string_view> fields;
    std::string scratch;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        if (trimmed.empty() || IsComment(trimmed)) {
            continue;
        }
        SplitFields(trimmed, SeparatorOf(trimmed), fields, scratch);
        if (fields.size() != 3) {
            Fail("Line " + DecimalText(static_cast<std::int64_t>(i) + 1) + " of " +
                 Quote(fileName) + " has " + DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field" : " fields") +
                 ", but a location row has three: marker, chromosome and position.");
        }
        builder.Add(fields[1], fields[0], fields[2], static_cast<std::int64_t>(i) + 1);
    }
    return builder.Finish();
}

} // namespace

bool SniffQtab(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    if (first.empty()) {
        return false;
    }
    const std::string_view line = TrimText(LineAt(lines, first.front()));
    return line.starts_with("# --- qtlHD-in-") && line.find(" Location") != std::string_view::npos;
}

MapFile ReadQtab(Lines lines, const std::string& fileName) {
    return ReadTakenFor("a qtab location file", fileName, [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
