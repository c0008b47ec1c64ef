// The whole `karvello draw ... -o FILE.emf` process, started with
// posix_spawn and waited for, on generated Mapmaker pairs: every map of the
// large pair (200,000 markers in 5,000 maps, 250 genotypes a marker), one
// map of 5,000 markers, and the real oat consensus map (a map table of
// 16,668 markers in 21 groups, whose names listed twice are warned of on
// standard error, which goes nowhere here). The counter peak_MB is the
// process's peak resident memory.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "benchmarks/pairs/GeneratedPair.h"

extern char** environ;

namespace {

using karvello::bench::GeneratedPair;

std::filesystem::path BenchFolder() {
    return std::filesystem::temp_directory_path() / "karvello-draw-benchmark";
}

const GeneratedPair& LargePair() {
    static const GeneratedPair pair =
        karvello::bench::WritePair(BenchFolder() / "large", karvello::bench::kLargeShape);
    return pair;
}

const GeneratedPair& LongMapPair() {
    static const GeneratedPair pair =
        karvello::bench::WritePair(BenchFolder() / "longmap", {1, 5000, 0, 46});
    return pair;
}

// Starts the program with the arguments and waits; gives its peak memory in
// kilobytes.
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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
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
    const std::string emf = (std::filesystem::path(pair.Input).parent_path() / "maps.emf").string();
    long peak = 0;
    for (auto _ : state) {
        peak = RunProgram({"draw", pair.Input, pair.Output, "-o", emf});
    }
    state.counters["files_MB"] = pair.Megabytes();
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    state.counters["emf_MB"] = static_cast<double>(std::filesystem::file_size(emf)) / 1e6;
}

void OatMap(benchmark::State& state) {
    const std::string emf = (BenchFolder() / "oat.emf").string();
    long peak = 0;
    for (auto _ : state) {
        peak = RunProgram({"draw", KARVELLO_OAT_MAP, "-o", emf});
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    state.counters["emf_MB"] = static_cast<double>(std::filesystem::file_size(emf)) / 1e6;
}

} // namespace

BENCHMARK(OatMap)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(DrawProcess, AllMaps200k, &LargePair)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(DrawProcess, OneMap5000, &LongMapPair)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The pairs are written, and flushed to disk, before any timing starts.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    LargePair();
    LongMapPair();
    sync();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BenchFolder(), ignored);
    return 0;
}
