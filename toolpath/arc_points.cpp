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
    const double chords = std::ceil(std::fabs(sweep) / step);
    return std::clamp(static_cast<long long>(std::min(chords, 1e9)), 1LL, maxChords);
}

}  // namespace drennix::toolpath
