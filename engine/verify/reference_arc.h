// The reference path of a converted arc: the circle of its start radius about
// its centre, swept from its start angle through its swept angle, the helical
// axis moving evenly. The distance of a straight segment from a stretch of
// that path is the figure a conversion is judged by.
#pragma once

#include <cstdint>
#include <optional>

#include "move.h"

namespace drennix {

// What the check keeps of one converted arc: its path, its end and how many
// segments replaced it.
struct ReferenceArc {
    long long line = 0;
    // Where the new program holds the arc's line, where that is not `line`
    // (see Move::order); 0: at `line`.
    long long order = 0;
    long long segments = 0;
    double centreA = 0;
    double centreB = 0;
    double radius = 0;
    double startAngle = 0;
    // Signed: negative for clockwise arcs.
    double sweep = 0;
    double startHeight = 0;
    double rise = 0;
    double radiusDifference = 0;
    Point3 end{};
    Plane plane = Plane::XY;
};

// The record of a converted arc move (its `segments` above 0).
ReferenceArc referenceArcOf(const Move& arc);

// The point of the path at fraction `t` of the sweep (0 start, 1 end).
Point3 pointOnPath(const ReferenceArc& arc, double t);

// The distance from `p` to the segment from `a` to `b`.
double distanceToSegment(const Point3& p, const Point3& a, const Point3& b);

// The largest distance from a point of the path between fractions `t0` and
// `t1` (both included) to the segment from `a` to `b`.
double segmentDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a, const Point3& b);

// A bound of the deviation of the stretch of angle `angle` of the path from
// `start` to `end` from the segment from `a` to `b` (the four points with
// their axes in one order, whichever), with margins for rounding that grow
// with `scale`, the magnitude of the figures. quickSegmentBound's is never
// below segmentBound's and needs no division.
double segmentBound(const ReferenceArc& arc, double angle, const Point3& start, const Point3& end, const Point3& a,
                    const Point3& b, double scale);
double quickSegmentBound(const ReferenceArc& arc, double angle, const Point3& start, const Point3& end, const Point3& a,
                         const Point3& b, double scale);

// The segments of one arc measured in order: segment k (1 to the arc's
// segments) is its stretch from (k - 1) / segments to k / segments, and its
// deviation is segmentDeviation's. The path's direction at one segment's end
// serves as the next one's start.
class ArcSegments {
public:
    explicit ArcSegments(const ReferenceArc& arc);

    double deviation(long long k, const Point3& a, const Point3& b);
    // The same figure, or nothing when a bound from the stretch's ends proves
    // it is at most `floor` (then the search is not made).
    std::optional<double> deviationAbove(long long k, const Point3& a, const Point3& b, double floor);
    // Whether a bound shows the figure is at most `floor`, and then the
    // bound in `bound`; never measures.
    bool boundedWithin(long long k, const Point3& a, const Point3& b, double floor, double& bound);

private:
    double measured(long long k, double t0, double t1, const Point3& a, const Point3& b);
    // The quick bound of a segment that continues the walk, against `floor`;
    // true settles it (and moves the walk on), false leaves it to the rest.
    [[gnu::always_inline]] inline bool quicklyWithin(long long k, const Point3& a, const Point3& b, double floor,
                                                     double& bound);
    // deviationAbove where the walk's quick bound does not settle the
    // segment; out of line, so that the common case stays small.
    [[gnu::noinline]] std::optional<double> boundedOrMeasured(long long k, const Point3& a, const Point3& b,
                                                              double floor);
    // Whether the bound of the segment's figure is at most `floor`.
    bool boundedBy(long long k, double t0, double t1, const Point3& a, const Point3& b, double floor, double& bound);
    // The path's point at t, its direction from the centre given.
    Point3 pointAt(double t, double sin, double cos) const;

    const ReferenceArc& arc_;
    const PlaneAxes axes_;
    // What the rounding of the arc's figures scales with.
    const double pathScale_;
    // The segment end whose direction is known as directionOnPath gives it;
    // -1 for none.
    long long knownEnd_ = -1;
    double endSin_ = 0;
    double endCos_ = 1;
    // The bound's walk along the path: the direction at the end of the segment
    // bounded last, turned from one directionOnPath gave `turns_` times by a
    // segment's angle, and its point; -1 for none.
    struct Turned {
        double sin = 0;
        double cos = 1;
        double stepSin = 0;
        double stepCos = 1;
        Point3 point{};
    };
    long long turnedEnd_ = -1;
    int turns_ = 0;
    Turned turned_;
};

}  // namespace drennix
