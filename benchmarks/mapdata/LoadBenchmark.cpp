// Loading a pair of Mapmaker files of 200,000 markers and 5,000 maps (and a
// half and a quarter of that, to show how the time grows), beside the floor:
// reading both files and splitting them into lines.
//
// Heap use is counted by replacing the global allocation functions: the
// counters report the peak bytes held during one load, and that peak over
// the size of the two files.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "mapdata/InputReader.h"
#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"

namespace {

// Bytes held now and at most since the last reset. Every block carries its
// size in a header so that delete can count it back.
std::atomic<std::size_t> heldBytes{0};
std::atomic<std::size_t> peakBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = size;
    const std::size_t now = heldBytes.fetch_add(size) + size;
    std::size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - kHeader;
    heldBytes.fetch_sub(*static_cast<std::size_t*>(block));
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) {
    return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
    return CountedAlloc(size);
}
void operator delete(void* pointer) noexcept {
    CountedFree(pointer);
}
void operator delete[](void* pointer) noexcept {
    CountedFree(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    CountedFree(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    CountedFree(pointer);
}

namespace {

using namespace karvello;

struct TPair {
    std::string InputPath;
    std::string OutputPath;
    std::size_t Bytes = 0;
};

// A pair shaped like Mapmaker's: an F2 input file with one line of
// genotypes per marker, and an output log in which each map is preceded by
// progress lines and followed by a placement table whose rows name markers
// of the neighbouring map.
std::filesystem::path PairFolder() {
    return std::filesystem::temp_directory_path() / "karvello-mapdata-benchmark";
}

TPair WritePair(int markers, int maps) {
    const auto folder = PairFolder();
    std::filesystem::create_directories(folder);
    TPair pair;
    pair.InputPath = (folder / ("input-" + std::to_string(markers) + ".raw")).string();
    pair.OutputPath = (folder / ("output-" + std::to_string(markers) + ".txt")).string();

    std::string input = "data type f2 intercross\n46 " + std::to_string(markers) +
                        " 0 symbols 1=A 2=B 3=H 4=C 5=D\n";
    for (int m = 1; m <= markers; ++m) {
        input += "*M" + std::to_string(m) + " 3121331323121333333331" + (m % 9 == 0 ? "4" : "3") +
                 " 2313331313313031211222\n";
    }

    const int perMap = markers / maps;
    std::string output;
    char line[160];
    for (int map = 0; map < maps; ++map) {
        const int first = map * perMap + 1;
        output +=
            "===============================================================================\n"
            "Linkage group " +
            std::to_string(map + 1) + ", " + std::to_string(perMap) +
            " Markers:\n"
            "Searching for a starting order containing 5 of all loci...\n"
            "Got one at log-likelihood 6.00\n\n"
            "Map:                        \n  Markers          Distance \n";
        for (int k = 0; k < perMap; ++k) {
            if (k + 1 < perMap) {
                std::snprintf(line, sizeof line, "%5d  M%-10d %5d.%d cM\n", first + k, first + k,
                              k % 30, k % 10);
            } else {
                std::snprintf(line, sizeof line, "%5d  M%-10d ----------\n", first + k, first + k);
            }
            output += line;
        }
        output += "                   110.8 cM   " + std::to_string(perMap) +
                  " markers   log-likelihood= -688.99\n\nMarkers placed relative to above map:\n"
                  "          (marker numbers)\n          :--4-:-15-:-12-:\n";
        const int placedRows = 4;
        for (int r = 0; r < placedRows; ++r) {
            const int number = (first + perMap + r - 1) % markers + 1;
            std::string cells = "...";
            for (int c = 1; c <= perMap; ++c) {
                cells += c == (r * 7 + 3) % perMap ? ":.**." : ":....";
            }
            output += std::to_string(number) + " 2 " + cells + "\n";
        }
        output +=
            "-------------------------------------------------------------------------------\n";
    }

    std::ofstream(pair.InputPath, std::ios::binary) << input;
    std::ofstream(pair.OutputPath, std::ios::binary) << output;
    pair.Bytes = input.size() + output.size();
    return pair;
}

const TPair& PairFor(int markers) {
    static std::map<int, TPair> pairs;
    auto found = pairs.find(markers);
    if (found == pairs.end()) {
        found = pairs.emplace(markers, WritePair(markers, markers / 40)).first;
    }
    return found->second;
}

void ReportMemory(benchmark::State& state, const TPair& pair) {
    state.counters["file_MB"] = static_cast<double>(pair.Bytes) / 1e6;
    state.counters["peak_heap_MB"] = static_cast<double>(peakBytes.load()) / 1e6;
    state.counters["peak_per_file_byte"] =
        static_cast<double>(peakBytes.load()) / static_cast<double>(pair.Bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(pair.Bytes));
}

// The floor: both files read whole and split into lines.
void BM_ReadAndSplit(benchmark::State& state) {
    const TPair& pair = PairFor(static_cast<int>(state.range(0)));
    peakBytes = heldBytes.load();
    const std::size_t before = heldBytes.load();
    for (auto _ : state) {
        TextLines input(ReadTextFile(pair.InputPath));
        TextLines output(ReadTextFile(pair.OutputPath));
        benchmark::DoNotOptimize(input.size() + output.size());
    }
    peakBytes = peakBytes.load() - before;
    ReportMemory(state, pair);
}

// The whole load as the workspace does it: the floor, the marker table, and
// every map found in turn and kept.
void BM_Load(benchmark::State& state) {
    const TPair& pair = PairFor(static_cast<int>(state.range(0)));
    peakBytes = heldBytes.load();
    const std::size_t before = heldBytes.load();
    std::size_t mapCount = 0;
    for (auto _ : state) {
        TAllMarkers markers;
        TextLines input(ReadTextFile(pair.InputPath));
        ReadInputFile(input.lines(), markers);
        TextLines output(ReadTextFile(pair.OutputPath));
        const std::vector<TChrData> maps = ReadAllMaps(output.lines(), markers);
        mapCount = maps.size();
        benchmark::DoNotOptimize(markers.data());
    }
    peakBytes = peakBytes.load() - before;
    if (mapCount != static_cast<std::size_t>(state.range(0) / 40)) {
        state.SkipWithError("the generated pair did not load whole");
    }
    state.counters["maps"] = static_cast<double>(mapCount);
    ReportMemory(state, pair);
}

} // namespace

BENCHMARK(BM_ReadAndSplit)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// glibc hands blocks of several megabytes back to the system on free and
// maps them afresh on the next allocation, depending on thresholds it moves
// as it goes; the kernel's zeroing of those pages then swamps the work being
// measured and differs between the floor and the load. Keeping freed memory
// in the heap makes both measure the same thing: reading, splitting, parsing.
int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(PairFolder(), ignored);
    return 0;
}
