// The source line of every move of a store, kept as runs of consecutive
// lines: a program gives most lines a move, so a run of thousands of moves
// costs eight bytes instead of four a move. Lines are appended in program
// order (never decreasing, as the moves of a run come).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chunked_array.h"

namespace drennix::toolpath {

class LineRuns {
public:
    void append(std::uint32_t line)
    {
        if (startsRun(line)) runs_.push_back({static_cast<std::uint32_t>(count_), line});
        last_ = line;
        ++count_;
    }
    // Whether append(line) needs no new block.
    bool hasRoomFor(std::uint32_t line) const { return runs_.hasRoom() || !startsRun(line); }
    // Appends where hasRoomFor(line) said there is room.
    void appendWithinBlock(std::uint32_t line)
    {
        if (startsRun(line)) runs_.appendWithinBlock({static_cast<std::uint32_t>(count_), line});
        last_ = line;
        ++count_;
    }

    std::size_t size() const { return count_; }
    std::uint32_t lineOf(std::size_t move) const;
    // The first move of line `line` or of a later line (size() if none).
    std::size_t firstMoveFrom(long long line) const;
    std::size_t bytesReserved() const { return runs_.bytesReserved(); }

private:
    struct Run {
        std::uint32_t move = 0;
        std::uint32_t line = 0;
    };

    bool startsRun(std::uint32_t line) const { return count_ == 0 || line != std::uint64_t{last_} + 1; }
    std::size_t movesIn(std::size_t run) const;

    // Blocks of one huge page (block_memory.h).
    ChunkedArray<Run, 18> runs_;
    std::size_t count_ = 0;
    std::uint32_t last_ = 0;
};

}  // namespace drennix::toolpath
