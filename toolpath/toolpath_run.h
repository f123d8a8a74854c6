// What the toolpath window shows of one finished run: its moves and, after a
// conversion that wrote its program, the written straight moves read back
// with their deviations and the check's summary.
#pragma once

#include <optional>

#include "conversion_check.h"
#include "move_speeds.h"
#include "toolpath_store.h"
#include "written_path.h"

namespace drennix::toolpath {

struct ToolpathRun {
    ToolpathStore moves;
    std::optional<WrittenPath> written;
    std::optional<VerificationResult> verification;
    // After a run that estimated the machine's time: the band of each move's
    // speed.
    std::optional<MoveSpeeds> speeds;
    // The number format of the run, for the sizes and the scale.
    int decimals = 3;
    double tolerance = 0;
};

}  // namespace drennix::toolpath
