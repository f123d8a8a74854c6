// Motion evaluation: moving the tool position to a block's target, the
// extents of the program, the rapid path model and the end-of-block
// accounting of distances and machining time.
#pragma once

#include <optional>

#include "block.h"

namespace drennix {

struct RunStatistics {
    double rapidDistance = 0;
    double cuttingDistance = 0;
    double machiningTime = 0;
    Point3 minimum{};
    Point3 maximum{};
    int arcCount = 0;
    int helicalCount = 0;
    double radiusDifference = 0;
    double maxRadius = 0;

    // Every figure 0; the extents at the initial position.
    static RunStatistics startingAt(const Point3& initialPosition);
};

// Moves the position to the block's target and turns the word values into the
// absolute travel per axis; then widens the extents.
void advancePosition(NcBlock& block, ModalState& state, RunStatistics& statistics);

// The same position update, leaving the word values untouched.
void assignPosition(const NcBlock& block, ModalState& state, RunStatistics& statistics);

// Strict comparisons: a position equal to an extent changes nothing.
void widenExtents(const ModalState& state, RunStatistics& statistics);

// The path length of a rapid move with non-negative travel dX, dY, dZ: a
// three-axis diagonal, then a two-axis diagonal, then a straight run. Nothing
// when no stage applies while a travel is left.
std::optional<double> rapidPathLength(double dX, double dY, double dZ);

// The straight length of a cutting move: (dX² + dY² + dZ²)^0.5.
double straightLength(double dX, double dY, double dZ);

// Adds the block's distance and time to the run's totals.
void closeBlock(const NcBlock& block, const ModalState& state, int rapidSpeed, RunStatistics& statistics);

}  // namespace drennix
