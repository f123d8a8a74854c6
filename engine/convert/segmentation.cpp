#include "segmentation.h"

#include <cmath>

#include "motion.h"
#include "number_format.h"
#include "numerics.h"

namespace drennix {

std::optional<long long> segmentCount(double r, double swept, double tolerance)
{
    if (2 * r <= tolerance) {
        return 1;
    }
    if (r <= tolerance && swept >= piConstant) {
        const double e = r + r * std::sin((swept - piConstant) / 2);
        return tolerance < e ? 2 : 1;
    }
    if (r <= tolerance) {
        return 1;
    }
    const double theta = 2 * std::acos((r - tolerance) / r);
    const double count = std::ceil(swept / theta);
    if (!(count <= maximumSegmentCount)) {
        return std::nullopt;
    }
    return static_cast<long long>(count);
}

Fault countSegments(const Move& arc, double tolerance, long long& count)
{
    const auto n = segmentCount(std::fabs(arc.arc.radius), arc.arc.swept, tolerance);
    if (!n) {
        return Fault{FaultId::TooManySegments};
    }
    count = *n;
    return {};
}

Point3 segmentPoint(const Move& arc, long long k, long long n, int decimals)
{
    const PlaneAxes axes = planeAxesOf(arc.plane);
    const ArcPath& path = arc.arc;
    const double r = std::fabs(path.radius);
    const double step = arc.clockwise() ? -path.swept : path.swept;
    const double startH = arc.start[axes.helical];
    const double dH = arc.end[axes.helical] - startH;
    const double kk = static_cast<double>(k);
    const double nn = static_cast<double>(n);
    const double angle = kk * step / nn + path.startAngle;
    Point3 point{};
    point[axes.a] = roundToDecimals(r * std::cos(angle) + path.centreA, decimals);
    point[axes.b] = roundToDecimals(r * std::sin(angle) + path.centreB, decimals);
    point[axes.helical] = roundToDecimals(kk * dH / nn + startH, decimals);
    return point;
}

bool CutSequence::next(Cut& cut)
{
    if (done_ == count_) {
        return false;
    }
    ++done_;
    cut.first = done_ == 1;
    const Point3 point = done_ < count_ ? segmentPoint(arc_, done_, count_, decimals_) : arc_.end;
    Point3 travel{};
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        double& position = position_[axis];
        cut.hasWord[axis] = point[axis] != position;
        if (!cut.hasWord[axis]) {
            cut.words[axis] = 0;
            // Adding 0 keeps the incremental mode's arithmetic: -0 becomes 0.
            if (incremental_) {
                position = position + 0.0;
            }
            continue;
        }
        const double value = incremental_ ? point[axis] - position : point[axis];
        cut.words[axis] = value;
        travel[axis] = std::fabs(incremental_ ? value : value - position);
        position = incremental_ ? position + value : value;
    }
    cut.end = position_;
    cut.length = straightLength(travel[AxisIndexX], travel[AxisIndexY], travel[AxisIndexZ]);
    return true;
}

}  // namespace drennix
