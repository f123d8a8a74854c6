// Records a run for the toolpath window on the run's own thread: every move
// into the compact store and, in a converting run, into the check of the
// conversion; after the run, the written program is read back for the
// deviations of its straight moves. The finished record is handed over whole.
#pragma once

#include <memory>

#include "conversion_check.h"
#include "run_result.h"
#include "toolpath_run.h"

namespace drennix::toolpath {

class ToolpathRecorder {
public:
    // `settings` must outlive the recorder.
    ToolpathRecorder(const Settings& settings, const RunOptions& options);

    // Kept in the header: the run's listener calls it for every move.
    void record(const Move& move)
    {
        run_->moves.record(move);
        if (move.converted()) check_.noteMove(move);
    }
    // In a run that estimates: each move again, with its planned speeds.
    void recordPlanned(const PlannedMove& move);
    // After the run: a conversion that published its program is checked
    // against the written file. Returns the record; the recorder is spent.
    std::shared_ptr<ToolpathRun> finish(const RunResult& result);

private:
    std::shared_ptr<ToolpathRun> run_;
    ConversionCheck check_;
};

}  // namespace drennix::toolpath
