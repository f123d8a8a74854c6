#include "run_driver.h"

#include <memory>
#include <optional>

#include "block_interpreter.h"
#include "block_parser.h"
#include "output_writer.h"
#include "program_lines.h"
#include "program_writer.h"
#include "segmentation.h"
#include "source_reader.h"
#include "statistics.h"

namespace drennix {

namespace {

// Progress is told every this many lines.
constexpr long long progressInterval = 100;

// How the work of a run ended, before the user is told.
struct Ending {
    RunOutcome outcome = RunOutcome::InputRejected;
    Fault fault;
    // A failure to close the source or the output that followed the fault.
    bool closeFailedToo = false;
    long long written = 0;
};

Ending ended(RunOutcome outcome, Fault fault = {})
{
    return Ending{outcome, fault};
}

// The converting run's output: the lines of the new program, the writer that
// makes them and the count of converted blocks.
struct Conversion {
    Conversion(const Settings& settings, const AddressTable& addresses) : writer(settings, addresses, lines) {}

    ProgramLines lines;
    ProgramWriter writer;
    long long convertedBlocks = 0;
};

class Run final : private WriteObserver {
public:
    Run(const Settings& settings, const RunOptions& options, RunListener& listener);

    RunResult execute();

private:
    Fault checkInputs() const;
    Fault openSource();
    Ending readProgram();
    Fault processLine(std::string_view line);
    Fault takeStep(const Step& step, std::string_view line);
    Fault convertArc(const Move& arc);
    bool convertsArc(const Move& move) const;
    void finishLine(std::string_view line, const Move* move, bool converted);
    Ending endOfInput();
    Ending writeOutput();

    RunResult end(const Ending& ending);
    void tellAbort(const Ending& ending);
    void tellEndOfInput(const Ending& ending);
    void tellFault(const Fault& fault);
    void warn(std::string_view text) { listener_.message(text, MessageKind::Warning); }
    void inform(std::string_view text) { listener_.message(text, MessageKind::Information); }
    void workEnded();

    // WriteObserver
    void created(const std::string& path) override;
    void progress(long long written) override { listener_.progress(written); }
    bool stopRequested() override { return listener_.stopRequested(); }

    RunMode mode() const { return options_.runMode; }
    Point3 initialPosition() const { return {options_.initialX, options_.initialY, options_.initialZ}; }

    const Settings& settings_;
    const RunOptions& options_;
    RunListener& listener_;
    const int decimals_;
    const bool tellsMoves_;

