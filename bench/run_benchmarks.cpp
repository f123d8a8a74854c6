#include "run_benchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <system_error>

#include "block_stream.h"
#include "null_run_host.h"
#include "run_driver.h"
#include "source_reader.h"
#include "vocabulary.h"

namespace drennix::bench {

namespace {

struct ModeCase {
    const char* name;
    RunMode mode;
};

constexpr ModeCase modeCases[] = {
    {"Run/time", RunMode::MachiningTime},
    {"Run/absolute", RunMode::AbsoluteDisplay},
    {"Run/helical", RunMode::ConvertHelical},
    {"Run/arcs", RunMode::ConvertArcs},
};

// A run never overwrites: the file a converting run created is removed
// (outside the timing) before the next run.
void removeOutput(benchmark::State& state, const NullRunHost& host, double& outputBytes)
{
    if (host.outputPath().empty()) return;
    state.PauseTiming();
    std::error_code error;
    outputBytes += static_cast<double>(std::filesystem::file_size(host.outputPath(), error));
    std::filesystem::remove(host.outputPath(), error);
    state.ResumeTiming();
}

// The size of the program and its number of lines as the reader counts them
// (a final line end is followed by one more, empty line).
struct ProgramSize {
    std::int64_t bytes = 0;
    std::int64_t lines = 1;
};

ProgramSize measureProgram(const std::filesystem::path& program)
{
    ProgramSize size;
    std::ifstream file(program, std::ios::binary);
    char buffer[1 << 16];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        const std::streamsize count = file.gcount();
        size.bytes += count;
        size.lines += std::count(buffer, buffer + count, '\n');
    }
    return size;
}

void runProgram(benchmark::State& state, const std::filesystem::path& program, ProgramSize size, RunMode mode)
{
    Settings settings;
    resetToDefaults(settings);
    RunDriver driver(settings);
    RunOptions options;
    options.sourcePath = program.string();
    options.runMode = mode;

    double outputBytes = 0;
    for (auto _ : state) {
        NullRunHost host;
        driver.execute(options, host);
        removeOutput(state, host, outputBytes);
        if (!host.endedWell()) {
            state.SkipWithError(host.lastMessage().c_str());
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * size.bytes);
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * size.lines), benchmark::Counter::kIsRate);
    if (isConverting(mode)) {
        state.counters["output/s"] =
            benchmark::Counter(outputBytes, benchmark::Counter::kIsRate, benchmark::Counter::kIs1024);
    }
}

// The read stage alone on the caller's thread: every line read and parsed,
// the part of a run that the stream's thread takes off the driver.
void readProgram(benchmark::State& state, const std::filesystem::path& program, ProgramSize size)
{
    Settings settings;
    resetToDefaults(settings);
    std::int64_t lines = 0;
    for (auto _ : state) {
        SourceReader reader;
        if (reader.open(program.string()) != SourceReader::OpenResult::Opened) {
            state.SkipWithError("the program could not be opened");
            break;
        }
        BlockStream stream(reader, settings, BlockStream::Options{.concurrent = false});
        while (!stream.atEnd()) {
            benchmark::DoNotOptimize(stream.next().block.values);
            ++lines;
        }
    }
    if (lines != state.iterations() * size.lines) {
        state.SkipWithError("the stream did not hand on every line");
    }
    state.SetBytesProcessed(state.iterations() * size.bytes);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}

}  // namespace

void registerRunBenchmarks(const std::filesystem::path& program)
{
    const ProgramSize size = measureProgram(program);
    for (const ModeCase& mode : modeCases) {
        benchmark::RegisterBenchmark(mode.name, runProgram, program, size, mode.mode)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
    }
    benchmark::RegisterBenchmark("Read/lines", readProgram, program, size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(1.0);
}

}  // namespace drennix::bench
