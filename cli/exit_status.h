// The exit statuses of drennix-cli.
#pragma once

#include "run_result.h"

namespace drennix::cli {

inline constexpr int exitFinished = 0;  // the run finished (calculated, converted, nothing to convert)
inline constexpr int exitWarning = 1;   // the run ended on a fault
inline constexpr int exitUsage = 2;     // usage error or invalid settings
inline constexpr int exitInterrupted = 130;

int exitStatusFor(const RunResult& result, bool interrupted);

}  // namespace drennix::cli
