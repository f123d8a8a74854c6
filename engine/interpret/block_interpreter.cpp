#include "block_interpreter.h"

#include "arc_geometry.h"
#include "motion.h"

namespace drennix {

namespace {

// Where the dialect reads the canned cycles: G80 and G0 to G3 end a series
// of cycles, a cycle code goes on with it or begins one; G98 and G99 set the
// return level. A cycle code leaves the motion as it was before the block
// (`motion`).
void applyCycleWords(const ParsedBlock& b, Motion motion, ModalState& m)
{
    if (b.dialectWords && b.cancelWords > 0) {
        m.cycle = CycleCode::None;
        m.cycleMemory.active = false;
    }
    if (b.has(CommandGroup::Motion)) {
        m.cycle = b.cycle;
        if (b.cycle == CycleCode::None) {
            m.cycleMemory.active = false;
        } else {
            m.motion = motion;
        }
    }
    if (b.dialectWords && b.returnWords > 0) m.returnLevel = b.returnLevel;
}

// The modal codes and the feed that the block states take effect before any
// check of the block.
void applyModalWords(const ParsedBlock& b, ModalState& m)
{
    if (b.has(CommandGroup::Motion)) m.motion = b.motion;
    if (b.has(CommandGroup::Plane)) m.plane = b.plane;
    if (b.has(CommandGroup::CoordinateMode)) m.coordinateMode = b.coordinateMode;
    if (b.has(CommandGroup::Compensation)) m.compensation = b.compensation;
    if (b.has(AddressKind::Feed)) m.feed = b.feed;
}

bool hasArcWords(const ParsedBlock& b)
{
    return b.hasAnyCentreWord() || b.has(AddressKind::Radius);
}

Fault checkRepeatedWords(const ParsedBlock& b)
{
    constexpr FaultId duplicates[commandGroupCount] = {
        FaultId::DuplicateMotion,        FaultId::DuplicatePlane,        FaultId::DuplicateCoordinateMode,
        FaultId::DuplicateCoordinateSet, FaultId::DuplicateCompensation, FaultId::DuplicateValueSet,
    };
    for (int group = 0; group < commandGroupCount; ++group) {
        if (b.count(static_cast<CommandGroup>(group)) > 1) return Fault{duplicates[group]};
    }
    for (int kind = static_cast<int>(AddressKind::AxisX); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        const auto address = static_cast<AddressKind>(kind);
        if (b.count(address) > 1) return Fault{FaultId::DuplicateWord, address};
    }
    return {};
}

// The block drills under a canned cycle (its own code, or the one in force
// that it does not end): its R is the R level and K the repeats.
bool underCycle(const ModalState& before, const ParsedBlock& b)
{
    if (b.has(CommandGroup::Motion)) return b.cycle != CycleCode::None;
    return before.inCycle() && !(b.dialectWords && b.cancelWords > 0);
}

// Duplicate commands and words, impossible centre words (where the dialect
// reads the cycles, a block under one has its own rules).
Fault checkCommonRules(const ModalState& before, const ParsedBlock& b, bool cycles, bool frame)
{
    if (b.repeated()) {
        if (const Fault fault = checkRepeatedWords(b)) return fault;
    }
    if (frame && b.dialectWords) {
        if (const Fault fault = checkFrameWords(b)) return fault;
    }
    if (frame && b.dialectWords && b.machineMoveWords > 0) return {};
    if (cycles && underCycle(before, b)) return {};
    if (b.has(AddressKind::ArcI) && b.has(AddressKind::ArcJ) && b.has(AddressKind::ArcK)) {
        return Fault{FaultId::ThreeCentreWords};
    }
    if (b.has(AddressKind::Radius) && b.hasAnyCentreWord()) {
        return Fault{FaultId::RadiusWithCentre};
    }
    return {};
}

// G92 where it may set any of the axes, in any motion and coordinate mode.
Fault setSomeCoordinates(const ParsedBlock& b, Step& step)
{
    if (step.modal.compensation != Compensation::Cancelled) return Fault{FaultId::CoordinateSetCompensation};
    if (hasArcWords(b)) return Fault{FaultId::CoordinateSetArcWords};
    if (b.has(CommandGroup::ValueSet)) return Fault{FaultId::CoordinateSetValueSet};
    // An axis at least, a rotary one where they are read.
    if (!b.hasAnyAxisWord() && !(b.dialectWords && b.rotaryWords > 0)) {
        return Fault{FaultId::CoordinateSetMissingAxis};
    }
    step.kind = BlockKind::CoordinateSet;
    setCoordinateShift(b, step.modal);
    return {};
}

Fault setCoordinates(const ParsedBlock& b, Step& step, const FrameSettings* frame)
{
    if (frame != nullptr && frame->partialCoordinateSet) return setSomeCoordinates(b, step);
    const ModalState& m = step.modal;
    if (m.coordinateMode != CoordinateMode::Absolute) return Fault{FaultId::CoordinateSetIncremental};
    if (m.motion != Motion::Rapid) return Fault{FaultId::CoordinateSetNotRapid};
    if (m.compensation != Compensation::Cancelled) return Fault{FaultId::CoordinateSetCompensation};
    if (hasArcWords(b)) return Fault{FaultId::CoordinateSetArcWords};
    if (!b.has(AddressKind::AxisX) || !b.has(AddressKind::AxisY) || !b.has(AddressKind::AxisZ)) {
        return Fault{FaultId::CoordinateSetMissingAxis};
    }
    if (b.has(CommandGroup::ValueSet)) return Fault{FaultId::CoordinateSetValueSet};
    step.kind = BlockKind::CoordinateSet;
    if (frame != nullptr) {
        setCoordinateShift(b, step.modal);
    } else {
        step.modal.position = Point3{b.axisValue(AxisIndexX), b.axisValue(AxisIndexY), b.axisValue(AxisIndexZ)};
    }
    return {};
}

// G10 with L2 or L20, where work offsets are read.
bool setsWorkOffset(const ParsedBlock& b, const FrameSettings* frame)
{
    if (frame == nullptr || !frame->workOffsets || !b.dialectWords) return false;
    const ParsedBlock::ExtraWord& l = b.extraWord(ParsedBlock::LetterL);
    return l.count > 0 && (l.value == 2 || l.value == 20);
}

// An R word of a value-set block is a setting value, not a radius.
Fault setValues(const ParsedBlock& b, Step& step, const FrameSettings* frame)
{
    if (setsWorkOffset(b, frame)) {
        if (step.modal.compensation != Compensation::Cancelled) return Fault{FaultId::ValueSetCompensation};
        step.kind = BlockKind::ValueSet;
        return setWorkOffset(b, step.modal);
    }
    if (step.modal.compensation != Compensation::Cancelled) return Fault{FaultId::ValueSetCompensation};
    if (b.hasAnyCentreWord()) return Fault{FaultId::ValueSetCentreWords};
    if (b.hasAnyAxisWord()) return Fault{FaultId::ValueSetAxisWords};
    step.kind = BlockKind::ValueSet;
    return {};
}

// The move of a straight block from the state before it to the state after.
// The reused step holds an arc's path only while its move is that arc (see
// moveArc), so only a move after an arc clears it.
void straightMove(const ParsedBlock& b, Step& step, MoveKind kind)
{
    Move& move = step.move;
    if (move.isArc()) {
        move.arc = ArcPath{};
    }
    step.kind = BlockKind::Motion;
    move.kind = kind;
    advanceStraight(b, step.modal, move.end, move.travel);
    move.start = step.modal.position;
    step.modal.position = move.end;
}

Fault moveRapid(const ParsedBlock& b, Step& step, const FrameSettings* frame)
{
    const bool allowed = frame != nullptr && frame->rapidUnderCompensation;
    if (step.modal.compensation != Compensation::Cancelled && !allowed) return Fault{FaultId::RapidCompensation};
    if (hasArcWords(b)) return Fault{FaultId::RapidArcWords};
    straightMove(b, step, MoveKind::Rapid);
    const Point3& t = step.move.travel;
    const auto length = rapidPathLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
    if (!length) return Fault{FaultId::RapidDistanceUnexpected};
    step.move.length = *length;
    return {};
}

Fault moveLinear(const ParsedBlock& b, Step& step, CuttingLength length)
{
    if (hasArcWords(b)) return Fault{FaultId::LinearArcWords};
    if (step.modal.feed <= 0.0) return Fault{FaultId::LinearFeed};
    straightMove(b, step, MoveKind::Linear);
    const Point3& t = step.move.travel;
    step.move.length =
        length == CuttingLength::Measured ? straightLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]) : 0.0;
    return {};
}

