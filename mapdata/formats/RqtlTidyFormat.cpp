// R/qtl's "tidy" map file, as write.cross(..., format = "tidy") writes it
// beside the genotype and phenotype files: a header ",chr,pos", whose first
// field is empty, then one row a marker: its name, chromosome and position.

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

bool IsHeader(std::string_view line) {
    std::vector<std::string_view> fields;
    std::string scratch;
    SplitFields(line, ',', fields, scratch);
    return fields.size() == 3 && fields[0].empty() && EqualsIgnoringCase(fields[1], "chr") &&
           EqualsIgnoringCase(fields[2], "pos");
}

MapFile Read(Lines lines, const std::string& fileName) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    MapBuilder builder(fileName, false);
    builder.Reserve(lines.size());
    std::vector<std::string_view> fields;
    std::string scratch;
    for (std::size_t i = first.front() + 1; i < lines.size(); ++i) {
        if (TrimText(lines[i]).empty()) {
            continue;
        }
        SplitFields(lines[i], ',', fields, scratch);
        if (fields.size() < 3) {
            Fail(TooFewFields(i, fields.size(), "its position column", 2, fileName));
        }
        builder.Add(fields[1], fields[0], fields[2], static_cast<std::int64_t>(i) + 1);
    }
    return builder.Finish();
}

} // namespace

bool SniffRqtlTidy(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    return !first.empty() && IsHeader(LineAt(lines, first.front()));
}

MapFile ReadRqtlTidy(Lines lines, const std::string& fileName) {
    return ReadTakenFor("an R/qtl tidy map file", fileName, [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
