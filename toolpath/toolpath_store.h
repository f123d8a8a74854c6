// The moves of one run, kept compactly for drawing: the end point of every
// move in single precision, its source line and kind, and beside them the
// circles of the arcs and the starts of the moves that do not begin where the
// one before ended (after a coordinate set). A program of millions of moves
// costs about 14 bytes a move plus its arcs. Recording a move only appends
// to blocks (it runs once a line on the run's thread); the boxes of the
// level of detail are made from the finished moves when a reader first asks.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "chunked_array.h"
#include "line_runs.h"
#include "move.h"

namespace drennix::toolpath {

struct Vertex {
    float x = 0;
    float y = 0;
    float z = 0;
    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    bool operator==(const Vertex&) const = default;
};

inline Vertex toVertex(const Point3& point)
{
    return {static_cast<float>(point[0]), static_cast<float>(point[1]), static_cast<float>(point[2])};
}

// An axis-aligned box; empty until a point is added.
struct Box {
    std::array<double, 3> min{};
    std::array<double, 3> max{};
    bool empty = true;

    void add(const Vertex& point);
    void add(const Box& other);
    double size(int axis) const { return empty ? 0 : max[axis] - min[axis]; }
};

// The circle of an arc move as the engine evaluated it, in its plane.
struct ArcRecord {
    std::uint32_t move = 0;
    float centreA = 0;
    float centreB = 0;
    // The radius at the start and at the end (an R arc may differ a little).
    float startRadius = 0;
    float endRadius = 0;
    float startAngle = 0;
    // Radians: above 0 counter-clockwise, below 0 clockwise; every turn.
    float sweep = 0;
};

// The level-of-detail index: the box of each group of moves and of
// everything drawn.
struct LevelOfDetail {
    Box bounds;
    std::vector<Box> groups;
};

// One move as the view reads it back.
struct PathMove {
    MoveKind kind = MoveKind::Rapid;
    Plane plane = Plane::XY;
    bool helical = false;
    long long line = 0;
    Vertex start;
    Vertex end;
    const ArcRecord* arc = nullptr;  // arcs only

    bool isArc() const { return arc != nullptr; }
};

class ToolpathStore {
public:
    // Moves per bounding box of the level-of-detail index.
    static constexpr std::size_t movesPerGroup = 1024;

    explicit ToolpathStore(const Point3& initialPosition = {});

    // Records one evaluated move, in program order.
    void record(const Move& move);

    std::size_t moveCount() const { return ends_.size(); }
    const Vertex& startPoint() const { return start_; }
    // Everything drawn: the start point, every move and every arc's bulge.
    Box bounds() const { return levelOfDetail().bounds; }

    PathMove moveAt(std::size_t index) const;
    Vertex endOf(std::size_t index) const { return ends_[index]; }
    // Where move `index` begins: the end of the one before, or where a
    // coordinate set put the tool.
    Vertex startOf(std::size_t index) const;
    long long lineOf(std::size_t index) const { return lines_.lineOf(index); }
    // The first move of line `line` or of a later line (moveCount() if none).
    std::size_t firstMoveFrom(long long line) const { return lines_.firstMoveFrom(line); }

    // The level-of-detail index: the box of each group of movesPerGroup moves.
    // Made on the first call after the last move was recorded; the reference
    // holds until the next move is recorded.
    const LevelOfDetail& levelOfDetail() const;
    std::size_t groupCount() const { return levelOfDetail().groups.size(); }
    const Box& groupBox(std::size_t group) const { return levelOfDetail().groups[group]; }

    // Bytes held for the moves, including the blocks' spare room.
    std::size_t memoryBytes() const;

    // The packed kind, plane and flags of a move, for readers that walk the
    // moves in order.
    std::uint8_t flagsOf(std::size_t index) const { return flags_[index]; }
    std::size_t arcCount() const { return arcs_.size(); }
    const ArcRecord& arcAt(std::size_t arc) const { return arcs_[arc]; }
    // The first arc of move `index` or of a later move (arcCount() if none).
    std::size_t arcIndexFrom(std::size_t index) const;
    const ArcRecord* arcOf(std::size_t index) const;

