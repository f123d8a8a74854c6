// The check of a conversion, made after the new program was written and
// apart from the code that made it: each converted arc's reference path
// against the straight moves read back from the written program, as the
// engine's own reader, parser and interpreter read them.
//
// During the converting run the check keeps one compact record per converted
// arc (from the move notices); afterwards it reads the written program once,
// from the first line to the last converted arc, and tells each written
// segment with its deviation. Memory grows with the converted arcs only, not
// with their segments or the program's other lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "move.h"
#include "reference_arc.h"
#include "reference_arc_log.h"
#include "run_options.h"
#include "vocabulary.h"

namespace drennix {

class SourceReader;

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
};

// What a host hears of a check: every written segment, in program order.
class VerificationListener {
public:
    virtual ~VerificationListener() = default;
    virtual void segment(const SegmentDeviation& segment) { (void)segment; }
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

class ConversionCheck {
public:
    // The settings and options of the converting run (the same vocabulary
    // and number format read the written program back).
    ConversionCheck(const Settings& settings, const RunOptions& options);

    // A move notice of the run, in program order; only arcs with
    // `segments` > 0 are kept.
    void noteMove(const Move& move);
    // Forgets what was noted (a new run begins).
    void clear() { arcs_.clear(); }

    // Reads the written program at `outputPath` (UTF-8) back and measures it.
    VerificationResult verifyFile(const std::string& outputPath, VerificationListener* listener = nullptr) const;
    // The same for a program in memory.
    VerificationResult verifyBytes(std::string_view output, VerificationListener* listener = nullptr) const;

private:
    VerificationResult measure(SourceReader& reader, VerificationListener* listener) const;

    const Settings& settings_;
    const RunOptions options_;
    // Kept in a temporary file beyond a batch: constant memory.
    ReferenceArcLog arcs_;
};

// What a segment of an arc with `radiusDifference` may deviate: tolerance +
// √3/2 of a unit of the last written decimal + the radius difference.
double deviationAllowance(double tolerance, int decimals, double radiusDifference);

}  // namespace drennix
