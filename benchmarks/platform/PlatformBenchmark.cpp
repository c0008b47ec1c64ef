// Drawing 50 maps of 300 markers each into every file format: time per file
// and the file's size (the "bytes" counter).

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

#include "drawing/DrawMaps.h"
#include "mapdata/MapRecords.h"
#include "platform/FileCanvases.h"
#include "platform/QtPainterSurface.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "render/DrawingRecorder.h"

namespace karvello {
namespace {

constexpr int kMaps = 50;
constexpr int kFrameworkPerMap = 270;
constexpr int kPlacedPerMap = 30;

// A small generator of our own, so every run draws the same maps.
class Sequence {
  public:
    std::uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

  private:
    std::uint32_t state_ = 12345;
};

struct Drawing {
    MarkerTable markers;
    std::vector<LinkageMap> maps;
    PageLengths settings;
};

const Drawing& BenchmarkDrawing() {
    static const Drawing drawing = [] {
        Drawing d;
        Sequence random;
        // A metre-high page, as one would choose for maps this long.
        d.settings.PageHeight = 100000;
        for (int m = 0; m < kMaps; ++m) {
            LinkageMap map;
            map.MapNumber = m + 1;
            for (int i = 0; i < kFrameworkPerMap + kPlacedPerMap; ++i) {
                Marker marker;
                marker.Name = (random.Below(4) == 0 ? "D" : "M") + std::to_string(m + 1) + "M" +
                              std::to_string(100 + i);
                marker.Dominant = random.Below(10) == 0;
                marker.Colour = random.Below(8) == 0 ? 0x0000C0 : 0;
                marker.Mapped = true;
                const auto index = static_cast<std::int32_t>(d.markers.size());
                d.markers.push_back(marker);
                if (i < kFrameworkPerMap) {
                    MapEntry entry;
                    entry.MarkerIndex = index;
                    // One marker in eight shares the position of the next.
                    entry.Distance = random.Below(8) == 0 ? 0.0 : 0.1 * (1 + random.Below(60));
                    map.Markers.push_back(entry);
                } else {
                    map.Placed.push_back({index, random.Below(kFrameworkPerMap + 1)});
                }
            }
            map.Markers.back().Distance = 0;
            for (std::size_t i = 0; i + 1 < map.Markers.size(); ++i) {
                if (map.Markers[i].Distance == 0) {
                    map.Markers[i].NextSamePos = static_cast<std::int32_t>(i + 1);
                    map.Markers[i + 1].SamePosAsPrev = true;
                }
            }
            d.maps.push_back(std::move(map));
        }
        return d;
    }();
    return drawing;
}

void DrawToFile(benchmark::State& state, const char* extension) {
    EnsureQtGui();
    const Drawing& d = BenchmarkDrawing();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QString("maps") + extension).toStdString();
    for (auto _ : state) {
        auto canvas = CreateFileCanvas(path);
        (void)DrawMaps(d.maps, canvas->surface(), d.settings, d.markers);
        canvas->Commit();
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(QString::fromStdString(path)).size());
}

// The same figure in rows of the width given (in 1/100 mm), with every
// format's default line and edge room. Its labels stack over a metre high in
// each row of 1000 mm, so the PDF, whose readers open no page over 5080 mm,
// is drawn 2000 mm wide.
void DrawRowsToFile(benchmark::State& state, const char* extension, std::int32_t rowWidth) {
    EnsureQtGui();
    const Drawing& d = BenchmarkDrawing();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QString("rows") + extension).toStdString();
    FigureSettings figure;
    figure.RowWidth = rowWidth;
    for (auto _ : state) {
        auto canvas = CreateFileCanvas(path, figure);
        (void)DrawMaps(d.maps, canvas->surface(), d.settings, d.markers, figure);
        canvas->Commit();
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(QString::fromStdString(path)).size());
}

void DrawOnly(benchmark::State& state) {
    EnsureQtGui();
    const Drawing& d = BenchmarkDrawing();
    std::size_t operations = 0;
    for (auto _ : state) {
        DrawingRecorder recorder(MetafileTextMetrics());
        (void)DrawMaps(d.maps, recorder, d.settings, d.markers);
        operations = recorder.OperationCount();
        benchmark::DoNotOptimize(recorder.Frame());
    }
    state.counters["operations"] = static_cast<double>(operations);
}

// One paint of the preview box: the surface set up with the window's font
// (its metrics taken afresh) and the first map drawn on a 600 x 400 box.
void PreviewPaint(benchmark::State& state) {
    EnsureQtGui();
    const Drawing& d = BenchmarkDrawing();
    const std::vector<LinkageMap> one(d.maps.begin(), d.maps.begin() + 1);
    QImage box(600, 400, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&box);
        QtPainterSurface surface(painter, QFont(), QColor(240, 240, 240), 1920, 1080,
                                 QSizeF(508.0, 285.75));
        surface.FillBackground(box.width(), box.height());
        surface.SetMapMode(MappingMode::HiMetric);
        PageLengths settings = d.settings;
        settings.PageHeight = 10583;
        settings.PageWidth = 15875;
        (void)DrawMaps(one, surface, settings, d.markers);
    }
}

BENCHMARK(PreviewPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawToFile, emf, ".emf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawToFile, svg, ".svg")->Unit(benchmark::kMillisecond);
// In one row the figure is over 7 m wide: more than a PDF reader opens, and
// a PNG of it is refused, so those two are measured in rows only.
BENCHMARK_CAPTURE(DrawRowsToFile, emf_1000mm, ".emf", 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawRowsToFile, svg_1000mm, ".svg", 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawRowsToFile, pdf_2000mm, ".pdf", 200000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace karvello

BENCHMARK_MAIN();
