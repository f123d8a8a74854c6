#include "coordinate_frame.h"

#include <cmath>

#include "motion.h"

namespace drennix {

FrameSettings frameSettingsOf(const Settings& settings)
{
    const ProcessSettings& p = settings.process;
    FrameSettings s;
    s.units = p.inchUnits != 0;
    s.machineMoves = p.referenceReturn != 0;
    s.workOffsets = p.workOffsets != 0;
    s.partialCoordinateSet = p.partialCoordinateSet != 0;
    s.rapidUnderCompensation = p.rapidUnderCompensation != 0;
    s.toolChanges = p.toolChanges != 0;
    s.reference = settings.machine.referencePosition;
    s.secondReference = settings.machine.secondReference;
    return s;
}

double convertLength(double length, LengthUnit from, LengthUnit to)
{
    if (from == to) return length;
    return to == LengthUnit::Inch ? length / millimetresPerInch : length * millimetresPerInch;
}

namespace {

void convertPoint(Point3& point, LengthUnit from, LengthUnit to)
{
    for (double& v : point)
        v = convertLength(v, from, to);
}

// The machine coordinates of a position of the program.
double machineCoordinate(const ModalState& m, int axis)
{
    return m.position[axis] + m.frame.origin(axis);
}

void changeUnit(ModalState& m, LengthUnit unit)
{
    const LengthUnit from = m.frame.unit;
    convertPoint(m.position, from, unit);
    for (Point3& offset : m.frame.workOffsets)
        convertPoint(offset, from, unit);
    convertPoint(m.frame.shift, from, unit);
    m.feed = convertLength(m.feed, from, unit);
    m.cycleMemory.initialLevel = convertLength(m.cycleMemory.initialLevel, from, unit);
    m.frame.unit = unit;
}

// The tool stands where it stood: its position in the new system is its
// machine position less the new origin.
void selectWorkSystem(ModalState& m, int system)
{
    Point3 machine{};
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis)
        machine[axis] = machineCoordinate(m, axis);
    m.frame.workSystem = system;
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis)
        m.position[axis] = machine[axis] - m.frame.origin(axis);
}

}  // namespace

void applyFrameWords(const ParsedBlock& b, ModalState& m)
{
    if (b.unitWords > 0 && b.unit != m.frame.unit) changeUnit(m, b.unit);
    if (b.workSystemWords > 0 && b.workSystem != m.frame.workSystem) selectWorkSystem(m, b.workSystem);
}

void resetWorkSystem(ModalState& m)
{
    if (m.frame.workSystem != 0) selectWorkSystem(m, 0);
}

Fault checkFrameWords(const ParsedBlock& b)
{
    if (b.unitWords > 1) return Fault{FaultId::DuplicateUnit};
    if (b.workSystemWords > 1) return Fault{FaultId::DuplicateWorkSystem};
    if (b.machineMoveWords == 0) return {};
    if (b.machineMoveWords > 1 || b.dwellWords > 0 || b.has(CommandGroup::CoordinateSet) ||
        b.has(CommandGroup::ValueSet)) {
        return Fault{FaultId::MachineMoveConflict};
    }
    return {};
}

void setCoordinateShift(const ParsedBlock& b, ModalState& m)
{
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (!b.hasAxis(axis)) continue;
        const double machine = machineCoordinate(m, axis);
        m.position[axis] = b.axisValue(axis);
        m.frame.shift[axis] =
            machine - m.frame.workOffsets[static_cast<std::size_t>(m.frame.workSystem)][axis] - m.position[axis];
    }
}

Fault setWorkOffset(const ParsedBlock& b, ModalState& m)
{
    const ParsedBlock::ExtraWord& p = b.extraWord(ParsedBlock::LetterP);
    const double l = b.extraWord(ParsedBlock::LetterL).value;
    if (p.count == 0 || p.value != std::floor(p.value) || p.value < 0 || p.value > workSystemCount) {
        return Fault{FaultId::WorkOffsetSystemInvalid};
    }
    const int system = p.value == 0 ? m.frame.workSystem : static_cast<int>(p.value) - 1;
    Point3& offset = m.frame.workOffsets[static_cast<std::size_t>(system)];
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (!b.hasAxis(axis)) continue;
        const double machine = machineCoordinate(m, axis);
        offset[axis] = l == 20 ? machine - m.frame.shift[axis] - b.axisValue(axis) : b.axisValue(axis);
        // The tool stands: in the system in force its position reads anew.
        m.position[axis] = machine - m.frame.origin(axis);
    }
    return {};
}

namespace {

// A straight move of the path from the state's position to `end`.
Fault addPathMove(ModalState& m, const Point3& end, MoveKind kind, long long line, MachinePath& path)
{
    Move& move = path.moves[static_cast<std::size_t>(path.count++)];
    move = Move{};
    move.kind = kind;
    move.plane = m.plane;
    move.line = line;
    move.feed = m.feed;
    move.start = m.position;
    move.end = end;
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis)
        move.travel[axis] = std::fabs(end[axis] - m.position[axis]);
    const Point3& t = move.travel;
    if (kind == MoveKind::Rapid) {
        const auto length = rapidPathLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
        if (!length) return Fault{FaultId::RapidDistanceUnexpected};
        move.length = *length;
    } else {
        move.length = straightLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
    }
    m.position = end;
    return {};
}

// G28 or G30: the axes the block gives go at rapid to the intermediate point
// (absolute or incremental as the mode is), then to the reference position;
// a block without axis words takes every axis straight to it.
Fault planReferenceReturn(const ParsedBlock& b, ModalState& m, const Point3& reference, long long line,
                          MachinePath& path)
{
    const bool all = !b.hasAnyAxisWord();
    Point3 end = m.position;
    if (!all) {
        const Point3 via = targetPoint(b, m);
        if (const Fault fault = addPathMove(m, via, MoveKind::Rapid, line, path)) return fault;
        end = via;
    }
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (all || b.hasAxis(axis)) {
            end[axis] = convertLength(reference[axis], LengthUnit::Millimetre, m.frame.unit) - m.frame.origin(axis);
        }
    }
    return addPathMove(m, end, MoveKind::Rapid, line, path);
}

// G53: the axes the block gives are machine coordinates, for this block
// alone, at rapid or at the feed as the motion is.
Fault planMachineCoordinates(const ParsedBlock& b, ModalState& m, long long line, MachinePath& path)
{
    if (m.inCycle() || isArc(m.motion)) return Fault{FaultId::MachineMoveMotion};
    if (m.motion == Motion::Linear && m.feed <= 0.0) return Fault{FaultId::LinearFeed};
    Point3 end = m.position;
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (b.hasAxis(axis)) end[axis] = b.axisValue(axis) - m.frame.origin(axis);
    }
    return addPathMove(m, end, m.motion == Motion::Rapid ? MoveKind::Rapid : MoveKind::Linear, line, path);
}

}  // namespace

Fault planMachineMove(const ParsedBlock& b, ModalState& m, const FrameSettings& settings, long long line,
                      MachinePath& path)
{
    path.count = 0;
    if (m.compensation != Compensation::Cancelled) return Fault{FaultId::MachineMoveCompensation};
    if (b.hasAnyCentreWord() || b.has(AddressKind::Radius)) return Fault{FaultId::MachineMoveArcWords};
    switch (b.machineMove) {
    case MachineMove::Reference: return planReferenceReturn(b, m, settings.reference, line, path);
    case MachineMove::SecondReference: return planReferenceReturn(b, m, settings.secondReference, line, path);
    default: return planMachineCoordinates(b, m, line, path);
    }
}

}  // namespace drennix
