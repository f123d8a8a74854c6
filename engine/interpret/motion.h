// Straight motion: where a block takes the tool, the travel per axis, the
// rapid path model and the straight length of a cutting move.
#pragma once

#include <cmath>
#include <optional>

#include "modal_state.h"
#include "numerics.h"
#include "parsed_block.h"

namespace drennix {

// The block's end point: word values in absolute mode (the position where a
// word is missing), position + word values in incremental mode. Inline: the
// check takes it for every plain cut it reads.
inline Point3 targetPoint(const ParsedBlock& block, const ModalState& state)
{
    Point3 target{};
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (state.incremental()) {
            target[axis] = state.position[axis] + block.axisValue(axis);
        } else {
            target[axis] = block.hasAxis(axis) ? block.axisValue(axis) : state.position[axis];
        }
    }
    return target;
}

// Where the block takes the tool from the state's position, into `end`: in
// incremental mode every axis adds its word value (0 without a word); in
// absolute mode an axis with a word takes it. `travel` (without sign) is the
// word value, or in absolute mode the word value minus the old position.
// Written into the caller's move, which then copies no temporary; inline,
// as the straight length below, for the bulk of a program's blocks.
inline void advanceStraight(const ParsedBlock& block, const ModalState& state, Point3& end, Point3& travel)
{
    const bool incremental = state.incremental();
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        double position = state.position[axis];
        const double value = block.axisValue(axis);
        double distance = value;
        if (incremental) {
            position = position + value;
        } else if (block.hasAxis(axis)) {
            distance = value - position;
            position = value;
        }
        end[axis] = position;
        travel[axis] = std::fabs(distance);
    }
}

// The path length of a rapid move with non-negative travel dX, dY, dZ: a
// three-axis diagonal, then a two-axis diagonal, then a straight run. Nothing
// when no stage applies while a travel is left.
std::optional<double> rapidPathLength(double dX, double dY, double dZ);

// The straight length of a cutting move: (dX² + dY² + dZ²)^0.5.
inline double straightLength(double dX, double dY, double dZ)
{
    return squareRoot(square(dX) + square(dY) + square(dZ));
}

}  // namespace drennix
