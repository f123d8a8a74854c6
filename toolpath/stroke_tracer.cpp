#include "stroke_tracer.h"

#include <algorithm>
#include <cmath>

#include "arc_points.h"
#include "palette.h"

namespace drennix::toolpath {
namespace {

// Pixels around the picture that still count as inside, so that strokes
// leaving it are not cut at its very edge.
constexpr double edgeMargin = 4;

// In a coarse picture: a stroke goes to the end of one move in this many of
// a group (and of every move that starts a stroke), and an arc has at most
// this many chords.
constexpr std::size_t coarseStride = 8;
constexpr long long coarseChords = 3;

// How much of a group of moves a picture needs: nothing when it lies
// outside, one dot when it all falls within a pixel, else every move.
enum class GroupDetail { Hidden, Dot, Moves };

GroupDetail groupDetail(const Projection& projection, const Box& box, double margin)
{
    ScreenPoint low;
    ScreenPoint high;
    projection.screenExtent(box, low, high);
    if (high.x < -margin || high.y < -margin || low.x > projection.width() + margin ||
        low.y > projection.height() + margin) {
        return GroupDetail::Hidden;
    }
    return high.x - low.x < 1 && high.y - low.y < 1 ? GroupDetail::Dot : GroupDetail::Moves;
}

ScreenPoint centreOf(const Projection& projection, const Box& box)
{
    ScreenPoint low;
    ScreenPoint high;
    projection.screenExtent(box, low, high);
    return {(low.x + high.x) / 2, (low.y + high.y) / 2};
}

// Walks the moves of a range group by group, skipping the groups whose box
// the visitor does not want, and hands the visitor each remaining move: its
// start (startMove), then its chords' ends and its end (point).
template <typename Visitor>
void walkMoves(const ToolpathStore& store, const Projection& projection, MoveRange range, Visitor& visitor)
{
    const std::size_t last = std::min(range.last, store.moveCount());
    const std::vector<Box>& groups = store.levelOfDetail().groups;
    std::size_t index = range.first;
    std::size_t arc = store.arcIndexFrom(index);
    bool haveStart = false;
    Vertex position;
    while (index < last && !visitor.stopped()) {
        const std::size_t group = index / ToolpathStore::movesPerGroup;
        const std::size_t groupEnd = std::min(last, (group + 1) * ToolpathStore::movesPerGroup);
        const GroupDetail detail = visitor.detailOf(groups[group]);
        if (detail != GroupDetail::Moves) {
            if (detail == GroupDetail::Dot) visitor.dot(groups[group]);
            visitor.skipped();
            index = groupEnd;
            arc = store.arcIndexFrom(index);
            haveStart = false;
            continue;
        }
        for (; index < groupEnd; ++index) {
            const std::uint8_t flags = store.flagsOf(index);
            if (!haveStart || ToolpathStore::jumpsBefore(flags)) {
                position = store.startOf(index);
                haveStart = true;
            }
            const MoveKind kind = ToolpathStore::kindOf(flags);
            const Vertex end = store.endOf(index);
            const bool isArc = kind == MoveKind::ClockwiseArc || kind == MoveKind::CounterClockwiseArc;
            const StrokeStyle style = visitor.styleOf(index, kind);
            if (visitor.passesOver(index, style, ToolpathStore::jumpsBefore(flags))) {
                if (isArc) ++arc;
                position = end;
                continue;
            }
            visitor.startMove(index, style, projection.toScreen(position), ToolpathStore::jumpsBefore(flags));
            if (isArc) {
                const ArcRecord& record = store.arcAt(arc++);
                const Plane plane = ToolpathStore::planeOf(flags);
                const double radiusPixels = std::max(record.startRadius, record.endRadius) * projection.scale();
                // An arc that is not on the picture needs no chords: the
                // straight line to its end keeps the strokes in order.
                if (radiusPixels > 1 && visitor.arcWanted(circleBox(record, plane, position, end))) {
                    ArcChords chords(record, plane, position, end, visitor.chordsOf(record.sweep, radiusPixels));
                    Vertex point;
                    while (chords.next(point))
                        visitor.point(projection.toScreen(point));
                }
            }
            visitor.point(projection.toScreen(end));
            position = end;
        }
    }
}

// Culling codes of a screen point: one bit per side of the picture it lies
// beyond.
class Outcodes {
public:
    explicit Outcodes(const Projection& projection)
        : right_(projection.width() + edgeMargin), bottom_(projection.height() + edgeMargin)
    {}
    int of(ScreenPoint p) const
    {
        return (p.x < -edgeMargin ? 1 : 0) | (p.x > right_ ? 2 : 0) | (p.y < -edgeMargin ? 4 : 0) |
               (p.y > bottom_ ? 8 : 0);
    }

private:
    double right_;
    double bottom_;
};

class StrokeBuilder {
public:
    StrokeBuilder(const Projection& projection, StrokeSink& sink)
        : projection_(projection), sink_(sink), codes_(projection), coarse_(sink.coarse())
    {}
    ~StrokeBuilder() { close(); }

