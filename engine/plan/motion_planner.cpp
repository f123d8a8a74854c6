#include "motion_planner.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "arc_chords.h"
#include "vocabulary.h"

namespace drennix {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double perMinute = 60;

// Where two pieces meet on a straight line, the corner sets no limit.
constexpr double straightOnCosine = 1 - 1e-12;

// Whether the angles from `low` to `high` (radians, low <= high) pass a
// multiple of π, where |cos| is 1.
bool passesMultipleOfPi(double low, double high)
{
    return high - low >= piConstant || std::ceil(low / piConstant) * piConstant <= high;
}

// The highest speed along a direction whose share of the path on each axis is
// `share`, no axis faster than the inverse of its `inverseRates` (mm/min);
// in mm/s. The same for the acceleration.
double limitedSpeed(const std::array<double, 3>& share, const std::array<double, 3>& inverseRates)
{
    const double slowest =
        std::max({share[0] * inverseRates[0], share[1] * inverseRates[1], share[2] * inverseRates[2]});
    return 1 / (slowest * perMinute);
}

// The acceleration of `piece` and its inverse, from its shares of the axes.
void limitAcceleration(MotionPiece& piece, const std::array<double, 3>& share,
                       const std::array<double, 3>& inverseAccelerations)
{
    piece.inverseAcceleration = std::max(
        {share[0] * inverseAccelerations[0], share[1] * inverseAccelerations[1], share[2] * inverseAccelerations[2]});
    piece.acceleration = 1 / piece.inverseAcceleration;
}

MotionPiece straightPiece(const Move& move, const AxisLimits& limits)
{
    MotionPiece piece;
    piece.rapid = move.isRapid();
    Direction d{};
    double squares = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        d[k] = move.end[k] - move.start[k];
        squares += d[k] * d[k];
    }
    if (squares == 0) return piece;
    // A cutting move's length is the straight distance the interpreter
    // measured, where it did; a rapid move's is its rapid model, not the path.
    piece.length = !piece.rapid && move.length > 0 ? move.length : std::sqrt(squares);
    piece.directed = true;
    const double inverseLength = 1 / piece.length;
    std::array<double, 3> share{};
    for (std::size_t k = 0; k < 3; ++k) {
        d[k] *= inverseLength;
        share[k] = std::fabs(d[k]);
    }
    piece.entryDirection = d;
    piece.exitDirection = d;
    piece.maxSpeed = limitedSpeed(share, piece.rapid ? limits.perRapid : limits.perFeed);
    if (!piece.rapid) piece.maxSpeed = std::min(piece.maxSpeed, move.feed / perMinute);
    limitAcceleration(piece, share, limits.perAcceleration);
    return piece;
}

// The unit tangent of an arc where the radius to `point` meets it, with the
// share `planar` of the path in the plane and `helical` along the helical
// axis. The tangent of a counter-clockwise arc is the radius turned by +90°.
Direction arcTangent(const Move& move, const Point3& point, double radius, double planar, double helical)
{
    const PlaneAxes axes = planeAxesOf(move.plane);
    const auto a = static_cast<std::size_t>(axes.a);
    const auto b = static_cast<std::size_t>(axes.b);
    const double scale = (move.clockwise() ? -planar : planar) / radius;
    Direction t{};
    t[a] = -(point[b] - move.arc.centreB) * scale;
    t[b] = (point[a] - move.arc.centreA) * scale;
    t[static_cast<std::size_t>(axes.helical)] = helical;
    return t;
}

