// The modal codes a block can set: motion, plane, coordinate mode and cutter
// compensation, and how the settings' command numbers map onto them.
#pragma once

#include <cstdint>

namespace drennix {

enum class Motion : std::uint8_t { Rapid, Linear, ClockwiseArc, CounterClockwiseArc };
enum class Plane : std::uint8_t { XY, ZX, YZ };
enum class CoordinateMode : std::uint8_t { Absolute, Incremental };
enum class Compensation : std::uint8_t { Cancelled, Left, Right };
// The canned cycle a motion word names, where the dialect reads them: None
// for G0 to G3.
// The spindle as M3, M4 and M5 leave it.
enum class SpindleState : std::uint8_t { Off, Clockwise, CounterClockwise };

enum class CycleCode : std::uint8_t { None, G73, G74, G76, G81, G82, G83, G84, G85, G86, G87, G88, G89 };
// Where a canned cycle leaves the tool after each hole: G98, the level where
// the cycles began; G99, the R level.
enum class ReturnLevel : std::uint8_t { Initial, RLevel };
// The unit of the program's lengths and feeds, where inch programs are read
// (G20, G21); millimetres otherwise.
enum class LengthUnit : std::uint8_t { Millimetre, Inch };
inline constexpr double millimetresPerInch = 25.4;
// The moves a block makes outside its motion mode, where the dialect reads
// them: G28 and G30 through an intermediate point to a reference position,
// G53 in machine coordinates for its block alone.
enum class MachineMove : std::uint8_t { None, Reference, SecondReference, MachineCoordinates };
// The work coordinate systems G54 to G59, G59.1 to G59.3.
inline constexpr int workSystemCount = 9;

// The command numbers by which the settings name the initial modal codes:
// motion 0 to 3, plane 4 to 6, coordinate mode 7 and 8 (9 to 11 are the
// compensation codes, which always start cancelled).
enum CommandNumber : int {
    RapidMotion = 0,
    LinearMotion = 1,
    ClockwiseArc = 2,
    CounterClockwiseArc = 3,
    XyPlane = 4,
    ZxPlane = 5,
    YzPlane = 6,
    AbsoluteMode = 7,
    IncrementalMode = 8,
    CompensationCancelled = 9,
    CompensationLeft = 10,
    CompensationRight = 11,
};

// Numbers outside the settings' limits read as the nearest code of the
// group: motion above 2 is counter-clockwise, a plane below 5 is XY and
// above 5 YZ, a coordinate mode other than 8 absolute.
constexpr Motion motionOf(int number)
{
    switch (number) {
    case RapidMotion: return Motion::Rapid;
    case LinearMotion: return Motion::Linear;
    case ClockwiseArc: return Motion::ClockwiseArc;
    default: return Motion::CounterClockwiseArc;
    }
}

constexpr Plane planeOf(int number)
{
    return number < ZxPlane ? Plane::XY : number > ZxPlane ? Plane::YZ : Plane::ZX;
}

constexpr CoordinateMode coordinateModeOf(int number)
{
    return number == IncrementalMode ? CoordinateMode::Incremental : CoordinateMode::Absolute;
}

constexpr bool isArc(Motion motion)
{
    return motion == Motion::ClockwiseArc || motion == Motion::CounterClockwiseArc;
}

}  // namespace drennix
