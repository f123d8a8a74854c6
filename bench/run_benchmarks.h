// Whole runs of the engine over one program file, in each run mode, with a
// host that shows nothing: the reading, checking and arithmetic of a run, and
// in the converting modes the writing of the new program.
#pragma once

#include <filesystem>

namespace drennix::bench {

void registerRunBenchmarks(const std::filesystem::path& program);

}  // namespace drennix::bench