Fault checkCentrePlane(const ParsedBlock& b, Plane plane)
{
    if (plane == Plane::XY && b.value(AddressKind::ArcK) != 0.0) return Fault{FaultId::ArcKInXyPlane};
    if (plane == Plane::YZ && b.value(AddressKind::ArcI) != 0.0) return Fault{FaultId::ArcIInYzPlane};
    if (plane == Plane::ZX && b.value(AddressKind::ArcJ) != 0.0) return Fault{FaultId::ArcJInZxPlane};
    return {};
}

Fault resolveArc(const ParsedBlock& b, const ModalState& m, const Point3& target, bool byOffsets, int decimals,
                 ArcPath& arc)
{
    arc = ArcPath{};
    Fault fault = byOffsets ? checkCentrePlane(b, m.plane) : Fault{};
    if (!fault) {
        fault = byOffsets ? resolveArcByOffsets(b, m, target, arc) : resolveArcByRadius(b, m, target, arc);
    }
    if (!fault) {
        fault = validateResolvedArc(m, target, decimals, arc);
    }
    if (!fault && b.turnWords > 0) {
        fault = addTurns(b.turns, arc);
    }
    return fault;
}

// Kept out of line, so that the straight moves, most of a program, do not
// pay for the arc's larger frame.
[[gnu::noinline]] Fault moveArc(const ParsedBlock& b, Step& step, int decimals, CuttingLength length)
{
    const ModalState& m = step.modal;
    if (m.feed <= 0.0) return Fault{FaultId::ArcFeed};
    const bool byOffsets =
        b.value(AddressKind::ArcI) != 0.0 || b.value(AddressKind::ArcJ) != 0.0 || b.value(AddressKind::ArcK) != 0.0;
    if (!byOffsets && b.value(AddressKind::Radius) == 0.0) {
        return b.hasAnyAxisWord() ? Fault{FaultId::ArcWithoutCentreOrRadius} : Fault{};
    }
    const Point3 target = targetPoint(b, m);
    Move& move = step.move;
    if (const Fault fault = resolveArc(b, m, target, byOffsets, decimals, move.arc)) {
        move.arc = ArcPath{};
        return fault;
    }
    const int h = planeAxesOf(m.plane).helical;
    step.kind = BlockKind::Motion;
    move.kind = m.motion == Motion::ClockwiseArc ? MoveKind::ClockwiseArc : MoveKind::CounterClockwiseArc;
    move.start = m.position;
    move.end = target;
    move.travel = Point3{};
    move.length = length == CuttingLength::Measured ? arcLength(move.arc, target[h] - m.position[h]) : 0.0;
    step.modal.position = target;
    return {};
}

