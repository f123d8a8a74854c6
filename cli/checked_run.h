// One run of the engine as drennix-cli makes it: a converting run's written
// program is checked beside it, as it goes to its file.
#pragma once

#include <string>

#include "check_alongside.h"
#include "cli_host.h"
#include "options.h"

namespace drennix::cli {

struct CheckedRun {
    RunResult result;
    // The written program could not be checked: the line where its reading
    // stopped (0 where there is nothing to say).
    bool checkFailed = false;
    long long uncheckedLine = 0;
};

// Runs `request` with `host` listening; the check's figures go to the host's
// record. `check` hears the written bytes (the caller may add listeners of
// its own to `host` before).
CheckedRun runChecked(const CliRequest& request, CliHost& host, CheckAlongside& check);

// The line drennix-cli writes on standard error when a written program could
// not be checked.
std::string uncheckedProgramLine(const std::string& outputPath, long long line);

}  // namespace drennix::cli
