#include "reference_arc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

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

double square(double v)
{
    return v * v;
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
    r.order = arc.order;
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

namespace {

// The path's point at t whose direction from the centre is (cos, sin).
Point3 pathPoint(const ReferenceArc& arc, double t, double cos, double sin)
{
    const PlaneAxes axes = planeAxesOf(arc.plane);
    Point3 p{};
    p[axes.a] = arc.centreA + arc.radius * cos;
    p[axes.b] = arc.centreB + arc.radius * sin;
    p[axes.helical] = arc.startHeight + arc.rise * t;
    return p;
}

}  // namespace

Point3 pointOnPath(const ReferenceArc& arc, double t)
{
    const double angle = arc.startAngle + arc.sweep * t;
    return pathPoint(arc, t, std::cos(angle), std::sin(angle));
}

double distanceToSegment(const Point3& p, const Point3& a, const Point3& b)
{
    const Point3 ab = difference(b, a);
    const Point3 ap = difference(p, a);
    const double squaredLength = dot(ab, ab);
    const double u = squaredLength > 0 ? std::clamp(dot(ap, ab) / squaredLength, 0.0, 1.0) : 0.0;
    return length(difference(ap, {ab[0] * u, ab[1] * u, ab[2] * u}));
}

namespace {

// A stretch of at most this many radians is searched here: samples whose gaps
// stay within the tenth of a radian the general search allows, Newton steps
// on the squared distance from each sampled peak, and a bound on every other
// gap that is searched too unless it proves the gap holds nothing farther.
constexpr int minimumGaps = 2;
constexpr int maximumGaps = 8;
constexpr double shortStretch = maximumGaps * radiansPerSample;
constexpr int newtonSteps = 8;
// A Newton step this small (as a share of the bracket) leaves the next point
// within its rounding of the peak: the error shrinks with its square.
constexpr double newtonConvergence = 1e-6;

struct SinCos {
    double sin = 0;
    double cos = 1;
};

// The path's direction from the centre at t, as pointOnPath takes it.
SinCos directionOnPath(const ReferenceArc& arc, double t)
{
    const double angle = arc.startAngle + arc.sweep * t;
    return {std::sin(angle), std::cos(angle)};
}

constexpr double inverseFactorial(int n)
{
    double f = 1;
    for (int i = 2; i <= n; ++i) {
        f *= i;
    }
    return 1 / f;
}

// sin and cos of |x| <= shortStretch by their Taylor series: the first term
// left out is below 1e-18 of the result there.
SinCos sinCosNearZero(double x)
{
    // 1/3!, 1/5!, ... and 1/2!, 1/4!, ..., the signs alternating.
    constexpr std::array<double, 8> sinTerms = [] {
        std::array<double, 8> terms{};
        for (int i = 0; i < 8; ++i) {
            terms[i] = inverseFactorial(2 * i + 3);
        }
        return terms;
    }();
    constexpr std::array<double, 9> cosTerms = [] {
        std::array<double, 9> terms{};
        for (int i = 0; i < 9; ++i) {
            terms[i] = inverseFactorial(2 * i + 2);
        }
        return terms;
    }();
    const double x2 = x * x;
    if (std::fabs(x) <= 0.1) {
        // A gap or a segment of most conversions: the terms from x^11 on are
        // below 1e-17 of the result there.
        const double s = sinTerms[0] - x2 * (sinTerms[1] - x2 * (sinTerms[2] - x2 * sinTerms[3]));
        const double c = cosTerms[0] - x2 * (cosTerms[1] - x2 * (cosTerms[2] - x2 * (cosTerms[3] - x2 * cosTerms[4])));
        return {x - x * x2 * s, 1 - x2 * c};
    }
    double s = 0;
    for (int i = static_cast<int>(sinTerms.size()) - 1; i >= 0; --i) {
        s = sinTerms[i] - x2 * s;
    }
    double c = 0;
    for (int i = static_cast<int>(cosTerms.size()) - 1; i >= 0; --i) {
        c = cosTerms[i] - x2 * c;
    }
    return {x - x * x2 * s, 1 - x2 * c};
}

SinCos rotated(const SinCos& direction, const SinCos& by)
{
    return {direction.sin * by.cos + direction.cos * by.sin, direction.cos * by.cos - direction.sin * by.sin};
}

// Points in the arc's own frame: its plane's two axes, then the helical one.
// Distances do not depend on the order of the axes.
Point3 inArcFrame(const Point3& p, const PlaneAxes& axes)
{
    return {p[axes.a], p[axes.b], p[axes.helical]};
}

// The path over a short stretch: its direction from the centre at t by
// turning the direction at the stretch's start (pointOnPath's) instead of a
// sin and a cos at every t.
// The path's point at t in the arc's frame, its direction from the centre
// given.
Point3 framePoint(const ReferenceArc& arc, double t, const SinCos& direction)
{
    return {arc.centreA + arc.radius * direction.cos, arc.centreB + arc.radius * direction.sin,
            arc.startHeight + arc.rise * t};
}

class ShortStretch {
public:
    struct Local {
        Point3 point{};
        Point3 velocity{};
        Point3 acceleration{};
    };

    ShortStretch(const ReferenceArc& arc, double tStart, const SinCos& start)
        : arc_(arc), tStart_(tStart), start_(start)
    {}

    const SinCos& startDirection() const { return start_; }
    // The start's point as pointOnPath gives it.
    Point3 startPoint() const { return pathPoint(arc_, tStart_, start_.cos, start_.sin); }
    SinCos directionAt(double t) const { return rotated(start_, sinCosNearZero(arc_.sweep * (t - tStart_))); }

    Point3 pointAt(double t, const SinCos& direction) const { return framePoint(arc_, t, direction); }

    Local localAt(double t) const
    {
        const SinCos direction = directionAt(t);
        const double r = arc_.radius;
        const double w = arc_.sweep;
        return {pointAt(t, direction),
                {-w * r * direction.sin, w * r * direction.cos, arc_.rise},
                {-w * w * r * direction.cos, -w * w * r * direction.sin, 0}};
    }

private:
    const ReferenceArc& arc_;
    const double tStart_;
    const SinCos start_;
};

// The written segment in the arc's frame, with what every distance to it
// shares.
class WrittenSegment {
public:
    WrittenSegment(const Point3& a, const Point3& b) : a_(a), ab_(difference(b, a)), squaredLength_(dot(ab_, ab_)) {}

    double distance(const Point3& p) const
    {
        double along = 0;
        return length(residual(p, along));
    }

    // The distance of a path point and the first two derivatives of its
    // square along the path.
    struct Measure {
        double distance = 0;
        double slope = 0;
        double curvature = 0;
    };

    Measure measure(const ShortStretch::Local& local) const
    {
        double along = 0;
        const Point3 r = residual(local.point, along);
        // Where the nearest point slides along the segment, the velocity along
        // it does not move the path away.
        const double slide = along > 0 && along < 1 ? square(dot(local.velocity, ab_)) / squaredLength_ : 0.0;
        Measure m;
        m.distance = length(r);
        m.slope = 2 * dot(r, local.velocity);
        m.curvature = 2 * (dot(local.velocity, local.velocity) - slide) + 2 * dot(r, local.acceleration);
        return m;
    }

private:
    // From the nearest point of the segment to p; `along` where p's foot lies
    // on the segment's line (0 at a, 1 at b).
    Point3 residual(const Point3& p, double& along) const
    {
        const Point3 ap = difference(p, a_);
        along = squaredLength_ > 0 ? dot(ap, ab_) / squaredLength_ : 0.0;
        const double u = std::clamp(along, 0.0, 1.0);
        return difference(ap, {ab_[0] * u, ab_[1] * u, ab_[2] * u});
    }

    const Point3 a_;
    const Point3 ab_;
    const double squaredLength_;
};

// The largest distance within [lo, hi] by Newton steps from t; nothing when
// the squared distance is not concave on the way or the steps do not settle.
std::optional<double> newtonMaximum(const ShortStretch& stretch, const WrittenSegment& segment, double lo, double hi,
                                    double t, double best)
{
    for (int step = 0; step < newtonSteps; ++step) {
        const WrittenSegment::Measure m = segment.measure(stretch.localAt(t));
        best = std::max(best, m.distance);
        if (!(m.curvature < 0)) {
            return std::nullopt;
        }
        const double next = std::clamp(t - m.slope / m.curvature, lo, hi);
        if (std::fabs(next - t) <= newtonConvergence * (hi - lo)) {
            return std::max(best, segment.distance(stretch.pointAt(next, stretch.directionAt(next))));
        }
        t = next;
    }
    return std::nullopt;
}

// Where the parabola through three equally spaced samples peaks, kept
// within them: near the peak of a bulge, so that Newton has little to do.
double parabolaPeak(double lo, double hi, double dLo, double dMiddle, double dHi)
{
    const double bend = dLo - 2 * dMiddle + dHi;
    const double middle = (lo + hi) / 2;
    if (!(bend < 0)) {
        return middle;
    }
    return std::clamp(middle + (hi - lo) / 4 * (dLo - dHi) / bend, lo, hi);
}

// The largest distance a gap between samples at distances dLo and dHi can
// hold: the distance from the chord of the gap is convex, and the path
// leaves that chord by at most k λ (1 - λ) at its fraction λ (k = r w^2 / 2,
// w the gap's angle).
double gapBound(double dLo, double dHi, double k)
{
    if (!(k > 0)) {
        return std::max(dLo, dHi);
    }
    const double rise = dHi - dLo;
    const double lambda = std::clamp((rise + k) / (2 * k), 0.0, 1.0);
    return dLo + lambda * rise + k * lambda * (1 - lambda);
}

// The largest distance within [lo, hi]: Newton steps from t where the
// squared distance is concave, else golden section.
double refinedMaximum(const ShortStretch& stretch, const WrittenSegment& segment, double lo, double hi, double t,
                      double best)
{
    if (const auto peak = newtonMaximum(stretch, segment, lo, hi, t, best)) {
        return *peak;
    }
    const auto distanceAt = [&](double u) { return segment.distance(stretch.pointAt(u, stretch.directionAt(u))); };
    return refineMaximum(distanceAt, lo, hi, best);
}

// The path's direction at a stretch's two ends and the distances of its
// points there from the segment, measured once for the bound and the search.
struct StretchEnds {
    SinCos start;
    SinCos end;
    double startDistance = 0;
    double endDistance = 0;
};

// `start` is the path's direction at t0 as directionOnPath gives it; the
// ends' distances exactly as the general search measures them.
StretchEnds stretchEnds(const ReferenceArc& arc, double t0, double t1, const SinCos& start, const Point3& a,
                        const Point3& b)
{
    const SinCos end = directionOnPath(arc, t1);
    return {start, end, distanceToSegment(pathPoint(arc, t0, start.cos, start.sin), a, b),
            distanceToSegment(pathPoint(arc, t1, end.cos, end.sin), a, b)};
}

// The deviation over a short stretch, or nothing where the general search
// must decide (a long stretch, a non-finite distance).
std::optional<double> shortStretchDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a,
                                            const Point3& b, const StretchEnds& ends)
{
    const double span = std::fabs(arc.sweep * (t1 - t0));
    if (!(span <= shortStretch)) {
        return std::nullopt;
    }
    const int gaps = std::clamp(static_cast<int>(std::ceil(span / radiansPerSample)), minimumGaps, maximumGaps);
    const ShortStretch stretch(arc, t0, ends.start);
    const PlaneAxes axes = planeAxesOf(arc.plane);
    const WrittenSegment segment(inArcFrame(a, axes), inArcFrame(b, axes));
    std::array<double, maximumGaps + 1> t;
    std::array<double, maximumGaps + 1> d;
    // The ends as measured; the samples between them by turning the start's
    // direction step by step.
    t[0] = t0;
    d[0] = ends.startDistance;
    t[gaps] = t1;
    d[gaps] = ends.endDistance;
    const SinCos step = sinCosNearZero(arc.sweep * (t1 - t0) / gaps);
    SinCos turned = stretch.startDirection();
    for (int i = 1; i < gaps; ++i) {
        turned = rotated(turned, step);
        t[i] = t0 + (t1 - t0) * i / gaps;
        d[i] = segment.distance(stretch.pointAt(t[i], turned));
    }
    for (int i = 0; i <= gaps; ++i) {
        if (!std::isfinite(d[i])) {
            return std::nullopt;
        }
    }
    double best = std::max(d[0], d[gaps]);
    // Each sampled peak refined over the gaps on both its sides.
    std::array<bool, maximumGaps> refined{};
    for (int i = 1; i < gaps; ++i) {
        if (d[i] >= d[i - 1] && d[i] >= d[i + 1]) {
            const double start = parabolaPeak(t[i - 1], t[i + 1], d[i - 1], d[i], d[i + 1]);
            best = std::max(best, refinedMaximum(stretch, segment, t[i - 1], t[i + 1], start, d[i]));
            refined[i - 1] = refined[i] = true;
        }
    }
    // Any other gap whose bound exceeds what was found is searched too: a
    // peak just inside it can hide between two lower samples.
    const double gap = span / gaps;
    const double bulge = arc.radius * gap * gap / 2;
    for (int i = 0; i < gaps; ++i) {
        if (!refined[i] && gapBound(d[i], d[i + 1], bulge) > best) {
            const double start = d[i] >= d[i + 1] ? t[i] : t[i + 1];
            best = std::max(best, refinedMaximum(stretch, segment, t[i], t[i + 1], start, std::max(d[i], d[i + 1])));
        }
    }
    return best;
}

// The sampled search above, for any stretch: at least eight samples and one
// per tenth of a radian, each local maximum refined by golden section.
double sampledDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a, const Point3& b)
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

