// The program's figures, gathered from the stream of moves: distances,
// machining time, extents (end points and the extreme points of arcs), arc
// counts and radii.
#pragma once

#include "move.h"

namespace drennix {

struct RunStatistics {
    double rapidDistance = 0;
    double cuttingDistance = 0;
    double machiningTime = 0;
    Point3 minimum{};
    Point3 maximum{};
    int arcCount = 0;
    int helicalCount = 0;
    double radiusDifference = 0;
    double maxRadius = 0;
    // The unit of every length above, where inch programs are read.
    LengthUnit unit = LengthUnit::Millimetre;
};

// Adds moves and positions to the figures. Every comparison is strict, so a
// value equal to a figure changes nothing, and the order of the calls is the
// order of the program.
class StatisticsTally {
public:
    StatisticsTally(const Point3& initialPosition, int rapidSpeed);

    // A coordinate set: the new position widens the extents.
    void addPosition(const Point3& position);
    // A move that is not converted: the arc's figures and extremes, its end
    // point, its length and its time.
    void addMove(const Move& move);

    // An arc replaced by straight cuts: the arc's figures, then each cut's
    // end point and length, then the time of all cuts together.
    void beginConvertedArc(const Move& arc);
    void addConvertedCut(const Point3& end, double length);
    void endConvertedArc(double feed);
    // The tool stands for `seconds` (a dwell): the time, in minutes as the
    // rest, and nothing else.
    void addDwell(double seconds) { figures_.machiningTime += seconds / 60; }
    // The program's lengths are in `unit` from now on: the figures so far are
    // converted into it, and the rapid speed (mm/min) is taken in it.
    void changeUnit(LengthUnit unit);

    const RunStatistics& figures() const { return figures_; }

private:
    void addArcFigures(const Move& arc);
    void widenWithArcExtremes(const Move& arc);
    void addCutting(double distance, double feed);

    RunStatistics figures_;
    const double rapidSpeedMillimetres_;
    double rapidSpeed_;
    double convertedDistance_ = 0;
};

}  // namespace drennix
