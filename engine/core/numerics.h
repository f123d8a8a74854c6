// The arithmetic conventions of every figure: squares and square roots with
// the power function, degrees from radians with the program's pi, multiplied
// first and divided second.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "vocabulary.h"

namespace drennix {

// The figures are the power function's. Where its result is certain without
// calling it, it is not called: glibc's pow is within 0.54 ULP of the exact
// value, so when the exact value lies within 0.44 ULP of a double d, no other
// double is close enough and pow returns d. The exact error of x*x and of
// sqrt(v) is known from one fma; only the rare values near the middle
// between two doubles, and the edges (powers of two, tiny, huge, zero,
// negative and non-finite values), still take pow.
namespace power_shortcut {

#if defined(__GLIBC__)
inline constexpr bool available = true;
#else
inline constexpr bool available = false;
#endif

// One unit in the last place of a positive, normal `d` that is not a power of
// two; 0 for every other value, which sends it to pow.
inline double unitInLastPlace(double d)
{
    constexpr std::uint64_t exponentMask = 0x7ff0000000000000;
    constexpr std::uint64_t fractionMask = 0x000fffffffffffff;
    constexpr std::uint64_t fractionBits = std::uint64_t{52} << 52;
    const auto bits = std::bit_cast<std::uint64_t>(d);
    const std::uint64_t exponent = bits & exponentMask;
    // Above 2^-900 and below infinity, the sign bit clear, not 2^k.
    if ((bits >> 63) != 0 || exponent < (std::uint64_t{1023 - 900} << 52) || exponent == exponentMask ||
        (bits & fractionMask) == 0) {
        return 0;
    }
    return std::bit_cast<double>(exponent - fractionBits);
}

}  // namespace power_shortcut

// pow(v, 2), bit for bit.
inline double square(double v)
{
    if constexpr (power_shortcut::available) {
        const double product = v * v;
        const double unit = power_shortcut::unitInLastPlace(product);
        // The exact square is product + error.
        if (unit > 0 && std::fabs(std::fma(v, v, -product)) <= 0.4375 * unit) {
            return product;
        }
    }
    return std::pow(v, 2);
}

// pow(v, 0.5), bit for bit.
inline double squareRoot(double v)
{
    if constexpr (power_shortcut::available) {
        const double root = std::sqrt(v);
        const double unit = power_shortcut::unitInLastPlace(root);
        // v - root^2 exactly; the exact root lies residual / (2 root) away,
        // taken here within 0.4375 ULP as for the square.
        if (unit > 0 && std::fabs(std::fma(-root, root, v)) <= 0.875 * unit * root) {
            return root;
        }
        // A move that goes nowhere: pow(±0, 0.5) is +0 by C's rules for the
        // power function, where sqrt(-0) would be -0.
        if (v == 0) {
            return 0.0;
        }
    }
    return std::pow(v, 0.5);
}

// How far a recomputed arc end may lie from the programmed one: two units of
// the last printed decimal place, 2 · 10^-decimals. For the 0 to 9 places the
// settings allow, the doubles nearest to those figures: what glibc's
// correctly rounded pow gives, and the same on every platform (MinGW's pow
// is a few units of the last place off for some of them).
inline double recheckTolerance(int decimals)
{
    static constexpr std::array<double, 10> tolerances = {2.0, 0.2, 0.02, 2e-3, 2e-4, 2e-5, 2e-6, 2e-7, 2e-8, 2e-9};
    if (decimals >= 0 && decimals < 10) {
        return tolerances[static_cast<std::size_t>(decimals)];
    }
    return 2 * std::pow(10, -decimals);
}

inline double toDegrees(double radians)
{
    return radians * 180 / piConstant;
}

}  // namespace drennix
