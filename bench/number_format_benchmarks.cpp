#include "number_format_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "number_format.h"
#include "random_source.h"

namespace drennix::bench {

namespace {

// Coordinates as a program holds them: mostly within +-500 with up to three
// decimals, a few with longer fractions (computed arc points).
std::vector<double> sampleCoordinates()
{
    RandomSource random(42);
    std::vector<double> values(4096);
    for (double& value : values) {
        const double raw = random.uniform(-500.0, 500.0);
        value = random.chance(0.7) ? static_cast<double>(static_cast<long long>(raw * 1000.0)) / 1000.0 : raw;
    }
    return values;
}

// Each benchmark walks the same samples; the index wraps with a mask.
constexpr std::size_t sampleMask = 4096 - 1;

void formatFixedReturningString(benchmark::State& state)
{
    const std::vector<double> values = sampleCoordinates();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = formatFixed(values[i++ & sampleMask], 3);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}

void appendFixedToLine(benchmark::State& state)
{
    const std::vector<double> values = sampleCoordinates();
    std::string line;
    line.reserve(64);
    std::size_t i = 0;
    for (auto _ : state) {
        line.clear();
        appendFixed(line, values[i++ & sampleMask], 3);
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations());
}

// The baseline: what the formatter replaces.
void snprintfIntoBuffer(benchmark::State& state)
{
    const std::vector<double> values = sampleCoordinates();
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        const int length = std::snprintf(buffer, sizeof buffer, "%.3f", values[i++ & sampleMask]);
        benchmark::DoNotOptimize(length);
        benchmark::DoNotOptimize(buffer);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

void registerNumberFormatBenchmarks()
{
    benchmark::RegisterBenchmark("NumberFormat/formatFixed", formatFixedReturningString);
    benchmark::RegisterBenchmark("NumberFormat/appendFixed", appendFixedToLine);
    benchmark::RegisterBenchmark("NumberFormat/snprintf_baseline", snprintfIntoBuffer);
}

}  // namespace drennix::bench
