// The estimate against programs whose times follow from the formulas of a
// trapezoidal planner, for each controller profile: the same machine on both
// sides (500 mm/s², 6000 mm/min, junction deviation 0.01, arc tolerance
// 0.002), each time within 0.5 % of its formula.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "arc_chords.h"
#include "engine_run.h"
#include "motion_planner.h"

namespace drennix::testing {
namespace {

constexpr double a = 500;    // mm/s²
constexpr double top = 100;  // mm/s (6000 mm/min)
constexpr double deviation = 0.01;

// A piece of length `length` entered at v0 and left at v1, cruising at `v`
// where it can.
double rampSeconds(double length, double v0, double v1, double v = top)
{
    return (2 * v - v0 - v1) / a + (length - (2 * v * v - v0 * v0 - v1 * v1) / (2 * a)) / v;
}

// The corner speed of a right angle for a corner acceleration `corner`.
double rightAngleSpeed(double corner)
{
    const double sinHalf = std::sqrt(0.5);
    return std::sqrt(corner * deviation * sinHalf / (1 - sinHalf));
}

class ControllerProfiles : public EngineRunTest {
protected:
    ControllerProfiles()
    {
        settings.process.calculatorDecimals = 1;
        MachineModel& m = settings.machine;
        m.maxFeed = {6000, 6000, 6000};
        m.rapidRate = {6000, 6000, 6000};
        m.acceleration = {a, a, a};
        m.junctionDeviation = deviation;
        options.estimate = true;
    }
    double seconds(std::string_view program, Controller controller)
    {
        settings.machine.controller = static_cast<int>(controller);
        run(program);
        EXPECT_EQ(host.messages, kCalculated) << program;
        return host.estimate ? host.estimate->seconds : -1;
    }
};

struct ClosedForm {
    const char* name;
    std::string program;
    double generic;
    double grbl;
};

TEST_F(ControllerProfiles, ClosedFormProgramsLandWithinHalfAPercent)
{
    const double pi = std::numbers::pi;
    // A square: its corners at the right-angle speed of each corner rule
    // (the lower acceleration of the two sides, or along the junction
    // vector: 500/cos 45°).
    const auto square = [](double corner) {
        const double v = rightAngleSpeed(corner);
        return rampSeconds(100, 0, v) + 2 * rampSeconds(100, v, v) + rampSeconds(100, v, 0);
    };
    // A circle of radius 1 at v² = a·r; grbl's 49 chords of it meet at
    // junctions faster than that; one of radius 10 at 10 mm/s, its chords
    // (157) a little shorter than the circle.
    const double arcLimit = std::sqrt(a * 1);
    const double chords157 = 157 * 2 * 10 * std::sin(pi / 157);
    // 500 moves of 0.1 mm in a line: the window must be able to stop
    // within the moves it holds after the one running, so each junction
    // runs at v² = 2·a·(n − 1)·L, reached and left over n − 1 moves; between
    // two such junctions a move speeds up and slows down again.
    const auto inLine = [](double window) {
        const double length = 0.1;
        const double v = std::sqrt(2 * a * (window - 1) * length);
        const double between = 2 * (std::sqrt(a * length + v * v) - v) / a;
        return 2 * v / a + (500 - 2 * (window - 1)) * between;
    };
    std::string shortMoves = "G1F6000\n";
    for (int k = 1; k <= 500; ++k)
        shortMoves.append("X").append(std::to_string(k / 10)).append(".").append(std::to_string(k % 10)).append("\n");
    const ClosedForm cases[] = {
        {"a long move", "G1X100F6000\n", rampSeconds(100, 0, 0), rampSeconds(100, 0, 0)},
        {"a square", "G1X100F6000\nY100\nX0\nY0\n", square(a), square(a / std::sqrt(0.5))},
        {"a circle at the arc limit", "G2I1F6000\n", 2 * pi / arcLimit + arcLimit / a, -1},
        {"a circle at its feed", "G2I10F600\n", 2 * pi * 10 / 10 + 10 / a, chords157 / 10 + 10 / a},
        {"short moves in a line", shortMoves, inLine(32), inLine(15)},
        // The spindle's speed changes between two moves in a line: grbl
        // stops there, the generic machine runs on.
        {"a spindle change", "M3S1000\nG1X100F6000\nS2000\nX200\n", rampSeconds(200, 0, 0), 2 * rampSeconds(100, 0, 0)},
    };
    for (const ClosedForm& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(seconds(c.program, Controller::Generic), c.generic, c.generic * 0.005);
        if (c.grbl > 0) {
            EXPECT_NEAR(seconds(c.program, Controller::Grbl), c.grbl, c.grbl * 0.005);
        }
    }
}

// grbl's arc of radius 1 at 0.002: 49 chords, each turning the path by
// 2π/49; where two meet the corner rule holds along their junction vector.
TEST_F(ControllerProfiles, AnArcRunsAsGrblsChords)
{
    Move arc;
    arc.kind = MoveKind::ClockwiseArc;
    arc.start = {0, 0, 0};
    arc.end = {0, 0, -1};
    arc.arc.centreA = 1;
    arc.arc.radius = 1;
    arc.arc.startAngle = std::numbers::pi;
    arc.arc.endAngle = -std::numbers::pi;
    arc.arc.swept = 2 * std::numbers::pi;
    EXPECT_EQ(chordCount(arc, 0.002), 49);
    EXPECT_EQ(chordCount(arc, 3), 1);
    const Point3 first = chordPoint(arc, 1, 49);
    EXPECT_NEAR(std::hypot(first[0] - 1, first[1]), 1, 1e-12);
    EXPECT_NEAR(first[2], -1.0 / 49, 1e-12);
    EXPECT_EQ(chordPoint(arc, 49, 49), arc.end);

    // Two chords meeting at the top of the circle: their junction vector
    // points along Y, so the corner takes Y's acceleration alone.
    MachineModel machine;
    machine.acceleration = {a, 2 * a, a};
    const double turn = 2 * std::numbers::pi / 49;
    Move before;
    before.kind = MoveKind::Linear;
    before.feed = 6000;
    before.start = {-std::sin(turn), std::cos(turn), 0};
    before.end = {0, 1, 0};
    Move after = before;
    after.start = before.end;
    after.end = {std::sin(turn), std::cos(turn), 0};
    const MotionPiece p = pieceOf(before, machine);
    const MotionPiece q = pieceOf(after, machine);
    const double sinHalf = std::cos(turn / 2);
    const std::array<double, 3> perAcceleration{1 / a, 1 / (2 * a), 1 / a};
    const CornerRule grbl{0.999999, &perAcceleration};
    EXPECT_NEAR(junctionSpeedSquared(p, q, deviation, grbl), 2 * a * deviation * sinHalf / (1 - sinHalf), 1e-6);
    // The generic rule takes the lower of the two chords' accelerations.
    EXPECT_NEAR(junctionSpeedSquared(p, q, deviation),
                std::min(p.acceleration, q.acceleration) * deviation * sinHalf / (1 - sinHalf), 1e-6);
}

// No planned move ever has more pieces ahead of it than the window: the
// moves leave the planner one by one, each within the profile's window of
// the newest one added.
TEST_F(ControllerProfiles, TheWindowHoldsTheProfilesMoves)
{
    for (const auto& [controller, window] : {std::pair{Controller::Generic, 32}, std::pair{Controller::Grbl, 15}}) {
        settings.machine.controller = static_cast<int>(controller);
        MotionPlanner planner(settings.machine);
        Move move;
        move.kind = MoveKind::Linear;
        move.feed = 6000;
        int added = 0;
        int left = 0;
        for (int k = 1; k <= 100; ++k) {
            move.start = move.end;
            move.end = {k * 0.1, 0, 0};
            move.line = k;
            ++added;
            if (const PlannedMove* planned = planner.add(move)) {
                ++left;
                EXPECT_EQ(planned->move.line, left);
                EXPECT_EQ(added - left, window - 1);
            }
        }
        EXPECT_EQ(left, 100 - (window - 1));
    }
}

// The spindle stops the motion where its speed changes while it turns and
// where M3, M4 or M5 changes its direction, not at an S while it stands nor
// at an S it already has; the generic machine stops there only when it
// waits, and then for its time.
TEST_F(ControllerProfiles, TheMotionStopsAtSpindleChanges)
{
    const double leg = rampSeconds(100, 0, 0);
    const double both = rampSeconds(200, 0, 0);
    EXPECT_NEAR(seconds("S500\nG1X100F6000\nS1000M3\nX200\n", Controller::Grbl), 2 * leg, 1e-9);
    EXPECT_NEAR(seconds("S500\nG1X100F6000\nS1000\nX200\n", Controller::Grbl), both, 1e-9);
    EXPECT_NEAR(seconds("M3S500\nG1X100F6000\nS500M3\nX200\n", Controller::Grbl), both, 1e-9);
    EXPECT_NEAR(seconds("M3S500\nG1X100F6000\nM5\nX200\nM4\nX300\n", Controller::Grbl), 3 * leg, 1e-9);
    // The spindle's start is a change too: a wait before the first move.
    settings.machine.spindleChangeTime = 1.5;
    EXPECT_NEAR(seconds("M3S500\nG1X100F6000\nS900\nX200\n", Controller::Generic), 2 * leg + 3, 1e-9);
    EXPECT_NEAR(seconds("M3S500\nG1X100F6000\nS900\nX200\n", Controller::Grbl), 2 * leg + 3, 1e-9);
}

// A move that moves no whole step is no move for grbl: it neither takes
// time nor slows the corner it stands in.
TEST_F(ControllerProfiles, PositionsAreTakenInWholeSteps)
{
    const double straight = seconds("G1X100F6000\n", Controller::Grbl);
    EXPECT_DOUBLE_EQ(seconds("G1X50F6000\nY0.001\nX100\n", Controller::Grbl), straight);
    EXPECT_GT(seconds("G1X50F6000\nY0.001\nX100\n", Controller::Generic), straight + 0.1);
}

}  // namespace
}  // namespace drennix::testing
