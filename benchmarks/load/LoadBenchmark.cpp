// Loading generated Mapmaker pairs, in this process:
//
//   Floor            reading both files and splitting them into lines, as a
//                    load reads them (mapped where the system allows)
//   Load             the workspace's Load of the same pair
//   LoadPeakMemory   Load in a forked child; its peak resident memory
//
// Floor and Load run on pairs of 50,000 to 200,000 markers with short
// genotype lines (46 a marker), to show the time grows in step with the
// files, and on the large pair of 200,000 markers with 250 genotypes a
// marker, as real input files have them. The whole program against `wc -l`
// is timed by benchmarks/load-vs-wc.
//
// The forked child's peak includes what the benchmark process held before
// the fork, which the counter "baseline_MB" gives.
//
//   TableFloor       reading a map table of 200,000 rows (20 groups) and
//                    splitting it into lines
//   TableLoad        the workspace's LoadMapFile of the same table

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/FileWriter.h"
#include "benchmarks/pairs/GeneratedPair.h"
#include "mapdata/TextLines.h"
#include "workspace/Workspace.h"

namespace {

using karvello::ReadTextLines;
using karvello::TextLines;
using karvello::Workspace;
using karvello::bench::GeneratedPair;
using karvello::bench::PairShape;

constexpr long kShortGenotypes = 46;

std::filesystem::path BenchFolder() {
    return std::filesystem::temp_directory_path() / "karvello-load-benchmark";
}

// Pairs by (maps, genotypes), written once before any timing starts.
const GeneratedPair& PairOf(long maps, long genotypes) {
    static std::map<std::pair<long, long>, GeneratedPair> pairs;
    auto found = pairs.find({maps, genotypes});
    if (found == pairs.end()) {
        const PairShape shape{maps, 36, 4, genotypes};
        const auto folder =
            BenchFolder() / (std::to_string(maps) + "-maps-" + std::to_string(genotypes));
        found =
            pairs
                .emplace(std::make_pair(maps, genotypes), karvello::bench::WritePair(folder, shape))
                .first;
    }
    return found->second;
}

const GeneratedPair& PairFor(const benchmark::State& state) {
    return PairOf(state.range(0), state.range(1));
}

std::size_t ReadAndSplit(const GeneratedPair& pair) {
    const TextLines input = ReadTextLines(pair.Input);
    const TextLines output = ReadTextLines(pair.Output);
    return input.size() + output.size();
}

std::size_t LoadedMaps(const GeneratedPair& pair) {
    Workspace workspace;
    workspace.Load(pair.Input, pair.Output);
    return workspace.Maps().size();
}

// One untimed round first in each: the allocator serves the first large
// blocks with fresh pages and later ones from its heap, which would favour
// whichever benchmark runs second.
void Floor(benchmark::State& state) {
    const GeneratedPair& pair = PairFor(state);
    ReadAndSplit(pair);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAndSplit(pair));
    }
    state.counters["files_MB"] = pair.Megabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pair.Bytes));
}

void Load(benchmark::State& state) {
    const GeneratedPair& pair = PairFor(state);
    LoadedMaps(pair);
    for (auto _ : state) {
        if (LoadedMaps(pair) != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the generated pair did not give every map");
            break;
        }
    }
    state.counters["files_MB"] = pair.Megabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pair.Bytes));
}

// A map table as R/qtl writes one: 200,000 rows in 20 groups, positions
// with up to six decimals, a few markers sharing a position. Written once.
const std::string& TablePath() {
    static const std::string path = [] {
        std::filesystem::create_directories(BenchFolder());
        const std::filesystem::path file = BenchFolder() / "table-200000.csv";
        std::string text = "marker,chr,pos\n";
        for (long row = 0; row < 200000; ++row) {
            const long group = row / 10000;
            const long within = row % 10000;
            const double position = static_cast<double>(within - within % 7) * 0.0173;
            text += "M" + std::to_string(row) + "," + std::to_string(group + 1) + "," +
                    std::to_string(position) + "\n";
        }
        karvello::WriteWholeFile(file.string(), text);
        return file.string();
    }();
    return path;
}

void TableFloor(benchmark::State& state) {
    ReadTextLines(TablePath());
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadTextLines(TablePath()).size());
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(TablePath())) / 1e6;
}

void TableLoad(benchmark::State& state) {
    Workspace warm;
    warm.LoadMapFile(TablePath());
    for (auto _ : state) {
        Workspace workspace;
        workspace.LoadMapFile(TablePath());
        if (workspace.Maps().size() != 20) {
            state.SkipWithError("the table did not give 20 maps");
            break;
        }
    }
}

// Runs work in a forked child and gives the child's peak resident memory in
// kilobytes.
template <typename Work> long ChildPeakKilobytes(Work work) {
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the child failed");
    }
    return usage.ru_maxrss;
}

double Megabytes(long kilobytes) {
    return static_cast<double>(kilobytes) / 1024.0;
}

void LoadPeakMemory(benchmark::State& state) {
    const GeneratedPair& pair = PairFor(state);
    long baseline = 0;
    long peak = 0;
    for (auto _ : state) {
        baseline = ChildPeakKilobytes([] {});
        peak = ChildPeakKilobytes([&] { LoadedMaps(pair); });
    }
    state.counters["files_MB"] = pair.Megabytes();
    state.counters["baseline_MB"] = Megabytes(baseline);
    state.counters["peak_MB"] = Megabytes(peak);
    state.counters["load_MB"] = Megabytes(peak - baseline);
    state.counters["load_per_file_MB"] = Megabytes(peak - baseline) / pair.Megabytes();
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (long maps : {1250L, 2500L, 5000L}) {
        b->Args({maps, kShortGenotypes});
    }
    b->Args({karvello::bench::kLargeShape.Maps, karvello::bench::kLargeShape.Genotypes});
}

} // namespace

BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->Apply(Sizes);
BENCHMARK(Load)->Unit(benchmark::kMillisecond)->Apply(Sizes);
BENCHMARK(TableFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(TableLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadPeakMemory)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Args({karvello::bench::kLargeShape.Maps, karvello::bench::kLargeShape.Genotypes});

// The pairs are written, and flushed to disk, before any timing starts, so
// that no benchmark pays for another's writing.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (long maps : {1250L, 2500L, 5000L}) {
        PairOf(maps, kShortGenotypes);
    }
    PairOf(karvello::bench::kLargeShape.Maps, karvello::bench::kLargeShape.Genotypes);
    TablePath();
    sync();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BenchFolder(), ignored);
    return 0;
}
