// Speed of loading and drawing, measured on Mapmaker file pairs generated
// here: 200,000 markers in 5,000 maps, and one map of 5,000 markers.
//
//   Floor            reading both files whole and splitting them into lines
//   Load             the workspace's Load of the same pair (in this process),
//                    both at three sizes
//   LoadPeakMemory   Load in a forked child; its peak resident memory
//   DrawProcess      the whole `karvello draw ... -o FILE.emf` process,
//                    started with posix_spawn and waited for
//
// Peak memory comes from the child's resource usage (ru_maxrss); the forked
// child's figure includes what the benchmark process had before the fork,
// which the counter "baseline_MB" gives.

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "mapdata/TextLines.h"
#include "workspace/Workspace.h"

extern char** environ;

namespace {

using karvello::ReadTextFile;
using karvello::TextLines;
using karvello::Workspace;

struct GeneratedPair {
    std::string input;
    std::string output;
    double megabytes = 0;
};

void AppendInt(std::string& text, long value, int width = 0) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    for (int pad = width - static_cast<int>(end - buffer); pad > 0; --pad) {
        text += ' ';
    }
    text.append(buffer, end);
}

std::string MarkerName(long number) {
    std::string name = "M";
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    for (auto pad = 6 - (end - buffer); pad > 0; --pad) {
        name += '0';
    }
    name.append(buffer, end);
    return name;
}

// The folders the pairs are written into, removed when the run ends: the
// largest pair alone is tens of megabytes.
std::vector<std::filesystem::path>& GeneratedFolders() {
    static std::vector<std::filesystem::path> folders;
    return folders;
}

// maps maps of framework markers each, and placed markers after each map;
// every marker of the input file is used once.
GeneratedPair Generate(const std::string& name, long maps, long framework, long placed) {
    const long markers = maps * (framework + placed);
    const auto folder = std::filesystem::temp_directory_path() / ("karvello-bench-" + name);
    std::filesystem::create_directories(folder);
    GeneratedFolders().push_back(folder);
    GeneratedPair pair{(folder / "input.raw").string(), (folder / "output.txt").string()};

    std::string input = "data type f2 intercross\n46 ";
    AppendInt(input, markers);
    input += " 0 symbols 1=A 2=B 3=H 4=C 5=D 0=-\n";
    const char* codes = "12312332112133123123 2312331231212312231323113";
    for (long m = 1; m <= markers; ++m) {
        input += '*';
        input += MarkerName(m);
        input += ' ';
        input += codes + (m % 7);
        input += '\n';
    }

    std::string output = "MAPMAKER/EXP (version 3.0b)\n\n";
    long next = 1;
    for (long map = 0; map < maps; ++map) {
        output += "Map:                        \n  Markers          Distance \n";
        for (long i = 0; i < framework; ++i, ++next) {
            AppendInt(output, next, 7);
            output += "  ";
            output += MarkerName(next);
            if (i + 1 == framework) {
                output += "       ----------\n";
            } else {
                // A zero now and then makes groups of markers at one position.
                const long tenths = (next % 11 == 0) ? 0 : 5 + (next * 37) % 180;
                output += "        ";
                AppendInt(output, tenths / 10, 3);
                output += '.';
                AppendInt(output, tenths % 10);
                output += " cM\n";
            }
        }
        output += "                    66.8 cM   40 markers   log-likelihood= -85.96\n\n";
        output += "Markers placed relative to above map:\n";
        output += "         columns\n          :--0-:-17-:\n";
        for (long p = 0; p < placed; ++p, ++next) {
            AppendInt(output, next, 7);
            output += " 2 ";
            const long interval = (next * 13) % (framework + 1);
            // Each cell before the chosen one takes five characters.
            for (long c = 0; c < interval; ++c) {
                output += "...:.";
            }
            output += "**.:....\n";
        }
        output += "-------------------------------------------------------------\n";
    }
    std::ofstream(pair.input, std::ios::binary) << input;
    std::ofstream(pair.output, std::ios::binary) << output;
    pair.megabytes = static_cast<double>(input.size() + output.size()) / 1e6;
    return pair;
}

