#include "machine_model.h"

namespace drennix::bench {

PlaneAxes planeAxes(Plane plane)
{
    switch (plane) {
    case Plane::ZX: return {2, 0, 1};
    case Plane::YZ: return {1, 2, 0};
    case Plane::XY: break;
    }
    return {0, 1, 2};
}

AxisMove::AxisMove(const MachineState& state, NumberStyle style) : state_(state), style_(style), target_(state.position)
{}

void AxisMove::moveTo(int axis, double target)
{
    const double from = state_.position[axis];
    const long long word = toThousandths(state_.incremental ? target - from : target);
    words_[axis] = word;
    const double value = wordValue(word, style_);
    target_[axis] = state_.incremental ? from + value : value;
}

void AxisMove::commit(MachineState& state) const
{
    state.position = target_;
}

}  // namespace drennix::bench
