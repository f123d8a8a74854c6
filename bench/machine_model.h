// What the reader of a program knows after each block: the modal state and the
// tool position. The position is computed with the reader's own arithmetic
// (word values, sums in incremental mode), so that a generated arc starts
// exactly where the reader believes the tool to be.
#pragma once

#include <array>
#include <optional>

#include "word_text.h"

namespace drennix::bench {

inline constexpr int axisCount = 3;
inline constexpr std::array<char, axisCount> axisLetters = {'X', 'Y', 'Z'};
// The centre offset word that belongs to each axis.
inline constexpr std::array<char, axisCount> offsetLetters = {'I', 'J', 'K'};

enum class Motion { Rapid = 0, Linear = 1, Clockwise = 2, CounterClockwise = 3 };
enum class Plane { XY = 17, ZX = 18, YZ = 19 };

// Axis indices (0 X, 1 Y, 2 Z) of a plane: angles run from `a` towards `b`;
// `normal` is the axis along which a helical arc travels.
struct PlaneAxes {
    int a;
    int b;
    int normal;
};
PlaneAxes planeAxes(Plane plane);

using Point = std::array<double, axisCount>;

struct MachineState {
    Point position{};
    Motion motion = Motion::Rapid;
    Plane plane = Plane::XY;
    bool incremental = false;
    bool compensated = false;
};

// The axis words of one move, planned against the state before the block;
// the state changes only on `commit`.
class AxisMove {
public:
    AxisMove(const MachineState& state, NumberStyle style);

    // Plans the word that takes `axis` as close to `target` as the word's
    // resolution allows.
    void moveTo(int axis, double target);
    bool has(int axis) const { return words_[axis].has_value(); }
    // Where the reader puts the tool on `axis` after the block.
    double target(int axis) const { return target_[axis]; }

    // The planned word of `axis` in whole thousandths (only when `has(axis)`).
    long long word(int axis) const { return *words_[axis]; }
    NumberStyle style() const { return style_; }
    void commit(MachineState& state) const;

private:
    const MachineState& state_;
    NumberStyle style_;
    std::array<std::optional<long long>, axisCount> words_;
    Point target_;
};

}  // namespace drennix::bench
