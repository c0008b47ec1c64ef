// Mapmaker's pair: the input file, which begins with a "data type" line and
// names the markers, and the output file, whose maps each begin with a
// "Map:" line. The workspace reads the two together (Workspace::Load); here
// each is only told apart from the one-file formats.

#include <string_view>

#include "base/Text.h"
#include "mapdata/formats/FormatReaders.h"
#include "mapdata/formats/MapBuilder.h"

namespace karvello::formats {

namespace {

bool IsInputFile(Lines lines) {
    const std::string_view first = lines.empty() ? std::string_view() : TrimText(LineAt(lines, 0));
    return first.size() >= 9 && EqualsIgnoringCase(first.substr(0, 9), "data type");
}

bool IsOutputFile(Lines lines) {
    for (const std::string_view line : lines) {
        if (TrimText(line).starts_with("Map:")) {
            return true;
        }
    }
    return false;
}

} // namespace

bool SniffMapmakerFile(Lines lines) {
    return IsInputFile(lines) || IsOutputFile(lines);
}

MapFile ReadMapmakerFileAlone(Lines lines, const std::string& fileName) {
    if (IsInputFile(lines)) {
        Fail(Quote(fileName) + " is a Mapmaker input file, which is read together with its "
                               "Mapmaker output file: give both files.");
    }
    Fail(Quote(fileName) + " is a Mapmaker output file, which is read together with its "
                           "Mapmaker input file: give both files, the input file first.");
}

} // namespace karvello::formats
