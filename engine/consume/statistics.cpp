#include "statistics.h"

#include <cmath>

#include "coordinate_frame.h"
#include "numerics.h"

namespace drennix {

namespace {

// A high extreme can only raise the maximum, a low one only lower the minimum.
// Written as a choice rather than a branch: one max or min instruction, the
// same strict comparison (a NaN changes nothing).
void widenWithHigh(RunStatistics& s, int axis, double value)
{
    s.maximum[axis] = value > s.maximum[axis] ? value : s.maximum[axis];
}

void widenWithLow(RunStatistics& s, int axis, double value)
{
    s.minimum[axis] = value < s.minimum[axis] ? value : s.minimum[axis];
}

void widenWithPoint(RunStatistics& s, const Point3& p)
{
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        widenWithLow(s, axis, p[axis]);
        widenWithHigh(s, axis, p[axis]);
    }
}

// The directions k·90° an arc may pass, k from -5 to 5, cover every angle a
// single turn reaches.
constexpr int lowestQuarter = -5;
constexpr int highestQuarter = 5;

// The first k with k·90 at or above `degrees`; past the highest when none
// (NaN included). The truncated quotient is only a first guess, settled by
// the same exact comparisons a scan of every k makes.
int firstQuarterFrom(double degrees)
{
    if (!(degrees <= highestQuarter * 90.0)) return highestQuarter + 1;
    if (degrees <= lowestQuarter * 90.0) return lowestQuarter;
    int k = static_cast<int>(degrees / 90.0);
    while (k * 90.0 < degrees)
        ++k;
    while (k > lowestQuarter && (k - 1) * 90.0 >= degrees)
        --k;
    return k;
}

// The last k with k·90 at or below `degrees`; before the lowest when none.
int lastQuarterUpTo(double degrees)
{
    if (!(degrees >= lowestQuarter * 90.0)) return lowestQuarter - 1;
    if (degrees >= highestQuarter * 90.0) return highestQuarter;
    int k = static_cast<int>(degrees / 90.0);
    while (k * 90.0 > degrees)
        --k;
    while (k < highestQuarter && (k + 1) * 90.0 <= degrees)
        ++k;
    return k;
}

}  // namespace

StatisticsTally::StatisticsTally(const Point3& initialPosition, int rapidSpeed)
    : rapidSpeedMillimetres_(rapidSpeed), rapidSpeed_(rapidSpeed)
{
    figures_.minimum = initialPosition;
    figures_.maximum = initialPosition;
}

void StatisticsTally::changeUnit(LengthUnit unit)
{
    const LengthUnit from = figures_.unit;
    const auto convert = [&](double& length) { length = convertLength(length, from, unit); };
    convert(figures_.rapidDistance);
    convert(figures_.cuttingDistance);
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        convert(figures_.minimum[axis]);
        convert(figures_.maximum[axis]);
    }
    convert(figures_.radiusDifference);
    convert(figures_.maxRadius);
    figures_.unit = unit;
    rapidSpeed_ = convertLength(rapidSpeedMillimetres_, LengthUnit::Millimetre, unit);
}

void StatisticsTally::addPosition(const Point3& position)
{
    widenWithPoint(figures_, position);
}

void StatisticsTally::addMove(const Move& move)
{
    // A block's distance starts at 0 and takes the move's length.
    double distance = 0;
    distance += move.length;
    if (move.isArc()) {
        addArcFigures(move);
        widenWithArcExtremes(move);
    }
    widenWithPoint(figures_, move.end);
    if (move.isRapid()) {
        figures_.machiningTime += distance / rapidSpeed_;
        figures_.rapidDistance += distance;
    } else {
        addCutting(distance, move.feed);
    }
}

void StatisticsTally::beginConvertedArc(const Move& arc)
{
    addArcFigures(arc);
    convertedDistance_ = 0;
}

void StatisticsTally::addConvertedCut(const Point3& end, double length)
{
    widenWithPoint(figures_, end);
    convertedDistance_ += length;
}

void StatisticsTally::endConvertedArc(double feed)
{
    addCutting(convertedDistance_, feed);
}

void StatisticsTally::addCutting(double distance, double feed)
{
    figures_.machiningTime += distance / feed;
    figures_.cuttingDistance += distance;
}

void StatisticsTally::addArcFigures(const Move& arc)
{
    if (arc.arc.radiusDifference > figures_.radiusDifference) {
        figures_.radiusDifference = arc.arc.radiusDifference;
    }
    const double r = arc.arc.absRadius();
    if (r > figures_.maxRadius) {
        figures_.maxRadius = r;
    }
    if (arc.arc.helical) {
        ++figures_.helicalCount;
    } else {
        ++figures_.arcCount;
    }
}

// The extreme points an arc passes through: every direction k·90° between
// the lower and the upper angle, ends included; k modulo 4 names the extreme
// (0 high A, 1 high B, 2 low A, 3 low B). A full circle, or an arc of more
// than one turn, reaches all four.
void StatisticsTally::widenWithArcExtremes(const Move& move)
{
    const ArcPath& arc = move.arc;
    const PlaneAxes axes = planeAxesOf(move.plane);
    const double r = arc.absRadius();
    const double lowA = arc.centreA - r;
    const double highA = arc.centreA + r;
    const double lowB = arc.centreB - r;
    const double highB = arc.centreB + r;
    RunStatistics& s = figures_;
    if (arc.fullCircle || arc.turns > 1) {
        widenWithLow(s, axes.a, lowA);
        widenWithHigh(s, axes.a, highA);
        widenWithLow(s, axes.b, lowB);
        widenWithHigh(s, axes.b, highB);
        return;
    }
    const double lower = toDegrees(move.clockwise() ? arc.endAngle : arc.startAngle);
    const double upper = toDegrees(move.clockwise() ? arc.startAngle : arc.endAngle);
    const int last = lastQuarterUpTo(upper);
    for (int k = firstQuarterFrom(lower); k <= last; ++k) {
        switch (k & 3) {  // k modulo 4, also below 0
        case 0: widenWithHigh(s, axes.a, highA); break;
        case 1: widenWithHigh(s, axes.b, highB); break;
        case 2: widenWithLow(s, axes.a, lowA); break;
        default: widenWithLow(s, axes.b, lowB); break;
        }
    }
}

}  // namespace drennix
