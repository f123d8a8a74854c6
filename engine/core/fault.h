// Why a run cannot go on: a fault is a value that a stage returns instead of
// its result. The run driver adds the line and turns it into the message
// (see messages.h); nothing is shown where the fault is found.
#pragma once

#include <cstdint>

#include "vocabulary.h"

namespace drennix {

enum class FaultId : std::uint8_t {
    None,
    // Input checks of a run, before anything is opened.
    InvalidSettings,
    InvalidMachineModel,
    ToleranceOutOfRange,
    NoSourceSelected,
    NoSuffix,
    SourceMissing,
    SourceOpenFailed,
    // The read loop.
    StoppedWhileReading,
    ReadError,
    SourceCloseFailed,
    // Comments.
    CommentWithoutEnd,
    CommentEndBeforeStart,
    SecondCommentStart,
    CommentFollowedByNumber,
    CommentEndWithoutStart,
    // Words and numbers.
    InvalidCharacter,
    PlusInsideNumber,
    PlusOnly,
    MinusInsideNumber,
    PlusAndPointOnly,
    MinusOnly,
    MinusAndPointOnly,
    PointOnly,
    TwoPoints,
    NumberWithoutAddress,
    AddressWithoutNumber,
    // Block rules.
    DuplicateMotion,
    DuplicatePlane,
    DuplicateCoordinateMode,
    DuplicateCoordinateSet,
    DuplicateCompensation,
    DuplicateValueSet,
    DuplicateWord,
    ThreeCentreWords,
    RadiusWithCentre,
    CoordinateSetIncremental,
    CoordinateSetNotRapid,
    CoordinateSetCompensation,
    CoordinateSetArcWords,
    CoordinateSetMissingAxis,
    CoordinateSetValueSet,
    ValueSetCompensation,
    ValueSetCentreWords,
    ValueSetAxisWords,
    RapidCompensation,
    RapidArcWords,
    LinearArcWords,
    LinearFeed,
    ArcFeed,
    ArcKInXyPlane,
    ArcIInYzPlane,
    ArcJInZxPlane,
    ArcWithoutCentreOrRadius,
    // Motion and arcs.
    RapidDistanceUnexpected,
    EndRadiusZero,
    RadiusStartEqualsEnd,
    ClockwiseEndAboveStart,
    ClockwiseOver360,
    CounterClockwiseEndBelowStart,
    CounterClockwiseOver360,
    StartRecheck,
    EndRecheck,
    TooManySegments,
    ArcTurnsNotWhole,
    // Canned cycles and dwells, where the dialect reads them.
    CycleWithoutBottom,
    CycleWithoutRLevel,
    CycleCompensation,
    CycleCentreWords,
    CycleFeed,
    CycleRLevelBeyondBottom,
    CyclePeck,
    CycleTooManyPecks,
    CycleRepeatsInvalid,
    CycleWithoutDwell,
    CycleNotRead,
    DwellWithoutTime,
    DwellTimeInvalid,
    DwellAxisWords,
    // Reference returns, machine coordinates, work offsets and units, and
    // what LinuxCNC's reading refuses, where the dialect reads them.
    ParameterNotRead,
    ExpressionNotRead,
    DuplicateUnit,
    DuplicateWorkSystem,
    MachineMoveConflict,
    MachineMoveCompensation,
    MachineMoveArcWords,
    MachineMoveMotion,
    WorkOffsetSystemInvalid,
    ToolChangeWithoutTool,
    ToolNumberInvalid,
    LengthOffsetInvalid,
    SubprogramMissing,
    SubprogramRecursion,
    SubprogramTooDeep,
    SubprogramWithoutEnd,
    SubprogramCallInvalid,
    SubprogramControlNotRead,
    SubprogramConversion,
    SubprogramConversionElsewhere,
    SubprogramConversionDiffers,
    NotFinite,
    // The output file.
    OutputExists,
    OutputOpenFailed,
    WriteError,
    OutputCloseFailed,
};

struct Fault {
    FaultId id = FaultId::None;
    // The address a word fault names (duplicate word, address without number).
    AddressKind address = AddressKind::NoAddress;
    // The subprogram a call fault names.
    long long number = 0;

    explicit operator bool() const { return id != FaultId::None; }
    bool operator==(const Fault&) const = default;
};

// True for the faults whose message names a source line.
constexpr bool isLineFault(FaultId id)
{
    return id >= FaultId::ReadError && id <= FaultId::NotFinite && id != FaultId::SourceCloseFailed;
}

}  // namespace drennix
