// The modal state carried from block to block: the modal codes in force, the
// feed and the tool position.
#pragma once

#include <array>

#include "modal_codes.h"
#include "vocabulary.h"

namespace drennix {

enum Axis : int { AxisIndexX = 0, AxisIndexY = 1, AxisIndexZ = 2 };

using Point3 = std::array<double, 3>;

struct ModalState {
    Motion motion = Motion::Rapid;
    Plane plane = Plane::XY;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    Compensation compensation = Compensation::Cancelled;
    double feed = 0;
    Point3 position{};

    bool incremental() const { return coordinateMode == CoordinateMode::Incremental; }
};

// The modal state at the start of a run, from the settings and the initial
// position; compensation starts cancelled and the feed at 0.
inline ModalState startingState(const ProcessSettings& process, const Point3& initialPosition)
{
    ModalState m;
    m.motion = process.startMotion();
    m.plane = process.startPlane();
    m.coordinateMode = process.startCoordinateMode();
    m.position = initialPosition;
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
