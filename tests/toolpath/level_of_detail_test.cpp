// What a picture costs at every zoom: a dense program at the overview hands
// on no more points than it has moves, and far fewer in the quick picture;
// zoomed into a corner it hands on only the moves near it; zoomed in until
// every move is pixels long it hands on every move's end exactly where the
// projection puts it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "stroke_tracer.h"
#include "toolpath_store.h"

namespace drennix::toolpath {
namespace {

struct PointLog final : StrokeSink {
    bool quick = false;
    std::vector<ScreenPoint> points;
    void beginStroke(StrokeStyle) override {}
    void addPoint(ScreenPoint point) override { points.push_back(point); }
    void endStroke() override {}
    bool coarse() const override { return quick; }
};

// A pocket cleared in `rows` rows `pitch` apart of `steps` moves `pitch` long.
ToolpathStore pocket(int rows, int steps, double pitch)
{
    ToolpathStore store;
    Point3 at{};
    for (int row = 0; row < rows; ++row) {
        for (int step = 0; step < steps; ++step) {
            Move move;
            move.kind = MoveKind::Linear;
            move.line = row * steps + step + 1;
            move.start = at;
            at[0] += row % 2 == 0 ? pitch : -pitch;
            move.end = at;
            store.record(move);
        }
        Move across;
        across.kind = MoveKind::Linear;
        across.line = (row + 1) * steps;
        across.start = at;
        at[1] += pitch;
        across.end = at;
        store.record(across);
    }
    return store;
}

TEST(LevelOfDetail, AFramesPointsAreBoundedAtEveryZoom)
{
    // Moves of a fifth of a pixel at the overview, rows as close.
    const ToolpathStore store = pocket(200, 3000, 0.01);
    Projection projection(ViewDirection::XY, 640, 480);
    projection.fit(store.bounds(), 24);
    ASSERT_LT(projection.scale() * 0.01, 0.4);
    PointLog overview;
    traceMoves(store, projection, overview);
    EXPECT_LE(overview.points.size() * 2, store.moveCount());
    PointLog quick;
    quick.quick = true;
    traceMoves(store, projection, quick);
    EXPECT_LT(quick.points.size(), overview.points.size());

    // Into the corner at the start, 64 times: some moves of a few rows.
    const ScreenPoint corner = projection.toScreen(Vertex{});
    projection.zoomAbout(64, corner.x, corner.y);
    PointLog zoomed;
    traceMoves(store, projection, zoomed);
    EXPECT_GT(zoomed.points.size(), 0U);
    EXPECT_LE(zoomed.points.size() * 50, store.moveCount());
}

TEST(LevelOfDetail, FullZoomHandsOnEveryMoveExactly)
{
    const ToolpathStore store = pocket(4, 50, 0.1);
    Projection projection(ViewDirection::XY, 4000, 3000);
    projection.fit(store.bounds(), 24);
    ASSERT_GT(projection.scale() * 0.1, 2.0);
    PointLog log;
    traceMoves(store, projection, log);
    // The start, then every move's end.
    ASSERT_EQ(log.points.size(), store.moveCount() + 1);
    for (std::size_t index = 0; index < store.moveCount(); ++index) {
        const ScreenPoint expected = projection.toScreen(store.endOf(index));
        EXPECT_EQ(log.points[index + 1].x, expected.x) << index;
        EXPECT_EQ(log.points[index + 1].y, expected.y) << index;
    }
}

}  // namespace
}  // namespace drennix::toolpath
