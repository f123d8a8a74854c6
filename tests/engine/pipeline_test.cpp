// The seams of the pipeline: the moves a listener receives, the RunResult of
// every way a run ends, and a run that nobody listens to.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

const Point3 origin{0, 0, 0};

class MoveStream : public EngineRunTest {
protected:
    MoveStream() { host.listensToMoves = true; }
};

TEST_F(MoveStream, OneMovePerMotionBlockWithItsLineAndEnds)
{
    run("G0X10.Y5.\n"         // 1 rapid
        "(ONLY A COMMENT)\n"  // 2 nothing
        "G1Z-1.F200.\n"       // 3 linear
        "G0G92X0.Y0.Z0.\n"    // 4 coordinate set: no move, the position changes
        "G10R5.\n"            // 5 value set: nothing moves
        "G0X3.\n");           // 6 rapid from the set position
    ASSERT_EQ(host.messages, kCalculated);
    ASSERT_EQ(host.moves.size(), 3u);
    const Move& rapid = host.moves[0];
    EXPECT_EQ(rapid.kind, MoveKind::Rapid);
    EXPECT_EQ(rapid.line, 1);
    EXPECT_EQ(rapid.start, origin);
    EXPECT_EQ(rapid.end, (Point3{10, 5, 0}));
    EXPECT_EQ(rapid.travel, (Point3{10, 5, 0}));
    EXPECT_EQ(rapid.length, std::pow(std::pow(5.0, 2) + std::pow(5.0, 2), 0.5) + 5);  // the rapid model
    const Move& cut = host.moves[1];
    EXPECT_EQ(cut.kind, MoveKind::Linear);
    EXPECT_EQ(cut.line, 3);
    EXPECT_EQ(cut.start, (Point3{10, 5, 0}));
    EXPECT_EQ(cut.end, (Point3{10, 5, -1}));
    EXPECT_EQ(cut.feed, 200);
    EXPECT_EQ(host.moves[2].line, 6);
    EXPECT_EQ(host.moves[2].start, origin);
    EXPECT_EQ(host.moves[2].end, (Point3{3, 0, 0}));
}

TEST_F(MoveStream, IncrementalTravelIsTheWordsNotTheDifferenceOfEnds)
{
    options.initialX = 0.1;
    run("G91G1X0.2F100.\n");
    ASSERT_EQ(host.moves.size(), 1u);
    EXPECT_EQ(host.moves[0].travel[0], 0.2);
    EXPECT_EQ(host.moves[0].end[0], 0.1 + 0.2);
    EXPECT_NE(host.moves[0].end[0] - host.moves[0].start[0], 0.2);  // rounding shows
}

struct ArcCase {
    std::string name;
    std::string program;
    MoveKind kind;
    Plane plane;
    Point3 end;
    double centreA, centreB;
    double radius;
    bool helical;
};

class ArcMove : public EngineRunTestWithParam<ArcCase> {};

