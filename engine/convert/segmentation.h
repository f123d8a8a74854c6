// Replacing an arc by straight cuts that stay within the tolerance of the
// true path: the number of cuts, their snapped points and, from the position
// before the arc, the words and travel of each cut.
#pragma once

#include <array>
#include <optional>

#include "fault.h"
#include "move.h"
#include "number_format.h"

namespace drennix {

// A segment count above this is refused: the arc would need more lines than
// any program can hold (a huge radius with a small tolerance).
inline constexpr double maximumSegmentCount = 10'000'000;

// How far the rounding of a written point's coordinates to `decimals` places
// may move it: half a unit of the last place on each of three axes.
double roundingAllowance(int decimals);

// The tolerance an arc is segmented within: `tolerance`, or, where the
// written program must stay within it with its rounding and the tolerance
// is larger than that, the tolerance less the rounding.
double segmentingTolerance(double tolerance, int decimals, bool includesRounding);

// The number of segments for an arc of radius r and swept angle s within
// tolerance T; nothing when the count is not finite or above the maximum.
std::optional<long long> segmentCount(double r, double swept, double tolerance);

// One straight cut: the axis words of its line, where it leaves the tool,
// and its length.
struct Cut {
    // The first cut of the arc (its line carries the linear code and the
    // block's kept words).
    bool first = false;
    // The last cut of the arc (its line ends where the arc ends).
    bool last = false;
    // Axes whose point differs from the position get a word: the point, or
    // in incremental mode the difference.
    std::array<bool, 3> hasWord{};
    Point3 words{};
    // The units each word is written with, where they are known without
    // converting the word (an absolute word of the arc's own points, an
    // incremental word between two of them), for `shownDecimals` places:
    // the writer need not convert those again.
    std::array<std::optional<FixedUnits>, 3> shown{};
    int shownDecimals = 0;
    Point3 end{};
    double length = 0;
};

// The cuts of one arc, in order, from the arc's start position.
class CutSequence {
public:
    CutSequence(const Move& arc, long long count, CoordinateMode mode, int decimals);

    // The next cut; false after the last.
    bool next(Cut& cut);

private:
    // Point k of the cuts (0 < k < count), each coordinate snapped to the
    // number format so that the point is exactly what its line shows; the
    // units of that text where they are known.
    // Inline in next, once a cut.
    [[gnu::always_inline]] inline Point3 pointAt(long long k, std::array<std::optional<FixedUnits>, 3>& shown) const;
    // The words of the next cut, its travel on each axis, and the position
    // it leaves; inline in next, once a cut.
    [[gnu::always_inline]] inline void takeAbsoluteWords(Cut& cut, Point3& travel);
    [[gnu::always_inline]] inline void takeIncrementalWords(Cut& cut, Point3& travel);
    // The units of an incremental word from the position to the point, where
    // both their units are known.
    static std::optional<FixedUnits> unitsBetween(const std::optional<FixedUnits>& from,
                                                  const std::optional<FixedUnits>& to);

    const Move& arc_;
    const long long count_;
    const bool incremental_;
    const int decimals_;
    const DecimalRounding round_;
    // What every point of the arc shares, computed once.
    const PlaneAxes axes_;
    const double radius_;
    const double step_;
    const double startH_;
    const double dH_;
    // An arc in its plane (a rise of +0) stays at one height: k * 0 / n is
    // +0, so every point's height is that of +0 + startH, rounded once.
    const bool flat_;
    std::optional<FixedUnits> flatShown_;
    const double flatHeight_;
    long long done_ = 0;
    Point3 position_;
    // The units of the position's text where it is a point of the arc.
    std::array<std::optional<FixedUnits>, 3> positionShown_{};
};

// The segment count of an arc, or the TooManySegments fault.
Fault countSegments(const Move& arc, double tolerance, long long& count);

}  // namespace drennix