// The deviation of a stretch whose ends were measured: the short search
// where it decides, else the general one.
double stretchDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a, const Point3& b,
                        const StretchEnds& ends)
{
    if (const auto deviation = shortStretchDeviation(arc, t0, t1, a, b, ends)) {
        return *deviation;
    }
    return sampledDeviation(arc, t0, t1, a, b);
}

// What the arithmetic may add to the largest distance of the path itself.
// Every point measured, by the searches or for the bound, lies within a few
// hundred units in the last place of `scale` (the sum of the magnitudes
// below) of a point of the stretch. Its direction from the centre comes from
// sin and cos, turned by the Taylor series (a few ulp a turn, at most
// maximumTurns turns), at an angle off by some 70 ulp of 1 + |start angle| +
// |sweep| (the rounding of the fractions and of the turns' angles), times the
// radius; its coordinates are sums rounded to the ulp of the centre plus the
// radius and of the height plus the rise. A distance to the segment is within
// some 20 ulp of the magnitude of the coordinates (the differences, the
// foot's fraction, the square root). The ends the bound starts from (from
// below) and the points searched (from above) stray by these, so a search's
// figure stays within 2^-43 of `scale` above the bound of the measured ends;
// 2^-36 leaves a factor of over a hundred. The relative part covers the
// bound's own rounding.
constexpr double scaleMargin = 0x1p-36;
constexpr double relativeMargin = 1e-9;
// Below this, no square of a coordinate or a sum of them overflows; above
// it, no segment is left out. The absolute margin covers what underflow
// loses in a square root (about 1e-161).
constexpr double largestScale = 1e150;
constexpr double absoluteMargin = 1e-150;
constexpr int maximumTurns = 32;