MotionPiece arcPiece(const Move& move, const AxisLimits& limits)
{
    MotionPiece piece;
    const PlaneAxes axes = planeAxesOf(move.plane);
    const auto a = static_cast<std::size_t>(axes.a);
    const auto b = static_cast<std::size_t>(axes.b);
    const auto h = static_cast<std::size_t>(axes.helical);
    const double radius = move.arc.absRadius();
    const double rise = move.end[h] - move.start[h];
    const double round = radius * move.arc.swept;
    piece.length = std::sqrt(round * round + rise * rise);
    if (piece.length == 0) return piece;
    piece.directed = true;
    const double planar = round / piece.length;
    const double helical = rise / piece.length;
    piece.entryDirection = arcTangent(move, move.start, radius, planar, helical);
    piece.exitDirection = arcTangent(move, move.end, std::fabs(move.arc.endRadius), planar, helical);
    // The tangent at angle φ points along (-sin φ, cos φ): its largest share
    // on the plane's first axis is the largest |sin φ| over the sweep, on the
    // second the largest |cos φ|; within a sweep that passes no multiple of
    // π/2, they are those at its ends.
    const double low = std::min(move.arc.startAngle, move.arc.endAngle);
    const double high = low + move.arc.swept;
    std::array<double, 3> share{};
    share[a] = passesMultipleOfPi(low - piConstant / 2, high - piConstant / 2)
                   ? planar
                   : std::max(std::fabs(piece.entryDirection[a]), std::fabs(piece.exitDirection[a]));
    share[b] = passesMultipleOfPi(low, high)
                   ? planar
                   : std::max(std::fabs(piece.entryDirection[b]), std::fabs(piece.exitDirection[b]));
    share[h] = std::fabs(helical);
    limitAcceleration(piece, share, limits.perAcceleration);
    piece.maxSpeed = std::min(limitedSpeed(share, limits.perFeed), move.feed / perMinute);
    // The centripetal acceleration v²/r stays within the move's.
    piece.maxSpeed = std::min(piece.maxSpeed, std::sqrt(piece.acceleration * radius));
    return piece;
}

double dot(const Direction& a, const Direction& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

AxisLimits axisLimitsOf(const MachineModel& machine)
{
    AxisLimits limits;
    for (std::size_t k = 0; k < 3; ++k) {
        limits.perFeed[k] = 1 / machine.maxFeed[k];
        limits.perRapid[k] = 1 / machine.rapidRate[k];
        limits.perAcceleration[k] = 1 / machine.acceleration[k];
    }
    return limits;
}

MotionPiece pieceOf(const Move& move, const AxisLimits& limits)
{
    return move.isArc() ? arcPiece(move, limits) : straightPiece(move, limits);
}

MotionPiece pieceOf(const Move& move, const MachineModel& machine)
{
    return pieceOf(move, axisLimitsOf(machine));
}

// The acceleration the axes allow along the junction vector of a corner: the
// change of direction from `exit` to `entry` (not zero).
double accelerationAlongJunction(const Direction& exit, const Direction& entry,
                                 const std::array<double, 3>& perAcceleration)
{
    Direction junction{};
    double squares = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        junction[k] = entry[k] - exit[k];
        squares += junction[k] * junction[k];
    }
    const double inverseLength = 1 / std::sqrt(squares);
    std::array<double, 3> share{};
    for (std::size_t k = 0; k < 3; ++k)
        share[k] = std::fabs(junction[k]) * inverseLength;
    return 1 / std::max({share[0] * perAcceleration[0], share[1] * perAcceleration[1], share[2] * perAcceleration[2]});
}

double junctionSpeedSquared(const MotionPiece& before, const MotionPiece& after, double junctionDeviation,
                            const CornerRule& rule)
{
    const double speed = std::min(before.maxSpeed, after.maxSpeed);
    const double cosine = dot(before.exitDirection, after.entryDirection);
    if (cosine >= rule.straightCosine) return speed * speed;
    // θ, the corner's angle, is 180° less the turn of the direction:
    // sin(θ/2) = cos(turn/2) = √((1 + cos turn) / 2).
    const double sinHalf = std::sqrt(std::max(0.0, (1 + cosine) / 2));
    const double acceleration =
        rule.perAcceleration != nullptr
            ? accelerationAlongJunction(before.exitDirection, after.entryDirection, *rule.perAcceleration)
            : std::min(before.acceleration, after.acceleration);
    const double corner = acceleration * junctionDeviation * sinHalf / (1 - sinHalf);
    return std::min(speed * speed, corner);
}

double junctionSpeed(const MotionPiece& before, const MotionPiece& after, double junctionDeviation,
                     const CornerRule& rule)
{
    return std::sqrt(junctionSpeedSquared(before, after, junctionDeviation, rule));
}

double pieceSeconds(const MotionPiece& piece, double v0, double v1)
{
    if (piece.length == 0) return 0;
    if (piece.maxSpeed <= 0) return infinity;
    const double perA = piece.inverseAcceleration;
    const double v = piece.maxSpeed;
    const double peakSquared = (2 * piece.acceleration * piece.length + v0 * v0 + v1 * v1) / 2;
    if (peakSquared >= v * v) {
        // Up to v and down again, and the rest of the length at v.
        const double ramps = (2 * v * v - v0 * v0 - v1 * v1) * perA / 2;
        return (2 * v - v0 - v1) * perA + (piece.length - ramps) / v;
    }
    return (2 * std::sqrt(peakSquared) - v0 - v1) * perA;
}

