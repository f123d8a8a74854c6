// A plain cut: the step of a block that holds axis words only (X, Y, Z; no
// feed, no other word the block records, none twice), perhaps with the
// linear motion's own code (the first cut of a converted arc, many straight
// lines of a source), under a linear motion with a feed. No rule can fault
// on it and it changes nothing but the position and the motion (to linear),
// so a reader that follows only where the tool goes (the check of a written
// program, whose lines are mostly such cuts) takes it without the
// interpreter. Each axis of the end is taken as targetPoint takes it, which
// is how advanceStraight takes it in interpretBlock, operation for
// operation, so it is the same bit for bit; every other block goes through
// interpretBlock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>

#include "modal_state.h"
#include "motion.h"
#include "parsed_block.h"

namespace drennix {

// Whether the `count` bytes from `bytes` (4 to 8 of them) are all 0: two
// overlapping four-byte loads instead of a test per byte, the same on any
// byte order.
template <std::size_t count>
bool allZero(const WordCount* bytes)
{
    static_assert(count >= sizeof(std::uint32_t) && count <= 2 * sizeof(std::uint32_t));
    std::uint32_t head = 0;
    std::uint32_t tail = 0;
    std::memcpy(&head, bytes, sizeof head);
    std::memcpy(&tail, bytes + count - sizeof tail, sizeof tail);
    return (head | tail) == 0;
}

// The block states nothing but axis words, and perhaps the linear motion's
// code, and the state cuts with a feed once the block applies.
inline bool isPlainCut(const ModalState& state, const ParsedBlock& block)
{
    if (!(state.feed > 0.0)) {
        return false;
    }
    if (block.blank || block.repeated() || block.programEnd || block.turnWords != 0 || block.dialectWords ||
        state.inCycle()) {
        return false;
    }
    // The motion group comes first; every other group must be empty. A
    // block without repeats counts at most one motion code.
    static_assert(static_cast<std::size_t>(CommandGroup::Motion) == 0);
    const bool linear = block.commandCounts[0] == 0 ? state.motion == Motion::Linear
                                                    : block.motion == Motion::Linear && block.cycle == CycleCode::None;
    // The centre words, R and F follow X, Y and Z.
    constexpr std::size_t firstOther = static_cast<std::size_t>(AddressKind::ArcI) - 1;
    constexpr std::size_t others = std::tuple_size_v<decltype(ParsedBlock::wordCounts)> - firstOther;
    return linear && allZero<commandGroupCount - 1>(block.commandCounts.data() + 1) &&
           allZero<others>(block.wordCounts.data() + firstOther);
}

// Moves `state` to the end of a plain cut, the block's target point, under
// the linear motion.
inline void movePlainCut(ModalState& state, const ParsedBlock& block)
{
    state.motion = Motion::Linear;
    state.position = targetPoint(block, state);
}

// Takes the block's step when it is a plain cut; false, with `state`
// untouched, when it needs the interpreter.
inline bool takePlainCut(ModalState& state, const ParsedBlock& block)
{
    if (!isPlainCut(state, block)) {
        return false;
    }
    movePlainCut(state, block);
    return true;
}

}  // namespace drennix