double magnitude(const Point3& p)
{
    return std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]);
}

// The coordinates' and the path's angle's share of `scale` above.
double pathScaleOf(const ReferenceArc& arc)
{
    return std::fabs(arc.centreA) + std::fabs(arc.centreB) +
           arc.radius * (1 + std::fabs(arc.startAngle) + std::fabs(arc.sweep)) + std::fabs(arc.startHeight) +
           std::fabs(arc.rise);
}

double withMargins(double bound, double scale)
{
    return bound * (1 + relativeMargin) + scale * scaleMargin + absoluteMargin;
}

// The largest distance the stretch of angle `angle` can hold, its ends at
// dStart and dEnd from the segment, with the margins above. The path is
// within gapBound's reach of the chord between its ends (the helical axis
// moves along that chord) and a segment's distance is convex along the
// chord: no point of the stretch is farther than gapBound with k = r w^2 / 2.
double stretchBound(const ReferenceArc& arc, double angle, double dStart, double dEnd, double scale)
{
    return withMargins(gapBound(dStart, dEnd, arc.radius * angle * angle / 2), scale);
}

}  // namespace

double segmentBound(const ReferenceArc& arc, double angle, const Point3& start, const Point3& end, const Point3& a,
                    const Point3& b, double scale)
{
    const WrittenSegment segment(a, b);
    return stretchBound(arc, angle, segment.distance(start), segment.distance(end), scale);
}