    static MoveKind kindOf(std::uint8_t flags) { return static_cast<MoveKind>(flags & kindMask); }
    static bool jumpsBefore(std::uint8_t flags) { return (flags & jumpFlag) != 0; }
    static Plane planeOf(std::uint8_t flags) { return static_cast<Plane>((flags >> planeShift) & 0x03); }

private:
    static constexpr std::uint8_t kindMask = 0x03;
    static constexpr std::uint8_t jumpFlag = 0x04;
    static constexpr int planeShift = 3;
    static constexpr std::uint8_t helicalFlag = 0x20;

    struct Jump {
        std::uint32_t move = 0;
        Vertex start;
    };
    // The level of detail made for the first `moves` moves.
    struct DetailCache {
        std::mutex mutex;
        std::size_t moves = 0;
        bool made = false;
        LevelOfDetail detail;
    };

    // Line numbers beyond 32 bits are kept at the largest; no program has them.
    static std::uint32_t storedLine(long long line)
    {
        constexpr long long largest = std::numeric_limits<std::uint32_t>::max();
        return static_cast<std::uint32_t>(std::clamp(line, 0LL, largest));
    }
    // The kind and plane of a move as packed flags.
    static std::uint8_t basicFlags(const Move& move)
    {
        return static_cast<std::uint8_t>(static_cast<std::uint8_t>(move.kind) |
                                         (static_cast<std::uint8_t>(move.plane) << planeShift));
    }
    static std::uint8_t arcFlags(const Move& move) { return move.arc.helical ? helicalFlag : 0; }
    static ArcRecord arcRecordOf(const Move& move, std::uint32_t index);
    // Any move, a move after a coordinate set too.
    void recordInFull(const Move& move);
    // Returns the flag it adds to the move's.
    std::uint8_t recordJump(const Point3& start, std::uint32_t index);
    void makeLevelOfDetail(LevelOfDetail& detail) const;

    Vertex start_;
    Point3 lastEnd_{};
    // Blocks of whole huge pages (block_memory.h).
    ChunkedArray<Vertex, 19> ends_;
    LineRuns lines_;
    ChunkedArray<std::uint8_t, 21> flags_;
    ChunkedArray<ArcRecord, 19> arcs_;
    std::vector<Jump> jumps_;
    std::unique_ptr<DetailCache> detail_ = std::make_unique<DetailCache>();

    static_assert(decltype(ends_)::blockSize % movesPerGroup == 0 && decltype(flags_)::blockSize % movesPerGroup == 0,
                  "a group of moves lies within one block");
};

// Kept in the header: the recorder calls it for every move of a run. A move
// that starts where the one before ended, with room in every block, goes the
// short way, which calls nothing.
inline void ToolpathStore::record(const Move& move)
{
    const std::uint32_t line = storedLine(move.line);
    const bool arc = move.isArc();
    if (move.start != lastEnd_ || !ends_.hasRoom() || !flags_.hasRoom() || !lines_.hasRoomFor(line) ||
        (arc && !arcs_.hasRoom())) {
        recordInFull(move);
        return;
    }
    std::uint8_t flags = basicFlags(move);
    if (arc) {
        arcs_.appendWithinBlock(arcRecordOf(move, static_cast<std::uint32_t>(ends_.size())));
        flags |= arcFlags(move);
    }
    ends_.appendWithinBlock(toVertex(move.end));
    lines_.appendWithinBlock(line);
    flags_.appendWithinBlock(flags);
    lastEnd_ = move.end;
}

inline ArcRecord ToolpathStore::arcRecordOf(const Move& move, std::uint32_t index)
{
    const ArcPath& path = move.arc;
    ArcRecord arc;
    arc.move = index;
    arc.centreA = static_cast<float>(path.centreA);
    arc.centreB = static_cast<float>(path.centreB);
    arc.startRadius = static_cast<float>(path.absRadius());
    // An R arc's end radius carries the sign of its R word.
    arc.endRadius = static_cast<float>(std::fabs(path.endRadius));
    arc.startAngle = static_cast<float>(path.startAngle);
    arc.sweep = static_cast<float>(move.clockwise() ? -path.swept : path.swept);
    return arc;
}

// The box of an arc: its ends and every quadrant point its sweep passes.
Box arcBox(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end);

}  // namespace drennix::toolpath
