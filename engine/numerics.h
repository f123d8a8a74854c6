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

inline double toDegrees(double radians)
{
    return radians * 180 / piConstant;
}

}  // namespace drennix
