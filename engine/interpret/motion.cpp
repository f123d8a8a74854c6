#include "motion.h"

#include <cmath>

#include "numerics.h"

namespace drennix {

namespace {

// One stage of the rapid model: the first rule that applies consumes one
// travel and returns the length it adds; false when none applies.
bool consumeRapidStage(double& dX, double& dY, double& dZ, double& added)
{
    if (dX > 0 && dX <= dY && dX <= dZ) {
        added = squareRoot(3 * square(dX));
        dY -= dX;
        dZ -= dX;
        dX = 0;
        return true;
    }
    if (dY > 0 && dY <= dX && dY <= dZ) {
        added = squareRoot(3 * square(dY));
        dX -= dY;
        dZ -= dY;
        dY = 0;
        return true;
    }
    if (dZ > 0 && dZ <= dX && dZ <= dY) {
        added = squareRoot(3 * square(dZ));
        dX -= dZ;
        dY -= dZ;
        dZ = 0;
        return true;
    }
    if (dX > 0 && dX <= dY) {
        added = squareRoot(square(dX) + square(dX));
        dY -= dX;
        dX = 0;
        return true;
    }
    if (dX > 0 && dX <= dZ) {
        added = squareRoot(square(dX) + square(dX));
        dZ -= dX;
        dX = 0;
        return true;
    }
    if (dY > 0 && dY <= dX) {
        added = squareRoot(square(dY) + square(dY));
        dX -= dY;
        dY = 0;
        return true;
    }
    if (dY > 0 && dY <= dZ) {
        added = squareRoot(square(dY) + square(dY));
        dZ -= dY;
        dY = 0;
        return true;
    }
    if (dZ > 0 && dZ <= dX) {
        added = squareRoot(square(dZ) + square(dZ));
        dX -= dZ;
        dZ = 0;
        return true;
    }
    if (dZ > 0 && dZ <= dY) {
        added = squareRoot(square(dZ) + square(dZ));
        dY -= dZ;
        dZ = 0;
        return true;
    }
    if (dX > 0) {
        added = dX;
        dX = 0;
        return true;
    }
    if (dY > 0) {
        added = dY;
        dY = 0;
        return true;
    }
    if (dZ > 0) {
        added = dZ;
        dZ = 0;
        return true;
    }
    return false;
}

}  // namespace

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

}  // namespace drennix
