// Feeds arbitrary bytes to the QTL table reader, then places what it read on
// a few maps, and checks what both give: intervals in order with their inner
// intervals inside them, every QTL placed on an existing map within its
// extent, or else one KarvelloError that names the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Error.h"
#include "mapdata/QtlTable.h"
#include "mapdata/TextLines.h"

namespace {

using namespace karvello;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::vector<LinkageMap> Maps() {
    std::vector<LinkageMap> maps(3);
    for (std::size_t m = 0; m < maps.size(); ++m) {
        maps[m].MapNumber = static_cast<std::int32_t>(m) + 1;
        maps[m].Markers.resize(3);
        maps[m].Markers[0].Distance = 10.0 * static_cast<double>(m + 1);
        maps[m].Markers[1].Distance = 5.0;
    }
    maps[1].GroupName = "chr2";
    maps[2].GroupName = "3";
    maps[2].FirstPosition = -20.0;
    return maps;
}

void RequireNamesFile(const KarvelloError& error) {
    Require(std::string(error.what()).find("\"fuzz.csv\"") != std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TextLines text(std::string(reinterpret_cast<const char*>(data), size));
    QtlTableFile table;
    try {
        table = ReadQtlTable(text.lines(), "fuzz.csv");
    } catch (const KarvelloError& error) {
        RequireNamesFile(error);
        return 0;
    }
    for (const QtlInterval& qtl : table.Qtls) {
        Require(!qtl.Map.empty() && !qtl.Name.empty() && qtl.Start <= qtl.End && qtl.Line > 0);
        Require(qtl.InnerStart.has_value() == qtl.InnerEnd.has_value());
        if (qtl.InnerStart) {
            Require(qtl.Start <= *qtl.InnerStart && *qtl.InnerStart <= *qtl.InnerEnd &&
                    *qtl.InnerEnd <= qtl.End);
        }
    }
    const std::vector<LinkageMap> maps = Maps();
    try {
        const std::vector<PlacedQtl> placed = PlaceQtls(table, maps);
        Require(placed.size() == table.Qtls.size());
        for (const PlacedQtl& p : placed) {
            Require(p.MapIndex < maps.size());
            const LinkageMap& map = maps[p.MapIndex];
            Require(p.Qtl.Start >= map.FirstPosition - 0.05);
            Require(p.Qtl.End <= map.FirstPosition + MapLength(map) + 0.05);
        }
    } catch (const KarvelloError& error) {
        RequireNamesFile(error);
    }
    return 0;
}
