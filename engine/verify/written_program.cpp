#include "written_program.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "plain_cut.h"

namespace drennix {

WrittenProgram::WrittenProgram(SourceReader& reader, const Settings& settings, const Point3& initialPosition,
                               ProgramReading reading)
    : stream_(reader, settings, BlockStream::Options{.concurrent = reading == ProgramReading::Ahead}),
      decimals_(settings.process.decimalPlaces),
      modal_(startingState(settings, initialPosition)),
      cycles_(cycleSettingsOf(settings)),
      frame_(frameSettingsOf(settings))
{}

bool WrittenProgram::advance()
{
    if (stream_.atEnd()) {
        status_ = VerificationStatus::OutputMismatch;
        return false;
    }
    ++line_;
    const SourceLine& line = stream_.next();
    if (line.readFailed || line.fault) {
        return stopAt(line);
    }
    blank_ = line.block.blank;
    // Most written lines are cuts of axis words only: they move the position
    // and nothing else, without the interpreter and without a copy of the state.
    straight_ = !blank_ && takePlainCut(modal_, line.block);
    return blank_ || straight_ || interpret(line.block);
}

bool WrittenProgram::stopAt(const SourceLine& line)
{
    straight_ = false;
    blank_ = false;
    status_ = line.readFailed ? VerificationStatus::OutputUnreadable : VerificationStatus::OutputMismatch;
    return false;
}

bool WrittenProgram::interpret(const ParsedBlock& block)
{
    interpretBlock(modal_, block, decimals_, line_, step_, CuttingLength::NotNeeded,
                   cycles_.readsAny() ? &cycles_ : nullptr, frame_.readsAny() ? &frame_ : nullptr);
    if (step_.fault) {
        status_ = VerificationStatus::OutputMismatch;
        return false;
    }
    modal_ = step_.modal;
    straight_ = step_.kind == BlockKind::Motion && step_.move.kind == MoveKind::Linear;
    return true;
}

bool WrittenProgram::advanceCut()
{
    if (!advance()) {
        return false;
    }
    if (straight_ || blank_) {
        return true;
    }
    status_ = VerificationStatus::OutputMismatch;
    return false;
}

namespace {

double distance(const Point3& u, const Point3& v)
{
    return std::hypot(u[0] - v[0], u[1] - v[1], u[2] - v[2]);
}

// Measures the segments of `arc` from k on where only the largest figure
// counts (no listener, a largest figure known): a segment that cannot exceed
// it is not measured. False when the program does not hold their cuts.
bool measureLargestFrom(long long k, const ReferenceArc& arc, ArcSegments& stretches, WrittenProgram& program,
                        VerificationSummary& summary)
{
    Point3 start = program.position();
    for (; k <= arc.segments; ++k) {
        if (!program.advanceCut()) {
            return false;
        }
        const Point3& end = program.position();
        const std::optional<double> deviation = stretches.deviationAbove(k, start, end, summary.maxDeviation);
        if (deviation && *deviation > summary.maxDeviation) {
            summary.maxDeviation = *deviation;
            summary.maxDeviationLine = arc.line;
        }
        start = end;
    }
    return true;
}

// Measures each segment of `arc`, whose first cut is the next line of
// `program`; false when the program does not hold its cuts.
// The figure of segment k for a listener that wants bands only: where a
// bound shows it is at most the allowance (and no more than the largest
// figure so far, so that the summary stays exact), the bound; measured only
// beyond.
void boundOrMeasure(long long k, ArcSegments& stretches, double allowance, const VerificationSummary& summary,
                    SegmentDeviation& segment)
{
    double bound = 0;
    segment.bounded =
        stretches.boundedWithin(k, segment.start, segment.end, std::min(allowance, summary.maxDeviation), bound);
    segment.deviation = segment.bounded ? bound : stretches.deviation(k, segment.start, segment.end);
}

bool measureArc(const ReferenceArc& arc, double allowance, WrittenProgram& program, VerificationSummary& summary,
                VerificationListener* listener)
{
    ArcSegments stretches(arc);
    SegmentDeviation segment;
    segment.line = arc.line;
    segment.allowance = allowance;
    const bool everyFigure = listener != nullptr && listener->wantsEveryDeviation();
    for (long long k = 1; k <= arc.segments; ++k) {
        // Without a listener only the largest figure counts, once there is one.
        if (listener == nullptr && summary.maxDeviationLine != 0) {
            if (!measureLargestFrom(k, arc, stretches, program, summary)) {
                return false;
            }
            break;
        }
        segment.start = program.position();
        if (!program.advanceCut()) {
            return false;
        }
        segment.end = program.position();
        if (everyFigure || summary.maxDeviationLine == 0) {
            segment.deviation = stretches.deviation(k, segment.start, segment.end);
            segment.bounded = false;
        } else {
            boundOrMeasure(k, stretches, allowance, summary, segment);
        }
        if ((!segment.bounded && segment.deviation > summary.maxDeviation) || summary.maxDeviationLine == 0) {
            summary.maxDeviation = segment.deviation;
            summary.maxDeviationLine = arc.line;
        }
        if (listener != nullptr) {
            listener->segment(segment);
        }
    }
    summary.maxEndError = std::max(summary.maxEndError, distance(program.position(), arc.end));
    summary.lines += arc.segments;
    ++summary.arcs;
    return true;
}

// Reads `program` up to its line `last`; false when it ends before or a line
// does not read.
bool readThrough(WrittenProgram& program, long long last)
{
    while (program.line() < last) {
        if (!program.advance()) {
            return false;
        }
    }
    return true;
}

// The lines of a canned cycle written as its expansion, read back: each
// move's line must leave the tool where the move ends, to the rounding of
// the written numbers; the moves come from the cycle's own plan, apart from
// the run's. The lines it took, or 0 where the program does not hold them.
long long measureExpansion(const CyclePlan& plan, WrittenProgram& program, int decimals)
{
    struct Lines final : MoveSink {
        Lines(WrittenProgram& program, double allowance) : program(program), allowance(allowance) {}
        bool take(const Move& move) override
        {
            if (!program.advance() || !(distance(program.position(), move.end) <= allowance)) {
                return false;
            }
            // A move's line, and a G4 line where it dwells.
            ++lines;
            if (move.dwell == 0) {
                return true;
            }
            ++lines;
            return program.advance();
        }
        WrittenProgram& program;
        const double allowance;
        long long lines = 0;
    };
    // Half a unit of the last written decimal on each axis.
    Lines lines(program, deviationAllowance(0, decimals, 0));
    const long long brackets = plan.incremental ? 2 : 0;
    if (plan.incremental && !program.advance()) {
        return 0;
    }
    if (!expandCycle(plan, lines) || (plan.incremental && !program.advance())) {
        return 0;
    }
    return lines.lines + brackets;
}

VerificationResult stoppedAt(const WrittenProgram& program, const VerificationSummary& summary)
{
    return {program.status(), summary, program.line()};
}

}  // namespace

// Each non-converted source line is one written line and each converted arc
// as many lines as it has segments, so the written line of an arc's first
// cut follows from the segments of the arcs before it.
VerificationResult measureWrittenProgram(WrittenProgram& program, ArcFeed& arcs, double tolerance, int decimals,
                                         VerificationListener* listener)
{
    VerificationSummary summary;
    long long addedLines = 0;
    // A line read ahead of the arcs that did not read: the check fails there
    // if another arc comes, as it would have reading up to that arc, and
    // passes if none does, since nothing after the last arc is checked.
    std::optional<VerificationResult> failedAhead;
    for (;;) {
        const ArcNotice notice = arcs.next();
        switch (notice.kind) {
        case ArcNotice::Kind::Arc: {
            if (failedAhead) {
                return *failedAhead;
            }
            const ReferenceArc& arc = *notice.arc;
            // The allowance only goes to the listener with each segment.
            const double allowance =
                listener != nullptr ? deviationAllowance(tolerance, decimals, arc.radiusDifference) : 0.0;
            const long long order = arc.order != 0 ? arc.order : arc.line;
            if (!readThrough(program, order + addedLines - 1) ||
                !measureArc(arc, allowance, program, summary, listener)) {
                return stoppedAt(program, summary);
            }
            addedLines += arc.segments - 1;
            break;
        }
        case ArcNotice::Kind::Expansion: {
            if (failedAhead) {
                return *failedAhead;
            }
            const CyclePlan& cycle = *notice.cycle;
            if (!readThrough(program, cycle.line + addedLines - 1)) {
                return stoppedAt(program, summary);
            }
            const long long lines = measureExpansion(cycle, program, decimals);
            if (lines == 0) {
                return {program.status() == VerificationStatus::Checked ? VerificationStatus::OutputMismatch
                                                                        : program.status(),
                        summary, program.line()};
            }
            addedLines += lines - 1;
            break;
        }
        case ArcNotice::Kind::LinesKnown:
            // Lines that hold no cut of an arc yet to come are read now, so
            // that the program's reading never waits for arcs it need not.
            if (!failedAhead && !readThrough(program, notice.linesKnown + addedLines)) {
                failedAhead = stoppedAt(program, summary);
                arcs.programLeftUnread();
            }
            break;
        case ArcNotice::Kind::End: return {VerificationStatus::Checked, summary, 0};
        case ArcNotice::Kind::Unreadable:
            // The run's own arcs could not be read back: nothing can be said
            // of the written program.
            return {VerificationStatus::OutputUnreadable, summary, program.line()};
        }
    }
}

}  // namespace drennix
