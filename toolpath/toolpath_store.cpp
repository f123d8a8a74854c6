#include "toolpath_store.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace drennix::toolpath {

void Box::add(const Vertex& point)
{
    for (int axis = 0; axis < 3; ++axis) {
        const double value = point[axis];
        if (empty || value < min[axis]) min[axis] = value;
        if (empty || value > max[axis]) max[axis] = value;
    }
    empty = false;
}

void Box::add(const Box& other)
{
    if (other.empty) return;
    Vertex corner{static_cast<float>(other.min[0]), static_cast<float>(other.min[1]), static_cast<float>(other.min[2])};
    add(corner);
    corner = {static_cast<float>(other.max[0]), static_cast<float>(other.max[1]), static_cast<float>(other.max[2])};
    add(corner);
}

namespace {

Vertex withPlanePoint(Vertex point, Plane plane, double a, double b)
{
    const PlaneAxes axes = planeAxesOf(plane);
    float* coordinates[] = {&point.x, &point.y, &point.z};
    *coordinates[axes.a] = static_cast<float>(a);
    *coordinates[axes.b] = static_cast<float>(b);
    return point;
}

// Hands `add` the circle's point at every multiple of a quarter turn inside
// the arc's sweep: each is an extreme of the circle on one axis, and a sweep
// of a whole turn passes all four. The plane's third axis stays at `start`.
template <typename Add>
void addQuadrantPoints(const ArcRecord& arc, Plane plane, const Vertex& start, Add add)
{
    const double from = std::min<double>(arc.startAngle, arc.startAngle + arc.sweep);
    const double to = std::max<double>(arc.startAngle, arc.startAngle + arc.sweep);
    const double quarter = std::numbers::pi / 2;
    const double radius = std::max(arc.startRadius, arc.endRadius);
    const double first = std::ceil(from / quarter);
    // The circle's point at k quarter turns, without a sine or cosine.
    constexpr double unitA[4] = {1, 0, -1, 0};
    constexpr double unitB[4] = {0, 1, 0, -1};
    for (double k = first; k * quarter <= to && k < first + 4; k += 1) {
        const auto quadrant = static_cast<int>(((static_cast<long long>(k) % 4) + 4) % 4);
        add(withPlanePoint(start, plane, arc.centreA + radius * unitA[quadrant],
                           arc.centreB + radius * unitB[quadrant]));
    }
}

}  // namespace

Box arcBox(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end)
{
    Box box;
    box.add(start);
    box.add(end);
    addQuadrantPoints(arc, plane, start, [&box](const Vertex& point) { box.add(point); });
    return box;
}

ToolpathStore::ToolpathStore(const Point3& initialPosition)
    : start_(toVertex(initialPosition)), lastEnd_(initialPosition)
{}

void ToolpathStore::recordInFull(const Move& move)
{
    const auto index = static_cast<std::uint32_t>(ends_.size());
    std::uint8_t flags = basicFlags(move);
    // A coordinate set moved the tool without a move: the next move starts
    // from the new position, and no line joins the two.
    if (move.start != lastEnd_) flags |= recordJump(move.start, index);
    if (move.isArc()) {
        arcs_.push_back(arcRecordOf(move, index));
        flags |= arcFlags(move);
    }
    ends_.push_back(toVertex(move.end));
    lines_.append(storedLine(move.line));
    flags_.push_back(flags);
    lastEnd_ = move.end;
}

std::uint8_t ToolpathStore::recordJump(const Point3& start, std::uint32_t index)
{
    jumps_.push_back({index, toVertex(start)});
    return jumpFlag;
}

const LevelOfDetail& ToolpathStore::levelOfDetail() const
{
    const std::lock_guard lock(detail_->mutex);
    if (!detail_->made || detail_->moves != moveCount()) {
        makeLevelOfDetail(detail_->detail);
        detail_->moves = moveCount();
        detail_->made = true;
    }
    return detail_->detail;
}

namespace {

// A group's box as single-precision corners: the same comparisons as
// Box::add, without its test for an empty box on every point.
struct GroupExtent {
    std::array<float, 3> low;
    std::array<float, 3> high;

