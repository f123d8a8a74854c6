// What the check of a conversion finds: the deviation of each written segment
// from its arc's reference path, the figures of the whole program, and how
// the check ended.
#pragma once

#include "move.h"

namespace drennix {

// The figures of a checked conversion.
struct VerificationSummary {
    // Arcs replaced by straight moves.
    long long arcs = 0;
    // The straight lines written for them.
    long long lines = 0;
    // The largest deviation of a written segment from its reference path.
    double maxDeviation = 0;
    // The source line of the arc with that segment; 0 when no arc was checked.
    long long maxDeviationLine = 0;
    // The largest distance between the last written point of a converted arc
    // and its programmed end point.
    double maxEndError = 0;
};

// One written segment of a converted arc, as read back.
struct SegmentDeviation {
    // The source line of the converted arc.
    long long line = 0;
    // The segment's points as the written program gives them.
    Point3 start{};
    Point3 end{};
    // The largest distance from the reference path over the segment's share
    // of the sweep to the segment.
    double deviation = 0;
    // What the arc's segments may deviate: the tolerance, the rounding of the
    // written numbers and the arc's own radius difference.
    double allowance = 0;
    // For a listener that does not want every figure: the deviation was not
    // measured; `deviation` is a bound of it, at most the allowance and the
    // largest figure so far.
    bool bounded = false;
};

// What a host hears of a check: every written segment, in program order.
class VerificationListener {
public:
    virtual ~VerificationListener() = default;
    virtual void segment(const SegmentDeviation& segment) { (void)segment; }
    // False: a segment that a bound keeps within the allowance need not be
    // measured, its bound stands for its figure (SegmentDeviation::bounded),
    // which spares most of the check's work; the summary's figures stay the
    // same.
    virtual bool wantsEveryDeviation() const { return true; }
};

enum class VerificationStatus {
    Checked,           // every converted arc was found and measured
    OutputUnreadable,  // the written program could not be opened or read
    OutputMismatch,    // it does not hold the straight moves the run reported
};

struct VerificationResult {
    VerificationStatus status = VerificationStatus::Checked;
    VerificationSummary summary;
    // The written line where a mismatch was found.
    long long outputLine = 0;

    bool checked() const { return status == VerificationStatus::Checked; }
};

// What a segment of an arc with `radiusDifference` may deviate: tolerance +
// √3/2 of a unit of the last written decimal + the radius difference.
double deviationAllowance(double tolerance, int decimals, double radiusDifference);

}  // namespace drennix