    GroupDetail detailOf(const Box& box) const { return groupDetail(projection_, box, edgeMargin); }
    bool stopped() const { return sink_.stopped(); }
    void skipped() { close(); }
    bool arcWanted(const Box& box) const { return groupDetail(projection_, box, edgeMargin) == GroupDetail::Moves; }
    // A group within one pixel: a stroke of one point, in the cutting style.
    void dot(const Box& box)
    {
        close();
        const ScreenPoint centre = centreOf(projection_, box);
        sink_.beginStroke(bands_ != nullptr ? StrokeStyle::Deviation0 : StrokeStyle::Cutting);
        sink_.addPoint(centre);
        sink_.endStroke();
    }
    // In a coarse picture, a move within an open stroke of its style, not
    // one in coarseStride, is passed over: the stroke goes on to a later end.
    bool passesOver(std::size_t index, StrokeStyle style, bool jump) const
    {
        return coarse_ && open_ && !jump && style == style_ && index % coarseStride != 0;
    }
    long long chordsOf(double sweep, double radiusPixels) const
    {
        const long long chords = chordsForArc(sweep, radiusPixels);
        return coarse_ ? std::min(chords, coarseChords) : chords;
    }
    bool coarse() const { return coarse_; }
    StrokeStyle styleOf(std::size_t index, MoveKind kind) const
    {
        if (bands_ != nullptr)
            return static_cast<StrokeStyle>(static_cast<int>(StrokeStyle::Deviation0) + (*bands_)[index]);
        return kind == MoveKind::Rapid ? StrokeStyle::Rapid : StrokeStyle::Cutting;
    }
    void useBands(const ChunkedArray<std::uint8_t>* bands) { bands_ = bands; }

    void startMove(std::size_t, StrokeStyle style, ScreenPoint start, bool jump)
    {
        if (jump || style != style_) close();
        style_ = style;
        if (!open_) {
            current_ = start;
            currentCode_ = codes_.of(start);
        }
    }

    void point(ScreenPoint next)
    {
        const int code = codes_.of(next);
        if ((code & currentCode_) != 0) {
            // Both ends beyond the same side: nothing of it shows.
            close();
        } else {
            if (!open_) {
                sink_.beginStroke(style_);
                sink_.addPoint(current_);
                drawn_ = current_;
                open_ = true;
            }
            addMerged(next);
        }
        current_ = next;
        currentCode_ = code;
    }

    void close()
    {
        if (!open_) return;
        if (pending_) sink_.addPoint(drawn_ = current_);
        sink_.endStroke();
        open_ = false;
        pending_ = false;
    }

private:
    void addMerged(ScreenPoint next)
    {
        if (std::fabs(next.x - drawn_.x) < 1 && std::fabs(next.y - drawn_.y) < 1) {
            pending_ = true;
            return;
        }
        sink_.addPoint(next);
        drawn_ = next;
        pending_ = false;
    }

