// Points along an arc as the engine evaluated it: the angle runs from the
// start angle through the signed sweep (every turn of it), the radius from
// the start radius to the end radius and the helical axis evenly from the
// start's height to the end's.
#pragma once

#include "toolpath_store.h"

namespace drennix::toolpath {

// The point at fraction `t` (0 to 1) of the arc; t = 1 gives `end` itself.
Vertex arcPointAt(const ArcRecord& arc, Plane plane, const Vertex& start, const Vertex& end, double t);

// Chords for an arc of `radiusPixels` on the screen that stray at most a
// quarter of a pixel from it: 1 for an arc below a pixel, at most maxChords.
long long chordsForArc(double sweep, double radiusPixels);

inline constexpr long long maxChords = 4096;

}  // namespace drennix::toolpath
