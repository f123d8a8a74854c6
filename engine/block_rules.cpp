#include "block_rules.h"

#include "arc_geometry.h"
#include "messages.h"
#include "motion.h"
#include "run_state.h"

namespace drennix {

namespace {

bool hasAnyCentreWord(const NcBlock& b)
{
    return b.has(AddressKind::ArcI) || b.has(AddressKind::ArcJ) || b.has(AddressKind::ArcK);
}

bool hasAnyAxisWord(const NcBlock& b)
{
    return b.has(AddressKind::AxisX) || b.has(AddressKind::AxisY) || b.has(AddressKind::AxisZ);
}

const std::string& letterFor(const CommandVocabulary& v, AddressKind kind)
{
    switch (kind) {
    case AddressKind::AxisX: return v.xAxisLetter;
    case AddressKind::AxisY: return v.yAxisLetter;
    case AddressKind::AxisZ: return v.zAxisLetter;
    case AddressKind::ArcI: return v.arcILetter;
    case AddressKind::ArcJ: return v.arcJLetter;
    case AddressKind::ArcK: return v.arcKLetter;
    case AddressKind::Radius: return v.radiusLetter;
    default: return v.feedLetter;
    }
}

// Rules 1 to 16: duplicate commands and words, impossible centre words.
int checkCommonRules(RunState& state)
{
    const NcBlock& b = state.block;
    if (b.motionWords > 1) return state.reject(messages::duplicateMotion);
    if (b.planeWords > 1) return state.reject(messages::duplicatePlane);
    if (b.coordinateModeWords > 1) return state.reject(messages::duplicateCoordinateMode);
    if (b.coordinateSetWords > 1) return state.reject(messages::duplicateCoordinateSet);
    if (b.compensationWords > 1) return state.reject(messages::duplicateCompensation);
    if (b.valueSetWords > 1) return state.reject(messages::duplicateValueSet);
    for (int kind = static_cast<int>(AddressKind::AxisX); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        const auto address = static_cast<AddressKind>(kind);
        if (b.wordCount(address) > 1) {
            return state.reject(messages::duplicateWord(letterFor(state.vocabulary(), address)));
        }
    }
    if (b.has(AddressKind::ArcI) && b.has(AddressKind::ArcJ) && b.has(AddressKind::ArcK)) {
        return state.reject(messages::threeCentreWords);
    }
    if (b.has(AddressKind::Radius) && hasAnyCentreWord(b)) {
        return state.reject(messages::radiusWithCentre);
    }
    return 0;
}

void updateMotionReinsertion(RunState& state)
{
    int& reinsertion = state.modal.motionReinsertion;
    if (state.block.motionWords > 0) {
        reinsertion = 0;
    } else if (reinsertion > 0) {
        reinsertion = 2;
    }
}

// C1 to C6, then the position is declared without a move.
int applyCoordinateSet(RunState& state)
{
    const NcBlock& b = state.block;
    const ModalState& m = state.modal;
    if (m.coordinateMode != AbsoluteMode) return state.reject(messages::coordinateSetIncremental);
    if (m.motion != RapidMotion) return state.reject(messages::coordinateSetNotRapid);
    if (m.compensation != CompensationCancelled) return state.reject(messages::coordinateSetCompensation);
    if (hasAnyCentreWord(b) || b.has(AddressKind::Radius)) return state.reject(messages::coordinateSetArcWords);
    if (!b.has(AddressKind::AxisX) || !b.has(AddressKind::AxisY) || !b.has(AddressKind::AxisZ)) {
        return state.reject(messages::coordinateSetMissingAxis);
    }
    if (b.valueSetWords > 0) return state.reject(messages::coordinateSetValueSet);
    state.modal.position = Point3{b.x, b.y, b.z};
    widenExtents(state.modal, state.statistics);
    return 0;
}

// V1 to V3; an R word of a value-set block is a setting value, not a radius.
int applyValueSet(RunState& state)
{
    NcBlock& b = state.block;
    if (state.modal.compensation != CompensationCancelled) return state.reject(messages::valueSetCompensation);
    if (hasAnyCentreWord(b)) return state.reject(messages::valueSetCentreWords);
    if (hasAnyAxisWord(b)) return state.reject(messages::valueSetAxisWords);
    b.r = 0.0;
    return 0;
}

int moveRapid(RunState& state)
{
    NcBlock& b = state.block;
    if (state.modal.compensation != CompensationCancelled) return state.reject(messages::rapidCompensation);
    if (hasAnyCentreWord(b) || b.has(AddressKind::Radius)) return state.reject(messages::rapidArcWords);
    advancePosition(b, state.modal, state.statistics);
    b.blockMotionKind = BlockMotionKind::Rapid;
    const auto length = rapidPathLength(b.x, b.y, b.z);
    if (!length) {
        return state.reject(messages::rapidDistanceUnexpected);
    }
    b.blockDistance = b.blockDistance + *length;
    return 0;
}

int moveLinear(RunState& state)
{
    NcBlock& b = state.block;
    if (hasAnyCentreWord(b) || b.has(AddressKind::Radius)) return state.reject(messages::linearArcWords);
    if (state.modal.feed <= 0.0) return state.reject(messages::linearFeed);
    advancePosition(b, state.modal, state.statistics);
    b.blockMotionKind = BlockMotionKind::Cutting;
    b.blockDistance = b.blockDistance + straightLength(b.x, b.y, b.z);
    return 0;
}

int moveArc(RunState& state, std::string_view codeText, std::string_view commentText)
{
    const NcBlock& b = state.block;
    const int plane = state.modal.plane;
    if (state.modal.feed <= 0.0) return state.reject(messages::arcFeed);
    if (b.i != 0.0 || b.j != 0.0 || b.k != 0.0) {
        if (plane == XyPlane && b.k != 0.0) return state.reject(messages::arcKInXyPlane);
        if (plane == YzPlane && b.i != 0.0) return state.reject(messages::arcIInYzPlane);
        if (plane == ZxPlane && b.j != 0.0) return state.reject(messages::arcJInZxPlane);
        if (resolveArcByOffsets(state) != 0) return 1;
        return evaluateArc(state, codeText, commentText);
    }
    if (b.r != 0.0) {
        if (resolveArcByRadius(state) != 0) return 1;
        return evaluateArc(state, codeText, commentText);
    }
    if (hasAnyAxisWord(b)) return state.reject(messages::arcWithoutCentreOrRadius);
    return 0;
}

}  // namespace

ModalState startRun(const ProcessSettings& process, const Point3& initialPosition)
{
    ModalState m;
    m.motion = process.initialMotion;
    m.plane = process.initialPlane;
    m.coordinateMode = process.initialCoordinate;
    m.compensation = CompensationCancelled;
    m.feed = 0.0;
    m.position = initialPosition;
    m.motionReinsertion = 0;
    return m;
}

void resetBlock(RunState& state)
{
    if (state.block.conversionMark > 0) {
        state.modal.motionReinsertion = 1;
    }
    const int lineNumber = state.block.lineNumber;
    state.block = NcBlock{};
    state.block.lineNumber = lineNumber;
    state.arc.endRadius = 0.0;
    state.arc.arcRadiusDifference = 0.0;
}

void classifyGCode(RunState& state, double value)
{
    const CommandVocabulary& v = state.vocabulary();
    NcBlock& b = state.block;
    ModalState& m = state.modal;
    if (value == v.rapidCode) { ++b.motionWords; m.motion = RapidMotion; }
    else if (value == v.linearCode) { ++b.motionWords; m.motion = LinearMotion; }
    else if (value == v.cwArcCode) { ++b.motionWords; m.motion = ClockwiseArc; }
    else if (value == v.ccwArcCode) { ++b.motionWords; m.motion = CounterClockwiseArc; }
    else if (value == v.xyPlaneCode) { ++b.planeWords; m.plane = XyPlane; }
    else if (value == v.zxPlaneCode) { ++b.planeWords; m.plane = ZxPlane; }
    else if (value == v.yzPlaneCode) { ++b.planeWords; m.plane = YzPlane; }
    else if (value == v.absoluteCode) { ++b.coordinateModeWords; m.coordinateMode = AbsoluteMode; }
    else if (value == v.incrementalCode) { ++b.coordinateModeWords; m.coordinateMode = IncrementalMode; }
    else if (value == v.valueSetCode) { ++b.valueSetWords; }
    else if (value == v.coordinateSetCode) { ++b.coordinateSetWords; }
    else if (value == v.compCancelCode) { ++b.compensationWords; m.compensation = CompensationCancelled; }
    else if (value == v.compLeftCode) { ++b.compensationWords; m.compensation = CompensationLeft; }
    else if (value == v.compRightCode) { ++b.compensationWords; m.compensation = CompensationRight; }
}

int interpretBlock(RunState& state, std::string_view codeText, std::string_view commentText)
{
    if (checkCommonRules(state) != 0) {
        return 1;
    }
    updateMotionReinsertion(state);
    if (state.block.coordinateSetWords >= 1) {
        return applyCoordinateSet(state);
    }
    if (state.block.valueSetWords >= 1) {
        return applyValueSet(state);
    }
    switch (state.modal.motion) {
    case RapidMotion:
        return moveRapid(state);
    case LinearMotion:
        return moveLinear(state);
    default:
        return moveArc(state, codeText, commentText);
    }
}

}  // namespace drennix
