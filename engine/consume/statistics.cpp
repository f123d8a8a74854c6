#include "statistics.h"

#include <cmath>

#include "numerics.h"

namespace drennix {

namespace {

// A high extreme can only raise the maximum, a low one only lower the minimum.
void widenWithHigh(RunStatistics& s, int axis, double value)
{
    if (value > s.maximum[axis]) {
        s.maximum[axis] = value;
    }
}

void widenWithLow(RunStatistics& s, int axis, double value)
{
    if (value < s.minimum[axis]) {
        s.minimum[axis] = value;
    }
}

void widenWithPoint(RunStatistics& s, const Point3& p)
{
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        widenWithLow(s, axis, p[axis]);
        widenWithHigh(s, axis, p[axis]);
    }
}

}  // namespace

StatisticsTally::StatisticsTally(const Point3& initialPosition, int rapidSpeed) : rapidSpeed_(rapidSpeed)
{
    figures_.minimum = initialPosition;
    figures_.maximum = initialPosition;
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
    for (int k = -5; k <= 5; ++k) {
        const double direction = k * 90.0;
        if (!(lower <= direction && direction <= upper)) {
            continue;
        }
        switch (((k % 4) + 4) % 4) {
        case 0: widenWithHigh(s, axes.a, highA); break;
        case 1: widenWithHigh(s, axes.b, highB); break;
        case 2: widenWithLow(s, axes.a, lowA); break;
        default: widenWithLow(s, axes.b, lowB); break;
        }
    }
}

}  // namespace drennix