// A pair of maps maps of 40 markers each; 5,000 maps give 200,000 markers.
const GeneratedPair& PairOfMaps(long maps) {
    static std::map<long, GeneratedPair> pairs;
    auto found = pairs.find(maps);
    if (found == pairs.end()) {
        found = pairs.emplace(maps, Generate("maps" + std::to_string(maps), maps, 36, 4)).first;
    }
    return found->second;
}

const GeneratedPair& LargePair() {
    return PairOfMaps(5000);
}

const GeneratedPair& LongMapPair() {
    static const GeneratedPair pair = Generate("longmap", 1, 5000, 0);
    return pair;
}

double Megabytes(long kilobytes) {
    return static_cast<double>(kilobytes) / 1024.0;
}

std::size_t ReadAndSplit(const GeneratedPair& pair) {
    TextLines input(ReadTextFile(pair.input));
    TextLines output(ReadTextFile(pair.output));
    return input.size() + output.size();
}

// One untimed round first: the allocator serves the first large blocks with
// fresh pages and later ones from its heap, which would favour whichever
// benchmark runs second.
void Floor(benchmark::State& state) {
    const GeneratedPair& pair = PairOfMaps(state.range(0));
    ReadAndSplit(pair);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAndSplit(pair));
    }
    state.counters["files_MB"] = pair.megabytes;
}

void Load(benchmark::State& state) {
    const GeneratedPair& pair = PairOfMaps(state.range(0));
    Workspace().Load(pair.input, pair.output);
    for (auto _ : state) {
        Workspace workspace;
        workspace.Load(pair.input, pair.output);
        if (workspace.Maps().size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the generated pair did not give every map");
        }
        benchmark::DoNotOptimize(workspace.Maps().data());
    }
    state.counters["files_MB"] = pair.megabytes;
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

void LoadPeakMemory(benchmark::State& state) {
    const GeneratedPair& pair = LargePair();
    long baseline = 0;
    long peak = 0;
    for (auto _ : state) {
        baseline = ChildPeakKilobytes([] {});
        peak = ChildPeakKilobytes([&] {
            Workspace workspace;
            workspace.Load(pair.input, pair.output);
        });
    }
    state.counters["files_MB"] = pair.megabytes;
    state.counters["baseline_MB"] = Megabytes(baseline);
    state.counters["peak_MB"] = Megabytes(peak);
    state.counters["load_MB"] = Megabytes(peak - baseline);
}

// Starts the program with the arguments and waits; gives its peak memory.
long RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = KARVELLO_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("karvello draw failed");
    }
    return usage.ru_maxrss;
}

void DrawProcess(benchmark::State& state, const GeneratedPair& (*pairOf)()) {
    const GeneratedPair& pair = pairOf();
    const std::string emf = (std::filesystem::path(pair.input).parent_path() / "maps.emf").string();
    long peak = 0;
    for (auto _ : state) {
        peak = RunProgram({"draw", pair.input, pair.output, "-o", emf});
    }
    state.counters["files_MB"] = pair.megabytes;
    state.counters["peak_MB"] = Megabytes(peak);
    state.counters["emf_MB"] = static_cast<double>(std::filesystem::file_size(emf)) / 1e6;
}

void FloorLongMap(benchmark::State& state) {
    const GeneratedPair& pair = LongMapPair();
    ReadAndSplit(pair);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAndSplit(pair));
    }
}

} // namespace

// 1,250 to 5,000 maps (50,000 to 200,000 markers), to show the time grows
// in step with the size of the files.
BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->Arg(1250)->Arg(2500)->Arg(5000);
BENCHMARK(Load)->Unit(benchmark::kMillisecond)->Arg(1250)->Arg(2500)->Arg(5000);
BENCHMARK(LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(DrawProcess, AllMaps200k, &LargePair)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(FloorLongMap)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawProcess, OneMap5000, &LongMapPair)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The pairs are written before any timing starts, and flushed to disk, so
// that no benchmark pays for another's writing.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (long maps : {1250L, 2500L, 5000L}) {
        PairOfMaps(maps);
    }
    LongMapPair();
    sync();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& folder : GeneratedFolders()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    return 0;
}
