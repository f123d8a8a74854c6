#include "arc_geometry.h"

#include <cmath>

#include "messages.h"
#include "motion.h"
#include "number_format.h"
#include "run_state.h"
#include "segmentation.h"

namespace drennix {

namespace {

constexpr double halfPi = piConstant / 2;
constexpr double twoPi = 2 * piConstant;

double square(double v)
{
    return std::pow(v, 2);
}

double vectorLength(double a, double b)
{
    return std::pow(square(a) + square(b), 0.5);
}

// Sets the target point of the arc and its helical flag.
void takeTarget(RunState& state, const PlaneAxes& axes)
{
    state.arc.target = targetPoint(state.block, state.modal);
    state.block.helical = state.arc.target[axes.helical] - state.modal.position[axes.helical] != 0;
}

// The angle of the centre-to-midpoint direction n of a radius arc, computed
// from atan(-dA / dB) and the quadrant of n; ±π/2 directly when dB is 0.
double normalAngle(double dA, double dB, double nA, double nB)
{
    if (dB == 0) {
        return nB > 0 ? halfPi : -halfPi;
    }
    const double t = std::atan(-dA / dB);
    if (nA > 0) {
        return t;
    }
    return nB >= 0 ? t + piConstant : t - piConstant;
}

std::string recheckMessage(std::string_view head, double tolerance, int decimals)
{
    std::string text(head);
    appendFixed(text, tolerance, decimals);
    text += messages::recheckTail;
    return text;
}

bool outside(double value, double expected, double tolerance)
{
    return value < expected - tolerance || value > expected + tolerance;
}

// Widens the extents on one axis with an arc's extreme: a high extreme can
// only raise the maximum, a low one only lower the minimum.
void widenWithHigh(RunStatistics& s, int axis, double value)
{
    if (value > s.maximum[axis]) {
        s.maximum[axis] = value;
    }
}

void widenWithLow(RunStatistics& s, int axis, double value)
{
    if (value < s.minimum[axis]) {
        s.minimum[axis] = value;
    }
}

double toDegrees(double radians)
{
    return radians * 180 / piConstant;
}

// The extreme points an arc passes through: every direction k·90° between
// the lower and the upper angle, ends included; k modulo 4 names the extreme
// (0 high A, 1 high B, 2 low A, 3 low B).
void widenWithArcExtremes(RunState& state, const PlaneAxes& axes, double r, bool fullCircle)
{
    const ArcGeometry& arc = state.arc;
    RunStatistics& s = state.statistics;
    const double lowA = arc.centreA - r;
    const double highA = arc.centreA + r;
    const double lowB = arc.centreB - r;
    const double highB = arc.centreB + r;
    if (fullCircle) {
        widenWithLow(s, axes.a, lowA);
        widenWithHigh(s, axes.a, highA);
        widenWithLow(s, axes.b, lowB);
        widenWithHigh(s, axes.b, highB);
        return;
    }
    const bool clockwise = state.modal.motion == ClockwiseArc;
    const double lower = toDegrees(clockwise ? arc.endAngle : arc.startAngle);
    const double upper = toDegrees(clockwise ? arc.startAngle : arc.endAngle);
    for (int k = -5; k <= 5; ++k) {
        const double direction = k * 90.0;
        if (!(lower <= direction && direction <= upper)) {
            continue;
        }
        switch (((k % 4) + 4) % 4) {
        case 0: widenWithHigh(s, axes.a, highA); break;
        case 1: widenWithHigh(s, axes.b, highB); break;
        case 2: widenWithLow(s, axes.a, lowA); break;
        default: widenWithLow(s, axes.b, lowB); break;
        }
    }
}

// The length of an arc that is not converted, with the perimeter
// approximation for its helical travel.
double arcLength(double signedRadius, double r, double swept, double dH, bool fullCircle)
{
    if (fullCircle) {
        const double b = std::pow(square(signedRadius) + square(dH / 4), 0.5);
        return perimeterApproximation(r, b);
    }
    const double b = std::pow(square(signedRadius) + square(piConstant * dH / (2 * swept)), 0.5);
    const double q = square((b - r) / (r + b));
    return piConstant * swept * (r + b) * (1 + q / 4) / twoPi;
}

}  // namespace

PlaneAxes planeAxesOf(int plane)
{
    if (plane < ZxPlane) {
        return {AxisIndexX, AxisIndexY, AxisIndexZ};
    }
    if (plane > ZxPlane) {
        return {AxisIndexY, AxisIndexZ, AxisIndexX};
    }
    return {AxisIndexZ, AxisIndexX, AxisIndexY};
}

double offsetOnA(const NcBlock& block, int plane)
{
    return plane < ZxPlane ? block.i : plane > ZxPlane ? block.j : block.k;
}

double offsetOnB(const NcBlock& block, int plane)
{
    return plane < ZxPlane ? block.j : plane > ZxPlane ? block.k : block.i;
}

Point3 targetPoint(const NcBlock& block, const ModalState& state)
{
    Point3 target{};
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (state.coordinateMode == IncrementalMode) {
            target[axis] = state.position[axis] + block.axisValue(axis);
        } else {
            target[axis] = block.hasAxis(axis) ? block.axisValue(axis) : state.position[axis];
        }
    }
    return target;
}

