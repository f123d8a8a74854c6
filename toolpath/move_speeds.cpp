#include "move_speeds.h"

namespace drennix::toolpath {

std::uint8_t speedBand(double fraction)
{
    if (fraction >= 0.9) return 0;
    if (fraction >= 0.5) return 1;
    if (fraction >= 0.25) return 2;
    return 3;
}

void MoveSpeeds::add(const PlannedMove& move)
{
    // A move that goes nowhere has no speed of its own: it is not slow.
    const double fraction = move.speedLimit > 0 ? move.topSpeed / move.speedLimit : 1;
    bands_.push_back(speedBand(fraction));
}

}  // namespace drennix::toolpath
