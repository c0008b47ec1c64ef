// Feeds arbitrary bytes to the map file reader and checks the records it
// gives: every marker on exactly one map, entries in position order with
// consistent same-position links, or else one KarvelloError. The same lines
// held apart, each in a string of its own, must give the same file or the
// same error; and the quick split of a table's rows must give the fields
// the full split gives.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"

namespace {

using namespace karvello;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void CheckFile(const MapFile& file) {
    Require(!file.Markers.empty());
    std::vector<int> listed(file.Markers.size(), 0);
    for (std::size_t m = 0; m < file.Maps.size(); ++m) {
        const LinkageMap& map = file.Maps[m];
        Require(map.MapNumber == static_cast<std::int32_t>(m + 1));
        Require(!map.Markers.empty() && map.Placed.empty() && !map.GroupName.empty());
        const std::size_t n = map.Markers.size();
        for (std::size_t i = 0; i < n; ++i) {
            const MapEntry& entry = map.Markers[i];
            Require(entry.MarkerIndex >= 0 &&
                    static_cast<std::size_t>(entry.MarkerIndex) < file.Markers.size());
            ++listed[static_cast<std::size_t>(entry.MarkerIndex)];
            Require(entry.Distance >= 0.0 && entry.Distance <= 2e9);
            Require(i + 1 < n || entry.Distance == 0.0);
            const bool joined = entry.Distance == 0.0 && i + 1 < n;
            Require(entry.NextSamePos == (joined ? static_cast<std::int32_t>(i + 1) : -1));
            Require(entry.SamePosAsPrev == (i > 0 && map.Markers[i - 1].Distance == 0.0));
            const Marker& marker = file.Markers[static_cast<std::size_t>(entry.MarkerIndex)];
            Require(marker.Chromosome == map.MapNumber && !marker.Name.empty());
        }
    }
    for (std::size_t k = 0; k < file.Markers.size(); ++k) {
        Require(listed[k] == 1 && file.Markers[k].Mapped);
    }
}

// The file, or the error's message.
struct Outcome {
    MapFile File;
    std::string Error;
};

template <typename Text> Outcome Read(const Text& text) {
    Outcome outcome;
    try {
        outcome.File = ReadMapFile(text, "fuzz.csv");
        CheckFile(outcome.File);
    } catch (const KarvelloError& error) {
        outcome.Error = error.what();
        Require(outcome.Error.find("\"fuzz.csv\"") != std::string::npos);
    }
    return outcome;
}

bool SameOutcome(const Outcome& a, const Outcome& b) {
    return a.Error == b.Error && a.File.Format == b.File.Format &&
           a.File.Markers == b.File.Markers && a.File.Maps == b.File.Maps &&
           a.File.Encoding == b.File.Encoding && a.File.Warnings == b.File.Warnings;
}

// Every line split both ways, with columns taken from the text's first bytes.
void CheckQuickSplit(Lines lines, const std::uint8_t* data, std::size_t size) {
    auto columns = std::to_array<std::int64_t>({0, 1, 2});
    for (std::size_t k = 0; k < columns.size() && k < size; ++k) {
        columns[k] = data[k] % 6;
    }
    std::array<std::string_view, 3> wanted;
    std::vector<std::string_view> fields;
    std::string scratch;
    for (const std::string_view line : lines) {
        for (const char separator : {',', ';', '\t'}) {
            if (!SplitWantedFields(line, separator, columns, wanted)) {
                continue;
            }
            SplitFields(line, separator, fields, scratch);
            for (std::size_t k = 0; k < columns.size(); ++k) {
                const auto column = static_cast<std::size_t>(columns[k]);
                Require(column < fields.size() && fields[column] == wanted[k]);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TextLines text(std::string(reinterpret_cast<const char*>(data), size));
    const Outcome whole = Read(text);

    std::vector<std::string> apart(text.lines().begin(), text.lines().end());
    const std::vector<std::string_view> apartLines(apart.begin(), apart.end());
    Require(SameOutcome(whole, Read(Lines(apartLines))));

    CheckQuickSplit(text.lines(), data, size);
    return 0;
}
