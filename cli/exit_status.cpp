#include "exit_status.h"

namespace drennix::cli {

int exitStatusFor(const RunResult& result, bool interrupted)
{
    if (interrupted || result.outcome == RunOutcome::Stopped) return exitInterrupted;
    return result.finished() ? exitFinished : exitWarning;
}

}  // namespace drennix::cli
