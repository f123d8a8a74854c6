#include "reference_arc.h"

#include <algorithm>
#include <cmath>

namespace drennix {

namespace {

// Samples along the path: at least this many per segment, and one more for
// every this many radians of its sweep, so that no bulge between two samples
// can hide a second maximum.
constexpr int minimumSamples = 8;
constexpr double radiansPerSample = 0.1;
constexpr double maximumSamples = 1 << 16;
// Golden-section steps around a sampled maximum: the bracket shrinks to
// 0.618^60 (about 3e-13) of its width, far below any written unit.
constexpr int refinementSteps = 60;

double dot(const Point3& u, const Point3& v)
{
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

Point3 difference(const Point3& u, const Point3& v)
{
    return {u[0] - v[0], u[1] - v[1], u[2] - v[2]};
}

double length(const Point3& u)
{
    return std::sqrt(dot(u, u));
}

// The largest value of `f` near `t`, between `lo` and `hi`: golden-section
// search on a bracket where f rises to one peak (the distance from a short
// stretch of the path to a segment does).
template <typename F>
double refineMaximum(F f, double lo, double hi, double sampled)
{
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double x1 = hi - ratio * (hi - lo);
    double x2 = lo + ratio * (hi - lo);
    double f1 = f(x1);
    double f2 = f(x2);
    double best = std::max({sampled, f1, f2});
    for (int step = 0; step < refinementSteps; ++step) {
        if (f1 < f2) {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + ratio * (hi - lo);
            f2 = f(x2);
        } else {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - ratio * (hi - lo);
            f1 = f(x1);
        }
        best = std::max({best, f1, f2});
    }
    return best;
}

}  // namespace

ReferenceArc referenceArcOf(const Move& arc)
{
    const PlaneAxes axes = planeAxesOf(arc.plane);
    ReferenceArc r;
    r.line = arc.line;
    r.segments = arc.segments;
    r.centreA = arc.arc.centreA;
    r.centreB = arc.arc.centreB;
    r.radius = arc.arc.absRadius();
    r.startAngle = arc.arc.startAngle;
    r.sweep = arc.clockwise() ? -arc.arc.swept : arc.arc.swept;
    r.startHeight = arc.start[axes.helical];
    r.rise = arc.end[axes.helical] - arc.start[axes.helical];
    r.radiusDifference = arc.arc.radiusDifference;
    r.end = arc.end;
    r.plane = arc.plane;
    return r;
}

Point3 pointOnPath(const ReferenceArc& arc, double t)
{
    const PlaneAxes axes = planeAxesOf(arc.plane);
    const double angle = arc.startAngle + arc.sweep * t;
    Point3 p{};
    p[axes.a] = arc.centreA + arc.radius * std::cos(angle);
    p[axes.b] = arc.centreB + arc.radius * std::sin(angle);
    p[axes.helical] = arc.startHeight + arc.rise * t;
    return p;
}

double distanceToSegment(const Point3& p, const Point3& a, const Point3& b)
{
    const Point3 ab = difference(b, a);
    const Point3 ap = difference(p, a);
    const double squaredLength = dot(ab, ab);
    const double u = squaredLength > 0 ? std::clamp(dot(ap, ab) / squaredLength, 0.0, 1.0) : 0.0;
    return length(difference(ap, {ab[0] * u, ab[1] * u, ab[2] * u}));
}

double segmentDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a, const Point3& b)
{
    const auto distanceAt = [&](double t) { return distanceToSegment(pointOnPath(arc, t), a, b); };
    const double span = std::fabs(arc.sweep * (t1 - t0));
    const int samples = static_cast<int>(std::min(maximumSamples, minimumSamples + std::ceil(span / radiansPerSample)));
    const auto tAt = [&](int i) { return i == samples ? t1 : t0 + (t1 - t0) * i / samples; };
    double best = std::max(distanceAt(t0), distanceAt(t1));
    double previous = distanceAt(t0);
    double current = distanceAt(tAt(1));
    for (int i = 1; i < samples; ++i) {
        const double next = distanceAt(tAt(i + 1));
        if (current >= previous && current >= next) {
            best = std::max(best, refineMaximum(distanceAt, tAt(i - 1), tAt(i + 1), current));
        }
        previous = current;
        current = next;
    }
    return best;
}

}  // namespace drennix
