// Points along an arc as the engine evaluated it: the angle runs from the
// start angle through the signed sweep (every turn of it), the radius from
// the start radius to the end radius and the helical axis evenly from the
// start's height to the end's.
#pragma once

#include <cmath>

#include "toolpath_store.h"

namespace drennix::toolpath {

// The point at fraction `t` (0 to 1) of the arc; t = 1 gives `end` itself.
Vertex arcPointAt(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, double t);

// Chords for an arc of `radiusPixels` on the screen that stray at most a
// quarter of a pixel from it and are no shorter than two pixels: 1 for an arc
// below a pixel, at most maxChords.
long long chordsForArc(double sweep, double radiusPixels);

// The ends of an arc's chords in order, the angle stepped by rotation rather
// than by a sine and cosine per point (drawing needs no more).
class ArcChords {
public:
    ArcChords(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, long long chords);
    // The next chord's end before the arc's end; false when only the end is left.
    bool next(Vertex& point);

private:
    PlaneAxes axes_;
    double point_[3];
    double centreA_, centreB_;
    double cosStep_, sinStep_;
    double unitA_, unitB_;
    double radius_, radiusStep_;
    double helicalStep_;
    long long left_;
};

// The points of the straight moves a conversion writes for an arc: `count`
// chords at equal steps of its sweep at its start radius, the helical axis
// in equal steps, each coordinate rounded to `decimals` places as the
// written program shows it; the last is the arc's end.
class WrittenPoints {
public:
    WrittenPoints(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, long long count,
                  int decimals);
    // Point k, 0 (the start) to count (the end).
    Vertex at(long long k) const;

private:
    double rounded(double value) const { return std::round(value * unit_) / unit_; }

    const ArcRecord& arc_;
    PlaneAxes axes_;
    Vertex start_;
    Vertex end_;
    long long count_;
    double unit_;
};

// A box that holds the whole circle of an arc (and its helical travel).
Box circleBox(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end);

inline constexpr long long maxChords = 4096;

}  // namespace drennix::toolpath
