#include "motion.h"

#include <cmath>

namespace drennix {

namespace {

double square(double v)
{
    return std::pow(v, 2);
}

double root(double v)
{
    return std::pow(v, 0.5);
}

// One stage of the rapid model: the first rule that applies consumes one
// travel and returns the length it adds; false when none applies.
bool consumeRapidStage(double& dX, double& dY, double& dZ, double& added)
{
    if (dX > 0 && dX <= dY && dX <= dZ) { added = root(3 * square(dX)); dY -= dX; dZ -= dX; dX = 0; return true; }
    if (dY > 0 && dY <= dX && dY <= dZ) { added = root(3 * square(dY)); dX -= dY; dZ -= dY; dY = 0; return true; }
    if (dZ > 0 && dZ <= dX && dZ <= dY) { added = root(3 * square(dZ)); dX -= dZ; dY -= dZ; dZ = 0; return true; }
    if (dX > 0 && dX <= dY) { added = root(square(dX) + square(dX)); dY -= dX; dX = 0; return true; }
    if (dX > 0 && dX <= dZ) { added = root(square(dX) + square(dX)); dZ -= dX; dX = 0; return true; }
    if (dY > 0 && dY <= dX) { added = root(square(dY) + square(dY)); dX -= dY; dY = 0; return true; }
    if (dY > 0 && dY <= dZ) { added = root(square(dY) + square(dY)); dZ -= dY; dY = 0; return true; }
    if (dZ > 0 && dZ <= dX) { added = root(square(dZ) + square(dZ)); dX -= dZ; dZ = 0; return true; }
    if (dZ > 0 && dZ <= dY) { added = root(square(dZ) + square(dZ)); dY -= dZ; dZ = 0; return true; }
    if (dX > 0) { added = dX; dX = 0; return true; }
    if (dY > 0) { added = dY; dY = 0; return true; }
    if (dZ > 0) { added = dZ; dZ = 0; return true; }
    return false;
}

void updatePosition(const NcBlock& block, ModalState& state, NcBlock* travel)
{
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        double& position = state.position[axis];
        const double value = block.axisValue(axis);
        if (state.coordinateMode == IncrementalMode) {
            position = position + value;
        } else if (block.hasAxis(axis)) {
            if (travel != nullptr) {
                travel->axisValue(axis) = value - position;
            }
            position = value;
        }
    }
}

}  // namespace

RunStatistics RunStatistics::startingAt(const Point3& initialPosition)
{
    RunStatistics s;
    s.minimum = initialPosition;
    s.maximum = initialPosition;
    return s;
}

void advancePosition(NcBlock& block, ModalState& state, RunStatistics& statistics)
{
    updatePosition(block, state, &block);
    block.x = std::fabs(block.x);
    block.y = std::fabs(block.y);
    block.z = std::fabs(block.z);
    widenExtents(state, statistics);
}

void assignPosition(const NcBlock& block, ModalState& state, RunStatistics& statistics)
{
    updatePosition(block, state, nullptr);
    widenExtents(state, statistics);
}

void widenExtents(const ModalState& state, RunStatistics& statistics)
{
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        const double p = state.position[axis];
        if (p < statistics.minimum[axis]) {
            statistics.minimum[axis] = p;
        }
        if (p > statistics.maximum[axis]) {
            statistics.maximum[axis] = p;
        }
    }
}

std::optional<double> rapidPathLength(double dX, double dY, double dZ)
{
    double length = 0;
    while (!(dX <= 0 && dY <= 0 && dZ <= 0)) {
        double added = 0;
        if (!consumeRapidStage(dX, dY, dZ, added)) {
            return std::nullopt;
        }
        length = length + added;
    }
    return length;
}

double straightLength(double dX, double dY, double dZ)
{
    return root(square(dX) + square(dY) + square(dZ));
}

void closeBlock(const NcBlock& block, const ModalState& state, int rapidSpeed, RunStatistics& statistics)
{
    switch (block.blockMotionKind) {
    case BlockMotionKind::Cutting:
        statistics.machiningTime += block.blockDistance / state.feed;
        statistics.cuttingDistance += block.blockDistance;
        break;
    case BlockMotionKind::Rapid:
        statistics.machiningTime += block.blockDistance / rapidSpeed;
        statistics.rapidDistance += block.blockDistance;
        break;
    case BlockMotionKind::None:
        break;
    }
}

}  // namespace drennix
