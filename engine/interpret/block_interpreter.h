// The interpret stage, the modal state machine: the state before a block and
// its ParsedBlock in; the state after it, what kind of block it was and its
// Move (a canned cycle's plan of many), or a fault, out. Duplicate commands and words and impossible word
// combinations are faults; then exactly one branch runs: coordinate set,
// value set, or the move of the modal motion.
#pragma once

#include <cstdint>

#include "canned_cycle.h"
#include "coordinate_frame.h"
#include "fault.h"
#include "modal_state.h"
#include "move.h"
#include "parsed_block.h"
#include "tool_change.h"

namespace drennix {

enum class BlockKind : std::uint8_t {
    Nothing,        // no move: an arc block without centre, radius or axis words
    CoordinateSet,  // the position is declared without a move
    ValueSet,       // a setting value; nothing moves
    Motion,         // a move; see Step::move
    Cycle,          // a canned cycle's holes, many moves; see Step::cycle
    Dwell,          // the tool stands for Step::dwell seconds; nothing moves
    Path,           // a reference return or a move in machine coordinates; see Step::path
};

struct Step {
    Fault fault;
    BlockKind kind = BlockKind::Nothing;
    // The state after the block. After an arc it stands at the arc's end; a
    // conversion that replaces the arc moves it to where its lines end.
    ModalState modal;
    Move move;
    // A canned cycle's block: its holes, whose moves expandCycle hands on
    // one at a time.
    CyclePlan cycle;
    // A dwell block's seconds.
    double dwell = 0;
    // The moves of a G28, G30 or G53 block.
    MachinePath path;
    // The block changed the tool (M6) before its moves.
    bool toolChanged = false;
};

// Whether the length of a cutting move is worked out. A reader that follows
// only where the tool goes (the check of a written program) leaves it 0; a
// rapid move's length is always worked out, since a fault depends on it.
enum class CuttingLength : std::uint8_t { Measured, NotNeeded };

// Fills `step` (reused from line to line, so that a line copies no move;
// `before` may be the step's own state, which then becomes the state after);
// `decimals` sets the tolerance of the arc end checks; `line` is recorded in
// the move. On a fault the rest of the step means nothing.
// `cycles` (null: none) says how the canned cycles and the dwell are read;
// `frame` (null: none) how units, work offsets and machine moves are.
void interpretBlock(const ModalState& before, const ParsedBlock& block, int decimals, long long line, Step& step,
                    CuttingLength length = CuttingLength::Measured, const CycleSettings* cycles = nullptr,
                    const FrameSettings* frame = nullptr);

}  // namespace drennix