double directionAngle(double dA, double dB)
{
    if (dA == 0) {
        return dB > 0 ? halfPi : -halfPi;
    }
    if (dA > 0) {
        return std::atan(dB / dA);
    }
    return dB >= 0 ? std::atan(dB / dA) + piConstant : std::atan(dB / dA) - piConstant;
}

double perimeterApproximation(double a, double b)
{
    const double q = square((b - a) / (a + b));
    return piConstant * (a + b) * (1 + q / 4);
}

int resolveArcByOffsets(RunState& state)
{
    NcBlock& block = state.block;
    ArcGeometry& arc = state.arc;
    const int plane = state.modal.plane;
    const PlaneAxes axes = planeAxesOf(plane);
    takeTarget(state, axes);

    const Point3& start = state.modal.position;
    const double offsetA = offsetOnA(block, plane);
    const double offsetB = offsetOnB(block, plane);
    arc.centreA = start[axes.a] + offsetA;
    arc.centreB = start[axes.b] + offsetB;

    const double startA = -offsetA;
    const double startB = -offsetB;
    const double endA = arc.target[axes.a] - arc.centreA;
    const double endB = arc.target[axes.b] - arc.centreB;
    if (endA == 0 && endB == 0) {
        return state.reject(messages::endRadiusZero);
    }
    block.r = vectorLength(startA, startB);
    arc.endRadius = vectorLength(endA, endB);
    arc.startAngle = directionAngle(startA, startB);
    // A programmed full circle ends where it starts; (p + I) - p is not always
    // I in floating point, so its end angle is taken from the start vector
    // rather than recomputed, which would turn the circle into a sliver.
    const bool endsAtStart = arc.target[axes.a] == start[axes.a] && arc.target[axes.b] == start[axes.b];
    arc.endAngle = endsAtStart ? arc.startAngle : directionAngle(endA, endB);

    if (state.modal.motion == ClockwiseArc) {
        if (arc.startAngle < arc.endAngle) {
            arc.endAngle -= twoPi;
        }
    } else if (arc.startAngle > arc.endAngle) {
        arc.endAngle += twoPi;
    }
    return 0;
}

