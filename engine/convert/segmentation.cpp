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

double roundingAllowance(int decimals)
{
    return std::sqrt(3.0) / 2 * std::pow(10.0, -decimals);
}

double segmentingTolerance(double tolerance, int decimals, bool includesRounding)
{
    const double rounding = roundingAllowance(decimals);
    return includesRounding && tolerance > rounding ? tolerance - rounding : tolerance;
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
      round_(decimals),
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
    point[axes_.a] = round_(radius_ * std::cos(angle) + arc_.arc.centreA, shown[axes_.a]);
    point[axes_.b] = round_(radius_ * std::sin(angle) + arc_.arc.centreB, shown[axes_.b]);
    if (flat_) {
        point[axes_.helical] = flatHeight_;
        shown[axes_.helical] = flatShown_;
    } else {
        point[axes_.helical] = round_(kk * dH_ / nn + startH_, shown[axes_.helical]);
    }
    return point;
}

// Below this many units both points are within a quarter unit of their
// texts even after the subtraction's rounding, so that their difference
// rounds to the difference of their units.
constexpr std::uint64_t differenceUnits = std::uint64_t{1} << 48;

std::optional<FixedUnits> CutSequence::unitsBetween(const std::optional<FixedUnits>& from,
                                                    const std::optional<FixedUnits>& to)
{
    if (!from || !to || from->units >= differenceUnits || to->units >= differenceUnits) {
        return std::nullopt;
    }
    const auto signedUnits = [](const FixedUnits& u) {
        const auto units = static_cast<std::int64_t>(u.units);
        return u.negative ? -units : units;
    };
    const std::int64_t difference = signedUnits(*to) - signedUnits(*from);
    return FixedUnits{static_cast<std::uint64_t>(difference < 0 ? -difference : difference), difference < 0};
}

// An absolute word is its point, whose units are known unless it is the
// arc's end (not rounded here); pointAt gives every axis its units. An axis
// whose point is the position gets no word and no travel.
void CutSequence::takeAbsoluteWords(Cut& cut, Point3& travel)
{
    if (cut.last) {
        cut.shown = {};
    }
    const Point3 point = cut.last ? arc_.end : pointAt(done_, cut.shown);
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        double& position = position_[axis];
        const bool word = point[axis] != position;
        cut.hasWord[axis] = word;
        cut.words[axis] = word ? point[axis] : 0.0;
        travel[axis] = word ? std::fabs(point[axis] - position) : 0.0;
        position = word ? point[axis] : position;
    }
}

// An incremental word is the difference from the position to the point; its
// units are known where those of both are.
void CutSequence::takeIncrementalWords(Cut& cut, Point3& travel)
{
    std::array<std::optional<FixedUnits>, 3> pointShown;
    const Point3 point = cut.last ? arc_.end : pointAt(done_, pointShown);
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        double& position = position_[axis];
        cut.hasWord[axis] = point[axis] != position;
        if (!cut.hasWord[axis]) {
            cut.words[axis] = 0;
            // Adding 0 keeps the incremental mode's arithmetic: -0 becomes 0.
            cut.shown[axis].reset();
            position = position + 0.0;
            if (positionShown_[axis]) {
                positionShown_[axis]->negative = positionShown_[axis]->negative && std::signbit(position);
            }
            continue;
        }
        const double value = point[axis] - position;
        cut.words[axis] = value;
        travel[axis] = std::fabs(value);
        cut.shown[axis] = unitsBetween(positionShown_[axis], pointShown[axis]);
        position = position + value;
        // The sum comes back to the point where the subtraction was exact.
        positionShown_[axis] = position == point[axis] ? pointShown[axis] : std::nullopt;
    }
}

bool CutSequence::next(Cut& cut)
{
    if (done_ == count_) {
        return false;
    }
    ++done_;
    cut.first = done_ == 1;
    cut.last = done_ == count_;
    cut.shownDecimals = decimals_;
    Point3 travel{};
    if (incremental_) {
        takeIncrementalWords(cut, travel);
    } else {
        takeAbsoluteWords(cut, travel);
    }
    cut.end = position_;
    cut.length = straightLength(travel[AxisIndexX], travel[AxisIndexY], travel[AxisIndexZ]);
    return true;
}

}  // namespace drennix