namespace {

// The distances of the stretch's ends to the segment's own ends instead of
// to the segment (no division): never nearer, and gapBound grows with them.
// Both ways of reckoning stray from the exact figures by rounding: the
// distances by some 20 ulp of `scale`, gapBound by a few ulp of itself. The
// margins below cover that many times over, so that this figure is never
// below segmentBound's.
// Inline in the bound of every short segment, whose call it would
// otherwise dominate.
[[gnu::always_inline]] inline double quickBound(const ReferenceArc& arc, double angle, const Point3& start,
                                                const Point3& end, const Point3& a, const Point3& b, double scale)
{
    constexpr double quickRelativeMargin = 0x1p-30;
    constexpr double quickScaleMargin = 0x1p-40;
    const double fromA = length(difference(start, a));
    const double fromB = length(difference(end, b));
    const double ends = gapBound(fromA, fromB, arc.radius * angle * angle / 2);
    return withMargins(ends * (1 + quickRelativeMargin) + scale * quickScaleMargin, scale);
}

}  // namespace

double quickSegmentBound(const ReferenceArc& arc, double angle, const Point3& start, const Point3& end, const Point3& a,
                         const Point3& b, double scale)
{
    return quickBound(arc, angle, start, end, a, b, scale);
}

double segmentDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a, const Point3& b)
{
    return stretchDeviation(arc, t0, t1, a, b, stretchEnds(arc, t0, t1, directionOnPath(arc, t0), a, b));
}

