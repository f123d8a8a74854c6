// The JSON report of one run: messages, result fields, absolute display rows
// and the created output file. Every string in it is valid UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include "cli_host.h"
#include "run_driver.h"

namespace drennix::cli {

// Keys in a fixed order: messages, fields (in the order of the main window's
// report), rows (absolute mode only, else empty), output (path or null),
// verification (the check of the written program, or null). With
// `withEstimate`, "estimate" follows: {seconds, rapidSeconds,
// cuttingSeconds} in seconds, or null when the run did not finish. With
// `withTools` (tool changes are read), "tools" comes last: one object per
// row of the figures per tool, in raw numbers, or null when the run did not
// finish.
nlohmann::ordered_json buildJsonReport(const RunRecord& record, RunMode mode, bool withEstimate = false,
                                       bool withTools = false);

std::string renderJsonReport(const RunRecord& record, RunMode mode, bool withEstimate = false, bool withTools = false);

}  // namespace drennix::cli