int resolveArcByRadius(RunState& state)
{
    NcBlock& block = state.block;
    ArcGeometry& arc = state.arc;
    const PlaneAxes axes = planeAxesOf(state.modal.plane);
    takeTarget(state, axes);

    const Point3& start = state.modal.position;
    const double dA = arc.target[axes.a] - start[axes.a];
    const double dB = arc.target[axes.b] - start[axes.b];
    if (dA == 0 && dB == 0) {
        return state.reject(messages::radiusStartEqualsEnd);
    }
    const double midA = start[axes.a] + dA / 2;
    const double midB = start[axes.b] + dB / 2;
    const double halfChord = vectorLength(dA, dB) / 2;

    const double radius = block.r;
    const double absRadius = std::fabs(radius);
    double beta = 0;
    if (absRadius > halfChord) {
        arc.endRadius = radius;
        beta = std::asin(halfChord / absRadius);
    } else {
        arc.endRadius = halfChord;
        beta = halfPi;
    }

    // n points from the centre towards the chord's midpoint: the chord turned
    // left for the short clockwise arc and the long counter-clockwise one,
    // turned right otherwise.
    const bool clockwise = state.modal.motion == ClockwiseArc;
    const bool positive = radius >= 0;
    const bool turnLeft = clockwise == positive;
    const double nA = turnLeft ? -dB : dB;
    const double nB = turnLeft ? dA : -dA;
    const double psi = normalAngle(dA, dB, nA, nB);

    const double centreDistance = absRadius * std::cos(beta);
    arc.centreA = midA - centreDistance * std::cos(psi);
    arc.centreB = midB - centreDistance * std::sin(psi);

    if (positive) {
        arc.startAngle = clockwise ? psi + beta : psi - beta;
        arc.endAngle = clockwise ? psi - beta : psi + beta;
    } else if (clockwise) {
        const double psi1 = psi > 0 ? psi : psi + twoPi;
        arc.startAngle = psi1 - beta;
        arc.endAngle = psi1 + beta - twoPi;
    } else {
        const double psi2 = psi <= 0 ? psi : psi - twoPi;
        arc.startAngle = psi2 + beta;
        arc.endAngle = psi2 - beta + twoPi;
    }
    return 0;
}

int evaluateArc(RunState& state, std::string_view codeText, std::string_view commentText)
{
    NcBlock& block = state.block;
    ArcGeometry& arc = state.arc;
    const PlaneAxes axes = planeAxesOf(state.modal.plane);
    const bool clockwise = state.modal.motion == ClockwiseArc;

    double swept = clockwise ? arc.startAngle - arc.endAngle : arc.endAngle - arc.startAngle;
    if (clockwise) {
        if (arc.startAngle < arc.endAngle) return state.reject(messages::cwEndAboveStart);
        if (swept > twoPi) return state.reject(messages::cwOver360);
    } else {
        if (arc.startAngle > arc.endAngle) return state.reject(messages::ccwEndBelowStart);
        if (swept > twoPi) return state.reject(messages::ccwOver360);
    }
    if (swept == 0) {
        swept = twoPi;
    }

    const int decimals = state.decimalPlaces();
    const double tolerance = 2 * std::pow(10, -decimals);
    const double r = std::fabs(block.r);
    const Point3& start = state.modal.position;
    if (outside(start[axes.a], r * std::cos(arc.startAngle) + arc.centreA, tolerance) ||
        outside(start[axes.b], r * std::sin(arc.startAngle) + arc.centreB, tolerance)) {
        return state.reject(recheckMessage(messages::startRecheckHead, tolerance, decimals));
    }
    if (outside(arc.target[axes.a], r * std::cos(arc.endAngle) + arc.centreA, tolerance) ||
        outside(arc.target[axes.b], r * std::sin(arc.endAngle) + arc.centreB, tolerance)) {
        return state.reject(recheckMessage(messages::endRecheckHead, tolerance, decimals));
    }

    RunStatistics& statistics = state.statistics;
    arc.arcRadiusDifference = std::fabs(r - std::fabs(arc.endRadius));
    if (arc.arcRadiusDifference > statistics.radiusDifference) {
        statistics.radiusDifference = arc.arcRadiusDifference;
    }
    if (r > statistics.maxRadius) {
        statistics.maxRadius = r;
    }
    block.blockMotionKind = BlockMotionKind::Cutting;
    if (block.helical) {
        ++statistics.helicalCount;
    } else {
        ++statistics.arcCount;
    }

    const RunMode mode = state.options.runMode;
    if (mode == RunMode::ConvertArcs || (mode == RunMode::ConvertHelical && block.helical)) {
        return convertArc(state, swept, codeText, commentText);
    }

    const bool fullCircle = swept == twoPi;
    const double dH = arc.target[axes.helical] - start[axes.helical];
    block.blockDistance += arcLength(block.r, r, swept, dH, fullCircle);
    widenWithArcExtremes(state, axes, r, fullCircle);
    assignPosition(block, state.modal, statistics);
    return 0;
}

}  // namespace drennix