ArcSegments::ArcSegments(const ReferenceArc& arc)
    : arc_(arc), axes_(planeAxesOf(arc.plane)), pathScale_(pathScaleOf(arc))
{}

double ArcSegments::deviation(long long k, const Point3& a, const Point3& b)
{
    const double n = static_cast<double>(arc_.segments);
    return measured(k, static_cast<double>(k - 1) / n, static_cast<double>(k) / n, a, b);
}

// The segment's figure from directionOnPath's directions at its ends, the
// start's kept from the segment before when that one was measured.
double ArcSegments::measured(long long k, double t0, double t1, const Point3& a, const Point3& b)
{
    const SinCos start = k - 1 == knownEnd_ ? SinCos{endSin_, endCos_} : directionOnPath(arc_, t0);
    const StretchEnds ends = stretchEnds(arc_, t0, t1, start, a, b);
    knownEnd_ = k;
    endSin_ = ends.end.sin;
    endCos_ = ends.end.cos;
    return stretchDeviation(arc_, t0, t1, a, b, ends);
}

// The path's point at t as pathPoint gives it, the plane's axes known. The
// bound takes the stretch's ends and the written segment as they stand:
// its distances do not depend on the order of the axes, only their last
// bits do, far within its margins.
Point3 ArcSegments::pointAt(double t, double sin, double cos) const
{
    Point3 p{};
    p[axes_.a] = arc_.centreA + arc_.radius * cos;
    p[axes_.b] = arc_.centreB + arc_.radius * sin;
    p[axes_.helical] = arc_.startHeight + arc_.rise * t;
    return p;
}

