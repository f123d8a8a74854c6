// The compact parts of the toolpath store against the plain ones they
// replace: the lines kept as runs against a line per move, the boxes of the
// level of detail, made after the run, against boxes grown move by move from
// what the store gives back, and every move given back as it was recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "chunked_array.h"
#include "line_runs.h"
#include "toolpath_store.h"

namespace drennix::toolpath {
namespace {

// Lines as a program gives them: mostly the next, now and then a gap (lines
// without a move) or the same line again (a host that records several moves
// for one line).
std::vector<std::uint32_t> linesOfMoves(std::mt19937& random, int count)
{
    std::vector<std::uint32_t> lines;
    std::uint32_t line = std::uniform_int_distribution<std::uint32_t>(0, 3)(random);
    std::uniform_int_distribution<int> step(0, 9);
    for (int i = 0; i < count; ++i) {
        const int kind = step(random);
        line += kind == 0 ? 0 : kind < 3 ? std::uniform_int_distribution<std::uint32_t>(2, 40)(random) : 1;
        lines.push_back(line);
    }
    return lines;
}

// Appending at a cursor into the last block: across block ends, and into an
// array moved from, which starts afresh rather than in the blocks it gave up.
TEST(ChunkedArray, AppendsAcrossBlocksAndAfterAMove)
{
    ChunkedArray<std::uint32_t, 4> values;
    for (std::uint32_t v = 0; v < 40; ++v) {
        values.push_back(v);
    }
    ChunkedArray<std::uint32_t, 4> moved(std::move(values));
    EXPECT_EQ(values.size(), 0U);
    values.push_back(7);
    moved.push_back(40);
    ASSERT_EQ(moved.size(), 41U);
    for (std::uint32_t v = 0; v <= 40; ++v) {
        EXPECT_EQ(std::as_const(moved)[v], v);
    }
    ASSERT_EQ(values.size(), 1U);
    EXPECT_EQ(std::as_const(values)[0], 7U);
    values = std::move(moved);
    EXPECT_EQ(moved.size(), 0U);
    EXPECT_EQ(values.size(), 41U);
    EXPECT_EQ(std::as_const(values)[40], 40U);
}

TEST(LineRuns, GiveTheLinesAndFirstMovesOfAPlainList)
{
    std::mt19937 random(11);
    for (const int count : {0, 1, 2, 7, 1000, 300000}) {
        const std::vector<std::uint32_t> lines = linesOfMoves(random, count);
        LineRuns runs;
        for (const std::uint32_t line : lines)
            runs.append(line);
        ASSERT_EQ(runs.size(), lines.size());
        for (std::size_t move = 0; move < lines.size(); ++move)
            ASSERT_EQ(runs.lineOf(move), lines[move]) << "move " << move << " of " << count;
        const long long last = lines.empty() ? 0 : lines.back();
        for (long long line = -2; line <= last + 2; ++line) {
            const auto expected = static_cast<std::size_t>(
                std::lower_bound(lines.begin(), lines.end(), line,
                                 [](std::uint32_t kept, long long wanted) { return kept < wanted; }) -
                lines.begin());
            ASSERT_EQ(runs.firstMoveFrom(line), expected) << "line " << line << " of " << count;
        }
    }
}

// Lines one after the other cost one run, not a word per move.
TEST(LineRuns, ConsecutiveLinesShareARun)
{
    LineRuns runs;
    for (std::uint32_t line = 1; line <= 2000000; ++line)
        runs.append(line);
    EXPECT_LT(runs.bytesReserved(), 3u << 20);
    EXPECT_EQ(runs.lineOf(1999999), 2000000u);
    EXPECT_EQ(runs.firstMoveFrom(1500000), 1499999u);
}

// A move a short step from where the last ended (now and then after a
// coordinate set), so that each group's box is its own and a point left out
// shows.
Move randomMove(std::mt19937& random, const Point3& from, long long line)
{
    std::uniform_real_distribution<double> step(-10, 10);
    std::uniform_int_distribution<int> choice(0, 19);
    Move move;
    move.line = line;
    move.start = from;
    if (choice(random) == 0) move.start = {from[0] + 5 * step(random), from[1] + 5 * step(random), from[2]};
    move.end = {move.start[0] + step(random), move.start[1] + step(random),
                choice(random) < 5 ? move.start[2] + step(random) : move.start[2]};
    const int kind = choice(random);
    move.kind = kind < 4    ? MoveKind::Rapid
                : kind < 12 ? MoveKind::Linear
                : kind < 16 ? MoveKind::ClockwiseArc
                            : MoveKind::CounterClockwiseArc;
    move.plane = static_cast<Plane>(choice(random) % 3);
    if (move.isArc()) {
        std::uniform_real_distribution<double> angle(-7, 7);
        move.arc.centreA = move.start[0] + step(random) / 2;
        move.arc.centreB = move.start[1] + step(random) / 2;
        move.arc.radius = step(random) / 2;
        move.arc.endRadius = step(random) / 2;
        move.arc.startAngle = angle(random);
        move.arc.swept = std::fabs(angle(random)) * (choice(random) == 0 ? 3 : 1);
        move.arc.helical = choice(random) < 5;
    }
    return move;
}

// The box of each group grown point by point with Box::add from the moves as
// the store gives them back, and the whole box from the start point and the
// groups: the level of detail as it was made while recording.
LevelOfDetail grownDetail(const ToolpathStore& store)
{
    LevelOfDetail detail;
    detail.bounds.add(store.startPoint());
    for (std::size_t index = 0; index < store.moveCount(); ++index) {
        if (index % ToolpathStore::movesPerGroup == 0) detail.groups.emplace_back();
        const PathMove move = store.moveAt(index);
        Box& group = detail.groups.back();
        group.add(move.start);
        if (move.isArc()) {
            group.add(arcBox(*move.arc, move.plane, move.start, move.end));
        } else {
            group.add(move.end);
        }
    }
    for (const Box& group : detail.groups)
        detail.bounds.add(group);
    return detail;
}

void expectSameBox(const Box& made, const Box& grown, std::size_t group)
{
    ASSERT_EQ(made.empty, grown.empty) << "group " << group;
    for (int axis = 0; axis < 3; ++axis) {
        ASSERT_EQ(made.min[axis], grown.min[axis]) << "group " << group << ", axis " << axis;
        ASSERT_EQ(made.max[axis], grown.max[axis]) << "group " << group << ", axis " << axis;
    }
}

void expectDetailGrownMoveByMove(const ToolpathStore& store)
{
    const LevelOfDetail& made = store.levelOfDetail();
    const LevelOfDetail grown = grownDetail(store);
    ASSERT_EQ(made.groups.size(), grown.groups.size());
    for (std::size_t group = 0; group < grown.groups.size(); ++group)
        expectSameBox(made.groups[group], grown.groups[group], group);
    expectSameBox(made.bounds, grown.bounds, grown.groups.size());
}

// Exactly the same boxes, for groups cut anywhere, coordinate sets, arcs in
// every plane and huge sweeps; moves recorded after a reader asked are in
// the boxes the next reader gets.
TEST(LevelOfDetail, MatchesBoxesGrownMoveByMove)
{
    std::mt19937 random(5);
    ToolpathStore store(Point3{3, -4, 5});
    expectSameBox(store.bounds(), grownDetail(store).bounds, 0);
    Point3 position{3, -4, 5};
    long long line = 1;
    for (const int count : {1, 1023, 1, 5000, 2500}) {
        for (int i = 0; i < count; ++i) {
            const Move move = randomMove(random, position, line++);
            store.record(move);
            position = move.end;
        }
        expectDetailGrownMoveByMove(store);
    }
    EXPECT_EQ(store.groupCount(),
              (store.moveCount() + ToolpathStore::movesPerGroup - 1) / ToolpathStore::movesPerGroup);
}

// A move as the store must give it back: its end and start in single
// precision, its line within 32 bits, an arc's circle as recorded.
void expectGivenBack(const ToolpathStore& store, std::size_t index, const Move& move)
{
    SCOPED_TRACE(index);
    const PathMove given = store.moveAt(index);
    ASSERT_EQ(given.kind, move.kind);
    ASSERT_EQ(given.plane, move.plane);
    ASSERT_EQ(given.line, std::clamp<long long>(move.line, 0, 0xFFFFFFFFLL));
    ASSERT_EQ(given.start, toVertex(move.start));
    ASSERT_EQ(given.end, toVertex(move.end));
    ASSERT_EQ(given.isArc(), move.isArc());
    ASSERT_EQ(given.helical, move.isArc() && move.arc.helical);
    if (!move.isArc()) return;
    const ArcRecord& arc = *given.arc;
    EXPECT_EQ(arc.move, index);
    EXPECT_EQ(arc.centreA, static_cast<float>(move.arc.centreA));
    EXPECT_EQ(arc.centreB, static_cast<float>(move.arc.centreB));
    EXPECT_EQ(arc.startRadius, static_cast<float>(std::fabs(move.arc.radius)));
    EXPECT_EQ(arc.endRadius, static_cast<float>(std::fabs(move.arc.endRadius)));
    EXPECT_EQ(arc.startAngle, static_cast<float>(move.arc.startAngle));
    EXPECT_EQ(arc.sweep, static_cast<float>(move.clockwise() ? -move.arc.swept : move.arc.swept));
}

// Recording takes a short way for a move that starts where the one before
// ended and finds room in its blocks, and the full one otherwise: every move
// comes back the same whichever way it went, across the ends of the blocks
// of the ends, the arcs and the line runs, after coordinate sets and with
// lines beyond 32 bits.
TEST(ToolpathStore, GivesBackEveryMoveAsRecorded)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> lineStep(0, 99);
    ToolpathStore store(Point3{1, 2, 3});
    std::vector<Move> moves;
    Point3 position{1, 2, 3};
    long long line = 1;
    constexpr std::size_t count = 1'400'000;
    moves.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int step = lineStep(random);
        line = step == 0   ? -line
               : step == 1 ? line + 0x100000000LL
               : step < 20 ? std::llabs(line) + 2
                           : std::llabs(line) + 1;
        moves.push_back(randomMove(random, position, line));
        store.record(moves.back());
        position = moves.back().end;
    }
    ASSERT_EQ(store.moveCount(), count);
    EXPECT_GT(store.arcCount(), std::size_t{1} << 19);
    for (std::size_t i = 0; i < count; ++i) {
        expectGivenBack(store, i, moves[i]);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace drennix::toolpath
