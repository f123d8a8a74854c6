// The modal state carried from block to block: the modal codes in force, the
// feed and the tool position.
#pragma once

#include <array>

#include "modal_codes.h"
#include "vocabulary.h"

namespace drennix {

enum Axis : int { AxisIndexX = 0, AxisIndexY = 1, AxisIndexZ = 2 };

using Point3 = std::array<double, 3>;

// What a series of canned cycles keeps from block to block, as the words
// were written: a later block of the series that gives none of them drills
// with the values before.
struct CycleMemory {
    // A series is under way: its first block has been read.
    bool active = false;
    // The drilling axis' position where the series began.
    double initialLevel = 0;
    bool hasBottom = false;
    double bottomWord = 0;
    bool hasRLevel = false;
    double rWord = 0;
    double q = 0;
    bool hasDwell = false;
    double dwellSeconds = 0;
};

// Where the program's coordinates lie on the machine, and their unit, where
// the dialect reads work offsets, machine moves or inch programs: a point's
// machine coordinates are its program coordinates plus the offset of the
// work system in force and the shift of a coordinate set (G92). Every
// figure is in the program's unit; a change of unit converts them.
struct CoordinateFrame {
    std::array<Point3, workSystemCount> workOffsets{};
    int workSystem = 0;
    Point3 shift{};
    LengthUnit unit = LengthUnit::Millimetre;

    // Machine minus program coordinates, per axis.
    double origin(int axis) const
    {
        return workOffsets[static_cast<std::size_t>(workSystem)][static_cast<std::size_t>(axis)] +
               shift[static_cast<std::size_t>(axis)];
    }
};

// The tools, where tool changes are read.
struct ToolState {
    // The tool a T word selected last; -1 before any.
    int selected = -1;
    // The tool in the spindle; -1 for the one there at the start.
    int inSpindle = -1;
    // The H word last given; -1 before any.
    int lengthOffset = -1;
    double spindleSpeed = 0;
};

struct ModalState {
    Motion motion = Motion::Rapid;
    Plane plane = Plane::XY;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    Compensation compensation = Compensation::Cancelled;
    double feed = 0;
    Point3 position{};
    // The canned cycle in force (where the dialect reads them): while it is
    // one, a block with a position drills instead of moving by `motion`.
    CycleCode cycle = CycleCode::None;
    ReturnLevel returnLevel = ReturnLevel::Initial;
    CycleMemory cycleMemory;
    CoordinateFrame frame;
    ToolState tool;

    bool incremental() const { return coordinateMode == CoordinateMode::Incremental; }
    bool inCycle() const { return cycle != CycleCode::None; }
};

// The modal state at the start of a run, from the settings and the initial
// position; compensation starts cancelled and the feed at 0; where work
// offsets are read, the first work system has the machine's offset.
inline ModalState startingState(const Settings& settings, const Point3& initialPosition)
{
    ModalState m;
    m.motion = settings.process.startMotion();
    m.plane = settings.process.startPlane();
    m.coordinateMode = settings.process.startCoordinateMode();
    m.position = initialPosition;
    if (settings.process.workOffsets != 0) {
        m.frame.workOffsets[0] = settings.machine.workOffset;
    }
    return m;
}

// The plane's two axes (angles run from A towards B) and its helical axis:
// XY: X, Y, Z. ZX: Z, X, Y. YZ: Y, Z, X.
struct PlaneAxes {
    int a;
    int b;
    int helical;
};

constexpr PlaneAxes planeAxesOf(Plane plane)
{
    switch (plane) {
    case Plane::XY: return {AxisIndexX, AxisIndexY, AxisIndexZ};
    case Plane::YZ: return {AxisIndexY, AxisIndexZ, AxisIndexX};
    case Plane::ZX: break;
    }
    return {AxisIndexZ, AxisIndexX, AxisIndexY};
}

}  // namespace drennix
