// Replays inputs through the fuzzing entry point without a fuzzer, with any
// compiler: every regular file of the folders (and the files) named on the
// command line, in name order. A failed check aborts as it does under the
// fuzzer. `--repeat N` replays them N times; the report gives the whole runs
// per second of the wall clock and of the processor time (the figure that
// stays comparable on a busy machine). `--slowest N` lists the N inputs that
// took longest.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "run_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

struct Input {
    std::string name;
    std::vector<std::uint8_t> bytes;
    double seconds = 0;
};

bool readFile(const fs::path& path, std::vector<Input>& inputs)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    Input input{path.string(), {}};
    input.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    inputs.push_back(std::move(input));
    return true;
}

bool collect(const fs::path& path, std::vector<Input>& inputs)
{
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        return readFile(path, inputs);
    }
    if (!fs::is_directory(path, error)) {
        std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", path.string().c_str());
        return false;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        if (!readFile(file, inputs)) {
            return false;
        }
    }
    return true;
}

int usage()
{
    std::fprintf(stderr, "usage: drennix-fuzz-replay [--repeat N] [--slowest N] [--quiet] FOLDER_OR_FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    long repeat = 1;
    long slowest = 0;
    bool quiet = false;
    std::vector<Input> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--repeat") {
            if (i + 1 >= argc || (repeat = std::strtol(argv[++i], nullptr, 10)) < 1) {
                return usage();
            }
        } else if (arg == "--slowest") {
            if (i + 1 >= argc || (slowest = std::strtol(argv[++i], nullptr, 10)) < 1) {
                return usage();
            }
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg.starts_with("--")) {
            return usage();
        } else if (!collect(argv[i], inputs)) {
            return 1;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 1;
    }
    const auto begin = std::chrono::steady_clock::now();
    const std::clock_t cpuBegin = std::clock();
    const long long runsBefore = drennix::fuzzing::runCount();
    for (long pass = 0; pass < repeat; ++pass) {
        for (Input& input : inputs) {
            if (pass == 0 && !quiet) {
                std::fprintf(stderr, "replay: %s\n", input.name.c_str());
            }
            const auto start = std::chrono::steady_clock::now();
            LLVMFuzzerTestOneInput(input.bytes.data(), input.bytes.size());
            input.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const double cpu = static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC;
    const double calls = static_cast<double>(inputs.size()) * static_cast<double>(repeat);
    const auto runs = static_cast<double>(drennix::fuzzing::runCount() - runsBefore);
    const auto perSecond = [](double n, double s) { return s > 0 ? n / s : 0.0; };
    std::printf(
        "replay: %zu inputs, %.0f calls, %.0f whole runs in %.3f s (%.0f runs/s; %.0f runs per processor "
        "second, %.0f calls), every check held\n",
        inputs.size(), calls, runs, seconds, perSecond(runs, seconds), perSecond(runs, cpu), perSecond(calls, cpu));
    if (slowest > 0) {
        std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.seconds > b.seconds; });
        for (std::size_t i = 0; i < inputs.size() && i < static_cast<std::size_t>(slowest); ++i) {
            std::printf("  %9.3f ms  %s\n", 1000 * inputs[i].seconds / static_cast<double>(repeat),
                        inputs[i].name.c_str());
        }
    }
    return 0;
}
