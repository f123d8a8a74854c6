#include "tool_change.h"

#include <cmath>

namespace drennix {

namespace {

// A tool or offset number: a whole number from 0 up, in an int.
bool isToolNumber(double value)
{
    return value >= 0 && value <= 1e9 && value == std::floor(value);
}

}  // namespace

Fault applyToolWords(const ParsedBlock& b, ModalState& m, bool& changed)
{
    changed = false;
    ToolState& tool = m.tool;
    if (b.toolWords > 0) {
        if (!isToolNumber(b.tool)) return Fault{FaultId::ToolNumberInvalid};
        tool.selected = static_cast<int>(b.tool);
    }
    if (b.lengthOffsetWords > 0) {
        if (!isToolNumber(b.lengthOffset)) return Fault{FaultId::LengthOffsetInvalid};
        tool.lengthOffset = static_cast<int>(b.lengthOffset);
    }
    if (b.spindleWords > 0) tool.spindleSpeed = b.spindleSpeed;
    if (b.toolChangeWords > 0) {
        if (tool.selected < 0) return Fault{FaultId::ToolChangeWithoutTool};
        tool.inSpindle = tool.selected;
        changed = true;
    }
    return {};
}

}  // namespace drennix
