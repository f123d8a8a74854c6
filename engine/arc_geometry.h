// Arc geometry in the active plane: centre, radii and angles of an arc given
// by centre offsets or by radius, its validation, its statistics, its length
// and extreme points.
#pragma once

#include <string_view>

#include "block.h"

namespace drennix {

struct RunState;

struct ArcGeometry {
    double endRadius = 0;
    double centreA = 0;
    double centreB = 0;
    double startAngle = 0;
    double endAngle = 0;
    double arcRadiusDifference = 0;
    // The end point of the current arc block.
    Point3 target{};
};

// The plane's two axes (angles run from A towards B) and its helical axis.
struct PlaneAxes {
    int a;
    int b;
    int helical;
};

// XY: X, Y, Z. ZX: Z, X, Y. YZ: Y, Z, X. Below ZX counts as XY, above as YZ.
PlaneAxes planeAxesOf(int plane);

// The centre offsets of the block on the plane's A and B axes.
double offsetOnA(const NcBlock& block, int plane);
double offsetOnB(const NcBlock& block, int plane);

// The block's end point: word values in absolute mode (the position where a
// word is missing), position + word values in incremental mode.
Point3 targetPoint(const NcBlock& block, const ModalState& state);

// Angle of a plane vector in (-π, π]; (0, 0) gives -π/2.
double directionAngle(double dA, double dB);

// 0 on success; 1 after the run was rejected with the line's message.
int resolveArcByOffsets(RunState& state);
int resolveArcByRadius(RunState& state);

// Validation, statistics, then conversion or measurement of the arc.
int evaluateArc(RunState& state, std::string_view codeText, std::string_view commentText);

// π · (a + b) · (1 + q / 4), q = ((b - a) / (a + b))².
double perimeterApproximation(double a, double b);

}  // namespace drennix
