// The tools of a machining centre, where the dialect reads them: T selects
// the next tool, M6 changes to it (in its block or a later one), H names the
// length offset that goes with it, S the spindle's speed.
#pragma once

#include "fault.h"
#include "modal_state.h"
#include "parsed_block.h"

namespace drennix {

// Applies the block's T, H and S words; a block with M6 puts the selected
// tool into the spindle (`changed`). A change before any T, and a T or H
// that is no whole number of 0 or more, are faults: a control alarms there.
Fault applyToolWords(const ParsedBlock& b, ModalState& m, bool& changed);

}  // namespace drennix
