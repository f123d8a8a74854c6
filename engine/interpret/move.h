// One move of the tool, as the interpreter evaluated a motion block: the
// value that statistics, the absolute list, the conversion and any host that
// listens (a toolpath view, an export) consume.
#pragma once

#include <cmath>
#include <cstdint>

#include "modal_state.h"

namespace drennix {

enum class MoveKind : std::uint8_t { Rapid, Linear, ClockwiseArc, CounterClockwiseArc };

// The circle of an arc move in its plane (see planeAxesOf).
struct ArcPath {
    double centreA = 0;
    double centreB = 0;
    // The radius as the block gives it: the R word, signed, or the length of
    // the start vector of an arc by centre offsets.
    double radius = 0;
    // The radius at the end point (of an R arc: the R word, or half the chord
    // when R is too short for it).
    double endRadius = 0;
    // |radius| - |endRadius|, without its sign.
    double radiusDifference = 0;
    // Radians; clockwise arcs run from the larger to the smaller angle.
    double startAngle = 0;
    double endAngle = 0;
    // The angle swept, above 0; 2π for a full circle; with turns, the whole
    // sweep of every turn.
    double swept = 0;
    // The arc of one turn is a full circle.
    bool fullCircle = false;
    // The turns an arc makes (a P word, where read): 1, or n - 1 full turns
    // more than its base arc.
    double turns = 1;
    // The end differs from the start on the plane's helical axis.
    bool helical = false;

    double absRadius() const { return std::fabs(radius); }
};

struct Move {
    MoveKind kind = MoveKind::Rapid;
    Plane plane = Plane::XY;
    // The source line of the block.
    long long line = 0;
    // The line's place in the order the new program of a converting run
    // holds the lines, where that is not its number (where subprograms
    // run); 0: its number.
    long long order = 0;
    // Absolute positions before and after the move.
    Point3 start{};
    Point3 end{};
    // The travel per axis, without sign, as the straight moves measure it
    // (in incremental mode the word values, not end - start).
    Point3 travel{};
    // The feed in force (cutting moves), per minute.
    double feed = 0;
    // The length of the path: the rapid model, the straight distance, or the
    // arc length with its helical travel.
    double length = 0;
    // Arcs only.
    ArcPath arc;
    // In a converting run, the straight cuts that replace this arc in the new
    // program; 0 for a move the run keeps (the interpreter leaves it 0).
    long long segments = 0;
    // Seconds the tool dwells where the move ends (a canned cycle's P at the
    // bottom of a hole); 0 for none.
    double dwell = 0;
    // The canned cycle whose expansion the move is part of; None for a
    // block's own move. Only a label for the hosts that show it.
    CycleCode cycle = CycleCode::None;

    bool isArc() const { return kind == MoveKind::ClockwiseArc || kind == MoveKind::CounterClockwiseArc; }
    bool clockwise() const { return kind == MoveKind::ClockwiseArc; }
    bool isRapid() const { return kind == MoveKind::Rapid; }
    bool helical() const { return isArc() && arc.helical; }
    bool converted() const { return segments > 0; }
};

}  // namespace drennix