TEST_P(ArcMove, CarriesItsCircle)
{
    host.listensToMoves = true;
    run(GetParam().program);
    ASSERT_EQ(host.messages, kCalculated) << GetParam().program;
    ASSERT_EQ(host.moves.size(), 1u);
    const Move& arc = host.moves[0];
    const ArcCase& expected = GetParam();
    EXPECT_EQ(arc.kind, expected.kind);
    EXPECT_EQ(arc.plane, expected.plane);
    EXPECT_EQ(arc.start, origin);
    EXPECT_EQ(arc.end, expected.end);
    EXPECT_NEAR(arc.arc.centreA, expected.centreA, 1e-12);
    EXPECT_NEAR(arc.arc.centreB, expected.centreB, 1e-12);
    EXPECT_EQ(arc.arc.radius, expected.radius);
    EXPECT_EQ(arc.helical(), expected.helical);
    EXPECT_TRUE(arc.isArc());
    EXPECT_GT(arc.length, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Planes, ArcMove,
    ::testing::Values(
        ArcCase{"XyClockwiseByOffsets",
                "G17G2X10.Y0.I5.F100.",
                MoveKind::ClockwiseArc,
                Plane::XY,
                {10, 0, 0},
                5,
                0,
                5,
                false},
        ArcCase{"XyCounterClockwiseHelix",
                "G17G3X10.Z-2.I5.F100.",
                MoveKind::CounterClockwiseArc,
                Plane::XY,
                {10, 0, -2},
                5,
                0,
                5,
                true},
        // In ZX the plane's A axis is Z and its B axis X.
        ArcCase{"ZxByOffsets", "G18G2X10.Z0.I5.F100.", MoveKind::ClockwiseArc, Plane::ZX, {10, 0, 0}, 0, 5, 5, false},
        // In YZ, A is Y and B is Z; a negative R takes the long way round.
        ArcCase{"YzByNegativeRadius",
                "G19G3Y10.R-5.F100.",
                MoveKind::CounterClockwiseArc,
                Plane::YZ,
                {0, 10, 0},
                5,
                0,
                -5,
                false}),
    NameOfCase{});

TEST_F(MoveStream, AConvertedArcIsToldAsTheTrueArc)
{
    run("G17G2X10.Y0.I5.F100.\n", RunMode::ConvertArcs);
    ASSERT_EQ(host.messages, informationOnly(created()));
    ASSERT_EQ(host.moves.size(), 1u);
    EXPECT_EQ(host.moves[0].kind, MoveKind::ClockwiseArc);
    EXPECT_EQ(host.moves[0].end, (Point3{10, 0, 0}));
}

TEST_F(EngineRunTest, ARunNobodyListensToBuildsNoMoveNotices)
{
    run("G0X10.\nG1X20.F100.\n");
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_TRUE(host.moves.empty());
}

// Each way out: the outcome, the fault, the line count and the output path,
// both returned and told to the listener.
TEST_F(EngineRunTest, TheResultOfEveryWayOut)
{
    const auto expect = [&](RunOutcome outcome, FaultId fault, long long lines) {
        EXPECT_EQ(returned.outcome, outcome);
        EXPECT_EQ(returned.fault.id, fault);
        EXPECT_EQ(returned.lineCount, lines);
        ASSERT_TRUE(host.result.has_value());
        EXPECT_EQ(host.result->outcome, returned.outcome);
        EXPECT_EQ(host.result->outputPath, returned.outputPath);
    };
    run("G0X1.\nG0X2.\n");
    expect(RunOutcome::Calculated, FaultId::None, 3);
    EXPECT_TRUE(returned.finished());
    EXPECT_FALSE(returned.outputPath);

    run("G0X1.\nG1X2.\n");  // a cut without a feed
    expect(RunOutcome::LineRejected, FaultId::LinearFeed, 2);
    EXPECT_FALSE(returned.finished());

    run("G0X1.\nG0X1.", RunMode::ConvertArcs);
    expect(RunOutcome::NothingConverted, FaultId::None, 2);
    EXPECT_TRUE(returned.finished());

    run("G2X10.I5.F100.", RunMode::ConvertArcs);
    expect(RunOutcome::Converted, FaultId::None, 1);
    EXPECT_EQ(returned.outputPath, outputPath().string());

    run("G2X10.I5.F100.", RunMode::ConvertArcs);  // the output now exists
    expect(RunOutcome::OutputFailed, FaultId::OutputExists, 1);
    EXPECT_FALSE(returned.outputPath);

    host.abortOnPoll = 2;
    run("G0X1.\nG0X2.\nG0X3.\n");
    expect(RunOutcome::Stopped, FaultId::StoppedWhileReading, 1);
    host.abortOnPoll = 0;

    options.sourcePath = (scratch / "missing.nc").string();
    execute(RunMode::MachiningTime);
    expect(RunOutcome::InputRejected, FaultId::SourceMissing, 0);
}

// Escape is asked for between the cuts of a long arc too, not only between
// lines: the run stops within the arc, counts the lines finished before it
// and leaves no program.
TEST_F(EngineRunTest, AStopIsSeenInsideALongArc)
{
    host.abortOnPoll = 3;  // before lines 1 and 2, then inside the arc of line 2
    options.tolerance = 1e-6;
    run("G0X0.\nG2X0.I1000.F100.\nG0X5.", RunMode::ConvertArcs);  // about 70,000 cuts
    EXPECT_EQ(returned.outcome, RunOutcome::Stopped);
    EXPECT_EQ(returned.fault.id, FaultId::StoppedWhileReading);
    EXPECT_EQ(returned.lineCount, 1);
    EXPECT_EQ(host.messages, warningOnly("ESCｷｰにより処理を中止します。" + kNotConverted));
    EXPECT_EQ(host.lineCounts.back(), 1);
    EXPECT_FALSE(std::filesystem::exists(outputPath()));
}

}  // namespace
}  // namespace drennix::testing
