// drennix-generate: writes a synthetic NC part program of a given size for the
// benchmarks.
//
//     drennix-generate --bytes 100000000 --seed 1 OUT
//
// The same size and seed give the same bytes. OUT must not exist yet: an
// existing file is never overwritten, and a file left incomplete by a failed
// write is removed.

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include <CLI/CLI.hpp>

#include "program_generator.h"

namespace {

int failWith(const std::string& path, const char* what, int error)
{
    std::fprintf(stderr, "drennix-generate: %s %s: %s\n", what, path.c_str(), std::strerror(error));
    return 1;
}

// Decimal digits only, so that "-5" is refused instead of wrapping round to an
// enormous byte count.
std::string checkWholeNumber(const std::string& text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() < '0' || text.front() > '9' || error != std::errc{} || stop != end) {
        return "must be a whole number, 0 or more";
    }
    return {};
}

int writeProgramFile(const drennix::bench::GeneratorOptions& options, const std::string& path)
{
    // "x": create the file, fail when it exists.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) return failWith(path, "cannot create", errno);

    int writeError = 0;
    const bool complete = drennix::bench::generateProgram(options, [&](std::string_view chunk) {
        if (std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size()) return true;
        writeError = errno;
        return false;
    });
    const bool closed = std::fclose(file) == 0;
    if (complete && closed) return 0;

    const int error = writeError != 0 ? writeError : errno;
    std::remove(path.c_str());
    return failWith(path, "cannot write", error);
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Writes a synthetic NC part program of an exact size for the benchmarks."};
    drennix::bench::GeneratorOptions options;
    std::string path;
    app.add_option("-b,--bytes", options.bytes, "size of the program in bytes")
        ->required()
        ->check(CLI::Validator(checkWholeNumber, "UINT"));
    app.add_option("-s,--seed", options.seed, "seed of the program's random choices")
        ->capture_default_str()
        ->check(CLI::Validator(checkWholeNumber, "UINT"));
    app.add_flag("--decimal-points", options.decimalPoints,
                 "write every coordinate with a decimal point (for readers without implied decimals)");
    app.add_option("OUT", path, "path of the new program (must not exist)")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version end normally; every other parse failure is a usage error.
        return app.exit(error) == 0 ? 0 : 2;
    }
    return writeProgramFile(options, path);
}
