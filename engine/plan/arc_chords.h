// An arc as a controller that runs it as straight chords does: grbl's count
// of chords for an arc tolerance, and the chords' points, evenly spaced in
// angle (and in height along a helix).
#pragma once

#include "move.h"

namespace drennix {

// The chords of `arc` that stray from it by at most `tolerance` (grbl's
// mc_arc: ⌊sweep·r / (2·√(tol·(2r − tol)))⌋, at least one).
long long chordCount(const Move& arc, double tolerance);

// The end of chord k of `count` (0 < k ≤ count); the last ends where the
// arc does.
Point3 chordPoint(const Move& arc, long long k, long long count);

}  // namespace drennix
