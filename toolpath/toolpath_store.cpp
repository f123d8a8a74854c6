#include "toolpath_store.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace drennix::toolpath {

Vertex toVertex(const Point3& point)
{
    return {static_cast<float>(point[0]), static_cast<float>(point[1]), static_cast<float>(point[2])};
}

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

// Line numbers beyond 32 bits are kept at the largest; no program has them.
std::uint32_t storedLine(long long line)
{
    constexpr long long largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::clamp(line, 0LL, largest));
}

Vertex withPlanePoint(Vertex point, Plane plane, double a, double b)
{
    const PlaneAxes axes = planeAxesOf(plane);
    float* coordinates[] = {&point.x, &point.y, &point.z};
    *coordinates[axes.a] = static_cast<float>(a);
    *coordinates[axes.b] = static_cast<float>(b);
    return point;
}

}  // namespace

Box arcBox(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end)
{
    Box box;
    box.add(start);
    box.add(end);
    const double from = std::min<double>(arc.startAngle, arc.startAngle + arc.sweep);
    const double to = std::max<double>(arc.startAngle, arc.startAngle + arc.sweep);
    const double quarter = std::numbers::pi / 2;
    const double radius = std::max(arc.startRadius, arc.endRadius);
    // Every multiple of a quarter turn inside the sweep is an extreme of the
    // circle on one axis; a sweep of a whole turn passes all four.
    const double first = std::ceil(from / quarter);
    // The circle's point at k quarter turns, without a sine or cosine.
    constexpr double unitA[4] = {1, 0, -1, 0};
    constexpr double unitB[4] = {0, 1, 0, -1};
    for (double k = first; k * quarter <= to && k < first + 4; k += 1) {
        const auto quadrant = static_cast<int>(((static_cast<long long>(k) % 4) + 4) % 4);
        box.add(withPlanePoint(start, plane, arc.centreA + radius * unitA[quadrant],
                               arc.centreB + radius * unitB[quadrant]));
    }
    return box;
}

ToolpathStore::ToolpathStore(const Point3& initialPosition)
    : start_(toVertex(initialPosition)), lastEnd_(initialPosition)
{
    bounds_.add(start_);
}

void ToolpathStore::record(const Move& move)
{
    const auto index = static_cast<std::uint32_t>(ends_.size());
    std::uint8_t flags = static_cast<std::uint8_t>(static_cast<std::uint8_t>(move.kind) |
                                                   (static_cast<std::uint8_t>(move.plane) << planeShift));
    if (move.helical()) flags |= helicalFlag;
    const Vertex start = toVertex(move.start);
    // A coordinate set moved the tool without a move: the next move starts
    // from the new position, and no line joins the two.
    if (move.start != lastEnd_) {
        flags |= jumpFlag;
        jumps_.push_back({index, start});
    }
    // The box of a finished group joins the whole box once, not per move.
    if (index % movesPerGroup == 0) {
        if (!groups_.empty()) bounds_.add(groups_.back());
        groups_.emplace_back();
    }
    Box& group = groups_.back();
    group.add(start);
    const Vertex end = toVertex(move.end);
    ends_.push_back(end);
    lines_.push_back(storedLine(move.line));
    flags_.push_back(flags);
    lastEnd_ = move.end;
    if (move.isArc()) {
        recordArc(move, index);
        group.add(arcBox(arcs_.back(), move.plane, start, end));
    } else {
        group.add(end);
    }
}

Box ToolpathStore::bounds() const
{
    Box box = bounds_;
    if (!groups_.empty()) box.add(groups_.back());
    return box;
}

void ToolpathStore::recordArc(const Move& move, std::uint32_t index)
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
    arcs_.push_back(arc);
}

PathMove ToolpathStore::moveAt(std::size_t index) const
{
    const std::uint8_t flags = flags_[index];
    PathMove move;
    move.kind = kindOf(flags);
    move.plane = planeOf(flags);
    move.helical = (flags & helicalFlag) != 0;
    move.line = lines_[index];
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

std::size_t ToolpathStore::firstMoveFrom(long long line) const
{
    std::size_t low = 0;
    std::size_t high = lines_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (static_cast<long long>(lines_[middle]) < line) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::size_t ToolpathStore::memoryBytes() const
{
    return sizeof(*this) + ends_.bytesReserved() + lines_.bytesReserved() + flags_.bytesReserved() +
           arcs_.bytesReserved() + jumps_.capacity() * sizeof(Jump) + groups_.capacity() * sizeof(Box);
}

}  // namespace drennix::toolpath