// A G4 block: the dwell, and nothing moves.
Fault dwellBlock(const ParsedBlock& block, Step& step, const CycleSettings& cycles)
{
    step.kind = BlockKind::Dwell;
    return dwellSeconds(block, cycles, step.dwell);
}

// A block under a canned cycle: its holes, or nothing where it gives no
// position.
[[gnu::noinline]] Fault cycleBlock(const ParsedBlock& block, Step& step, const CycleSettings& cycles)
{
    if (const Fault fault = planCycle(block, step.modal, cycles, step.move.line, step.cycle)) {
        return fault;
    }
    step.kind = step.cycle.holes > 0 ? BlockKind::Cycle : BlockKind::Nothing;
    return {};
}

// A G28, G30 or G53 block: its moves.
[[gnu::noinline]] Fault machineMoveBlock(const ParsedBlock& block, Step& step, const FrameSettings& frame)
{
    if (const Fault fault = planMachineMove(block, step.modal, frame, step.move.line, step.path)) {
        return fault;
    }
    step.kind = BlockKind::Path;
    return {};
}

Fault dispatch(const ParsedBlock& block, Step& step, int decimals, CuttingLength length, const CycleSettings* cycles,
               const FrameSettings* frame)
{
    if (block.has(CommandGroup::CoordinateSet)) {
        return setCoordinates(block, step, frame);
    }
    if (block.has(CommandGroup::ValueSet)) {
        return setValues(block, step, frame);
    }
    if (frame != nullptr && block.dialectWords && block.machineMoveWords > 0) {
        return machineMoveBlock(block, step, *frame);
    }
    if (cycles != nullptr) {
        if (block.dialectWords && block.dwellWords > 0) {
            return dwellBlock(block, step, *cycles);
        }
        if (step.modal.inCycle()) {
            return cycleBlock(block, step, *cycles);
        }
    }
    switch (step.modal.motion) {
    case Motion::Rapid: return moveRapid(block, step, frame);
    case Motion::Linear: return moveLinear(block, step, length);
    default: return moveArc(block, step, decimals, length);
    }
}

}  // namespace

void interpretBlock(const ModalState& before, const ParsedBlock& block, int decimals, long long line, Step& step,
                    CuttingLength length, const CycleSettings* cycles, const FrameSettings* frame)
{
    step.kind = BlockKind::Nothing;
    step.toolChanged = false;
    step.fault = checkCommonRules(before, block, cycles != nullptr, frame != nullptr);
    if (step.fault) {
        return;
    }
    if (&before != &step.modal) {
        step.modal = before;
    }
    const Motion motion = step.modal.motion;
    if (frame != nullptr && block.dialectWords) {
        applyFrameWords(block, step.modal);
    }
    applyModalWords(block, step.modal);
    if (cycles != nullptr) {
        applyCycleWords(block, motion, step.modal);
    }
    if (frame != nullptr && frame->toolChanges && block.dialectWords) {
        step.fault = applyToolWords(block, step.modal, step.toolChanged);
        if (step.fault) return;
    }
    step.move.line = line;
    step.move.plane = step.modal.plane;
    step.move.feed = step.modal.feed;
    step.fault = dispatch(block, step, decimals, length, cycles, frame);
    if (frame != nullptr && frame->workOffsets && block.programEnd && !step.fault) {
        resetWorkSystem(step.modal);
    }
}

}  // namespace drennix
