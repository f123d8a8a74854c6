// Writes a synthetic NC part program of an exact size in bytes, in chunks, so
// that programs far larger than memory can be written. The same seed gives the
// same bytes wherever the C library's sin and cos give the same results (the
// random sequence itself is fixed by the C++ standard). The lines come from BlockGenerator; the program ends with M30
// and a comment that pads it to the requested size.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace drennix::bench {

struct GeneratorOptions {
    std::uint64_t bytes = 0;
    std::uint64_t seed = 1;
    // Every coordinate with a decimal point.
    bool decimalPoints = false;
};

// Receives the program piece by piece; returns false to stop (a write failed).
using ChunkSink = std::function<bool(std::string_view chunk)>;

// Returns false when the sink refused a chunk.
bool generateProgram(const GeneratorOptions& options, const ChunkSink& sink);

// The whole program in memory.
std::string generateProgramText(const GeneratorOptions& options);

}  // namespace drennix::bench
