#include "arc_geometry.h"

#include <cmath>

#include "numerics.h"

namespace drennix {

namespace {

constexpr double halfPi = piConstant / 2;
constexpr double twoPi = 2 * piConstant;

double vectorLength(double a, double b)
{
    return squareRoot(square(a) + square(b));
}

bool isHelical(const ModalState& state, const Point3& target)
{
    const int h = planeAxesOf(state.plane).helical;
    return target[h] - state.position[h] != 0;
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

bool outside(double value, double expected, double tolerance)
{
    return value < expected - tolerance || value > expected + tolerance;
}

// The angles of an R arc from the direction psi of its normal and the half
// opening angle beta.
void setRadiusArcAngles(ArcPath& arc, bool clockwise, bool positive, double psi, double beta)
{
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
}

Fault checkSweep(const ArcPath& arc, bool clockwise, double swept)
{
    if (clockwise) {
        if (arc.startAngle < arc.endAngle) return Fault{FaultId::ClockwiseEndAboveStart};
        if (swept > twoPi) return Fault{FaultId::ClockwiseOver360};
    } else {
        if (arc.startAngle > arc.endAngle) return Fault{FaultId::CounterClockwiseEndBelowStart};
        if (swept > twoPi) return Fault{FaultId::CounterClockwiseOver360};
    }
    return {};
}

}  // namespace

double offsetOnA(const ParsedBlock& block, Plane plane)
{
    switch (plane) {
    case Plane::XY: return block.value(AddressKind::ArcI);
    case Plane::YZ: return block.value(AddressKind::ArcJ);
    case Plane::ZX: break;
    }
    return block.value(AddressKind::ArcK);
}

double offsetOnB(const ParsedBlock& block, Plane plane)
{
    switch (plane) {
    case Plane::XY: return block.value(AddressKind::ArcJ);
    case Plane::YZ: return block.value(AddressKind::ArcK);
    case Plane::ZX: break;
    }
    return block.value(AddressKind::ArcI);
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

Fault resolveArcByOffsets(const ParsedBlock& block, const ModalState& state, const Point3& target, ArcPath& arc)
{
    const PlaneAxes axes = planeAxesOf(state.plane);
    arc.helical = isHelical(state, target);

    const Point3& start = state.position;
    const double offsetA = offsetOnA(block, state.plane);
    const double offsetB = offsetOnB(block, state.plane);
    arc.centreA = start[axes.a] + offsetA;
    arc.centreB = start[axes.b] + offsetB;

    const double startA = -offsetA;
    const double startB = -offsetB;
    const double endA = target[axes.a] - arc.centreA;
    const double endB = target[axes.b] - arc.centreB;
    if (endA == 0 && endB == 0) {
        return Fault{FaultId::EndRadiusZero};
    }
    arc.radius = vectorLength(startA, startB);
    arc.endRadius = vectorLength(endA, endB);
    arc.startAngle = directionAngle(startA, startB);
    // A programmed full circle ends where it starts; (p + I) - p is not always
    // I in floating point, so its end angle is taken from the start vector
    // rather than recomputed, which would turn the circle into a sliver.
    const bool endsAtStart = target[axes.a] == start[axes.a] && target[axes.b] == start[axes.b];
    arc.endAngle = endsAtStart ? arc.startAngle : directionAngle(endA, endB);

    if (state.motion == Motion::ClockwiseArc) {
        if (arc.startAngle < arc.endAngle) {
            arc.endAngle -= twoPi;
        }
    } else if (arc.startAngle > arc.endAngle) {
        arc.endAngle += twoPi;
    }
    return {};
}

Fault resolveArcByRadius(const ParsedBlock& block, const ModalState& state, const Point3& target, ArcPath& arc)
{
    const PlaneAxes axes = planeAxesOf(state.plane);
    arc.helical = isHelical(state, target);

    const Point3& start = state.position;
    const double dA = target[axes.a] - start[axes.a];
    const double dB = target[axes.b] - start[axes.b];
    if (dA == 0 && dB == 0) {
        return Fault{FaultId::RadiusStartEqualsEnd};
    }
    const double midA = start[axes.a] + dA / 2;
    const double midB = start[axes.b] + dB / 2;
    const double halfChord = vectorLength(dA, dB) / 2;

    const double radius = block.value(AddressKind::Radius);
    const double absRadius = std::fabs(radius);
    arc.radius = radius;
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
    const bool clockwise = state.motion == Motion::ClockwiseArc;
    const bool positive = radius >= 0;
    const bool turnLeft = clockwise == positive;
    const double nA = turnLeft ? -dB : dB;
    const double nB = turnLeft ? dA : -dA;
    const double psi = normalAngle(dA, dB, nA, nB);

    const double centreDistance = absRadius * std::cos(beta);
    arc.centreA = midA - centreDistance * std::cos(psi);
    arc.centreB = midB - centreDistance * std::sin(psi);
    setRadiusArcAngles(arc, clockwise, positive, psi, beta);
    return {};
}

namespace {

// Both ends recomputed from the centre, the radius and the angles.
Fault recheckEnds(const ModalState& state, const Point3& target, const ArcPath& arc, double tolerance)
{
    const PlaneAxes axes = planeAxesOf(state.plane);
    const double r = arc.absRadius();
    const Point3& start = state.position;
    if (outside(start[axes.a], r * std::cos(arc.startAngle) + arc.centreA, tolerance) ||
        outside(start[axes.b], r * std::sin(arc.startAngle) + arc.centreB, tolerance)) {
        return Fault{FaultId::StartRecheck};
    }
    if (outside(target[axes.a], r * std::cos(arc.endAngle) + arc.centreA, tolerance) ||
        outside(target[axes.b], r * std::sin(arc.endAngle) + arc.centreB, tolerance)) {
        return Fault{FaultId::EndRecheck};
    }
    return {};
}

// glibc's sin, cos, atan and asin are within one unit in the last place.
#if defined(__GLIBC__)
constexpr bool libraryTrigonometryBounded = true;
#else
constexpr bool libraryTrigonometryBounded = false;
#endif

// Neither recheck can fail where rounding alone separates the recomputed ends
// from the programmed ones, beyond the difference of the two radii.
// - An arc by centre offsets starts at minus its offsets from the centre, so
//   r·cos θ + centre gives back the start up to the rounding of the centre,
//   the radius, the angle (the quotient, atan, ±π) and cos or sin.
// - An arc by radius has its centre at mid - r·cos β·(cos ψ, sin ψ) and its
//   angles at ψ ± β (±2π), with the same rounded β and ψ in both. So
//   r·cos(ψ ± β) + centre is, without rounding, mid ∓ r·sin β·(sin ψ, -cos ψ),
//   whatever β is; sin(asin(h / r)) is h / r within a few units, and ψ is the
//   chord's normal within a few. Where r is not above the half chord h, β is
//   π/2 and the ends lie h - r from the programmed ones: the radius
//   difference, since the end radius is then h.
// Together that is under 100 units in the last place of the largest figure
// involved (the radius, the centre, the points). Where 2^-40 of the figures
// (8192 units) stays within a quarter of the tolerance and the radius
// difference within half of it, neither recheck can fail.
bool recheckCannotFail(const ModalState& state, const Point3& target, const ArcPath& arc, double tolerance)
{
    if constexpr (!libraryTrigonometryBounded) {
        return false;
    }
    const PlaneAxes axes = planeAxesOf(state.plane);
    const Point3& start = state.position;
    const double r = arc.absRadius();
    const double size = r + std::fabs(arc.centreA) + std::fabs(arc.centreB) + std::fabs(start[axes.a]) +
                        std::fabs(start[axes.b]) + std::fabs(target[axes.a]) + std::fabs(target[axes.b]);
    // The constant term covers the rounding of values below the normal range.
    const double slack = size * 0x1p-40 + 0x1p-400;
    // False for any NaN or infinity, which then takes the recheck.
    return slack <= 0.25 * tolerance && std::fabs(r - std::fabs(arc.endRadius)) <= 0.5 * tolerance;
}

Fault checkArc(const ModalState& state, const Point3& target, int decimals, bool recheckAlways, ArcPath& arc)
{
    const bool clockwise = state.motion == Motion::ClockwiseArc;
    double swept = clockwise ? arc.startAngle - arc.endAngle : arc.endAngle - arc.startAngle;
    if (const Fault fault = checkSweep(arc, clockwise, swept)) {
        return fault;
    }
    if (swept == 0) {
        swept = twoPi;
    }

    const double tolerance = recheckTolerance(decimals);
    if (recheckAlways || !recheckCannotFail(state, target, arc, tolerance)) {
        if (const Fault fault = recheckEnds(state, target, arc, tolerance)) {
            return fault;
        }
    }
    arc.swept = swept;
    arc.fullCircle = swept == twoPi;
    arc.radiusDifference = std::fabs(arc.absRadius() - std::fabs(arc.endRadius));
    return {};
}

}  // namespace

Fault validateArc(const ModalState& state, const Point3& target, int decimals, ArcPath& arc)
{
    return checkArc(state, target, decimals, true, arc);
}

Fault validateResolvedArc(const ModalState& state, const Point3& target, int decimals, ArcPath& arc)
{
    return checkArc(state, target, decimals, false, arc);
}

Fault addTurns(double turns, ArcPath& arc)
{
    if (!(turns >= 1) || std::trunc(turns) != turns) {
        return Fault{FaultId::ArcTurnsNotWhole};
    }
    arc.turns = turns;
    arc.swept += twoPi * (turns - 1);
    return {};
}

double arcLength(const ArcPath& arc, double dH)
{
    const double r = arc.absRadius();
    if (arc.fullCircle && arc.turns == 1) {
        const double b = squareRoot(square(arc.radius) + square(dH / 4));
        return perimeterApproximation(r, b);
    }
    const double b = squareRoot(square(arc.radius) + square(piConstant * dH / (2 * arc.swept)));
    const double q = square((b - r) / (r + b));
    return piConstant * arc.swept * (r + b) * (1 + q / 4) / twoPi;
}

}  // namespace drennix
