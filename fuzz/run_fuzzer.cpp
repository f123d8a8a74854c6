// The fuzzing entry point: one whole run per input, on memory media, and the
// checks of run_check.h after it. A failed check prints what failed and the
// case, then aborts, so that the fuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "run_check.h"

namespace {

// The source as printable text: bytes outside ASCII and controls as \xHH,
// the line ends as \r and \n; at most `limit` bytes.
std::string printable(std::string_view source, std::size_t limit)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < source.size() && i < limit; ++i) {
        const auto byte = static_cast<unsigned char>(source[i]);
        if (byte == '\n') {
            text += "\\n\n";
        } else if (byte == '\r') {
            text += "\\r";
        } else if (byte == '\\') {
            text += "\\\\";
        } else if (byte < 0x20 || byte > 0x7E) {
            text += "\\x";
            text += digits[byte >> 4];
            text += digits[byte & 15];
        } else {
            text += static_cast<char>(byte);
        }
    }
    if (source.size() > limit) {
        text += "\n... (" + std::to_string(source.size() - limit) + " more bytes)";
    }
    return text;
}

[[noreturn]] void fail(const drennix::fuzzing::FuzzCase& fuzzCase, const std::string& problem)
{
    std::fprintf(stderr,
                 "\n==== drennix run check failed: %s\n"
                 "==== mode %s, tolerance %g, decimal places %d, source of %zu bytes:\n%s\n====\n",
                 problem.c_str(), std::string(drennix::fuzzing::modeName(fuzzCase.mode)).c_str(), fuzzCase.tolerance,
                 fuzzCase.decimals, fuzzCase.source.size(), printable(fuzzCase.source, 2048).c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fuzzCase = drennix::fuzzing::decodeInput(data, size);
    if (!fuzzCase) {
        return 0;
    }
    if (const std::string problem = drennix::fuzzing::checkCase(*fuzzCase); !problem.empty()) {
        fail(*fuzzCase, problem);
    }
    return 0;
}
