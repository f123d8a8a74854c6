// Straight motion: where a block takes the tool, the travel per axis, the
// rapid path model and the straight length of a cutting move.
#pragma once

#include <optional>

#include "modal_state.h"
#include "parsed_block.h"

namespace drennix {

// The block's end point: word values in absolute mode (the position where a
// word is missing), position + word values in incremental mode.
Point3 targetPoint(const ParsedBlock& block, const ModalState& state);

struct StraightAdvance {
    Point3 position{};
    Point3 travel{};  // without sign
};

// Moves the position to the block's target: in incremental mode every axis
// adds its word value (0 without a word); in absolute mode an axis with a
// word takes it. The travel is the word value, or in absolute mode the word
// value minus the old position.
StraightAdvance advanceStraight(const ParsedBlock& block, const ModalState& state);

// The path length of a rapid move with non-negative travel dX, dY, dZ: a
// three-axis diagonal, then a two-axis diagonal, then a straight run. Nothing
// when no stage applies while a travel is left.
std::optional<double> rapidPathLength(double dX, double dY, double dZ);

// The straight length of a cutting move: (dX² + dY² + dZ²)^0.5.
double straightLength(double dX, double dY, double dZ);

}  // namespace drennix
