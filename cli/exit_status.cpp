#include "exit_status.h"

namespace drennix::cli {

int exitStatusFor(const RunRecord& record, bool interrupted)
{
    if (interrupted)
        return exitInterrupted;
    if (!record.messages.empty() && record.messages.back().kind == MessageKind::Information)
        return exitFinished;
    return exitWarning;
}

}  // namespace drennix::cli
