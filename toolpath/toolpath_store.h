// The moves of one run, kept compactly for drawing: the end point of every
// move in single precision, its source line and kind, and beside them the
// circles of the arcs and the starts of the moves that do not begin where the
// one before ended (after a coordinate set). A program of millions of moves
// costs under 20 bytes a move plus its arcs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "chunked_array.h"
#include "move.h"

namespace drennix::toolpath {

struct Vertex {
    float x = 0;
    float y = 0;
    float z = 0;
    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    bool operator==(const Vertex&) const = default;
};

Vertex toVertex(const Point3& point);

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
    Box bounds() const;

    PathMove moveAt(std::size_t index) const;
    Vertex endOf(std::size_t index) const { return ends_[index]; }
    // Where move `index` begins: the end of the one before, or where a
    // coordinate set put the tool.
    Vertex startOf(std::size_t index) const;
    long long lineOf(std::size_t index) const { return lines_[index]; }
    // The first move of line `line` or of a later line (moveCount() if none).
    std::size_t firstMoveFrom(long long line) const;

    // The level-of-detail index: the box of each group of movesPerGroup moves.
    std::size_t groupCount() const { return groups_.size(); }
    const Box& groupBox(std::size_t group) const { return groups_[group]; }

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

    void recordArc(const Move& move, std::uint32_t index);

    Vertex start_;
    Point3 lastEnd_{};
    Box bounds_;
    ChunkedArray<Vertex> ends_;
    ChunkedArray<std::uint32_t> lines_;
    ChunkedArray<std::uint8_t> flags_;
    ChunkedArray<ArcRecord, 12> arcs_;
    std::vector<Jump> jumps_;
    std::vector<Box> groups_;
};

// The box of an arc: its ends and every quadrant point its sweep passes.
Box arcBox(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end);

}  // namespace drennix::toolpath
