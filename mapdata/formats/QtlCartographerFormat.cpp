// QTL Cartographer's map file ("-filetype Rmap.out"), as QTL Cartographer's
// Rmap and R/qtl's write.cross(..., format = "qtlcart") write it: option
// lines ("-u c": distances in cM, "-u m" in morgans), then a table of
// distances with a column a chromosome and a "-l K | ..." row an interval:
// row 0 from the chromosome's start to its first marker, row K from marker K
// to marker K + 1, the last row to the chromosome's end. A row lists only
// the chromosomes that still have markers at it, in order, as a chromosome
// of N markers has rows 0 to N. Then the marker names, "-b MarkerNames",
// one "chromosome marker name" line each, up to "-e MarkerNames", and the
// chromosomes' names, "-b ChromosomeNames", one "number name" line each.
// Each chromosome starts at 0 cM: the distance before its first marker is
// not a position of the map.

#include <map>
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

// A chromosome as the names give it.
struct Chromosome {
    std::string Name;
    std::vector<std::string> Markers;
    std::vector<std::int64_t> Lines;
    std::vector<double> Distances; // from the table, row by row
};

std::int64_t NumberOn(std::string_view text, std::size_t i, std::string_view what,
                      const std::string& fileName) {
    const auto value = ParseDecimalInt32(text);
    if (!value || *value < 1) {
        Fail("The " + std::string(what) + " " + Quote(text) + " on " +
             LineText(static_cast<std::int64_t>(i) + 1) + " of " + Quote(fileName) +
             " is not a number from 1 up.");
    }
    return *value;
}

MapFile Read(Lines lines, const std::string& fileName) {
    double scale = 1.0;
    std::vector<std::size_t> tableRows;
    std::map<std::int64_t, Chromosome> chromosomes;
    std::vector<std::string_view> fields;
    std::string scratch;
    enum class Block { kNone, kMarkers, kChromosomes } block = Block::kNone;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        SplitFields(trimmed, 0, fields, scratch);
        if (fields.empty()) {
            continue;
        }
        if (fields[0] == "-e") {
            block = Block::kNone;
        } else if (fields[0] == "-b") {
            block = fields.size() > 1 && fields[1] == "MarkerNames"       ? Block::kMarkers
                    : fields.size() > 1 && fields[1] == "ChromosomeNames" ? Block::kChromosomes
                                                                          : Block::kNone;
        } else if (fields[0] == "-u" && fields.size() > 1) {
            scale = fields[1] == "m" || fields[1] == "M" ? 100.0 : 1.0;
        } else if (fields[0] == "-l") {
            tableRows.push_back(i);
        } else if (block == Block::kMarkers) {
            if (fields.size() < 3) {
                Fail(TooFewFields(i, fields.size(), "a marker's chromosome, number and name", 2,
                                  fileName));
            }
            Chromosome& chromosome = chromosomes[NumberOn(fields[0], i, "chromosome", fileName)];
            chromosome.Markers.emplace_back(fields[2]);
            chromosome.Lines.push_back(static_cast<std::int64_t>(i) + 1);
        } else if (block == Block::kChromosomes && fields.size() >= 2) {
            chromosomes[NumberOn(fields[0], i, "chromosome number", fileName)].Name = fields[1];
        }
    }
    if (chromosomes.empty()) {
        Fail(Quote(fileName) + " names no markers: it has no \"-b MarkerNames\" block.");
    }
    // Row K of the table lists the chromosomes with at least K markers.
    for (std::size_t k = 0; k < tableRows.size(); ++k) {
        const std::size_t i = tableRows[k];
        const std::string_view line = LineAt(lines, i);
        const auto bar = line.find('|');
        SplitFields(bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1), 0,
                    fields, scratch);
        std::size_t next = 0;
        for (auto& [number, chromosome] : chromosomes) {
            // A chromosome named in the names block alone has no column.
            if (chromosome.Markers.empty() || chromosome.Markers.size() < k) {
                continue;
            }
            if (next >= fields.size()) {
                Fail("Line " + DecimalText(static_cast<std::int64_t>(i) + 1) + " of " +
                     Quote(fileName) + " has " +
                     DecimalText(static_cast<std::int64_t>(fields.size())) +
                     " distances after its \"|\", too few for the distance of chromosome " +
                     DecimalText(number) + " (distance " +
                     DecimalText(static_cast<std::int64_t>(next) + 1) + ").");
            }
            const auto distance = ParseDecimalNumber(fields[next]);
            if (!distance) {
                Fail("Distance " + Quote(fields[next]) + " on " +
                     LineText(static_cast<std::int64_t>(i) + 1) + " of " + Quote(fileName) +
                     " is not a number.");
            }
            chromosome.Distances.push_back(*distance * scale);
            ++next;
        }
    }
    MapBuilder builder(fileName, false);
    for (const auto& [number, chromosome] : chromosomes) {
        const std::string name = chromosome.Name.empty() ? DecimalText(number) : chromosome.Name;
        if (chromosome.Distances.size() < chromosome.Markers.size()) {
            Fail("The table of distances in " + Quote(fileName) + " has " +
                 DecimalText(static_cast<std::int64_t>(chromosome.Distances.size())) +
                 " rows for chromosome " + Quote(name) + ", too few for its " +
                 DecimalText(static_cast<std::int64_t>(chromosome.Markers.size())) +
                 " markers (a row before each).");
        }
        double position = 0.0;
        for (std::size_t m = 0; m < chromosome.Markers.size(); ++m) {
            position += m == 0 ? 0.0 : chromosome.Distances[m];
            builder.AddPosition(name, chromosome.Markers[m], position, chromosome.Lines[m]);
        }
    }
    return builder.Finish();
}

} // namespace

bool SniffQtlCartographer(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    if (first.empty()) {
        return false;
    }
    const std::string_view line = LineAt(lines, first.front());
    return line.find("-filetype") != std::string_view::npos &&
           line.find("Rmap.out") != std::string_view::npos;
}

MapFile ReadQtlCartographer(Lines lines, const std::string& fileName) {
    return ReadTakenFor("a QTL Cartographer map file", fileName,
                        [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
