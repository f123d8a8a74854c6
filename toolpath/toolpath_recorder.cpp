#include "toolpath_recorder.h"

namespace drennix::toolpath {

ToolpathRecorder::ToolpathRecorder(const Settings& settings, const RunOptions& options)
    : run_(std::make_shared<ToolpathRun>())
{
    run_->moves = ToolpathStore(Point3{options.initialX, options.initialY, options.initialZ});
    run_->decimals = settings.process.decimalPlaces;
    run_->tolerance = options.tolerance;
    if (options.estimate) run_->speeds.emplace();
    if (isConverting(options.runMode)) {
        run_->written.emplace(run_->tolerance);
        check_.emplace(settings, options, &*run_->written);
    }
}

void ToolpathRecorder::recordPlanned(const PlannedMove& move)
{
    if (run_->speeds) run_->speeds->add(move);
}

std::shared_ptr<ToolpathRun> ToolpathRecorder::finish(const RunResult& result)
{
    if (check_ && result.outcome == RunOutcome::Converted && result.outputPath) {
        run_->verification = check_->finish();
        run_->written->attach(convertedArcs_);
    } else {
        if (check_) check_->abandon();
        run_->written.reset();
    }
    return std::move(run_);
}

}  // namespace drennix::toolpath
