// The exit statuses of drennix-cli.
#pragma once

#include "cli_host.h"

namespace drennix::cli {

inline constexpr int exitFinished = 0;     // the run's last message is an Information message
inline constexpr int exitWarning = 1;      // the run ended on a Warning (or showed nothing)
inline constexpr int exitUsage = 2;        // usage error or invalid settings
inline constexpr int exitInterrupted = 130;

int exitStatusFor(const RunRecord& record, bool interrupted);

}  // namespace drennix::cli