    SourceReader reader_;
    BlockParser parser_;
    ModalState modal_;
    StatisticsTally tally_;
    std::unique_ptr<Conversion> conversion_;
    ParsedBlock block_;
    Step step_;
    long long lineNumber_ = 0;
    std::optional<std::string> outputPath_;
    // Reading has begun and the work has not yet ended.
    bool working_ = false;
};

Run::Run(const Settings& settings, const RunOptions& options, RunListener& listener)
    : settings_(settings),
      options_(options),
      listener_(listener),
      decimals_(settings.process.decimalPlaces),
      tellsMoves_(listener.wantsMoves()),
      parser_(settings),
      modal_(startingState(settings.process, initialPosition())),
      tally_(initialPosition(), settings.process.rapidSpeed)
{
    if (isConverting(options.runMode)) {
        conversion_ = std::make_unique<Conversion>(settings, parser_.addresses());
    }
}

RunResult Run::execute()
{
    // A run that throws (out of memory on a huge line, say) still ends its
    // work, so that no host keeps waiting; the exception goes on to the host.
    struct WorkGuard {
        Run& run;
        ~WorkGuard()
        {
            if (run.working_) {
                run.workEnded();
            }
        }
    } guard{*this};
    listener_.runStarted();
    Fault fault = checkInputs();
    if (!fault) {
        fault = openSource();
    }
    if (fault) {
        return end(ended(RunOutcome::InputRejected, fault));
    }
    const AbsoluteRow start = startRow(initialPosition(), decimals_);
    listener_.readingStarted(mode(), mode() == RunMode::AbsoluteDisplay ? &start : nullptr);
    working_ = true;
    return end(readProgram());
}

Fault Run::checkInputs() const
{
    // Hosts validate the settings before they allow a run; a host that did
    // not gets the validation's text rather than a run that cannot end
    // (an empty comment delimiter would never advance the comment scan).
    if (validateVocabulary(settings_)) return Fault{FaultId::InvalidSettings};
    if (options_.tolerance <= 0) return Fault{FaultId::ToleranceOutOfRange};
    if (options_.sourcePath.empty()) return Fault{FaultId::NoSourceSelected};
    if (options_.suffix.empty()) return Fault{FaultId::NoSuffix};
    return {};
}

Fault Run::openSource()
{
    switch (reader_.open(options_.sourcePath)) {
    case SourceReader::OpenResult::Missing: return Fault{FaultId::SourceMissing};
    case SourceReader::OpenResult::OpenFailed: return Fault{FaultId::SourceOpenFailed};
    case SourceReader::OpenResult::Opened: break;
    }
    return {};
}

Ending Run::readProgram()
{
    while (!reader_.atEnd()) {
        if (listener_.stopRequested()) {
            return ended(RunOutcome::Stopped, Fault{FaultId::StoppedWhileReading});
        }
        if (lineNumber_ % progressInterval == 0) {
            listener_.progress(lineNumber_);
        }
        ++lineNumber_;
        const std::string_view line = reader_.readSourceLine();
        if (reader_.failed()) {
            return ended(RunOutcome::LineRejected, Fault{FaultId::ReadError});
        }
        if (const Fault fault = processLine(line)) {
            return ended(RunOutcome::LineRejected, fault);
        }
    }
    return endOfInput();
}

Fault Run::processLine(std::string_view line)
{
    if (const Fault fault = parser_.parse(line, block_)) {
        return fault;
    }
    if (conversion_) {
        conversion_->writer.beginLine();
    }
    if (block_.blank) {
        finishLine(line, nullptr, false);
        return {};
    }
    interpretBlock(modal_, block_, decimals_, lineNumber_, step_);
    if (step_.fault) {
        return step_.fault;
    }
    if (conversion_) {
        conversion_->writer.noteBlock(block_);
    }
    modal_ = step_.modal;
    return takeStep(step_, line);
}

// Hands the block's result to the consumers and finishes the line.
Fault Run::takeStep(const Step& step, std::string_view line)
{
    if (step.kind == BlockKind::CoordinateSet) {
        tally_.addPosition(modal_.position);
    }
    if (step.kind != BlockKind::Motion) {
        finishLine(line, nullptr, false);
        return {};
    }
    const Move& move = step.move;
    if (tellsMoves_) {
        listener_.move(move);
    }
    const bool converted = convertsArc(move);
    if (converted) {
        if (const Fault fault = convertArc(move)) {
            return fault;
        }
    } else {
        tally_.addMove(move);
    }
    finishLine(line, &move, converted);
    return {};
}

bool Run::convertsArc(const Move& move) const
{
    return move.isArc() && (mode() == RunMode::ConvertArcs || (mode() == RunMode::ConvertHelical && move.arc.helical));
}

// The arc's cuts stand in its place: each cut's line goes to the new program
// and its length and end point to the statistics; the tool ends where the
// last cut leaves it.
Fault Run::convertArc(const Move& arc)
{
    long long count = 0;
    if (const Fault fault = countSegments(arc, options_.tolerance, count)) {
        return fault;
    }
    tally_.beginConvertedArc(arc);
    CutSequence cuts(arc, count, modal_.coordinateMode, decimals_);
    Cut cut;
    while (cuts.next(cut)) {
        conversion_->writer.writeCut(cut, block_);
        tally_.addConvertedCut(cut.end, cut.length);
    }
    tally_.endConvertedArc(modal_.feed);
    modal_.position = cut.end;
    conversion_->writer.endConvertedBlock();
    ++conversion_->convertedBlocks;
    return {};
}

void Run::finishLine(std::string_view line, const Move* move, bool converted)
{
    if (mode() == RunMode::AbsoluteDisplay) {
        if (lineNumber_ <= settings_.process.absoluteDisplayRows) {
            listener_.row(lineNumber_, blockRow(lineNumber_, line, modal_.position, move, decimals_));
        }
    } else if (conversion_ && !converted) {
        conversion_->writer.writeSourceLine(line, modal_.motion);
    }
}

Ending Run::endOfInput()
{
    listener_.resultsReady(formatResults(lineNumber_, tally_.figures(), decimals_));
    if (!reader_.close()) {
        return ended(RunOutcome::SourceCloseFailed, Fault{FaultId::SourceCloseFailed});
    }
    if (!conversion_) {
        return ended(RunOutcome::Calculated);
    }
    if (conversion_->convertedBlocks < 1) {
        return ended(RunOutcome::NothingConverted);
    }
    return writeOutput();
}

Ending Run::writeOutput()
{
    const WriteResult written =
        writeOutputFile(conversion_->lines, outputPathFor(options_.sourcePath, options_.suffix), *this);
    Ending ending{RunOutcome::Converted, written.fault, written.closeFailedToo, written.written};
    if (written.fault) {
        ending.outcome =
            written.fault.id == FaultId::StoppedWhileWriting ? RunOutcome::Stopped : RunOutcome::OutputFailed;
    }
    return ending;
}

void Run::created(const std::string& path)
{
    outputPath_ = path;
    listener_.outputCreated(path);
}

// The one way out of every run: the user is told how it ended, in the order
// each ending has always had, and the same goes back as a RunResult.
RunResult Run::end(const Ending& ending)
{
    RunResult result;
    result.outcome = ending.outcome;
    result.fault = ending.fault;
    result.lineCount = lineNumber_;
    result.outputPath = outputPath_;
    switch (ending.outcome) {
    case RunOutcome::InputRejected: tellFault(ending.fault); break;
    case RunOutcome::LineRejected: tellAbort(ending); break;
    case RunOutcome::Stopped:
        if (ending.fault.id == FaultId::StoppedWhileReading) {
            tellAbort(ending);
        } else {
            tellEndOfInput(ending);
        }
        break;
    default: tellEndOfInput(ending); break;
    }
    listener_.runFinished(result);
    return result;
}

// A rejected line, a read error or Escape while reading: the message, the
// source closed, the list shown with the rows so far and the line count.
void Run::tellAbort(const Ending& ending)
{
    tellFault(ending.fault);
    if (!reader_.close()) {
        warn(messages::sourceCloseFailedOnAbort);
    }
    conversion_.reset();
    workEnded();
    if (mode() == RunMode::AbsoluteDisplay) {
        listener_.listComplete();
    }
    listener_.progress(lineNumber_);
}

// The input was read to its end; the results have been told.
void Run::tellEndOfInput(const Ending& ending)
{
    conversion_.reset();
    switch (ending.outcome) {
    case RunOutcome::Calculated:
        if (mode() == RunMode::AbsoluteDisplay) {
            listener_.listComplete();
        }
        inform(messages::calculated);
        workEnded();
        return;
    case RunOutcome::NothingConverted:
        inform(messages::nothingConverted);
        workEnded();
        return;
    case RunOutcome::Converted:
        listener_.progress(ending.written);
        workEnded();
        inform(std::string(*outputPath_) + std::string(messages::outputCreatedTail));
        return;
    default: break;
    }
    if (ending.fault.id == FaultId::OutputCloseFailed) {
        listener_.progress(ending.written);
    }
    tellFault(ending.fault);
    if (ending.closeFailedToo) {
        warn(messages::outputCloseFailedShort);
    }
    workEnded();
}

void Run::tellFault(const Fault& fault)
{
    warn(faultMessage(fault, lineNumber_, settings_, outputPathFor(options_.sourcePath, options_.suffix)));
}

void Run::workEnded()
{
    working_ = false;
    listener_.workEnded();
}

}  // namespace

RunResult RunDriver::execute(const RunOptions& options, RunListener& listener)
{
    Run run(settings_, options, listener);
    return run.execute();
}

}  // namespace drennix