    const Projection& projection_;
    StrokeSink& sink_;
    Outcodes codes_;
    const bool coarse_;
    const ChunkedArray<std::uint8_t>* bands_ = nullptr;
    StrokeStyle style_ = StrokeStyle::Cutting;
    bool open_ = false;
    bool pending_ = false;
    ScreenPoint current_;
    int currentCode_ = 0;
    ScreenPoint drawn_;
};

StrokeStyle deviationStyle(DeviationBand band)
{
    return static_cast<StrokeStyle>(static_cast<int>(StrokeStyle::Deviation0) +
                                    deviationColourOf[static_cast<int>(band)]);
}

// Straight moves a screen stretch of chords is drawn in at most: beyond, a
// long arc's moves are looked at a stretch at a time and stretches off the
// picture skipped.
constexpr long long movesPerStretch = 256;

// Draws the written straight moves of one converted arc.
class WrittenArcTracer {
public:
    WrittenArcTracer(const WrittenPath& written, const WrittenArc& arc, const WrittenPoints& points,
                     const Projection& projection, StrokeBuilder& builder)
        : written_(written), arc_(arc), points_(points), projection_(projection), builder_(builder)
    {}

    void trace(const ArcRecord& record) const
    {
        const long long count = arc_.segments;
        // A stretch lies within half its length of its middle point.
        const double stretchReach = std::fabs(static_cast<double>(record.sweep)) *
                                    std::max(record.startRadius, record.endRadius) * movesPerStretch /
                                    static_cast<double>(count) / 2;
        for (long long first = 0; first < count; first += movesPerStretch) {
            const long long last = std::min(count, first + movesPerStretch);
            if (count > movesPerStretch && !stretchShows(points_.at((first + last) / 2), stretchReach)) {
                builder_.skipped();
                continue;
            }
            traceMoves(first, last);
        }
    }

private:
    bool stretchShows(const Vertex& middle, double reach) const
    {
        Box box;
        const auto r = static_cast<float>(reach);
        box.add(Vertex{middle.x - r, middle.y - r, middle.z - r});
        box.add(Vertex{middle.x + r, middle.y + r, middle.z + r});
        return builder_.detailOf(box) != GroupDetail::Hidden;
    }

    void traceMoves(long long first, long long last) const
    {
        ScreenPoint from = projection_.toScreen(points_.at(first));
        for (long long k = first; k < last; ++k) {
            const DeviationBand band = written_.bandOf(arc_.firstSegment + static_cast<std::uint64_t>(k));
            builder_.startMove(0, deviationStyle(band), from, false);
            const ScreenPoint to = projection_.toScreen(points_.at(k + 1));
            builder_.point(to);
            from = to;
        }
    }