double pieceTopSpeed(const MotionPiece& piece, double v0, double v1)
{
    if (piece.length == 0) return std::max(v0, v1);
    const double peakSquared = (2 * piece.acceleration * piece.length + v0 * v0 + v1 * v1) / 2;
    return std::min(piece.maxSpeed, std::sqrt(peakSquared));
}

MotionPlanner::MotionPlanner(const MachineModel& machine, bool keepMoves)
    : machine_(machine),
      profile_(profileOf(machine)),
      junctionDeviation_(machine.junctionDeviation),
      limits_(axisLimitsOf(machine)),
      arcTolerance_(machine.arcTolerance),
      stepsPerUnit_(machine.stepsPerMm),
      blockSeconds_(machine.blockTime / 1000),
      keepMoves_(keepMoves),
      windowLength_(profile_.window != 0 ? profile_.window : static_cast<std::size_t>(std::max(1, machine.lookAhead))),
      ringMask_(std::bit_ceil(windowLength_ + 1) - 1),
      window_(ringMask_ + 1),
      pending_(keepMoves ? ringMask_ + 1 : 0)
{}

void MotionPlanner::changeUnit(LengthUnit unit)
{
    MachineModel scaled = machine_;
    const auto inUnit = [unit](double millimetres) { return convertLength(millimetres, LengthUnit::Millimetre, unit); };
    for (std::size_t k = 0; k < 3; ++k) {
        scaled.maxFeed[k] = inUnit(machine_.maxFeed[k]);
        scaled.rapidRate[k] = inUnit(machine_.rapidRate[k]);
        scaled.acceleration[k] = inUnit(machine_.acceleration[k]);
    }
    junctionDeviation_ = inUnit(machine_.junctionDeviation);
    arcTolerance_ = inUnit(machine_.arcTolerance);
    for (std::size_t k = 0; k < 3; ++k)
        stepsPerUnit_[k] = machine_.stepsPerMm[k] / inUnit(1);
    limits_ = axisLimitsOf(scaled);
}

void MotionPlanner::beginMove(const Move& move)
{
    if (!keepMoves_) return;
    pending_[(pendingHead_ + pendingCount_) & ringMask_] = PlannedMove{move};
    ++pendingCount_;
}

const PlannedMove* MotionPlanner::add(const Move& move)
{
    left_.clear();
    leftTaken_ = 0;
    if (profile_.arcsAsChords && move.isArc()) return addChords(move);
    beginMove(move);
    return push(pieceOfMove(move), true);
}

// The arc's chords, each a piece of the move; the moves that leave meanwhile
// wait for nextLeft.
const PlannedMove* MotionPlanner::addChords(const Move& arc)
{
    const long long count = chordCount(arc, arcTolerance_);
    beginMove(arc);
    Move chord;
    chord.kind = MoveKind::Linear;
    chord.line = arc.line;
    chord.feed = arc.feed;
    chord.end = arc.start;
    for (long long k = 1; k <= count; ++k) {
        chord.start = chord.end;
        chord.end = chordPoint(arc, k, count);
        if (const PlannedMove* planned = push(pieceOfMove(chord), k == count)) left_.push_back(planned);
    }
    return nextLeft();
}

const PlannedMove* MotionPlanner::nextLeft()
{
    return leftTaken_ < left_.size() ? left_[leftTaken_++] : nullptr;
}

MotionPiece MotionPlanner::pieceOfMove(const Move& move) const
{
    if (!profile_.wholeSteps || move.isArc()) return pieceOf(move, limits_);
    // The controller moves from step to step: the piece runs between the
    // steps nearest its ends, its length theirs.
    Move stepped = move;
    for (std::size_t k = 0; k < 3; ++k) {
        stepped.start[k] = std::round(move.start[k] * stepsPerUnit_[k]) / stepsPerUnit_[k];
        stepped.end[k] = std::round(move.end[k] * stepsPerUnit_[k]) / stepsPerUnit_[k];
    }
    stepped.length = 0;
    return pieceOf(stepped, limits_);
}

