// The estimate against the closed forms of the trapezoidal profile, the
// cornering formula and the look-ahead window, then through whole runs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine_run.h"
#include "motion_planner.h"

namespace drennix::testing {
namespace {

constexpr double relative = 1e-9;

#define EXPECT_CLOSE(actual, expected) EXPECT_NEAR(actual, expected, std::fabs(expected) * relative)

// One acceleration and one feed limit on every axis, no block time.
MachineModel machine(double acceleration = 1000, double maxFeed = 60000, int lookAhead = 32,
                     double junctionDeviation = 0.01)
{
    MachineModel m;
    m.acceleration = {acceleration, acceleration, acceleration};
    m.maxFeed = {maxFeed, maxFeed, maxFeed};
    m.rapidRate = {maxFeed, maxFeed, maxFeed};
    m.lookAhead = lookAhead;
    m.junctionDeviation = junctionDeviation;
    return m;
}

Move line(Point3 start, Point3 end, double feed)
{
    Move m;
    m.kind = MoveKind::Linear;
    m.start = start;
    m.end = end;
    m.feed = feed;
    return m;
}

// Every move through the planner, and the machine stopped at the end.
std::vector<PlannedMove> planAll(const MachineModel& model, const std::vector<Move>& moves,
                                 Estimate* estimate = nullptr)
{
    MotionPlanner planner(model);
    std::vector<PlannedMove> planned;
    for (const Move& m : moves) {
        if (const PlannedMove* p = planner.add(m)) planned.push_back(*p);
    }
    while (const PlannedMove* p = planner.flush())
        planned.push_back(*p);
    if (estimate != nullptr) *estimate = planner.estimate();
    return planned;
}

double totalSeconds(const std::vector<PlannedMove>& planned)
{
    double sum = 0;
    for (const PlannedMove& p : planned)
        sum += p.seconds;
    return sum;
}

TEST(TrapezoidProfile, ALongMoveCruisesAndAShortOneNeverReachesItsSpeed)
{
    // 6000 mm/min = 100 mm/s, a = 1000 mm/s²: t = L/v + v/a.
    Estimate estimate;
    const auto long_ = planAll(machine(), {line({0, 0, 0}, {1000, 0, 0}, 6000)}, &estimate);
    ASSERT_EQ(long_.size(), 1u);
    EXPECT_CLOSE(long_[0].seconds, 1000.0 / 100 + 100.0 / 1000);
    EXPECT_EQ(long_[0].entrySpeed, 0);
    EXPECT_EQ(long_[0].exitSpeed, 0);
    EXPECT_CLOSE(estimate.cuttingSeconds, long_[0].seconds);
    EXPECT_EQ(estimate.rapidSeconds, 0);

    // A 1 mm move peaks at √(aL) ≈ 31.6 mm/s: t = 2·√(L/a).
    EXPECT_CLOSE(long_[0].topSpeed, 6000.0);
    EXPECT_CLOSE(long_[0].speedLimit, 6000.0);
    const auto short_ = planAll(machine(), {line({0, 0, 0}, {0, 0, -1}, 6000)});
    EXPECT_CLOSE(short_[0].seconds, 2 * std::sqrt(1.0 / 1000));
    EXPECT_CLOSE(short_[0].topSpeed, std::sqrt(1000.0) * 60);
}

TEST(TrapezoidProfile, CollinearMovesDoNotSlowDownBetweenThem)
{
    const auto planned =
        planAll(machine(), {line({0, 0, 0}, {400, 0, 0}, 6000), line({400, 0, 0}, {1000, 0, 0}, 6000)});
    ASSERT_EQ(planned.size(), 2u);
    EXPECT_CLOSE(planned[0].exitSpeed, 6000.0);
    EXPECT_CLOSE(planned[1].entrySpeed, 6000.0);
    EXPECT_CLOSE(totalSeconds(planned), 1000.0 / 100 + 100.0 / 1000);
}

TEST(TrapezoidProfile, PerAxisLimitsProjectOnADiagonal)
{
    // Direction (0.6, 0.8): X allows 100/0.6, Y 100/0.8 mm/s; accelerations
    // 1000/0.6 and 500/0.8 mm/s².
    MachineModel m = machine();
    m.maxFeed = {6000, 6000, 6000};
    m.acceleration = {1000, 500, 1000};
    const auto planned = planAll(m, {line({0, 0, 0}, {300, 400, 0}, 60000)});
    const double v = 125, a = 625;
    EXPECT_CLOSE(planned[0].seconds, 500 / v + v / a);
}

TEST(TrapezoidProfile, RapidMovesRunAtTheRapidRates)
{
    MachineModel m = machine();
    m.rapidRate = {12000, 12000, 6000};
    Move rapid = line({0, 0, 0}, {0, 0, 100}, 0);
    rapid.kind = MoveKind::Rapid;
    Estimate estimate;
    const auto planned = planAll(m, {rapid}, &estimate);
    EXPECT_CLOSE(planned[0].seconds, 100.0 / 100 + 100.0 / 1000);
    EXPECT_CLOSE(estimate.rapidSeconds, planned[0].seconds);
    EXPECT_EQ(estimate.cuttingSeconds, 0);
}

TEST(Junction, ARightAngleCornerFollowsTheCorneringFormula)
{
    const double a = 1000, delta = 0.01, v = 100, L = 1000;
    const auto planned =
        planAll(machine(a, 60000, 32, delta), {line({0, 0, 0}, {L, 0, 0}, 6000), line({L, 0, 0}, {L, L, 0}, 6000)});
    const double s = std::sin(45 * piConstant / 180);
    const double corner = std::sqrt(a * delta * s / (1 - s));
    EXPECT_NEAR(planned[0].exitSpeed / 60, corner, corner * 1e-9);
    // Each leg: from 0 (or the corner) to v, cruise, down to the corner (or 0).
    const double leg = v / a + (v - corner) / a + (L - (2 * v * v - corner * corner) / (2 * a)) / v;
    EXPECT_NEAR(totalSeconds(planned), 2 * leg, 2 * leg * 1e-9);
}

TEST(Junction, AReversalStopsAndStraightOnSetsNoLimit)
{
    MotionPiece forward = pieceOf(line({0, 0, 0}, {10, 0, 0}, 6000), machine());
    MotionPiece back = pieceOf(line({10, 0, 0}, {0, 0, 0}, 6000), machine());
    EXPECT_EQ(junctionSpeed(forward, back, 0.01), 0);
    EXPECT_EQ(junctionSpeed(forward, forward, 0.01), 100);
}

Move fullCircle(double radius, double feed)
{
    Move m;
    m.kind = MoveKind::CounterClockwiseArc;
    m.start = {radius, 0, 0};
    m.end = m.start;
    m.feed = feed;
    m.arc.radius = radius;
    m.arc.endRadius = radius;
    m.arc.startAngle = 0;
    m.arc.endAngle = 2 * piConstant;
    m.arc.swept = 2 * piConstant;
    m.arc.fullCircle = true;
    return m;
}

TEST(ArcLimits, AnArcRunsAtMostAtItsCentripetalLimit)
{
    // r = 10, a = 1000: v² ≤ a·r gives 100 mm/s, below the 200 mm/s fed.
    const auto planned = planAll(machine(), {fullCircle(10, 12000)});
    const double length = 10 * 2 * piConstant;
    EXPECT_CLOSE(planned[0].seconds, length / 100 + 100.0 / 1000);
}

TEST(ArcLimits, AShortArcIsLimitedOnlyByTheAxesItsTangentUses)
{
    // A quarter arc about (0, 0) from (10, 0) to (0, 10): its tangent turns
    // from +Y to -X, so both axes take their full share somewhere.
    Move quarter = fullCircle(10, 6000);
    quarter.end = {0, 10, 0};
    quarter.arc.endAngle = piConstant / 2;
    quarter.arc.swept = piConstant / 2;
    quarter.arc.fullCircle = false;
    MachineModel m = machine();
    m.maxFeed = {3000, 6000, 6000};
    EXPECT_CLOSE(pieceOf(quarter, m).maxSpeed, 50.0);
    // A sliver at angle 0 runs along Y only: X's limit does not apply.
    quarter.end = {10 * std::cos(0.001), 10 * std::sin(0.001), 0};
    quarter.arc.endAngle = 0.001;
    quarter.arc.swept = 0.001;
    EXPECT_GT(pieceOf(quarter, m).maxSpeed, 99.0);
}

TEST(LookAhead, TinyMovesAreLimitedToWhatTheWindowCanStopIn)
{
    // 2000 collinear moves of 0.1 mm. With a window longer than the program
    // the machine reaches 100 mm/s; with 32 moves it must be able to stop
    // within the 31 moves after the one it runs: v = √(2·a·3.1).
    std::vector<Move> moves;
    for (int k = 0; k < 2000; ++k)
        moves.push_back(line({k * 0.1, 0, 0}, {(k + 1) * 0.1, 0, 0}, 6000));
    const auto unlimited = planAll(machine(1000, 60000, 1000), moves);
    const auto windowed = planAll(machine(1000, 60000, 32), moves);
    ASSERT_EQ(windowed.size(), moves.size());
    EXPECT_NEAR(totalSeconds(unlimited), 200.0 / 100 + 100.0 / 1000, 1e-9 * 2.1);
    const double cruise = std::sqrt(2 * 1000 * 31 * 0.1);
    EXPECT_NEAR(windowed[1000].exitSpeed / 60, cruise, cruise * 1e-9);
    EXPECT_GT(totalSeconds(windowed), totalSeconds(unlimited) * 1.2);
    EXPECT_EQ(windowed.back().exitSpeed, 0);
    for (std::size_t k = 0; k < windowed.size(); ++k)
        ASSERT_EQ(windowed[k].move.start[0], moves[k].start[0]) << k;
}

TEST(LookAhead, TheBlockTimeIsEachMovesFloorAndAStillMoveKeepsTheSpeed)
{
    MachineModel m = machine();
    m.blockTime = 20;
    std::vector<Move> moves{line({0, 0, 0}, {0.01, 0, 0}, 6000), line({0.01, 0, 0}, {0.01, 0, 0}, 6000)};
    const auto planned = planAll(m, moves);
    EXPECT_EQ(planned[0].seconds, 0.02);
    EXPECT_EQ(planned[1].seconds, 0.02);

    const auto through = planAll(machine(), {line({0, 0, 0}, {500, 0, 0}, 6000), line({500, 0, 0}, {500, 0, 0}, 6000),
                                             line({500, 0, 0}, {1000, 0, 0}, 6000)});
    EXPECT_CLOSE(through[1].entrySpeed, 6000.0);
    EXPECT_CLOSE(through[1].exitSpeed, 6000.0);
    EXPECT_CLOSE(totalSeconds(through), 10.1);
}

TEST(MachineModelRanges, EveryFieldRefusesZeroOrOutOfRangeWithItsCaption)
{
    MachineModel m;
    EXPECT_EQ(validateMachineModel(m), std::nullopt);
    m.acceleration[1] = 0;
    EXPECT_EQ(validateMachineModel(m), "Y軸加速度 には 0 超過 1000000 までの数値を入力して下さい。");
    m = MachineModel{};
    m.lookAhead = 0;
    EXPECT_EQ(validateMachineModel(m), "先読みﾌﾞﾛｯｸ数 には 1 以上 1000 までの整数を入力して下さい。");
    m = MachineModel{};
    m.junctionDeviation = 0;
    m.blockTime = 0;
    EXPECT_EQ(validateMachineModel(m), std::nullopt);
    m.blockTime = std::nan("");
    EXPECT_EQ(validateMachineModel(m), "最小ﾌﾞﾛｯｸ時間 には 0 以上 1000 までの数値を入力して下さい。");
}

class EstimatingRun : public EngineRunTest {
protected:
    EstimatingRun()
    {
        options.estimate = true;
        host.listensToMoves = true;
    }
};

TEST_F(EstimatingRun, EveryMoveIsPlannedInOrderAndTheEstimateFollowsTheResults)
{
    settings.machine = machine();
    run("G0X10.\nG1X1010.F6000.\nG10R5.\nG0Z5.\n");
    ASSERT_EQ(host.messages, kCalculated);
    ASSERT_EQ(host.planned.size(), 3u);
    EXPECT_EQ(host.planned[1].move.line, 2);
    ASSERT_TRUE(host.estimate.has_value());
    EXPECT_CLOSE(host.estimate->cuttingSeconds, host.planned[1].seconds);
    EXPECT_CLOSE(host.estimate->seconds, host.estimate->rapidSeconds + host.estimate->cuttingSeconds);
}

TEST_F(EstimatingRun, AConvertedArcIsPlannedAsItsCutsAndToldAsOneMove)
{
    settings.machine = machine();
    run("G1X10.F600.\nG3X0.Y10.I-10.J0.\nG1X-100.\n", RunMode::ConvertArcs);
    ASSERT_EQ(host.planned.size(), 3u);
    EXPECT_EQ(host.planned[1].move.kind, MoveKind::CounterClockwiseArc);
    EXPECT_GT(host.planned[1].move.segments, 1);
    EXPECT_GT(host.planned[1].seconds, 0);
    ASSERT_TRUE(host.estimate.has_value());
}

TEST_F(EstimatingRun, AnInvalidMachineStopsTheRunBeforeItReads)
{
    settings.machine.lookAhead = 0;
    run("G0X10.\n");
    EXPECT_EQ(host.messages, warningOnly("先読みﾌﾞﾛｯｸ数 には 1 以上 1000 までの整数を入力して下さい。"));
    EXPECT_FALSE(host.estimate.has_value());
}

}  // namespace
}  // namespace drennix::testing
