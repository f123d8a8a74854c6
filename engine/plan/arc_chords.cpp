#include "arc_chords.h"

#include <cmath>

namespace drennix {

long long chordCount(const Move& arc, double tolerance)
{
    const double radius = arc.arc.absRadius();
    if (!(2 * radius > tolerance)) return 1;
    const double chords =
        std::floor(std::fabs(0.5 * arc.arc.swept * radius) / std::sqrt(tolerance * (2 * radius - tolerance)));
    // grbl counts them in 16 bits; a sweep beyond that is no machine's arc.
    return chords < 1 ? 1 : static_cast<long long>(std::fmin(chords, 65535.0));
}

Point3 chordPoint(const Move& arc, long long k, long long count)
{
    if (k >= count) return arc.end;
    const PlaneAxes axes = planeAxesOf(arc.plane);
    const double fraction = static_cast<double>(k) / static_cast<double>(count);
    const double turn = arc.arc.swept * fraction;
    const double angle = arc.arc.startAngle + (arc.clockwise() ? -turn : turn);
    const double radius = arc.arc.absRadius();
    const auto a = static_cast<std::size_t>(axes.a);
    const auto b = static_cast<std::size_t>(axes.b);
    const auto h = static_cast<std::size_t>(axes.helical);
    Point3 point{};
    point[a] = arc.arc.centreA + radius * std::cos(angle);
    point[b] = arc.arc.centreB + radius * std::sin(angle);
    point[h] = arc.start[h] + (arc.end[h] - arc.start[h]) * fraction;
    return point;
}

}  // namespace drennix