// Most segments continue the walk of the segment before and lie within the
// floor by the quick bound: that case alone, kept small, so that it needs
// no frame of its own; it changes nothing unless it settles the segment.
bool ArcSegments::quicklyWithin(long long k, const Point3& a, const Point3& b, double floor, double& bound)
{
    if (k - 1 == turnedEnd_ && turns_ != maximumTurns) {
        const double n = static_cast<double>(arc_.segments);
        const double t1 = static_cast<double>(k) / n;
        const double angle = arc_.sweep * (t1 - static_cast<double>(k - 1) / n);
        const double scale = pathScale_ + magnitude(a) + magnitude(b);
        if (scale < largestScale && std::fabs(angle) <= shortStretch) {
            const SinCos end = rotated({turned_.sin, turned_.cos}, {turned_.stepSin, turned_.stepCos});
            const Point3 endPoint = pointAt(t1, end.sin, end.cos);
            bound = quickBound(arc_, angle, turned_.point, endPoint, a, b, scale);
            if (bound <= floor) {
                turned_.sin = end.sin;
                turned_.cos = end.cos;
                turned_.point = endPoint;
                turnedEnd_ = k;
                ++turns_;
                return true;
            }
        }
    }
    return false;
}

std::optional<double> ArcSegments::deviationAbove(long long k, const Point3& a, const Point3& b, double floor)
{
    double bound = 0;
    if (quicklyWithin(k, a, b, floor, bound)) {
        return std::nullopt;
    }
    return boundedOrMeasured(k, a, b, floor);
}

bool ArcSegments::boundedWithin(long long k, const Point3& a, const Point3& b, double floor, double& bound)
{
    if (quicklyWithin(k, a, b, floor, bound)) {
        return true;
    }
    const double n = static_cast<double>(arc_.segments);
    return boundedBy(k, static_cast<double>(k - 1) / n, static_cast<double>(k) / n, a, b, floor, bound);
}

std::optional<double> ArcSegments::boundedOrMeasured(long long k, const Point3& a, const Point3& b, double floor)
{
    const double n = static_cast<double>(arc_.segments);
    const double t0 = static_cast<double>(k - 1) / n;
    const double t1 = static_cast<double>(k) / n;
    double bound = 0;
    if (boundedBy(k, t0, t1, a, b, floor, bound)) {
        return std::nullopt;
    }
    return measured(k, t0, t1, a, b);
}

// The bound of the segment's figure (infinity where none is safe) against
// `floor`. The directions at a short segment's ends come from turning one
// that directionOnPath gave by the segment's angle, segment after segment,
// instead of a sin and a cos at every end; the known direction stays
// directionOnPath's, for the segments that are measured.
bool ArcSegments::boundedBy(long long k, double t0, double t1, const Point3& a, const Point3& b, double floor,
                            double& bound)
{
    const double scale = pathScale_ + magnitude(a) + magnitude(b);
    if (!(scale < largestScale)) {
        bound = std::numeric_limits<double>::infinity();
        return bound <= floor;
    }
    const double angle = arc_.sweep * (t1 - t0);
    const SinCos known{endSin_, endCos_};
    if (!(std::fabs(angle) <= shortStretch)) {
        // A long stretch: its ends as the search measures them.
        const SinCos start = k - 1 == knownEnd_ ? known : directionOnPath(arc_, t0);
        const StretchEnds ends = stretchEnds(arc_, t0, t1, start, a, b);
        bound = stretchBound(arc_, angle, ends.startDistance, ends.endDistance, scale);
        return bound <= floor;
    }
    if (k - 1 != turnedEnd_ || turns_ == maximumTurns) {
        const SinCos start = k - 1 == knownEnd_ ? known : directionOnPath(arc_, t0);
        knownEnd_ = k - 1;
        endSin_ = start.sin;
        endCos_ = start.cos;
        const SinCos step = sinCosNearZero(angle);
        turned_ = {start.sin, start.cos, step.sin, step.cos, pointAt(t0, start.sin, start.cos)};
        turns_ = 0;
    }
    const SinCos end = rotated({turned_.sin, turned_.cos}, {turned_.stepSin, turned_.stepCos});
    const Point3 startPoint = turned_.point;
    turned_.sin = end.sin;
    turned_.cos = end.cos;
    turned_.point = pointAt(t1, end.sin, end.cos);
    turnedEnd_ = k;
    ++turns_;
    // Most segments are shown to lie within the floor by the quick bound.
    bound = quickBound(arc_, angle, startPoint, turned_.point, a, b, scale);
    if (bound <= floor) {
        return true;
    }
    bound = segmentBound(arc_, angle, startPoint, turned_.point, a, b, scale);
    return bound <= floor;
}

}  // namespace drennix
