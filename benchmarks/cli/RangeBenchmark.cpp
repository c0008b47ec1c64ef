// Reading a --range argument against a table of 200,000 markers: two names,
// and an argument of many dashes, which has as many ways to split as dashes.

#include <benchmark/benchmark.h>

#include <string>

#include "base/Error.h"
#include "cli/Commands.h"

namespace karvello {
namespace {

const MarkerTable& LargeTable() {
    static const MarkerTable markers = [] {
        MarkerTable table(200000);
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i].Name = "M" + std::to_string(1000000 + i);
        }
        return table;
    }();
    return markers;
}

void TwoNames(benchmark::State& state) {
    const CliRange range{"M1000010-M1199990", 0xFF};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ResolveRange(range, LargeTable()));
    }
}
BENCHMARK(TwoNames)->Unit(benchmark::kMillisecond);

void Dashes(benchmark::State& state) {
    const CliRange range{std::string(static_cast<std::size_t>(state.range(0)), '-'), 0xFF};
    for (auto _ : state) {
        try {
            ResolveRange(range, LargeTable());
        } catch (const KarvelloError&) {
            // refused, as it must be: the time is the point
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(Dashes)->Arg(7500)->Arg(15000)->Arg(30000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace karvello

BENCHMARK_MAIN();
