// The speeds the estimate planned for the moves of a run, for colouring the
// toolpath by where the machine slows down: each move's band of the speed it
// reaches as a fraction of the speed it may run at (its feed or rapid rate,
// as the axes and its curve limit them).
#pragma once

#include <cstdint>

#include "chunked_array.h"
#include "motion_planner.h"

namespace drennix::toolpath {

// The band of a move that reaches `fraction` of its speed: 0 from 90 %,
// 1 from a half, 2 from a quarter, 3 below.
std::uint8_t speedBand(double fraction);

class MoveSpeeds {
public:
    // The planned moves come in program order, one per recorded move.
    void add(const PlannedMove& move);

    std::size_t size() const { return bands_.size(); }
    const ChunkedArray<std::uint8_t>& bands() const { return bands_; }
    std::size_t memoryBytes() const { return bands_.bytesReserved(); }

private:
    ChunkedArray<std::uint8_t> bands_;
};

}  // namespace drennix::toolpath
