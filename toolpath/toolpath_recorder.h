// Records a run for the toolpath window on the run's own thread: every move
// into the compact store and, in a converting run, into the check of the
// conversion, which reads the written program beside the run for the
// deviations of its straight moves. The finished record is handed over whole.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "check_alongside.h"
#include "run_result.h"
#include "toolpath_run.h"

namespace drennix::toolpath {

class ToolpathRecorder {
public:
    // `settings` must outlive the recorder.
    ToolpathRecorder(const Settings& settings, const RunOptions& options);

    // Kept in the header: the run's listener calls it for every move.
    void record(const Move& move) { run_->moves.record(move); }
    // A converting run's arc, before the bytes of its cuts, for the check.
    void recordConverting(const Move& arc)
    {
        if (!check_) return;
        // The arc is the next move and the next circle the store gets.
        convertedArcs_.push_back(
            {static_cast<std::uint32_t>(run_->moves.moveCount()), static_cast<std::uint32_t>(run_->moves.arcCount())});
        check_->noteArc(arc);
    }
    void recordExpanding(const CyclePlan& cycle)
    {
        if (check_) check_->noteCycle(cycle);
    }
    // A converting run's written bytes, for the check.
    void recordWritten(std::string_view bytes, long long linesComplete)
    {
        if (check_) check_->written(bytes, linesComplete);
    }
    bool wantsWrittenBytes() const { return check_.has_value(); }
    // In a run that estimates: each move again, with its planned speeds.
    void recordPlanned(const PlannedMove& move);
    // After the run: the check of a conversion that published its program
    // ends. Returns the record; the recorder is spent.
    std::shared_ptr<ToolpathRun> finish(const RunResult& result);

private:
    std::shared_ptr<ToolpathRun> run_;
    // In a converting run; it fills the record's written path.
    std::optional<CheckAlongside> check_;
    // Where each converted arc is in the store, in order.
    WrittenPath::StoredArcs convertedArcs_;
};

}  // namespace drennix::toolpath
