// PLINK's variant files: a .map file, one line a variant, "chromosome id
// distance bp", or a .bim file, the same with its two allele columns after
// them. No header; fields separated by blanks or tabs; "#" lines are
// comments. A variant whose bp is negative is one PLINK leaves out, and so
// is it here.
//
// The genetic distance is in morgans or in centimorgans, as the file's
// writer chose; the file does not say which. A linkage group is at most a
// few morgans long and at least tens of centimorgans, so distances that all
// lie within 10 are morgans and are turned into cM (the load says so in a
// warning); larger ones are cM. A distance column of zeros alone means the
// file has no genetic map, and it is refused.

#include <algorithm>
#include <cmath>
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

// The largest distance that morgans reach.
constexpr double kMostMorgans = 10.0;

// Whether the fields are those of a .map (4) or .bim (6) line: a number for
// the distance, a whole number for bp.
bool IsVariantLine(const std::vector<std::string_view>& fields) {
    if ((fields.size() != 4 && fields.size() != 6) || !ParseDecimalNumber(fields[2])) {
        return false;
    }
    std::string_view bp = fields[3];
    bp.remove_prefix(bp.starts_with('-') ? 1 : 0);
    return !bp.empty() && bp.find_first_not_of("0123456789") == std::string_view::npos;
}

struct Variant {
    std::size_t Line = 0;
    std::string Chromosome;
    std::string Id;
    double Distance = 0.0;
};

MapFile Read(Lines lines, const std::string& fileName) {
    std::vector<Variant> variants;
    std::vector<std::string_view> fields;
    std::string scratch;
    std::size_t columns = 0;
    double largest = 0.0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = LineAt(lines, i);
        const std::string_view trimmed = TrimText(line);
        if (trimmed.empty() || IsComment(trimmed)) {
            continue;
        }
        const auto lineNumber = static_cast<std::int64_t>(i) + 1;
        SplitFields(trimmed, 0, fields, scratch);
        columns = columns == 0 ? fields.size() : columns;
        if (fields.size() != columns) {
            Fail("Line " + DecimalText(lineNumber) + " of " + Quote(fileName) + " has " +
                 DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field" : " fields") + " where the lines before have " +
                 DecimalText(static_cast<std::int64_t>(columns)) +
                 ": chromosome, id, distance and bp" +
                 (columns == 6 ? std::string(", then two alleles.") : std::string(".")));
        }
        if (fields.size() < 4) {
            Fail("Line " + DecimalText(lineNumber) + " of " + Quote(fileName) + " has " +
                 DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field" : " fields") +
                 ", too few for chromosome, id, distance and bp.");
        }
        const auto distance = ParseDecimalNumber(fields[2]);
        if (!distance || !std::isfinite(*distance)) {
            Fail("The distance " + Quote(fields[2]) + " (field 3) on " + LineText(lineNumber) +
                 " of " + Quote(fileName) + " is not a number.");
        }
        const auto bp = ParseDecimalNumber(fields[3]);
        if (!bp) {
            Fail("The bp position " + Quote(fields[3]) + " (field 4) on " + LineText(lineNumber) +
                 " of " + Quote(fileName) + " is not a number.");
        }
        if (*bp < 0) {
            continue;
        }
        variants.push_back(Variant{i, std::string(fields[0]), std::string(fields[1]), *distance});
        largest = std::max(largest, std::fabs(*distance));
    }
    if (variants.empty()) {
        Fail(Quote(fileName) + " holds no markers.");
    }
    if (largest == 0.0) {
        Fail("The distance column (field 3) of " + Quote(fileName) +
             " is 0 on every line: the file holds no genetic map. Give PLINK the map's "
             "positions in cM, or give Karvello the map file they came from.");
    }
    const bool morgans = largest <= kMostMorgans;
    MapBuilder builder(fileName, false);
    builder.Reserve(variants.size());
    for (const Variant& variant : variants) {
        builder.AddPosition(variant.Chromosome, variant.Id,
                            morgans ? variant.Distance * 100.0 : variant.Distance,
                            static_cast<std::int64_t>(variant.Line) + 1);
    }
    MapFile file = builder.Finish();
    if (morgans) {
        file.Warnings.push_back(
            "The distances of " + Quote(fileName) +
            " are read as morgans, as none is larger than 10, and drawn in cM.");
    }
    return file;
}

} // namespace

// The first line tells the file; the reading judges the rest.
bool SniffPlink(Lines lines) {
    const std::vector<std::size_t> rows = FirstContentLines(lines, 1, true);
    if (rows.empty()) {
        return false;
    }
    std::vector<std::string_view> fields;
    std::string scratch;
    SplitFields(TrimText(LineAt(lines, rows.front())), 0, fields, scratch);
    return IsVariantLine(fields);
}

MapFile ReadPlink(Lines lines, const std::string& fileName) {
    return ReadTakenFor("a PLINK .map or .bim file", fileName,
                        [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