void MotionPlanner::beginPieces(const Move& move, long long count)
{
    beginMove(move);
    if (keepMoves_) pending_[(pendingHead_ + pendingCount_ - 1) & ringMask_].move.segments = count;
}

const PlannedMove* MotionPlanner::addPiece(const Move& piece, bool last)
{
    return push(pieceOfMove(piece), last);
}

// A piece joins the window; when the window is full, the oldest runs.
const PlannedMove* MotionPlanner::push(const MotionPiece& added, bool endsMove)
{
    // The piece before it: in the window, or the last one that left it.
    const Slot* before = count_ > 0              ? &slot(count_ - 1)
                         : hasRun_ && !standing_ ? &window_[(head_ - 1) & ringMask_]
                                                 : nullptr;
    standing_ = false;
    Slot& s = slot(count_);
    if (!added.directed && before != nullptr) {
        // A move that goes nowhere runs on at the speed of the one before.
        s.piece = before->piece;
        s.piece.length = 0;
        s.piece.rapid = added.rapid;
    } else {
        s.piece = added;
    }
    s.endsMove = endsMove;
    s.entryLimit = before != nullptr && before->piece.directed
                       ? junctionSpeedSquared(before->piece, s.piece, junctionDeviation_, cornerRule())
                       : 0;
    s.entryReach = 0;
    ++count_;
    planBackward();
    return count_ == windowLength_ ? commitOldest() : nullptr;
}

// From the window's end, where the machine must be able to stop, each
// piece's entry speed is what its corner allows and what it can still brake
// from. A piece whose value has not changed leaves those before it as they
// were.
void MotionPlanner::planBackward()
{
    double exitReach = 0;
    for (std::size_t k = count_; k-- > 0;) {
        Slot& s = slot(k);
        const double reach = exitReach + 2 * s.piece.acceleration * s.piece.length;
        const double entry = std::min(s.entryLimit, reach);
        if (k + 1 < count_ && entry == s.entryReach) break;
        s.entryReach = entry;
        exitReach = entry;
    }
}

// The oldest piece runs: it enters at the speed the machine has and leaves
// at the most it can reach that the pieces after it allow.
const PlannedMove* MotionPlanner::commitOldest()
{
    Slot& s = slot(0);
    const double allowed = count_ > 1 ? slot(1).entryReach : 0;
    const double reachable = speed_ * speed_ + 2 * s.piece.acceleration * s.piece.length;
    const double entry = speed_;
    const double exit = std::sqrt(std::min(allowed, reachable));
    const double seconds = std::max(pieceSeconds(s.piece, entry, exit), blockSeconds_);
    (s.piece.rapid ? estimate_.rapidSeconds : estimate_.cuttingSeconds) += seconds;
    estimate_.seconds += seconds;

    hasRun_ = true;
    speed_ = exit;
    const bool endsMove = s.endsMove;
    head_ = (head_ + 1) & ringMask_;
    --count_;
    return keepMoves_ ? tellRun(s.piece, entry, exit, seconds, endsMove) : nullptr;
}

// The move of the piece that ran takes its time and speeds; after its last
// piece it leaves.
const PlannedMove* MotionPlanner::tellRun(const MotionPiece& piece, double entry, double exit, double seconds,
                                          bool endsMove)
{
    PlannedMove& move = pending_[pendingHead_];
    if (!frontStarted_) {
        move.entrySpeed = entry * perMinute;
        frontStarted_ = true;
    }
    move.seconds += seconds;
    move.exitSpeed = exit * perMinute;
    move.topSpeed = std::max(move.topSpeed, pieceTopSpeed(piece, entry, exit) * perMinute);
    move.speedLimit = std::max(move.speedLimit, piece.maxSpeed * perMinute);
    if (!endsMove) return nullptr;
    pendingHead_ = (pendingHead_ + 1) & ringMask_;
    --pendingCount_;
    frontStarted_ = false;
    return &move;
}

const PlannedMove* MotionPlanner::flush()
{
    while (count_ > 0) {
        if (const PlannedMove* move = commitOldest()) return move;
    }
    return nullptr;
}

void MotionPlanner::addDwell(double seconds)
{
    estimate_.seconds += seconds;
    standing_ = true;
}

}  // namespace drennix
