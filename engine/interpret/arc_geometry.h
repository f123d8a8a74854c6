// Arc geometry in the active plane: the centre, radii and angles of an arc
// given by centre offsets or by radius, its validation and its length. Each
// function is pure: the block and the state before it in, an ArcPath or a
// fault out.
#pragma once

#include "fault.h"
#include "modal_state.h"
#include "move.h"
#include "parsed_block.h"

namespace drennix {

// The centre offsets of the block on the plane's A and B axes.
double offsetOnA(const ParsedBlock& block, Plane plane);
double offsetOnB(const ParsedBlock& block, Plane plane);

// Angle of a plane vector in (-π, π]; (0, 0) gives -π/2.
double directionAngle(double dA, double dB);

// The circle through the start and `target` around start + offsets; the end
// angle is moved by 2π so that the arc runs in the motion's direction.
Fault resolveArcByOffsets(const ParsedBlock& block, const ModalState& state, const Point3& target, ArcPath& arc);

// The circle of radius R (signed: below 0 the long way round) from the start
// to `target`.
Fault resolveArcByRadius(const ParsedBlock& block, const ModalState& state, const Point3& target, ArcPath& arc);

// The angle checks and the recomputation of both ends within the tolerance
// of the number format; sets the swept angle, the full-circle flag and the
// radius difference.
Fault validateArc(const ModalState& state, const Point3& target, int decimals, ArcPath& arc);
// validateArc for an arc that resolveArcByOffsets or resolveArcByRadius gave,
// with the same outcome: the recheck is left out where rounding alone cannot
// make it fail.
Fault validateResolvedArc(const ModalState& state, const Point3& target, int decimals, ArcPath& arc);

// Adds the full turns of a P word to a validated arc (turns - 1 of them);
// a P that is not a whole number of 1 or more is a fault.
Fault addTurns(double turns, ArcPath& arc);

// The length of the arc with its helical travel dH (the perimeter
// approximation of an ellipse for the helix).
double arcLength(const ArcPath& arc, double dH);

// π · (a + b) · (1 + q / 4), q = ((b - a) / (a + b))².
double perimeterApproximation(double a, double b);

}  // namespace drennix
