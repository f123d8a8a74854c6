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
    const auto n = segmentCount(arc.arc.absRadius(), arc.arc.swept, tolerance);
    if (!n) {
        return Fault{FaultId::TooManySegments};
    }
    count = *n;
    return {};
}

CutSequence::CutSequence(const Move& arc, long long count, CoordinateMode mode, int decimals)
    : arc_(arc),
      count_(count),
      incremental_(mode == CoordinateMode::Incremental),
      decimals_(decimals),
      axes_(planeAxesOf(arc.plane)),
      radius_(arc.arc.absRadius()),
      step_(arc.clockwise() ? -arc.arc.swept : arc.arc.swept),
      startH_(arc.start[axes_.helical]),
      dH_(arc.end[axes_.helical] - startH_),
      flat_(dH_ == 0 && !std::signbit(dH_)),
      flatHeight_(roundToDecimals(0.0 + startH_, decimals, flatShown_)),
      position_(arc.start)
{}

Point3 CutSequence::pointAt(long long k, std::array<std::optional<FixedUnits>, 3>& shown) const
{
    const double kk = static_cast<double>(k);
    const double nn = static_cast<double>(count_);
    const double angle = kk * step_ / nn + arc_.arc.startAngle;
    Point3 point{};
    point[axes_.a] = roundToDecimals(radius_ * std::cos(angle) + arc_.arc.centreA, decimals_, shown[axes_.a]);
    point[axes_.b] = roundToDecimals(radius_ * std::sin(angle) + arc_.arc.centreB, decimals_, shown[axes_.b]);
    if (flat_) {
        point[axes_.helical] = flatHeight_;
        shown[axes_.helical] = flatShown_;
    } else {
        point[axes_.helical] = roundToDecimals(kk * dH_ / nn + startH_, decimals_, shown[axes_.helical]);
    }
    return point;
}

bool CutSequence::next(Cut& cut)
{
    if (done_ == count_) {
        return false;
    }
    ++done_;
    cut.first = done_ == 1;
    cut.last = done_ == count_;
    const Point3 point = done_ < count_ ? pointAt(done_, cut.shown) : arc_.end;
    // Only an absolute word is its point; the arc's end was not rounded here.
    if (incremental_ || done_ == count_) {
        cut.shown = {};
    }
    cut.shownDecimals = decimals_;
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
