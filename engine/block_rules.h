// Block classification and checks: G-code numbers against the configured
// codes, the modal state, the rules that reject a block, the motion
// re-insertion state and the dispatch to coordinate set, value set, straight
// moves and arcs.
#pragma once

#include <string_view>

#include "block.h"

namespace drennix {

struct RunState;

// The modal state at the start of a run, from the settings and the initial
// position.
ModalState startRun(const ProcessSettings& process, const Point3& initialPosition);

// Clears the block record before a line's words are read; arms the motion
// re-insertion when the previous block was converted.
void resetBlock(RunState& state);

// Counts a G word in its command group and applies its modal change at once;
// a number that matches no configured code is ignored.
void classifyGCode(RunState& state, double value);

// Common checks, motion re-insertion update and dispatch of a block with code;
// 1 when the block was rejected.
int interpretBlock(RunState& state, std::string_view codeText, std::string_view commentText);

}  // namespace drennix