    const WrittenPath& written_;
    const WrittenArc& arc_;
    const WrittenPoints& points_;
    const Projection& projection_;
    StrokeBuilder& builder_;
};

double distanceToSegment(ScreenPoint p, ScreenPoint a, ScreenPoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

class NearestFinder {
public:
    NearestFinder(const Projection& projection, ScreenPoint target, double reach, std::size_t none,
                  const std::function<bool()>& stopped)
        : projection_(projection), target_(target), best_(reach), none_(none), found_(none), stopped_(stopped)
    {}

    GroupDetail detailOf(const Box& box) const
    {
        ScreenPoint low;
        ScreenPoint high;
        projection_.screenExtent(box, low, high);
        const bool near = target_.x >= low.x - best_ && target_.x <= high.x + best_ && target_.y >= low.y - best_ &&
                          target_.y <= high.y + best_;
        return near ? GroupDetail::Moves : GroupDetail::Hidden;
    }
    bool stopped() const
    {
        if (stopped_ && stopped_()) interrupted_ = true;
        return interrupted_;
    }
    void skipped() {}
    void dot(const Box&) {}
    // Only an arc that passes near the point needs its chords.
    bool arcWanted(const Box& box) const { return detailOf(box) == GroupDetail::Moves; }
    StrokeStyle styleOf(std::size_t, MoveKind) const { return StrokeStyle::Cutting; }
    bool passesOver(std::size_t, StrokeStyle, bool) const { return false; }
    long long chordsOf(double sweep, double radiusPixels) const { return chordsForArc(sweep, radiusPixels); }
    void startMove(std::size_t index, StrokeStyle, ScreenPoint start, bool)
    {
        move_ = index;
        last_ = start;
    }
    void point(ScreenPoint next)
    {
        const double distance = distanceToSegment(target_, last_, next);
        // The later of two moves at the same distance wins: it is drawn on top.
        if (distance <= best_) {
            best_ = distance;
            found_ = move_;
        }
        last_ = next;
    }
    std::size_t found() const { return interrupted_ ? none_ : found_; }

private:
    const Projection& projection_;
    ScreenPoint target_;
    double best_;
    std::size_t none_;
    std::size_t found_;
    const std::function<bool()>& stopped_;
    mutable bool interrupted_ = false;
    std::size_t move_ = 0;
    ScreenPoint last_;
};

}  // namespace

void traceMoves(const ToolpathStore& store, const Projection& projection, StrokeSink& sink, MoveRange range)
{
    StrokeBuilder builder(projection, sink);
    walkMoves(store, projection, range, builder);
}

void traceBandedMoves(const ToolpathStore& store, const ChunkedArray<std::uint8_t>& bands, const Projection& projection,
                      StrokeSink& sink, MoveRange range)
{
    StrokeBuilder builder(projection, sink);
    builder.useBands(&bands);
    walkMoves(store, projection, range, builder);
}

void traceWrittenPath(const ToolpathStore& store, const WrittenPath& written, int decimals,
                      const Projection& projection, StrokeSink& sink, MoveRange arcs)
{
    StrokeBuilder builder(projection, sink);
    const std::vector<Box>& groups = store.levelOfDetail().groups;
    // Below this length on the screen a written move is not told apart from
    // the arc.
    constexpr double shortestMovePixels = 2;
    const std::size_t last = std::min(arcs.last, written.arcCount());
    for (std::size_t index = arcs.first; index < last; ++index) {
        if (index % 1024 == 0 && sink.stopped()) break;
        const WrittenArc& arc = written.arcAt(index);
        const ArcRecord* record = arc.arc < store.arcCount() ? &store.arcAt(arc.arc) : nullptr;
        if (record == nullptr || arc.segments == 0 ||
            builder.detailOf(groups[arc.move / ToolpathStore::movesPerGroup]) == GroupDetail::Hidden) {
            continue;
        }
        const Plane plane = ToolpathStore::planeOf(store.flagsOf(arc.move));
        const Vertex start = store.startOf(arc.move);
        const Vertex end = store.endOf(arc.move);
        const double radiusPixels = std::max(record->startRadius, record->endRadius) * projection.scale();
        if (builder.detailOf(circleBox(*record, plane, start, end)) == GroupDetail::Hidden) continue;
        const double movePixels = std::fabs(static_cast<double>(record->sweep)) * radiusPixels / arc.segments;
        if (movePixels < shortestMovePixels || builder.coarse()) {
            builder.startMove(0, deviationStyle(arc.worst), projection.toScreen(start), true);
            ArcChords chords(*record, plane, start, end, builder.chordsOf(record->sweep, radiusPixels));
            Vertex point;
            while (chords.next(point))
                builder.point(projection.toScreen(point));
            builder.point(projection.toScreen(end));
            continue;
        }
        builder.skipped();
        const WrittenPoints points(*record, plane, start, end, arc.segments, decimals);
        WrittenArcTracer(written, arc, points, projection, builder).trace(*record);
    }
}

std::size_t nearestMove(const ToolpathStore& store, const Projection& projection, ScreenPoint point, double reach,
                        const std::function<bool()>& stopped)
{
    NearestFinder finder(projection, point, reach, store.moveCount(), stopped);
    walkMoves(store, projection, MoveRange{}, finder);
    return finder.found();
}

}  // namespace drennix::toolpath
