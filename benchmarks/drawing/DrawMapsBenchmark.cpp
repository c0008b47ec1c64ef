// DrawMaps onto a surface that does nothing but count its operations and
// measure text from a small cache, so that the figures are the layout's own.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Error.h"
#include "drawing/DrawMaps.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"

namespace karvello {
namespace {

class CountingSurface : public Surface {
  public:
    std::int64_t operations = 0;

    void SetMapMode(MappingMode) override { ++operations; }
    void SetPenColour(RgbColour) override { ++operations; }
    void Rectangle(int, int, int, int) override { ++operations; }
    void FillRectangle(int, int, int, int, RgbColour) override { ++operations; }
    void MoveTo(int, int) override { ++operations; }
    void LineTo(int, int) override { ++operations; }
    void TextOut(int, int, std::string_view) override { ++operations; }
    void SetFontColour(RgbColour) override { ++operations; }
    void SetItalic(bool italic) override {
        ++operations;
        italic_ = italic;
    }
    int TextWidth(std::string_view text) override {
        ++operations;
        auto& cache = italic_ ? italicWidths_ : widths_;
        auto it = cache.find(text);
        if (it == cache.end()) {
            const int perChar = italic_ ? 130 : 110;
            it = cache.emplace(std::string(text), static_cast<int>(text.size()) * perChar).first;
        }
        return it->second;
    }
    int TextHeight(std::string_view) override {
        ++operations;
        return italic_ ? 340 : 320;
    }

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using Cache = std::unordered_map<std::string, int, Hash, std::equal_to<>>;
    Cache widths_;
    Cache italicWidths_;
    bool italic_ = false;
};

std::string MarkerName(std::size_t index) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
    return "D1S" + std::string(digits, end);
}

MarkerTable MakeTable(std::size_t count) {
    MarkerTable markers(count);
    for (std::size_t i = 0; i < count; ++i) {
        markers[i].Name = MarkerName(i);
        markers[i].Dominant = i % 7 == 0;
        markers[i].Colour = static_cast<RgbColour>(i * 2654435761u) & 0xFFFFFF;
    }
    return markers;
}

// A map of `framework` entries spread over `lengthCM`, every tenth pair at
// one position, with `placed` markers spread over its intervals. Marker
// indexes start at `first`.
LinkageMap MakeMap(std::size_t framework, std::size_t placed, double lengthCM, std::size_t first) {
    LinkageMap map;
    const double step = lengthCM / static_cast<double>(framework);
    for (std::size_t i = 0; i < framework; ++i) {
        MapEntry entry;
        entry.MarkerIndex = static_cast<std::int32_t>(first + i);
        const bool last = i + 1 == framework;
        entry.Distance = last || i % 10 == 9 ? 0.0 : step * (0.5 + static_cast<double>(i % 3) / 2);
        map.Markers.push_back(entry);
    }
    for (std::size_t i = 0; i + 1 < framework; ++i) {
        if (map.Markers[i].Distance == 0) {
            map.Markers[i].NextSamePos = static_cast<std::int32_t>(i + 1);
            map.Markers[i + 1].SamePosAsPrev = true;
        }
    }
    for (std::size_t k = 0; k < placed; ++k) {
        PlacedMarker entry;
        entry.MarkerIndex = static_cast<std::int32_t>(first + framework + k);
        entry.Interval = static_cast<std::int32_t>((k * 7919) % (framework + 1));
        map.Placed.push_back(entry);
    }
    return map;
}

void Run(benchmark::State& state, const std::vector<LinkageMap>& maps, const MarkerTable& markers,
         std::size_t markerCount, const FigureSettings& figure = FigureSettings(),
         const FigureAnnotations& annotations = FigureAnnotations()) {
    CountingSurface surface;
    const PageLengths settings;
    for (auto _ : state) {
        (void)DrawMaps(maps, surface, settings, markers, figure, annotations);
        benchmark::ClobberMemory();
    }
    state.counters["operations/s"] =
        benchmark::Counter(static_cast<double>(surface.operations), benchmark::Counter::kIsRate);
    state.counters["operations/draw"] = benchmark::Counter(static_cast<double>(surface.operations) /
                                                           static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(markerCount));
    state.SetComplexityN(static_cast<std::int64_t>(markerCount));
}

// The drawing of a whole genome: 50 maps of 250 framework and 50 placed
// markers; in one row, or in classic rows 1000 mm wide, which measures
// every map once more before it is drawn.
void BM_DrawMaps_FiftyMaps(benchmark::State& state) {
    constexpr std::size_t kMaps = 50, kFramework = 250, kPlaced = 50;
    const MarkerTable markers = MakeTable(kMaps * (kFramework + kPlaced));
    std::vector<LinkageMap> maps;
    for (std::size_t m = 0; m < kMaps; ++m) {
        maps.push_back(MakeMap(kFramework, kPlaced, 80.0 + static_cast<double>(m),
                               m * (kFramework + kPlaced)));
    }
    FigureSettings figure;
    figure.RowWidth = static_cast<std::int32_t>(state.range(0));
    figure.Layout = "classic";
    Run(state, maps, markers, markers.size(), figure);
}
BENCHMARK(BM_DrawMaps_FiftyMaps)
    ->ArgName("RowWidth")
    ->Arg(0)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Every annotation at once: titles, the ruler, links, three QTL a map and
// crowded positions collapsed.
FigureAnnotations EveryAnnotation(std::size_t mapCount, double lengthCM) {
    FigureAnnotations annotations;
    annotations.Titles = true;
    annotations.Ruler = true;
    annotations.Links = true;
    annotations.Collapse = 3;
    for (std::size_t m = 0; m < mapCount; ++m) {
        for (int q = 0; q < 3; ++q) {
            QtlInterval qtl;
            qtl.Name = "q" + std::to_string(m) + "." + std::to_string(q);
            qtl.Start = lengthCM * q / 4;
            qtl.End = qtl.Start + lengthCM / 3;
            qtl.InnerStart = qtl.Start + lengthCM / 12;
            qtl.InnerEnd = qtl.End - lengthCM / 12;
            annotations.Qtls.push_back({m, qtl});
        }
    }
    return annotations;
}

// The 50-map figure plain (0) and with every annotation (1). Each map uses
// the same 300 names, so that links join every framework marker of each
// neighbouring pair: the most links such a figure can have.
void BM_DrawMaps_FiftyMapsAnnotated(benchmark::State& state) {
    constexpr std::size_t kMaps = 50, kFramework = 250, kPlaced = 50;
    MarkerTable markers = MakeTable(kMaps * (kFramework + kPlaced));
    for (std::size_t i = 0; i < markers.size(); ++i) {
        markers[i].Name = MarkerName(i % (kFramework + kPlaced));
    }
    std::vector<LinkageMap> maps;
    for (std::size_t m = 0; m < kMaps; ++m) {
        maps.push_back(MakeMap(kFramework, kPlaced, 80.0, m * (kFramework + kPlaced)));
    }
    const FigureAnnotations annotations =
        state.range(0) != 0 ? EveryAnnotation(kMaps, 80.0) : FigureAnnotations();
    Run(state, maps, markers, markers.size(), FigureSettings(), annotations);
}
BENCHMARK(BM_DrawMaps_FiftyMapsAnnotated)
    ->ArgName("Annotated")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// The oat consensus map (16,668 markers in 21 groups), read from its table:
// plain (0), with every annotation (1), and with labels for 100 names only
// (2), which must draw faster than the plain map.
void BM_DrawMaps_Oat(benchmark::State& state) {
    static const std::optional<MapFile> read = []() -> std::optional<MapFile> {
        try {
            const TextLines lines = ReadTextLines(KARVELLO_OAT_MAP);
            return ReadMapFile(lines, KARVELLO_OAT_MAP);
        } catch (const KarvelloError&) {
            return std::nullopt;
        }
    }();
    if (!read) {
        state.SkipWithError("the oat map " KARVELLO_OAT_MAP " cannot be read");
        return;
    }
    const MapFile& oat = *read;
    FigureAnnotations annotations;
    if (state.range(0) == 1) {
        annotations = EveryAnnotation(oat.Maps.size(), 20.0);
    } else if (state.range(0) == 2) {
        // 100 names spread evenly over the table.
        annotations.ShowOnly.emplace();
        const std::size_t step = oat.Markers.size() / 100;
        for (std::size_t i = 0; i < 100; ++i) {
            annotations.ShowOnly->insert(oat.Markers[i * step].Name);
        }
    }
    Run(state, oat.Maps, oat.Markers, oat.Markers.size(), FigureSettings(), annotations);
}
BENCHMARK(BM_DrawMaps_Oat)
    ->ArgName("Annotations")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

std::optional<MapFile> ReadTable(const char* path) {
    try {
        const TextLines lines = ReadTextLines(path);
        return ReadMapFile(lines, path);
    } catch (const KarvelloError&) {
        return std::nullopt;
    }
}

// The figure layout fitting R/qtl's hyper map (20 chromosomes, 174 markers)
// into a box 175 x 300 mm (0; the counting surface's lines are 3.2 mm high,
// so hyper needs more than the 230 mm it takes at 6 pt), and the whole oat
// map with no labels into 175 x 230 mm (1), beside the classic layout of the
// oat map with the same settings (2).
void BM_DrawMaps_FigureLayout(benchmark::State& state) {
    static const std::optional<MapFile> hyper = ReadTable(KARVELLO_HYPER_MAP);
    static const std::optional<MapFile> oat = ReadTable(KARVELLO_OAT_MAP);
    const std::optional<MapFile>& read = state.range(0) == 0 ? hyper : oat;
    if (!read) {
        state.SkipWithError("a map of the shared maps cannot be read");
        return;
    }
    FigureSettings figure;
    figure.RowWidth = 17500;
    figure.Height = state.range(0) == 0 ? 30000 : 23000;
    if (state.range(0) != 0) {
        figure.Labels = "none";
    }
    if (state.range(0) == 2) {
        figure.Layout = "classic";
    }
    Run(state, read->Maps, read->Markers, read->Markers.size(), figure);
}
BENCHMARK(BM_DrawMaps_FigureLayout)
    ->ArgName("Figure")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

// One map whose length grows with its markers (about 1 cM apart): labels
// mostly stand at their own places.
void BM_DrawMaps_Markers(benchmark::State& state) {
    const auto framework = static_cast<std::size_t>(state.range(0));
    const std::size_t placed = framework / 5;
    const MarkerTable markers = MakeTable(framework + placed);
    Run(state, {MakeMap(framework, placed, static_cast<double>(framework), 0)}, markers,
        markers.size());
}
BENCHMARK(BM_DrawMaps_Markers)
    ->RangeMultiplier(4)
    ->Range(1000, 64000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Many markers within 100 cM: nearly every label is stacked below the one
// before it, with its slanted line.
void BM_DrawMaps_Stacked(benchmark::State& state) {
    const auto framework = static_cast<std::size_t>(state.range(0));
    const std::size_t placed = framework / 5;
    const MarkerTable markers = MakeTable(framework + placed);
    Run(state, {MakeMap(framework, placed, 100.0, 0)}, markers, markers.size());
}
BENCHMARK(BM_DrawMaps_Stacked)
    ->Arg(1250)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
} // namespace karvello
