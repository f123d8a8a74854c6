// drennix-bench: the engine's micro-benchmarks. A 10 MB program is generated
// into a scratch folder for the whole-run benchmarks and removed at the end.
// Google Benchmark's options apply (--benchmark_filter=NumberFormat, ...).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <fstream>

#include "number_format_benchmarks.h"
#include "program_generator.h"
#include "run_benchmarks.h"
#include "scratch_directory.h"
#include "verify_benchmarks.h"

namespace {

constexpr std::uint64_t programBytes = 10'000'000;

bool writeProgram(const std::filesystem::path& path)
{
    std::ofstream file(path, std::ios::binary);
    const bool complete = drennix::bench::generateProgram({programBytes, 1}, [&file](std::string_view chunk) {
        file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        return static_cast<bool>(file);
    });
    file.close();
    return complete && file;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    try {
        const drennix::testing::ScratchDirectory folder("drennix-bench-");
        const std::filesystem::path program = folder.path() / "program.nc";
        if (!writeProgram(program)) {
            std::fprintf(stderr, "drennix-bench: cannot write %s\n", program.c_str());
            return 1;
        }
        drennix::bench::registerNumberFormatBenchmarks();
        drennix::bench::registerRunBenchmarks(program);
        drennix::bench::registerVerifyBenchmarks();
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "drennix-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
