// A seeded source of random numbers whose sequence is the same with every
// standard library: the raw output of std::mt19937_64 is fixed by the C++
// standard, and the conversions below are our own (the standard distributions
// are not, so they are not used).
#pragma once

#include <cstdint>
#include <random>

namespace drennix::bench {

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, 1), from the top 53 bits of one draw.
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

    // Uniform in [low, high).
    double uniform(double low, double high) { return low + (high - low) * unit(); }

    // Uniform integer in [0, count).
    int below(int count) { return static_cast<int>(unit() * count); }

    // True with probability `p`.
    bool chance(double p) { return unit() < p; }

private:
    std::mt19937_64 engine_;
};

}  // namespace drennix::bench
