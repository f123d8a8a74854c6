// The inputs of one run, taken from the main window or the command line.
#pragma once

#include <string>

namespace drennix {

enum class RunMode : int {
    MachiningTime = 0,
    AbsoluteDisplay = 1,
    ConvertHelical = 2,
    ConvertArcs = 3,
};

inline bool isConverting(RunMode mode)
{
    return mode == RunMode::ConvertHelical || mode == RunMode::ConvertArcs;
}

struct RunOptions {
    std::string sourcePath;
    std::string suffix = "_con";
    double tolerance = 0.01;
    double initialX = 0;
    double initialY = 0;
    double initialZ = 0;
    RunMode runMode = RunMode::MachiningTime;
    // Also estimate the time the machine of the settings takes.
    bool estimate = false;
};

}  // namespace drennix
