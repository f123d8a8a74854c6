// The time a machine takes for the moves of a program: each move runs a
// trapezoidal velocity profile (accelerate, cruise, decelerate) within the
// limits the machine model gives its direction; the speed at each junction
// is limited by the corner and by what the moves on either side can reach,
// planned over a look-ahead window as a controller does. Memory is bounded
// by the window, not by the program.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "controller_profile.h"
#include "coordinate_frame.h"
#include "machine_model.h"
#include "move.h"

namespace drennix {

// The estimate of a whole run, in seconds.
struct Estimate {
    double seconds = 0;
    double rapidSeconds = 0;
    double cuttingSeconds = 0;
};

// A move with the time it takes and its speeds (mm/min) where it begins and
// where it ends.
struct PlannedMove {
    Move move;
    double seconds = 0;
    double entrySpeed = 0;
    double exitSpeed = 0;
    // The highest speed the move reaches, and the highest it may run at
    // (its feed, or its rapid rate, as the axes and its curve limit them).
    double topSpeed = 0;
    double speedLimit = 0;
};

using Direction = std::array<double, 3>;

// What the planner knows of one straight or arc piece of a move, in mm and
// seconds.
struct MotionPiece {
    bool rapid = false;
    // The piece has a direction: it goes somewhere, or it stands where one
    // that did ended.
    bool directed = false;
    double length = 0;
    // The highest speed and the acceleration along the piece (mm/s, mm/s²).
    double maxSpeed = 0;
    double acceleration = 0;
    // 1 / acceleration, for the times of the ramps.
    double inverseAcceleration = 0;
    // Unit tangents where the piece begins and ends.
    Direction entryDirection{};
    Direction exitDirection{};
};

// The machine's limits in the form the planner divides by, computed once
// per run: per axis the inverse of the feed and rapid rates (min/mm) and of
// the acceleration (s²/mm).
struct AxisLimits {
    std::array<double, 3> perFeed{};
    std::array<double, 3> perRapid{};
    std::array<double, 3> perAcceleration{};
};
AxisLimits axisLimitsOf(const MachineModel& machine);

// The piece of a straight move (rapid or cutting) or of an arc, limited by
// the machine's per-axis rates and accelerations projected on its direction.
MotionPiece pieceOf(const Move& move, const AxisLimits& limits);
MotionPiece pieceOf(const Move& move, const MachineModel& machine);

// How a corner's speed is limited: where two directions count as one, and
// the acceleration of the turn (the lower of the pieces', or with
// `perAcceleration` the axes' limit along the junction vector).
struct CornerRule {
    double straightCosine = 1 - 1e-12;
    const std::array<double, 3>* perAcceleration = nullptr;
};

// The highest speed (mm/s) at the junction of two pieces: the cornering limit
// of the junction deviation and neither piece's own highest speed; and its
// square.
double junctionSpeedSquared(const MotionPiece& before, const MotionPiece& after, double junctionDeviation,
                            const CornerRule& rule = {});
double junctionSpeed(const MotionPiece& before, const MotionPiece& after, double junctionDeviation,
                     const CornerRule& rule = {});

// The time (s) of a piece that enters at v0 and leaves at v1 (mm/s), both
// reachable within its length.
double pieceSeconds(const MotionPiece& piece, double v0, double v1);

// The highest speed (mm/s) of that piece: its cruise, or the peak of a
// profile too short to reach it.
double pieceTopSpeed(const MotionPiece& piece, double v0, double v1);

class MotionPlanner {
public:
    // Without `keepMoves` the planner only sums the estimate and hands out
    // no planned moves.
    explicit MotionPlanner(const MachineModel& machine, bool keepMoves = true);

    // A move that runs as it is (or, where the controller runs arcs as
    // chords, as its chords). The planned move that leaves the window, if
    // one does; it stays valid until the next call. Where an arc runs as
    // chords, more may leave: nextLeft gives them, then null.
    const PlannedMove* add(const Move& move);
    const PlannedMove* nextLeft();

    // A move that runs as `count` pieces (an arc replaced by straight cuts):
    // begin, then each piece. The move leaves the window with its last piece,
    // `count` in its segments.
    void beginPieces(const Move& move, long long count);
    const PlannedMove* addPiece(const Move& piece, bool last);

    // After the last move the machine stops: the moves still in the window,
    // one per call, then null.
    const PlannedMove* flush();
    // The machine stands for `seconds` (a dwell) once the window has run
    // out (flush first): the time counts, and the next move starts from a
    // standstill.
    void addDwell(double seconds);
    // The program's lengths are in `unit` from now on (flush first): the
    // machine's limits are taken in it.
    void changeUnit(LengthUnit unit);

    const Estimate& estimate() const { return estimate_; }
    const ControllerProfile& profile() const { return profile_; }

private:
    // Speeds in the window are kept squared: v² = v0² + 2·a·L needs no root.
    struct Slot {
        MotionPiece piece;
        // The highest entry speed the corner before it allows, squared.
        double entryLimit = 0;
        // The highest entry speed from which the window's end can still be
        // reached at a stop, squared.
        double entryReach = 0;
        // The last piece of its move.
        bool endsMove = true;
    };

    const PlannedMove* push(const MotionPiece& piece, bool endsMove);
    const PlannedMove* addChords(const Move& arc);
    // The piece of a move as the controller takes it (in whole steps where
    // it counts them).
    MotionPiece pieceOfMove(const Move& move) const;
    CornerRule cornerRule() const
    {
        return {profile_.straightCosine, profile_.cornerAlongJunction ? &limits_.perAcceleration : nullptr};
    }
    void planBackward();
    const PlannedMove* commitOldest();
    const PlannedMove* tellRun(const MotionPiece& piece, double entry, double exit, double seconds, bool endsMove);
    Slot& slot(std::size_t k) { return window_[(head_ + k) & ringMask_]; }
    void beginMove(const Move& move);

    const MachineModel machine_;
    const ControllerProfile profile_;
    double junctionDeviation_;
    AxisLimits limits_;
    // In the program's unit: the arc tolerance of chords and the steps per
    // unit of each axis.
    double arcTolerance_;
    std::array<double, 3> stepsPerUnit_;
    // The moves that left the window while an arc's chords were added, not
    // yet handed out.
    std::vector<const PlannedMove*> left_;
    std::size_t leftTaken_ = 0;
    const double blockSeconds_;
    const bool keepMoves_;
    // The pieces the window holds at most.
    const std::size_t windowLength_;
    // The rings below have a power of two of places, one more than the
    // window at least.
    const std::size_t ringMask_;
    // A ring of the pieces not yet run.
    std::vector<Slot> window_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    // A ring of the moves whose pieces are in the window (or being added),
    // oldest first.
    std::vector<PlannedMove> pending_;
    std::size_t pendingHead_ = 0;
    std::size_t pendingCount_ = 0;
    // A piece has left the window (it stays in the ring's place before the
    // oldest), and the speed it left at.
    bool hasRun_ = false;
    double speed_ = 0;
    // The pending move at the front has had a piece run.
    bool frontStarted_ = false;
    // The machine stands after a dwell: no corner joins the next piece to
    // the one that ran before.
    bool standing_ = false;
    Estimate estimate_;
};

}  // namespace drennix
