#include "arc_points.h"

#include <algorithm>
#include <cmath>

namespace drennix::toolpath {

Vertex arcPointAt(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, double t)
{
    if (t >= 1) return end;
    const PlaneAxes axes = planeAxesOf(plane);
    const double angle = static_cast<double>(arc.startAngle) + t * static_cast<double>(arc.sweep);
    const double radius = arc.startRadius + t * (static_cast<double>(arc.endRadius) - arc.startRadius);
    double point[3] = {start.x, start.y, start.z};
    point[axes.a] = arc.centreA + radius * std::cos(angle);
    point[axes.b] = arc.centreB + radius * std::sin(angle);
    point[axes.helical] = start[axes.helical] + t * (static_cast<double>(end[axes.helical]) - start[axes.helical]);
    return {static_cast<float>(point[0]), static_cast<float>(point[1]), static_cast<float>(point[2])};
}

long long chordsForArc(double sweep, double radiusPixels)
{
    constexpr double allowedPixels = 0.25;
    if (!(radiusPixels > 1)) return 1;
    const double step = 2 * std::acos(1 - allowedPixels / radiusPixels);
    const double byError = std::ceil(std::fabs(sweep) / step);
    const double byLength = std::ceil(std::fabs(sweep) * radiusPixels / 2);
    const double chords = std::min(byError, byLength);
    return std::clamp(static_cast<long long>(std::min(chords, 1e9)), 1LL, maxChords);
}

ArcChords::ArcChords(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, long long chords)
    : axes_(planeAxesOf(plane)),
      point_{start.x, start.y, start.z},
      centreA_(arc.centreA),
      centreB_(arc.centreB),
      cosStep_(std::cos(static_cast<double>(arc.sweep) / static_cast<double>(chords))),
      sinStep_(std::sin(static_cast<double>(arc.sweep) / static_cast<double>(chords))),
      unitA_(std::cos(static_cast<double>(arc.startAngle))),
      unitB_(std::sin(static_cast<double>(arc.startAngle))),
      radius_(arc.startRadius),
      radiusStep_((static_cast<double>(arc.endRadius) - arc.startRadius) / static_cast<double>(chords)),
      helicalStep_((static_cast<double>(end[axes_.helical]) - start[axes_.helical]) / static_cast<double>(chords)),
      left_(chords - 1)
{}

bool ArcChords::next(Vertex& point)
{
    if (left_ <= 0) return false;
    --left_;
    const double a = unitA_ * cosStep_ - unitB_ * sinStep_;
    unitB_ = unitA_ * sinStep_ + unitB_ * cosStep_;
    unitA_ = a;
    radius_ += radiusStep_;
    point_[axes_.a] = centreA_ + radius_ * unitA_;
    point_[axes_.b] = centreB_ + radius_ * unitB_;
    point_[axes_.helical] += helicalStep_;
    point = {static_cast<float>(point_[0]), static_cast<float>(point_[1]), static_cast<float>(point_[2])};
    return true;
}

WrittenPoints::WrittenPoints(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, long long count,
                             int decimals)
    : arc_(arc), axes_(planeAxesOf(plane)), start_(start), end_(end), count_(count), unit_(std::pow(10.0, decimals))
{}

Vertex WrittenPoints::at(long long k) const
{
    if (k <= 0) return start_;
    if (k >= count_) return end_;
    const double fraction = static_cast<double>(k) / static_cast<double>(count_);
    const double angle = static_cast<double>(arc_.startAngle) + fraction * static_cast<double>(arc_.sweep);
    double point[3] = {start_.x, start_.y, start_.z};
    point[axes_.a] = rounded(arc_.centreA + arc_.startRadius * std::cos(angle));
    point[axes_.b] = rounded(arc_.centreB + arc_.startRadius * std::sin(angle));
    const double startH = start_[axes_.helical];
    point[axes_.helical] = rounded(startH + fraction * (static_cast<double>(end_[axes_.helical]) - startH));
    return {static_cast<float>(point[0]), static_cast<float>(point[1]), static_cast<float>(point[2])};
}

Box circleBox(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end)
{
    const PlaneAxes axes = planeAxesOf(plane);
    const double radius = std::max(arc.startRadius, arc.endRadius);
    Box box;
    box.add(start);
    box.add(end);
    for (const double sign : {-1.0, 1.0}) {
        double corner[3] = {start.x, start.y, start.z};
        corner[axes.a] = arc.centreA + sign * radius;
        corner[axes.b] = arc.centreB + sign * radius;
        box.add(Vertex{static_cast<float>(corner[0]), static_cast<float>(corner[1]), static_cast<float>(corner[2])});
    }
    return box;
}

}  // namespace drennix::toolpath
