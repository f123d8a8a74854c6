// The arithmetic conventions of every figure: squares and square roots with
// the power function, degrees from radians with the program's pi, multiplied
// first and divided second.
#pragma once

#include <cmath>

#include "vocabulary.h"

namespace drennix {

inline double square(double v)
{
    return std::pow(v, 2);
}

inline double squareRoot(double v)
{
    return std::pow(v, 0.5);
}

// How far a recomputed arc end may lie from the programmed one: two units of
// the last printed decimal place.
inline double recheckTolerance(int decimals)
{
    return 2 * std::pow(10, -decimals);
}

inline double toDegrees(double radians)
{
    return radians * 180 / piConstant;
}

}  // namespace drennix
