#include "run_state.h"

namespace drennix {

RunState::RunState(const Settings& s, const RunOptions& o)
    : settings(s), options(o), addresses(s.vocabulary)
{
}

int RunState::reject(std::string_view lineText)
{
    rejection = composeLineMessage(block.lineNumber, lineText);
    return 1;
}

}  // namespace drennix
