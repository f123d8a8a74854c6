// One run from the Execute button to its end: input checks, the read loop with
// abort polling and progress, the stages of each line, the end of the input
// and the one clean-up for every way out.
#pragma once

#include <string>

#include "run_host.h"
#include "vocabulary.h"

namespace drennix {

enum class RunMode : int {
    MachiningTime = 0,
    AbsoluteDisplay = 1,
    ConvertHelical = 2,
    ConvertArcs = 3,
};

inline bool isConverting(RunMode mode) { return static_cast<int>(mode) >= 2; }

struct RunOptions {
    std::string sourcePath;
    std::string suffix = "_con";
    double tolerance = 0.01;
    double initialX = 0;
    double initialY = 0;
    double initialZ = 0;
    RunMode runMode = RunMode::MachiningTime;
};

// "元ﾌｧｲﾙの" + lineNumber + text.
std::string composeLineMessage(int lineNumber, std::string_view text);

class RunDriver {
public:
    explicit RunDriver(const Settings& settings) : settings_(settings) {}
    // Performs one run; the outcome reaches the user through `host` and, in a
    // converting run, as the output file.
    void execute(const RunOptions& options, RunHost& host);

private:
    const Settings& settings_;
};

}  // namespace drennix
