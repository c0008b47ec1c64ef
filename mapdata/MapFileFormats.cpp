#include "mapdata/MapFileFormats.h"

#include <algorithm>
#include <array>

#include "mapdata/formats/FormatReaders.h"

namespace karvello {

namespace {

using namespace formats;

// In the order a file is tried on them: a header naming the three columns
// is the surest sign; a group file is told by its first line, a cross file
// by its second; Mapmaker's files come last, as their sniff may look at
// every line.
constexpr auto kFormats = std::to_array<MapFileFormat>({
    {"map table", "a table of group, marker and position (R/qtl, OneMap, a spreadsheet)",
     "Map tables", "*.csv *.tsv *.txt *.map", 1, SniffMapTable, ReadMapTable},
    {"group file", "a group file (MapChart, JoinMap, MSTmap)", "Map tables", "*.map *.txt", 1,
     SniffGroupFile, ReadGroupFile},
    {"R/qtl cross file", "an R/qtl cross file", "Map tables", "*.csv", 1, SniffRqtlCross,
     ReadRqtlCross},
    {"Mapmaker pair", "Mapmaker's input file and the output file Mapmaker wrote", "Mapmaker files",
     "*.raw *.out *.txt *.log", 2, SniffMapmakerFile, ReadMapmakerFileAlone},
});

// Appends the words of patterns that filter does not hold yet.
void AddPatterns(std::string& filter, std::string_view patterns) {
    while (!patterns.empty()) {
        const auto blank = patterns.find(' ');
        const std::string_view pattern = patterns.substr(0, blank);
        patterns.remove_prefix(blank == std::string_view::npos ? patterns.size() : blank + 1);
        std::string_view held = filter;
        bool seen = false;
        while (!held.empty() && !seen) {
            const auto end = held.find(' ');
            seen = held.substr(0, end) == pattern;
            held.remove_prefix(end == std::string_view::npos ? held.size() : end + 1);
        }
        if (!pattern.empty() && !seen) {
            filter += filter.empty() ? "" : " ";
            filter += pattern;
        }
    }
}

} // namespace

std::span<const MapFileFormat> MapFileFormats() {
    return kFormats;
}

std::string OneFileFormatList() {
    std::vector<std::string_view> items;
    for (const MapFileFormat& format : kFormats) {
        if (format.FileCount == 1) {
            items.push_back(format.Summary);
        }
    }
    std::string list;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            list += i + 1 == items.size() ? " or " : ", ";
        }
        list += items[i];
    }
    return list;
}

std::vector<std::string> MapFileDialogFilters() {
    std::vector<const MapFileFormat*> ordered;
    for (const MapFileFormat& format : kFormats) {
        ordered.push_back(&format);
    }
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const MapFileFormat* format) { return format->FileCount > 1; });
    std::vector<std::string_view> names;
    std::vector<std::string> patterns;
    for (const MapFileFormat* format : ordered) {
        const auto index = static_cast<std::size_t>(
            std::find(names.begin(), names.end(), format->FilterName) - names.begin());
        if (index == names.size()) {
            names.push_back(format->FilterName);
            patterns.emplace_back();
        }
        AddPatterns(patterns[index], format->Patterns);
    }
    std::vector<std::string> filters;
    for (std::size_t i = 0; i < names.size(); ++i) {
        filters.push_back(std::string(names[i]) + " (" + patterns[i] + ")");
    }
    return filters;
}

} // namespace karvello
