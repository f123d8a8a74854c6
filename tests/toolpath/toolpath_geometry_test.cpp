// The toolpath as users see it drawn, from whole runs of small programs: arcs
// in G18 and G19 turn the right way, R arcs of either sign take the short or
// the long way, a coordinate set moves the tool without a line, helical and
// multi-turn arcs wind as evaluated, and the box holds every bulge.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "arc_points.h"
#include "output_store.h"
#include "run_driver.h"
#include "stroke_tracer.h"
#include "toolpath_store.h"

namespace drennix::toolpath {
namespace {

class Recorder final : public RunListener {
public:
    explicit Recorder(ToolpathStore& store) : store_(store) {}
    void move(const Move& move) override { store_.record(move); }
    bool wantsMoves() const override { return true; }

private:
    ToolpathStore& store_;
};

ToolpathStore runProgram(std::string_view program, bool linuxCnc = false)
{
    Settings settings;
    resetToDefaults(settings);
    if (linuxCnc) applyDialect(settings.process, Dialect::LinuxCnc);
    RunOptions options;
    options.runMode = RunMode::MachiningTime;
    options.sourcePath = "program.nc";
    ToolpathStore store;
    Recorder recorder(store);
    MemoryOutputStore output;
    const RunResult result = RunDriver(settings).execute(options, recorder, program, output);
    EXPECT_TRUE(result.finished()) << static_cast<int>(result.fault.id);
    return store;
}

// The drawn point at fraction t of move `index`.
Vertex pointOf(const ToolpathStore& store, std::size_t index, double t)
{
    const PathMove move = store.moveAt(index);
    EXPECT_TRUE(move.isArc());
    return arcPointAt(*move.arc, move.plane, move.start, move.end, t);
}

void expectNear(const Vertex& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual.x, x, 1e-3);
    EXPECT_NEAR(actual.y, y, 1e-3);
    EXPECT_NEAR(actual.z, z, 1e-3);
}

// Seen from the plane's third axis (+Y for G18, +X for G19) a G2 turns
// clockwise: from the top of the circle it goes to the side of the plane's
// first axis in G18 (Z) and down its second in G19 (Z).
TEST(ToolpathGeometry, ArcsInTheZxAndYzPlanesTurnAsTheyAreProgrammed)
{
    const ToolpathStore zx = runProgram("G18G0X10.Y0Z0\r\nG2X-10.Z0I-10.K0F100\r\nG3X10.Z0I10.K0\r\n");
    expectNear(pointOf(zx, 1, 0.5), 0, 0, 10);
    expectNear(pointOf(zx, 2, 0.5), 0, 0, 10);
    const ToolpathStore yz = runProgram("G19G0X0Y10.Z0\r\nG2Y-10.Z0J-10.K0F100\r\nG3Y10.Z0J10.K0\r\n");
    expectNear(pointOf(yz, 1, 0.5), 0, 0, -10);
    expectNear(pointOf(yz, 2, 0.5), 0, 0, -10);
    // The box holds the far side of the circle, not only its ends.
    EXPECT_NEAR(zx.bounds().max[2], 10, 1e-4);
    EXPECT_NEAR(yz.bounds().min[2], -10, 1e-4);
}

// From (0, 0) to (20, 0) with |R| 15: the centre lies 11.180 off the chord.
TEST(ToolpathGeometry, RArcsTakeTheShortWayBelow180AndTheLongWayAbove)
{
    const ToolpathStore shortWay = runProgram("G17G0X0Y0Z0\r\nG2X20.Y0R15.F100\r\n");
    expectNear(pointOf(shortWay, 1, 0.5), 10, 15 - 11.18034f, 0);
    EXPECT_NEAR(shortWay.bounds().max[1], 15 - 11.18034, 1e-4);
    EXPECT_NEAR(shortWay.bounds().max[0], 20, 1e-4);

    const ToolpathStore longWay = runProgram("G17G0X0Y0Z0\r\nG2X20.Y0R-15.F100\r\n");
    expectNear(pointOf(longWay, 1, 0.5), 10, 15 + 11.18034f, 0);
    EXPECT_NEAR(longWay.bounds().max[1], 15 + 11.18034, 1e-4);
    EXPECT_NEAR(longWay.bounds().min[0], -5, 1e-4);
    EXPECT_NEAR(longWay.bounds().max[0], 25, 1e-4);
    EXPECT_NEAR(longWay.bounds().min[1], 0, 1e-4);
}

// G92 puts the tool at new coordinates without moving it: the next move
// starts there, with no line from the old position; G10 moves nothing.
TEST(ToolpathGeometry, CoordinateSetsMoveThePositionWithoutALine)
{
    const ToolpathStore store = runProgram("G0X50.Y10.Z0\r\nG92X0Y0Z0\r\nG10R5.\r\nG1X10.F100\r\nG91X5.\r\n");
    ASSERT_EQ(store.moveCount(), 3u);
    expectNear(store.startOf(1), 0, 0, 0);
    expectNear(store.endOf(1), 10, 0, 0);
    expectNear(store.endOf(2), 15, 0, 0);
    EXPECT_TRUE(ToolpathStore::jumpsBefore(store.flagsOf(1)));
    EXPECT_FALSE(ToolpathStore::jumpsBefore(store.flagsOf(2)));
    EXPECT_EQ(store.lineOf(1), 4);

    // No stroke joins (50, 10) to (0, 0).
    struct Strokes final : StrokeSink {
        int strokes = 0;
        void beginStroke(StrokeStyle) override { ++strokes; }
        void addPoint(ScreenPoint) override {}
        void endStroke() override {}
    } strokes;
    Projection projection(ViewDirection::XY, 400, 300);
    projection.fit(store.bounds(), 10);
    traceMoves(store, projection, strokes);
    EXPECT_EQ(strokes.strokes, 2);
}

// A helical arc of three turns (P3) winds down evenly through every turn.
TEST(ToolpathGeometry, HelicalArcsOfSeveralTurnsWindEvenly)
{
    const ToolpathStore store = runProgram("G17G0X10.Y0Z0\r\nG3X10.Y0Z-3.I-10.J0P3F100\r\n", true);
    const PathMove move = store.moveAt(1);
    ASSERT_TRUE(move.isArc());
    EXPECT_TRUE(move.helical);
    EXPECT_NEAR(move.arc->sweep, 6 * 3.14159265, 1e-4);
    expectNear(pointOf(store, 1, 1.0 / 6), -10, 0, -0.5);
    expectNear(pointOf(store, 1, 0.5), -10, 0, -1.5);
    expectNear(pointOf(store, 1, 1), 10, 0, -3);
}

// Clicking finds the move drawn under the cursor; the later of two wins.
TEST(ToolpathGeometry, TheNearestMoveIsTheOneUnderTheCursor)
{
    const ToolpathStore store = runProgram("G0X10.Y0\r\nG1X10.Y10.F100\r\nG2X0Y0R-10.\r\n");
    Projection projection(ViewDirection::XY, 200, 200);
    projection.fit(store.bounds(), 10);
    EXPECT_EQ(nearestMove(store, projection, projection.toScreen({10, 5, 0}), 3), 1u);
    EXPECT_EQ(nearestMove(store, projection, projection.toScreen({5, 0, 0}), 3), 0u);
    EXPECT_EQ(nearestMove(store, projection, projection.toScreen(pointOf(store, 2, 0.5)), 3), 2u);
    EXPECT_EQ(nearestMove(store, projection, projection.toScreen({-50, 5, 0}), 3), store.moveCount());
}

// Every fitted view shows the whole box inside its margin, and zooming
// about a point keeps that point where it is.
TEST(ToolpathProjection, FitShowsTheBoxAndZoomKeepsThePointUnderTheCursor)
{
    Box box;
    box.add(Vertex{-5, 0, -2});
    box.add(Vertex{35, 20, 8});
    for (const ViewDirection view :
         {ViewDirection::XY, ViewDirection::XZ, ViewDirection::YZ, ViewDirection::Isometric}) {
        Projection projection(view, 640, 480);
        projection.fit(box, 20);
        ScreenPoint low;
        ScreenPoint high;
        projection.screenExtent(box, low, high);
        EXPECT_GE(low.x, 20 - 1e-9);
        EXPECT_GE(low.y, 20 - 1e-9);
        EXPECT_LE(high.x, 620 + 1e-9);
        EXPECT_LE(high.y, 460 + 1e-9);
        EXPECT_TRUE(std::abs(low.x - 20) < 1e-6 || std::abs(low.y - 20) < 1e-6) << static_cast<int>(view);
        const ScreenPoint before = projection.toScreen({35, 20, 8});
        projection.zoomAbout(3, before.x, before.y);
        const ScreenPoint after = projection.toScreen({35, 20, 8});
        EXPECT_NEAR(after.x, before.x, 1e-6);
        EXPECT_NEAR(after.y, before.y, 1e-6);
    }
    // Up is up: Z grows up the picture in XZ, YZ and the isometric view.
    Projection iso(ViewDirection::Isometric, 100, 100);
    EXPECT_LT(iso.toScreen({0, 0, 1}).y, iso.toScreen({0, 0, 0}).y);
}

// A million straight moves in a store stay under 20 bytes a move.
TEST(ToolpathStoreMemory, StaysCompact)
{
    ToolpathStore store;
    Move move;
    move.kind = MoveKind::Linear;
    for (int i = 0; i < 1000000; ++i) {
        move.line = i + 1;
        move.start = move.end;
        move.end = {static_cast<double>(i % 100), static_cast<double>(i / 100), 0};
        store.record(move);
    }
    EXPECT_LT(static_cast<double>(store.memoryBytes()) / static_cast<double>(store.moveCount()), 20.0);
    EXPECT_EQ(store.firstMoveFrom(500000), 499999u);
    EXPECT_EQ(store.lineOf(999999), 1000000);
}

}  // namespace
}  // namespace drennix::toolpath
