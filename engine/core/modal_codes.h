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
enum class CycleCode : std::uint8_t { None, G73, G74, G76, G81, G82, G83, G84, G85, G86, G87, G88, G89 };
// Where a canned cycle leaves the tool after each hole: G98, the level where
// the cycles began; G99, the R level.
enum class ReturnLevel : std::uint8_t { Initial, RLevel };

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
