// One run from the Execute button to its end. The driver alone holds what
// changes during a run: it reads the source line by line and hands each line
// down the pipeline (parse → interpret → statistics, absolute rows,
// conversion, listeners), then ends the run in one place, which tells the
// listener how it ended and returns the same as a RunResult.
#pragma once

#include <string_view>

#include "output_store.h"
#include "run_listener.h"
#include "run_options.h"
#include "run_result.h"
#include "vocabulary.h"

namespace drennix {

class RunDriver {
public:
    explicit RunDriver(const Settings& settings) : settings_(settings) {}

    // Performs one run; the user learns its outcome through `listener` and,
    // in a converting run, from the output file.
    RunResult execute(const RunOptions& options, RunListener& listener);

    // The same run reading `source` from memory instead of the file named in
    // the options, and putting a new program into `output` instead of a file
    // (for hosts that check runs without files).
    RunResult execute(const RunOptions& options, RunListener& listener, std::string_view source, OutputStore& output);

private:
    const Settings& settings_;
};

}  // namespace drennix