    explicit GroupExtent(const Vertex& first) : low{first.x, first.y, first.z}, high(low) {}

    void add(const Vertex& point)
    {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = point[axis];
            if (value < low[axis]) low[axis] = value;
            if (value > high[axis]) high[axis] = value;
        }
    }
    Box box() const
    {
        Box box;
        for (int axis = 0; axis < 3; ++axis) {
            box.min[axis] = low[axis];
            box.max[axis] = high[axis];
        }
        box.empty = false;
        return box;
    }
};

}  // namespace

// Each group holds the start and the end of each of its moves and the
// quadrant points of its arcs (as arcBox gives them); the whole box the start
// point and every group. A move that does not jump starts where the one
// before ended, a point the group already holds.
void ToolpathStore::makeLevelOfDetail(LevelOfDetail& detail) const
{
    const std::size_t count = moveCount();
    detail.groups.clear();
    detail.groups.reserve((count + movesPerGroup - 1) / movesPerGroup);
    detail.bounds = Box{};
    detail.bounds.add(start_);
    Vertex previous = start_;
    std::size_t jump = 0;
    std::size_t arc = 0;
    for (std::size_t first = 0; first < count; first += movesPerGroup) {
        const std::size_t moves = std::min(count - first, movesPerGroup);
        // A group lies within one block of each array.
        const std::uint8_t* const groupFlags = &flags_[first];
        const Vertex* const groupEnds = &ends_[first];
        GroupExtent extent(jumpsBefore(groupFlags[0]) ? jumps_[jump].start : previous);
        for (std::size_t index = 0; index < moves; ++index) {
            const std::uint8_t flags = groupFlags[index];
            if (jumpsBefore(flags)) {
                previous = jumps_[jump++].start;
                extent.add(previous);
            }
            const MoveKind kind = kindOf(flags);
            if (kind == MoveKind::ClockwiseArc || kind == MoveKind::CounterClockwiseArc) {
                addQuadrantPoints(arcs_[arc++], planeOf(flags), previous,
                                  [&extent](const Vertex& point) { extent.add(point); });
            }
            previous = groupEnds[index];
            extent.add(previous);
        }
        detail.groups.push_back(extent.box());
        detail.bounds.add(detail.groups.back());
    }
}

PathMove ToolpathStore::moveAt(std::size_t index) const
{
    const std::uint8_t flags = flags_[index];
    PathMove move;
    move.kind = kindOf(flags);
    move.plane = planeOf(flags);
    move.helical = (flags & helicalFlag) != 0;
    move.line = lines_.lineOf(index);
    move.start = startOf(index);
    move.end = ends_[index];
    if (move.kind == MoveKind::ClockwiseArc || move.kind == MoveKind::CounterClockwiseArc) move.arc = arcOf(index);
    return move;
}

Vertex ToolpathStore::startOf(std::size_t index) const
{
    if (jumpsBefore(flags_[index])) {
        const auto found = std::lower_bound(jumps_.begin(), jumps_.end(), index,
                                            [](const Jump& jump, std::size_t move) { return jump.move < move; });
        return found->start;
    }
    return index == 0 ? start_ : ends_[index - 1];
}

std::size_t ToolpathStore::arcIndexFrom(std::size_t index) const
{
    std::size_t low = 0;
    std::size_t high = arcs_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (arcs_[middle].move < index) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

const ArcRecord* ToolpathStore::arcOf(std::size_t index) const
{
    const std::size_t arc = arcIndexFrom(index);
    return arc < arcs_.size() && arcs_[arc].move == index ? &arcs_[arc] : nullptr;
}

std::size_t ToolpathStore::memoryBytes() const
{
    const std::lock_guard lock(detail_->mutex);
    return sizeof(*this) + sizeof(DetailCache) + ends_.bytesReserved() + lines_.bytesReserved() +
           flags_.bytesReserved() + arcs_.bytesReserved() + jumps_.capacity() * sizeof(Jump) +
           detail_->detail.groups.capacity() * sizeof(Box);
}

}  // namespace drennix::toolpath
