#include "mapdata/MapFileFormats.h"

#include <algorithm>
#include <array>

#include "mapdata/formats/FormatReaders.h"

namespace karvello {

namespace {

using namespace formats;

// In the order a file is tried on them. A header naming the group, marker
// and position columns is the surest sign, so the map table comes first; the
// formats told by a first line of their own (QTL Cartographer's option line,
// qtab's banner, ALLMAPS' and R/qtl tidy's fixed headers) follow it, as none
// of those lines names all three of its columns. A group file is told by its
// first line, a MapChart file by that and a line only MapChart writes, so
// MapChart comes before the group file, which reads the rest of such files
// alike. A cross file is told by its second line. The headerless tables
// come after every format with a header or a first line of its own, since
// only the shape of their rows tells them: PLINK's four or six fields, then
// three. Mapmaker's files come next, as their sniff may look at every line;
// last, R/qtl's gary markerpos.txt, told by two fields alone.
constexpr auto kFormats = std::to_array<MapFileFormat>({
    {"map table", "a table of group, marker and position (R/qtl, OneMap, a spreadsheet)",
     "Map tables", "*.csv *.tsv *.txt *.map", 1, SniffMapTable, ReadMapTable},
    {"QTL Cartographer map file", "a QTL Cartographer map file (Rmap, R/qtl's \"qtlcart\")",
     "Map tables", "*.map *.txt", 1, SniffQtlCartographer, ReadQtlCartographer},
    {"qtab location file", "a qtab location file (R/qtl's \"qtab\")", "Map tables", "*.qtab", 1,
     SniffQtab, ReadQtab},
    {"ALLMAPS CSV", "an ALLMAPS CSV of scaffold and genetic positions", "Map tables", "*.csv", 1,
     SniffAllmaps, ReadAllmaps},
    {"R/qtl tidy map file", "an R/qtl tidy map file (\",chr,pos\")", "Map tables", "*.csv", 1,
     SniffRqtlTidy, ReadRqtlTidy},
    {"MapChart file", "a MapChart file (polymapR, MQ2)", "Map tables", "*.mct *.txt", 1,
     SniffMapChart, ReadMapChart},
    {"group file", "a group file (MapChart, JoinMap, MSTmap)", "Map tables", "*.map *.txt", 1,
     SniffGroupFile, ReadGroupFile},
    {"R/qtl cross file", "an R/qtl cross file", "Map tables", "*.csv", 1, SniffRqtlCross,
     ReadRqtlCross},
    {"PLINK map", "a PLINK .map or .bim file", "Map tables", "*.map *.bim", 1, SniffPlink,
     ReadPlink},
    {"headerless table",
     "a table of group, marker and position without a header (R/qtl's Mapmaker map file, "
     "OneMap's write_map)",
     "Map tables", "*.txt *.map *.csv *.tsv", 1, SniffPlainTable, ReadPlainTable},
    {"Mapmaker pair", "Mapmaker's input file and the output file Mapmaker wrote", "Mapmaker files",
     "*.raw *.out *.txt *.log", 2, SniffMapmakerFile, ReadMapmakerFileAlone},
    {"R/qtl gary pair", "R/qtl's gary markerpos.txt and chrid.dat", "R/qtl gary files",
     "markerpos.txt chrid.dat", 2, SniffGaryMarkerFile, ReadGaryMarkerFileAlone},
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
