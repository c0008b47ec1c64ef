// R/qtl's "gary" files, as write.cross(..., format = "gary") writes them:
// markerpos.txt, one "name<TAB>position" line a marker, and chrid.dat, the
// chromosome of each marker, one a line in the same order. The map is in the
// two together, so they are read as a pair; markerpos.txt alone is refused,
// saying which file it needs.

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

// The indexes of the lines that are not blank.
std::vector<std::size_t> ContentLines(Lines lines) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!TrimText(LineAt(lines, i)).empty()) {
            found.push_back(i);
        }
    }
    return found;
}

MapFile ReadPair(Lines markerPositions, Lines chromosomeIds, const std::string& markerFileName,
                 const std::string& chromosomeFileName) {
    const std::vector<std::size_t> markers = ContentLines(markerPositions);
    const std::vector<std::size_t> chromosomes = ContentLines(chromosomeIds);
    if (markers.size() != chromosomes.size()) {
        Fail(Quote(markerFileName) + " lists " +
             DecimalText(static_cast<std::int64_t>(markers.size())) + " markers, but " +
             Quote(chromosomeFileName) + " gives " +
             DecimalText(static_cast<std::int64_t>(chromosomes.size())) +
             " chromosomes: it should give one a marker, in the same order.");
    }
    MapBuilder builder(markerFileName, false);
    builder.Reserve(markers.size());
    std::vector<std::string_view> fields;
    std::string scratch;
    std::vector<std::string_view> chromosome;
    std::string chromosomeScratch;
    for (std::size_t k = 0; k < markers.size(); ++k) {
        const auto line = static_cast<std::int64_t>(markers[k]) + 1;
        SplitFields(TrimText(LineAt(markerPositions, markers[k])), 0, fields, scratch);
        if (fields.size() != 2) {
            Fail("Line " + DecimalText(line) + " of " + Quote(markerFileName) +
                 " is not a marker name and its position: it has " +
                 DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field." : " fields."));
        }
        SplitFields(TrimText(LineAt(chromosomeIds, chromosomes[k])), 0, chromosome,
                    chromosomeScratch);
        if (chromosome.size() != 1) {
            Fail("Line " + DecimalText(static_cast<std::int64_t>(chromosomes[k]) + 1) + " of " +
                 Quote(chromosomeFileName) + " is not one chromosome: it has " +
                 DecimalText(static_cast<std::int64_t>(chromosome.size())) + " fields.");
        }
        builder.Add(chromosome[0], fields[0], fields[1], line);
    }
    return builder.Finish();
}

} // namespace

bool SniffGaryMarkerFile(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    if (first.empty()) {
        return false;
    }
    std::vector<std::string_view> fields;
    std::string scratch;
    SplitFields(TrimText(LineAt(lines, first.front())), 0, fields, scratch);
    return fields.size() == 2 && ParseDecimalNumber(fields[1]).has_value();
}

MapFile ReadGaryMarkerFileAlone(Lines, const std::string& fileName) {
    Fail(Quote(fileName) +
         " is R/qtl's gary markerpos.txt, which is read together with its chrid.dat, the "
         "chromosome of each marker: give both files, markerpos.txt first.");
}

MapFile ReadGaryPair(Lines markerPositions, Lines chromosomeIds, const std::string& markerFileName,
                     const std::string& chromosomeFileName) {
    return ReadTakenFor("R/qtl's gary markerpos.txt", markerFileName, [&] {
        return ReadPair(markerPositions, chromosomeIds, markerFileName, chromosomeFileName);
    });
}

} // namespace karvello::formats
