// The JSON report of one run: messages, result fields, absolute display rows
// and the created output file. Every string in it is valid UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include "cli_host.h"
#include "run_driver.h"

namespace drennix::cli {

// Keys in a fixed order: messages, fields (in the order of the main window's
// report), rows (absolute mode only, else empty), output (path or null),
// verification (the check of the written program, or null).
nlohmann::ordered_json buildJsonReport(const RunRecord& record, RunMode mode);

std::string renderJsonReport(const RunRecord& record, RunMode mode);

}  // namespace drennix::cli
