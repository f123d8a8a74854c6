#include "block_interpreter.h"

#include "arc_geometry.h"
#include "motion.h"

namespace drennix {

namespace {

Step faulted(FaultId id, AddressKind address = AddressKind::NoAddress)
{
    Step step;
    step.fault = Fault{id, address};
    return step;
}

// The modal codes and the feed that the block states take effect before any
// check of the block.
ModalState applyModalWords(const ModalState& before, const ParsedBlock& b)
{
    ModalState m = before;
    m.motion = b.motion.value_or(m.motion);
    m.plane = b.plane.value_or(m.plane);
    m.coordinateMode = b.coordinateMode.value_or(m.coordinateMode);
    m.compensation = b.compensation.value_or(m.compensation);
    m.feed = b.feed.value_or(m.feed);
    return m;
}

bool hasArcWords(const ParsedBlock& b)
{
    return b.hasAnyCentreWord() || b.has(AddressKind::Radius);
}

// Duplicate commands and words, impossible centre words.
Fault checkCommonRules(const ParsedBlock& b)
{
    constexpr FaultId duplicates[commandGroupCount] = {
        FaultId::DuplicateMotion,       FaultId::DuplicatePlane,        FaultId::DuplicateCoordinateMode,
        FaultId::DuplicateCoordinateSet, FaultId::DuplicateCompensation, FaultId::DuplicateValueSet,
    };
    for (int group = 0; group < commandGroupCount; ++group) {
        if (b.count(static_cast<CommandGroup>(group)) > 1) return Fault{duplicates[group]};
    }
    for (int kind = static_cast<int>(AddressKind::AxisX); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        const auto address = static_cast<AddressKind>(kind);
        if (b.count(address) > 1) return Fault{FaultId::DuplicateWord, address};
    }
    if (b.has(AddressKind::ArcI) && b.has(AddressKind::ArcJ) && b.has(AddressKind::ArcK)) {
        return Fault{FaultId::ThreeCentreWords};
    }
    if (b.has(AddressKind::Radius) && b.hasAnyCentreWord()) {
        return Fault{FaultId::RadiusWithCentre};
    }
    return {};
}

Step setCoordinates(const ParsedBlock& b, Step step)
{
    const ModalState& m = step.modal;
    if (m.coordinateMode != CoordinateMode::Absolute) return faulted(FaultId::CoordinateSetIncremental);
    if (m.motion != Motion::Rapid) return faulted(FaultId::CoordinateSetNotRapid);
    if (m.compensation != Compensation::Cancelled) return faulted(FaultId::CoordinateSetCompensation);
    if (hasArcWords(b)) return faulted(FaultId::CoordinateSetArcWords);
    if (!b.has(AddressKind::AxisX) || !b.has(AddressKind::AxisY) || !b.has(AddressKind::AxisZ)) {
        return faulted(FaultId::CoordinateSetMissingAxis);
    }
    if (b.has(CommandGroup::ValueSet)) return faulted(FaultId::CoordinateSetValueSet);
    step.kind = BlockKind::CoordinateSet;
    step.modal.position = Point3{b.axisValue(AxisIndexX), b.axisValue(AxisIndexY), b.axisValue(AxisIndexZ)};
    return step;
}

// An R word of a value-set block is a setting value, not a radius.
Step setValues(const ParsedBlock& b, Step step)
{
    if (step.modal.compensation != Compensation::Cancelled) return faulted(FaultId::ValueSetCompensation);
    if (b.hasAnyCentreWord()) return faulted(FaultId::ValueSetCentreWords);
    if (b.hasAnyAxisWord()) return faulted(FaultId::ValueSetAxisWords);
    step.kind = BlockKind::ValueSet;
    return step;
}

// The move of a straight block from the state before it to the state after.
Step straightMove(const ParsedBlock& b, const ModalState& before, Step step, MoveKind kind)
{
    const StraightAdvance advance = advanceStraight(b, step.modal);
    step.kind = BlockKind::Motion;
    step.move.kind = kind;
    step.move.start = before.position;
    step.move.end = advance.position;
    step.move.travel = advance.travel;
    step.modal.position = advance.position;
    return step;
}

Step moveRapid(const ParsedBlock& b, const ModalState& before, Step step)
{
    if (step.modal.compensation != Compensation::Cancelled) return faulted(FaultId::RapidCompensation);
    if (hasArcWords(b)) return faulted(FaultId::RapidArcWords);
    step = straightMove(b, before, step, MoveKind::Rapid);
    const Point3& t = step.move.travel;
    const auto length = rapidPathLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
    if (!length) return faulted(FaultId::RapidDistanceUnexpected);
    step.move.length = *length;
    return step;
}

Step moveLinear(const ParsedBlock& b, const ModalState& before, Step step)
{
    if (hasArcWords(b)) return faulted(FaultId::LinearArcWords);
    if (step.modal.feed <= 0.0) return faulted(FaultId::LinearFeed);
    step = straightMove(b, before, step, MoveKind::Linear);
    const Point3& t = step.move.travel;
    step.move.length = straightLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
    return step;
}

Fault checkCentrePlane(const ParsedBlock& b, Plane plane)
{
    if (plane == Plane::XY && b.value(AddressKind::ArcK) != 0.0) return Fault{FaultId::ArcKInXyPlane};
    if (plane == Plane::YZ && b.value(AddressKind::ArcI) != 0.0) return Fault{FaultId::ArcIInYzPlane};
    if (plane == Plane::ZX && b.value(AddressKind::ArcJ) != 0.0) return Fault{FaultId::ArcJInZxPlane};
    return {};
}

Step moveArc(const ParsedBlock& b, const ModalState& before, Step step, int decimals)
{
    const ModalState& m = step.modal;
    if (m.feed <= 0.0) return faulted(FaultId::ArcFeed);
    const bool byOffsets = b.value(AddressKind::ArcI) != 0.0 || b.value(AddressKind::ArcJ) != 0.0 ||
                           b.value(AddressKind::ArcK) != 0.0;
    if (!byOffsets && b.value(AddressKind::Radius) == 0.0) {
        return b.hasAnyAxisWord() ? faulted(FaultId::ArcWithoutCentreOrRadius) : step;
    }
    const Point3 target = targetPoint(b, m);
    Move& move = step.move;
    Fault fault = byOffsets ? checkCentrePlane(b, m.plane) : Fault{};
    if (!fault) {
        fault = byOffsets ? resolveArcByOffsets(b, m, target, move.arc) : resolveArcByRadius(b, m, target, move.arc);
    }
    if (!fault) {
        fault = validateArc(m, target, decimals, move.arc);
    }
    if (fault) {
        return faulted(fault.id);
    }
    const int h = planeAxesOf(m.plane).helical;
    step.kind = BlockKind::Motion;
    move.kind = m.motion == Motion::ClockwiseArc ? MoveKind::ClockwiseArc : MoveKind::CounterClockwiseArc;
    move.start = before.position;
    move.end = target;
    move.length = arcLength(move.arc, target[h] - before.position[h]);
    step.modal.position = target;
    return step;
}

}  // namespace

Step interpretBlock(const ModalState& before, const ParsedBlock& block, int decimals, long long line)
{
    if (const Fault fault = checkCommonRules(block)) {
        return faulted(fault.id, fault.address);
    }
    Step step;
    step.modal = applyModalWords(before, block);
    step.move.line = line;
    step.move.plane = step.modal.plane;
    step.move.feed = step.modal.feed;
    if (block.has(CommandGroup::CoordinateSet)) {
        return setCoordinates(block, step);
    }
    if (block.has(CommandGroup::ValueSet)) {
        return setValues(block, step);
    }
    switch (step.modal.motion) {
    case Motion::Rapid: return moveRapid(block, before, step);
    case Motion::Linear: return moveLinear(block, before, step);
    default: return moveArc(block, before, step, decimals);
    }
}

}  // namespace drennix
