#include "conversion_check.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "block_interpreter.h"
#include "block_stream.h"
#include "source_reader.h"

namespace drennix {

namespace {

double distance(const Point3& u, const Point3& v)
{
    return std::hypot(u[0] - v[0], u[1] - v[1], u[2] - v[2]);
}

// The written program, read back line by line by the engine's own stages,
// with the tool position each line leaves. Its reading and parsing run ahead
// on the stream's thread while the segments before are measured.
class WrittenProgram {
public:
    WrittenProgram(SourceReader& reader, const Settings& settings, const Point3& initialPosition)
        : stream_(reader, settings),
          decimals_(settings.process.decimalPlaces),
          modal_(startingState(settings.process, initialPosition))
    {}

    // Reads and evaluates the next line; false when there is none or it does
    // not read as a block (`status()` tells which).
    bool advance()
    {
        if (stream_.atEnd()) {
            status_ = VerificationStatus::OutputMismatch;
            return false;
        }
        ++line_;
        const SourceLine& line = stream_.next();
        if (line.readFailed) {
            status_ = VerificationStatus::OutputUnreadable;
            return false;
        }
        straight_ = false;
        blank_ = false;
        if (line.fault) {
            status_ = VerificationStatus::OutputMismatch;
            return false;
        }
        blank_ = line.block.blank;
        if (blank_) {
            return true;
        }
        interpretBlock(modal_, line.block, decimals_, line_, step_);
        if (step_.fault) {
            status_ = VerificationStatus::OutputMismatch;
            return false;
        }
        modal_ = step_.modal;
        straight_ = step_.kind == BlockKind::Motion && step_.move.kind == MoveKind::Linear;
        return true;
    }

    // Reads the next line as a cut of an arc: a straight cutting move, or a
    // line without a move where the cut left every axis where it was.
    bool advanceCut()
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

    long long line() const { return line_; }
    const Point3& position() const { return modal_.position; }
    VerificationStatus status() const { return status_; }

private:
    BlockStream stream_;
    const int decimals_;
    ModalState modal_;
    Step step_;
    long long line_ = 0;
    bool straight_ = false;
    bool blank_ = false;
    VerificationStatus status_ = VerificationStatus::Checked;
};

// Measures each segment of `arc`, whose first cut is the next line of
// `program`; false when the program does not hold its cuts.
bool measureArc(const ReferenceArc& arc, double allowance, WrittenProgram& program, VerificationSummary& summary,
                VerificationListener* listener)
{
    ArcSegments stretches(arc);
    SegmentDeviation segment;
    segment.line = arc.line;
    segment.allowance = allowance;
    for (long long k = 1; k <= arc.segments; ++k) {
        segment.start = program.position();
        if (!program.advanceCut()) {
            return false;
        }
        segment.end = program.position();
        // Without a listener only the largest figure counts: a segment that
        // cannot exceed the largest so far is not measured.
        const bool largestOnly = listener == nullptr && summary.maxDeviationLine != 0;
        const std::optional<double> deviation =
            largestOnly ? stretches.deviationAbove(k, segment.start, segment.end, summary.maxDeviation)
                        : stretches.deviation(k, segment.start, segment.end);
        if (!deviation) {
            continue;
        }
        segment.deviation = *deviation;
        if (segment.deviation > summary.maxDeviation || summary.maxDeviationLine == 0) {
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

}  // namespace

double deviationAllowance(double tolerance, int decimals, double radiusDifference)
{
    return tolerance + std::sqrt(3.0) / 2 * std::pow(10.0, -decimals) + radiusDifference;
}

ConversionCheck::ConversionCheck(const Settings& settings, const RunOptions& options)
    : settings_(settings), options_(options)
{}

void ConversionCheck::noteMove(const Move& move)
{
    if (move.isArc() && move.converted()) {
        arcs_.append(referenceArcOf(move));
    }
}

VerificationResult ConversionCheck::verifyFile(const std::string& outputPath, VerificationListener* listener) const
{
    SourceReader reader;
    if (reader.open(outputPath) != SourceReader::OpenResult::Opened) {
        return {VerificationStatus::OutputUnreadable, {}, 0};
    }
    VerificationResult result = measure(reader, listener);
    if (!reader.close() && result.checked()) {
        result.status = VerificationStatus::OutputUnreadable;
    }
    return result;
}

VerificationResult ConversionCheck::verifyBytes(std::string_view output, VerificationListener* listener) const
{
    SourceReader reader;
    reader.openBytes(output);
    return measure(reader, listener);
}

// Each non-converted source line is one written line and each converted arc
// as many lines as it has segments, so the written line of an arc's first
// cut follows from the segments of the arcs before it.
VerificationResult ConversionCheck::measure(SourceReader& reader, VerificationListener* listener) const
{
    WrittenProgram program(reader, settings_, {options_.initialX, options_.initialY, options_.initialZ});
    VerificationResult result;
    const int decimals = settings_.process.decimalPlaces;
    long long addedLines = 0;
    ReferenceArcLog::Reader arcs(arcs_);
    while (const ReferenceArc* next = arcs.next()) {
        const ReferenceArc& arc = *next;
        const long long firstCut = arc.line + addedLines;
        bool read = true;
        while (read && program.line() < firstCut - 1) {
            read = program.advance();
        }
        const double allowance = deviationAllowance(options_.tolerance, decimals, arc.radiusDifference);
        if (!read || !measureArc(arc, allowance, program, result.summary, listener)) {
            result.status = program.status();
            result.outputLine = program.line();
            return result;
        }
        addedLines += arc.segments - 1;
    }
    if (arcs.failed()) {
        // The run's own arcs could not be read back: nothing can be said of
        // the written program.
        result.status = VerificationStatus::OutputUnreadable;
        result.outputLine = program.line();
    }
    return result;
}

}  // namespace drennix
