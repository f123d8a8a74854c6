#include "toolpath_recorder.h"

namespace drennix::toolpath {

ToolpathRecorder::ToolpathRecorder(const Settings& settings, const RunOptions& options)
    : run_(std::make_shared<ToolpathRun>()), check_(settings, options)
{
    run_->moves = ToolpathStore(Point3{options.initialX, options.initialY, options.initialZ});
    run_->decimals = settings.process.decimalPlaces;
    run_->tolerance = options.tolerance;
    if (options.estimate) run_->speeds.emplace();
}

void ToolpathRecorder::recordPlanned(const PlannedMove& move)
{
    if (run_->speeds) run_->speeds->add(move);
}

std::shared_ptr<ToolpathRun> ToolpathRecorder::finish(const RunResult& result)
{
    if (result.outcome == RunOutcome::Converted && result.outputPath) {
        run_->written.emplace(run_->tolerance);
        run_->verification = check_.verifyFile(*result.outputPath, &*run_->written);
    }
    return std::move(run_);
}

}  // namespace drennix::toolpath
