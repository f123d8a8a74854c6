#include "run_driver.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "block_interpreter.h"
#include "block_stream.h"
#include "line_capture.h"
#include "motion_planner.h"
#include "output_file.h"
#include "output_store.h"
#include "program_source.h"
#include "program_writer.h"
#include "segmentation.h"
#include "source_reader.h"
#include "statistics.h"
#include "tool_tally.h"

namespace drennix {

namespace {

// Progress is told every this many lines.
constexpr long long progressInterval = 100;
// Inside the cuts of one arc, a stop is asked for every this many cuts.
constexpr long long cutsBetweenStopPolls = 4096;

// How a converting run writes a program whose subprograms run.
enum class SubprogramWriting : std::uint8_t {
    None,       // no subprograms are read, or the run does not convert
    AsWritten,  // each line where it stands, the calls kept
    Expanded,   // the lines where they run: one flat program
};

// A line that marks the tape's start or end: "%".
bool isTapeMark(std::string_view text)
{
    const std::size_t at = text.find_first_not_of(" \t");
    return at != std::string_view::npos && text[at] == '%';
}

// How the work of a run ended, before the user is told.
struct Ending {
    RunOutcome outcome = RunOutcome::InputRejected;
    Fault fault;
};

Ending ended(RunOutcome outcome, Fault fault = {})
{
    return Ending{outcome, fault};
}

// A converted arc as the listener hears of it: with the count of its cuts.
Move withSegments(const Move& arc, long long segments)
{
    Move told = arc;
    told.segments = segments;
    return told;
}

// Where the run reads and writes when the host gives memory instead of files.
struct RunMedia {
    std::optional<std::string_view> source;
    OutputStore* output = nullptr;
};

// The converting run's output: the store the new program streams into, the
// writer that makes its lines and the count of converted blocks.
struct Conversion {
    Conversion(std::unique_ptr<OutputStore> owned, OutputStore& store, const Settings& settings,
               const AddressTable& addresses)
        : owned(std::move(owned)), store(store), writer(settings, addresses, store)
    {}
    // A store of the host's outlives the run: its watcher must not.
    ~Conversion() { store.watchWrites({}); }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    std::unique_ptr<OutputStore> owned;
    OutputStore& store;
    ProgramWriter writer;
    long long convertedBlocks = 0;
};

// x - x is 0 for every finite x and NaN for infinities and NaN, so a sum of
// such differences is 0 exactly when every term is finite: one test a line.
double finiteProbe(const Point3& p)
{
    return (p[0] - p[0]) + (p[1] - p[1]) + (p[2] - p[2]);
}

// The position and every figure a run shows stay numbers.
bool allFinite(const Point3& position, const RunStatistics& s)
{
    const double probe = finiteProbe(position) + finiteProbe(s.minimum) + finiteProbe(s.maximum) +
                         (s.rapidDistance - s.rapidDistance) + (s.cuttingDistance - s.cuttingDistance) +
                         (s.machiningTime - s.machiningTime) + (s.radiusDifference - s.radiusDifference) +
                         (s.maxRadius - s.maxRadius);
    return probe == 0;
}

// What a straight move changes: the position (its end, the one point it adds
// to the extents), the time and a distance.
bool straightMoveFinite(const Point3& position, const RunStatistics& s)
{
    const double probe = finiteProbe(position) + (s.rapidDistance - s.rapidDistance) +
                         (s.cuttingDistance - s.cuttingDistance) + (s.machiningTime - s.machiningTime);
    return probe == 0;
}

class Run {
public:
    Run(const Settings& settings, const RunOptions& options, RunListener& listener, RunMedia media);

    RunResult execute();

private:
    Fault checkInputs() const;
    Fault openSource();
    void startConversion();
    Ending readProgram();
    Ending readWithSubprograms();
    Fault processLine(const SourceLine& line);
    Fault processProgramLine(const ProgramLine& line);
    Fault runProgramLine(const ProgramLine& line);
    Fault passLine(const ProgramLine& line);
    Fault keepSubprogramLine(const ProgramLine& line);
    void writeOwnLine(const ProgramLine& line);
    long long linesBeforeCurrent() const { return source_ ? order_ - 1 : lineNumber_ - 1; }
    Fault takeStep(const Step& step, std::string_view line);
    Fault takeDwell(double seconds, std::string_view line);
    Fault takeExpansion(const Step& step, std::string_view line);
    Fault takePath(const Step& step, std::string_view line);
    void changeUnit(LengthUnit unit);
    void takeToolChange();
    void takeSpindle(const ParsedBlock& block);
    void tellToolMove(const Move& move);
    double estimatedSeconds();
    Fault takeExpandedMove(const Move& move);
    void planDwell(double seconds);
    void stopMachine();
    void copyLineAfterEnd(std::string_view line);
    void tellMove(const Move& move, long long segments);
    Fault convertArc(const Move& arc, long long count);
    bool convertsArc(const Move& move) const;
    Fault checkFinite() const;
    bool keptMoveFinite(const Move& move);
    void plan(const Move& move);
    void tellPlanned(const PlannedMove* planned);
    void tellEstimate();
    void finishLine(std::string_view line, const Move* move, bool converted);
    void listRow(std::string_view line, const Move* move);
    Ending endOfInput();
    Ending publishOutput();

    RunResult end(const Ending& ending);
    void tellAbort(const Ending& ending);
    void tellEndOfInput(const Ending& ending);
    void tellFault(const Fault& fault);
    bool stopAsked();
    void warn(std::string_view text) { listener_.message(text, MessageKind::Warning); }
    void inform(std::string_view text) { listener_.message(text, MessageKind::Information); }
    void workEnded();
    void discardOutput();

    RunMode mode() const { return options_.runMode; }
    Point3 initialPosition() const { return {options_.initialX, options_.initialY, options_.initialZ}; }
    std::string outputPath() const { return outputPathFor(options_.sourcePath, options_.suffix); }

    const Settings& settings_;
    const RunOptions& options_;
    RunListener& listener_;
    const RunMedia media_;
    const int decimals_;
    const bool tellsMoves_;
    const bool tellsWrittenBytes_;
    const std::atomic<bool>* const stopSignal_;
    // How the canned cycles and the dwell are read; null where neither is.
    const CycleSettings cycleSettings_;
    const CycleSettings* const cycles_;
    // How units, work offsets and machine moves are read; null where none is.
    const FrameSettings frameSettings_;
    const FrameSettings* const frame_;
    // A converting run writes the cycles as their expansions.
    const bool expandsCycles_;
    const SubprogramWriting subprogramWriting_;
    // What a converted arc is segmented within.
    const double segmentingTolerance_;
    // The block being expanded is written as its moves.
    bool writingExpansion_ = false;

    SourceReader reader_;
    BlockStream stream_;
    StatisticsTally tally_;
    std::unique_ptr<Conversion> conversion_;
    // The estimate of a run that asks for it.
    std::optional<MotionPlanner> planner_;
    // The block of the line being evaluated.
    const ParsedBlock* block_ = nullptr;
    Step step_;
    // The modal state between blocks is the step's own: the interpreter reads
    // it as the state before a block and leaves the state after it there.
    ModalState& modal_ = step_.modal;
    long long lineNumber_ = 0;
    // The line of the block being evaluated, and its file where that is not
    // the program (a subprogram's): the program's line but where
    // subprograms run.
    long long blockLine_ = 0;
    std::string_view blockFile_;
    // Where subprograms are read: the lines in the order they run.
    std::optional<ProgramSource> source_;
    // Where subprograms run in a converting run: the line's place in the
    // new program's order (see Move::order), the lines of a subprogram as
    // the new program writes them (those of the program's own file by
    // number: the first call's, which every later call must give again).
    long long order_ = 0;
    LineCapture capture_;
    std::map<long long, std::string> writtenBody_;
    // The line being evaluated is one of the program's own, not a
    // subprogram's where it runs: it goes to the new program as read, and
    // counts in the lines of the tool in the spindle.
    bool ownLine_ = true;
    long long rowsListed_ = 0;
    // Lines until progress is next told (before the first line, at once).
    long long linesToProgress_ = 1;
    std::optional<std::string> publishedPath_;
    // Every figure was found finite after the latest block that changed one.
    bool figuresFinite_ = false;
    // Reading has begun and the work has not yet ended.
    bool working_ = false;
    // The program's end was read; what follows is only copied.
    bool programEnded_ = false;
    // The moves of canned cycles so far, for the stop between them.
    long long expandedMoves_ = 0;
    // The unit the figures and the estimate take the program's lengths in.
    LengthUnit unit_ = LengthUnit::Millimetre;
    // A rotary word was read and left out of the figures.
    bool rotaryRead_ = false;
    // The figures per tool, where tool changes are read, and the changes.
    std::optional<ToolTally> tools_;
    long long toolChanges_ = 0;
    // The spindle as the blocks so far left it.
    SpindleState spindle_ = SpindleState::Off;
    double spindleSpeed_ = 0;
};

Run::Run(const Settings& settings, const RunOptions& options, RunListener& listener, RunMedia media)
    : settings_(settings),
      options_(options),
      listener_(listener),
      media_(media),
      decimals_(settings.process.decimalPlaces),
      tellsMoves_(listener.wantsMoves()),
      tellsWrittenBytes_(listener.wantsWrittenBytes()),
      stopSignal_(listener.stopSignal()),
      cycleSettings_(cycleSettingsOf(settings)),
      cycles_(cycleSettings_.readsAny() ? &cycleSettings_ : nullptr),
      frameSettings_(frameSettingsOf(settings)),
      frame_(frameSettings_.readsAny() ? &frameSettings_ : nullptr),
      expandsCycles_(settings.process.expandCycles != 0),
      subprogramWriting_(settings.process.subprograms == 0 || !isConverting(options.runMode) ? SubprogramWriting::None
                         : settings.process.expandSubprograms != 0 ? SubprogramWriting::Expanded
                                                                   : SubprogramWriting::AsWritten),
      segmentingTolerance_(segmentingTolerance(options.tolerance, settings.process.decimalPlaces,
                                               settings.process.toleranceIncludesRounding != 0)),
      stream_(reader_, settings),
      tally_(initialPosition(), settings.process.rapidSpeed)
{
    modal_ = startingState(settings, initialPosition());
    if (settings.process.subprograms != 0) {
        source_.emplace(stream_, settings, ProgramOrigin{options.sourcePath, media.source});
    }
}

RunResult Run::execute()
{
    // A run that throws (out of memory on a huge line, say) still ends its
    // work and leaves no output, so that no host keeps waiting; the
    // exception goes on to the host.
    struct WorkGuard {
        Run& run;
        ~WorkGuard()
        {
            run.discardOutput();
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
    startConversion();
    if (options_.estimate) {
        planner_.emplace(settings_.machine, tellsMoves_);
    }
    if (frameSettings_.toolChanges) {
        tools_.emplace(tally_.figures(), 0.0);
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
    if (options_.estimate && validateMachineModel(settings_.machine)) return Fault{FaultId::InvalidMachineModel};
    if (options_.sourcePath.empty()) return Fault{FaultId::NoSourceSelected};
    if (options_.suffix.empty()) return Fault{FaultId::NoSuffix};
    return {};
}

Fault Run::openSource()
{
    if (media_.source) {
        reader_.openBytes(*media_.source);
        return {};
    }
    switch (reader_.open(options_.sourcePath)) {
    case SourceReader::OpenResult::Missing: return Fault{FaultId::SourceMissing};
    case SourceReader::OpenResult::OpenFailed: return Fault{FaultId::SourceOpenFailed};
    case SourceReader::OpenResult::Opened: break;
    }
    return {};
}

// A converting run streams its new program from the first line on.
void Run::startConversion()
{
    if (!isConverting(mode())) {
        return;
    }
    std::unique_ptr<OutputStore> owned;
    if (media_.output == nullptr) {
        owned = std::make_unique<FileOutputStore>(outputPath());
    }
    OutputStore& store = media_.output != nullptr ? *media_.output : *owned;
    conversion_ = std::make_unique<Conversion>(std::move(owned), store, settings_, stream_.addresses());
    if (tellsWrittenBytes_) {
        // The line being evaluated may be written in part; those before it
        // are whole.
        store.watchWrites([this](std::string_view bytes) { listener_.outputWritten(bytes, linesBeforeCurrent()); });
    }
}

Ending Run::readProgram()
{
    if (source_) {
        return readWithSubprograms();
    }
    while (!stream_.atEnd()) {
        if (stopAsked()) {
            return ended(RunOutcome::Stopped, Fault{FaultId::StoppedWhileReading});
        }
        if (--linesToProgress_ == 0) {
            linesToProgress_ = progressInterval;
            listener_.progress(lineNumber_);
        }
        ++lineNumber_;
        blockLine_ = lineNumber_;
        const SourceLine& line = stream_.next();
        if (line.readFailed) {
            return ended(RunOutcome::LineRejected, Fault{FaultId::ReadError});
        }
        if (const Fault fault = processLine(line)) {
            if (fault.id == FaultId::StoppedWhileReading) {
                // Lines finished: the one whose arc was being cut is not.
                --lineNumber_;
                return ended(RunOutcome::Stopped, fault);
            }
            return ended(RunOutcome::LineRejected, fault);
        }
    }
    return endOfInput();
}

// The same where subprograms run: each line as the source hands it on, with
// its own number (and file).
Ending Run::readWithSubprograms()
{
    while (!source_->atEnd()) {
        if (stopAsked()) {
            return ended(RunOutcome::Stopped, Fault{FaultId::StoppedWhileReading});
        }
        if (--linesToProgress_ == 0) {
            linesToProgress_ = progressInterval;
            listener_.progress(lineNumber_);
        }
        const ProgramLine& line = source_->next();
        if (line.own) {
            lineNumber_ = line.number;
        }
        blockLine_ = line.number;
        blockFile_ = line.file;
        if (line.line->readFailed) {
            return ended(RunOutcome::LineRejected, Fault{FaultId::ReadError});
        }
        if (const Fault fault = processProgramLine(line)) {
            if (fault.id == FaultId::StoppedWhileReading) {
                lineNumber_ -= line.own ? 1 : 0;
                return ended(RunOutcome::Stopped, fault);
            }
            return ended(RunOutcome::LineRejected, fault);
        }
    }
    return endOfInput();
}

Fault Run::processProgramLine(const ProgramLine& line)
{
    if (line.fault) {
        return line.fault;
    }
    if (programEnded_ || line.role != LineRole::Block) {
        return passLine(line);
    }
    ownLine_ = line.own;
    ++order_;
    const Fault fault = subprogramWriting_ == SubprogramWriting::None ? processLine(*line.line) : runProgramLine(line);
    programEnded_ = programEnded_ || line.endsProgram;
    return fault;
}

// A line that runs in a converting run: where the subprograms are kept, a
// subprogram's line is written apart (it goes to the new program where the
// subprogram stands) and the lines so far go to whoever follows the bytes
// before a call's lines; where they are expanded, a call or return is
// written without its words.
Fault Run::runProgramLine(const ProgramLine& line)
{
    if (subprogramWriting_ == SubprogramWriting::Expanded) {
        const ParsedBlock& block = line.line->block;
        if (line.calls || (!line.own && block.dialectWords && block.subprogramEndWords > 0)) {
            SourceLine stripped = *line.line;
            std::string text;
            appendWithoutCall(text, block.codeText, block.commentText, stream_.addresses());
            stripped.text = text;
            return processLine(stripped);
        }
        return processLine(*line.line);
    }
    if (line.own) {
        const Fault fault = processLine(*line.line);
        if (line.calls && tellsWrittenBytes_) {
            conversion_->store.handOn();
        }
        return fault;
    }
    capture_.clear();
    conversion_->writer.setSink(capture_);
    const Fault fault = processLine(*line.line);
    conversion_->writer.setSink(conversion_->store);
    return fault ? fault : keepSubprogramLine(line);
}

// A subprogram's line as the new program holds it, once for every call: a
// line of its own file stays as read (that file is not written), a line of
// the program's file is written where it stands, as the first call wrote it.
Fault Run::keepSubprogramLine(const ProgramLine& line)
{
    const std::string& written = capture_.text();
    if (!line.file.empty()) {
        const std::string_view text = line.line->text;
        const bool asRead = written.size() == text.size() + 2 && written.starts_with(text);
        if (!asRead) {
            return Fault{FaultId::SubprogramConversionElsewhere};
        }
    } else {
        const auto [kept, first] = writtenBody_.try_emplace(line.number, written);
        if (!first && kept->second != written) {
            return Fault{FaultId::SubprogramConversionDiffers};
        }
    }
    if (tellsWrittenBytes_) {
        listener_.outputWritten(written, order_);
    }
    return {};
}

// A line that runs nothing: a subprogram's definition passed over, an
// o-word, a line after the program's end. It is listed where the tool
// stands; a converting run writes the program's own lines where they stand
// (a flat program leaves the definitions and o-words out, and after its end
// keeps only the tape's marks).
Fault Run::passLine(const ProgramLine& line)
{
    if (mode() == RunMode::AbsoluteDisplay) {
        finishLine(line.line->text, nullptr, false);
        return {};
    }
    if (!conversion_ || !line.own) {
        return {};
    }
    switch (subprogramWriting_) {
    case SubprogramWriting::Expanded:
        if (line.role == LineRole::Block && isTapeMark(line.line->text)) {
            ++order_;
            conversion_->store.append({}, line.line->text);
        }
        return {};
    case SubprogramWriting::AsWritten:
        if (line.role == LineRole::Control) {
            return Fault{FaultId::SubprogramConversion};
        }
        break;
    case SubprogramWriting::None: break;
    }
    ++order_;
    writeOwnLine(line);
    return {};
}

// A line of the program's file where it stands: a subprogram's line as its
// first call wrote it, any other as read.
void Run::writeOwnLine(const ProgramLine& line)
{
    const auto kept = writtenBody_.find(line.number);
    if (kept == writtenBody_.end()) {
        conversion_->store.append({}, line.line->text);
        return;
    }
    std::string_view lines = kept->second;
    while (!lines.empty()) {
        const std::size_t end = lines.find("\r\n");
        conversion_->store.append({}, lines.substr(0, end));
        lines.remove_prefix(end + 2);
    }
}

Fault Run::processLine(const SourceLine& line)
{
    if (programEnded_) {
        copyLineAfterEnd(line.text);
        return {};
    }
    if (line.fault) {
        return line.fault;
    }
    const ParsedBlock& block = line.block;
    block_ = &block;
    if (conversion_) {
        conversion_->writer.beginLine();
    }
    if (block.blank) {
        finishLine(line.text, nullptr, false);
        return {};
    }
    interpretBlock(modal_, block, decimals_, blockLine_, step_, CuttingLength::Measured, cycles_, frame_);
    if (step_.fault) {
        return step_.fault;
    }
    if (block.dialectWords) {
        rotaryRead_ = rotaryRead_ || block.rotaryWords > 0;
        if (modal_.frame.unit != unit_) {
            changeUnit(modal_.frame.unit);
        }
        if (step_.toolChanged) {
            takeToolChange();
        }
        if (block.spindleWords > 0 || block.spindleStateWords > 0) {
            takeSpindle(block);
        }
    }
    if (tools_ && ownLine_) {
        tools_->addLine(blockLine_);
    }
    if (conversion_) {
        conversion_->writer.noteBlock(block);
    }
    programEnded_ = block.programEnd;
    return takeStep(step_, line.text);
}

// After the program's end (M2 or M30, where that is read): the line is only
// counted, listed where the tool stands and copied as it is.
void Run::copyLineAfterEnd(std::string_view line)
{
    if (mode() == RunMode::AbsoluteDisplay) {
        finishLine(line, nullptr, false);
    } else if (conversion_) {
        conversion_->store.append({}, line);
    }
}

// Hands the block's result to the consumers and finishes the line.
Fault Run::takeStep(const Step& step, std::string_view line)
{
    if (step.kind == BlockKind::CoordinateSet) {
        tally_.addPosition(modal_.position);
        if (const Fault fault = checkFinite()) {
            return fault;
        }
    }
    if (step.kind != BlockKind::Motion) {
        if (step.kind == BlockKind::Cycle) {
            return takeExpansion(step, line);
        }
        if (step.kind == BlockKind::Dwell) {
            return takeDwell(step.dwell, line);
        }
        if (step.kind == BlockKind::Path) {
            return takePath(step, line);
        }
        finishLine(line, nullptr, false);
        return {};
    }
    const Move& move = step.move;
    const bool converted = convertsArc(move);
    long long segments = 0;
    if (converted) {
        if (const Fault fault = countSegments(move, segmentingTolerance_, segments)) {
            return fault;
        }
        if (const Fault fault = convertArc(move, segments)) {
            return fault;
        }
    } else {
        tally_.addMove(move);
    }
    const bool finite = converted ? allFinite(modal_.position, tally_.figures()) : keptMoveFinite(move);
    if (!finite) {
        return Fault{FaultId::NotFinite};
    }
    // Told once the block passed every check: a block that ends the run, its
    // length beyond the range of numbers say, tells no move.
    if (tellsMoves_) {
        tellMove(move, segments);
    }
    tellToolMove(move);
    if (!converted) {
        plan(move);
    }
    finishLine(line, &move, converted);
    return {};
}

// A dwell: its time in the figures and the estimate; the line is written
// and listed as it is.
Fault Run::takeDwell(double seconds, std::string_view line)
{
    tally_.addDwell(seconds);
    if (const Fault fault = checkFinite()) {
        return fault;
    }
    planDwell(seconds);
    finishLine(line, nullptr, false);
    return {};
}

// An inch program's G20, or G21: the figures so far are converted and the
// machine stops before its limits are taken in the new unit.
void Run::changeUnit(LengthUnit unit)
{
    if (tools_) {
        tools_->changeUnit(unit_, unit);
    }
    unit_ = unit;
    tally_.changeUnit(unit);
    if (planner_) {
        stopMachine();
        planner_->changeUnit(unit);
    }
}

// M6: the machine stops and stands for the change; the figures of the tool
// that leaves end before that time, those of the next begin after it.
void Run::takeToolChange()
{
    ++toolChanges_;
    if (planner_) {
        stopMachine();
    }
    tools_->endRow(tally_.figures(), estimatedSeconds());
    if (planner_) {
        planner_->addDwell(settings_.machine.toolChangeTime);
    }
    tools_->beginRow(modal_.tool.inSpindle, tally_.figures(), estimatedSeconds());
}

double Run::estimatedSeconds()
{
    return planner_ ? planner_->estimate().seconds : 0.0;
}

// Every move the consumers take counts for the tool in the spindle.
inline void Run::tellToolMove(const Move& move)
{
    if (tools_) {
        tools_->addMove(move, modal_.tool);
    }
}

// The machine stands: the moves before run out, then the time counts.
void Run::planDwell(double seconds)
{
    if (!planner_) {
        return;
    }
    stopMachine();
    planner_->addDwell(seconds);
}

// A canned cycle's block: each move of its expansion goes to the consumers
// as a block's own move does. The block is written as it is (the control
// runs the cycle), or as its moves where the cycles are expanded; its row
// of the list stands where the last hole leaves the tool, with the length
// of the whole expansion.
Fault Run::takeExpansion(const Step& step, std::string_view line)
{
    struct Sink final : MoveSink {
        explicit Sink(Run& run) : run(run) {}
        bool take(const Move& move) override
        {
            length += move.length;
            fault = run.takeExpandedMove(move);
            return !fault;
        }
        Run& run;
        double length = 0;
        Fault fault;
    } sink(*this);
    writingExpansion_ = conversion_ && expandsCycles_;
    if (writingExpansion_) {
        if (tellsWrittenBytes_) {
            // Whoever reads the written bytes hears of the cycle before them.
            CyclePlan told = step.cycle;
            told.line = source_ ? order_ : told.line;
            listener_.cycleExpanding(told);
        }
        conversion_->writer.beginExpansion(step.cycle.incremental);
    }
    if (!expandCycle(step.cycle, sink)) {
        return sink.fault ? sink.fault : Fault{FaultId::RapidDistanceUnexpected};
    }
    if (writingExpansion_) {
        conversion_->writer.endExpansion(step.cycle.incremental);
        ++conversion_->convertedBlocks;
        return {};
    }
    Move whole;
    whole.kind = MoveKind::Linear;
    whole.plane = step.cycle.plane;
    whole.line = step.cycle.line;
    whole.start = step.cycle.start;
    whole.end = modal_.position;
    whole.length = sink.length;
    whole.cycle = step.cycle.code;
    finishLine(line, &whole, false);
    return {};
}

// A G28, G30 or G53 block: each of its moves goes to the consumers as a
// block's own move does; the block is written as it is, its row of the list
// stands where the last move leaves the tool, with the length of them all.
Fault Run::takePath(const Step& step, std::string_view line)
{
    writingExpansion_ = false;
    double length = 0;
    for (int k = 0; k < step.path.count; ++k) {
        const Move& move = step.path.moves[static_cast<std::size_t>(k)];
        length += move.length;
        if (const Fault fault = takeExpandedMove(move)) {
            return fault;
        }
    }
    Move whole = step.path.moves[static_cast<std::size_t>(step.path.count - 1)];
    whole.start = step.path.moves[0].start;
    whole.length = length;
    finishLine(line, &whole, false);
    return {};
}

// One move of a cycle's expansion: the figures, the listener, the estimate;
// a stop is asked for now and then, as between the cuts of an arc.
Fault Run::takeExpandedMove(const Move& move)
{
    tally_.addMove(move);
    if (move.dwell > 0) {
        tally_.addDwell(move.dwell);
    }
    if (!allFinite(move.end, tally_.figures())) {
        return Fault{FaultId::NotFinite};
    }
    if (tellsMoves_) {
        listener_.move(move);
    }
    tellToolMove(move);
    if (writingExpansion_) {
        conversion_->writer.writeExpandedMove(move);
    }
    plan(move);
    if (move.dwell > 0) {
        planDwell(move.dwell);
    }
    if (++expandedMoves_ % cutsBetweenStopPolls == 0 && stopAsked()) {
        return Fault{FaultId::StoppedWhileReading};
    }
    return {};
}

// The listener hears the move with the count of cuts that replace it; the
// step's own move stays as the interpreter left it.
void Run::tellMove(const Move& move, long long segments)
{
    if (segments == 0) {
        listener_.move(move);
        return;
    }
    listener_.move(withSegments(move, segments));
}

bool Run::convertsArc(const Move& move) const
{
    return move.isArc() && (mode() == RunMode::ConvertArcs || (mode() == RunMode::ConvertHelical && move.arc.helical));
}

// The arc's cuts stand in its place: each cut's line goes to the new program
// and its length and end point to the statistics; the tool ends where the
// last cut leaves it. A stop is asked for between cuts of a long arc.
Fault Run::convertArc(const Move& arc, long long count)
{
    if (tellsWrittenBytes_) {
        // Whoever reads the written bytes hears of the arc before its cuts.
        Move told = withSegments(arc, count);
        told.order = source_ ? order_ : 0;
        listener_.arcConverting(told);
    }
    tally_.beginConvertedArc(arc);
    CutSequence cuts(arc, count, modal_.coordinateMode, decimals_);
    Cut cut;
    Move piece;
    piece.kind = MoveKind::Linear;
    piece.line = arc.line;
    piece.feed = arc.feed;
    piece.end = arc.start;
    if (planner_) {
        planner_->beginPieces(arc, count);
    }
    for (long long done = 1; cuts.next(cut); ++done) {
        conversion_->writer.writeCut(cut, *block_);
        tally_.addConvertedCut(cut.end, cut.length);
        if (planner_) {
            piece.start = piece.end;
            piece.end = cut.end;
            tellPlanned(planner_->addPiece(piece, cut.last));
        }
        if (done % cutsBetweenStopPolls == 0 && stopAsked()) {
            return Fault{FaultId::StoppedWhileReading};
        }
    }
    tally_.endConvertedArc(modal_.feed);
    modal_.position = cut.end;
    conversion_->writer.endConvertedBlock();
    ++conversion_->convertedBlocks;
    return {};
}

// After a block is evaluated, the position and every figure must still be
// numbers: beyond the range of a double nothing is shown or written.
Fault Run::checkFinite() const
{
    if (allFinite(modal_.position, tally_.figures())) {
        return {};
    }
    return Fault{FaultId::NotFinite};
}

// The run ends at the first block that leaves a figure not finite, so once
// every figure was seen finite, a straight move the run keeps (the bulk of a
// program) needs only the figures it changed checked.
inline bool Run::keptMoveFinite(const Move& move)
{
    const RunStatistics& figures = tally_.figures();
    figuresFinite_ = figuresFinite_ && !move.isArc() ? straightMoveFinite(modal_.position, figures)
                                                     : allFinite(modal_.position, figures);
    return figuresFinite_;
}

// A run that estimates hands the move to the planner; the move that leaves
// its window goes to the listener.
void Run::plan(const Move& move)
{
    if (planner_) {
        tellPlanned(planner_->add(move));
        while (const PlannedMove* planned = planner_->nextLeft()) {
            tellPlanned(planned);
        }
    }
}

// A change of the spindle's speed (while it turns) or of its direction:
// where the controller stops the motion for it, the machine comes to a stop
// and waits the change's time.
void Run::takeSpindle(const ParsedBlock& block)
{
    bool changes = false;
    if (block.spindleWords > 0 && block.spindleSpeed != spindleSpeed_) {
        changes = spindle_ != SpindleState::Off;
        spindleSpeed_ = block.spindleSpeed;
    }
    if (block.spindleStateWords > 0 && block.spindleState != spindle_) {
        changes = true;
        spindle_ = block.spindleState;
    }
    if (changes && planner_ && planner_->profile().stopsAtSpindleChange) {
        stopMachine();
        planner_->addDwell(settings_.machine.spindleChangeTime);
    }
}

bool Run::stopAsked()
{
    return (stopSignal_ == nullptr || stopSignal_->load(std::memory_order_relaxed)) && listener_.stopRequested();
}

// The estimate's machine comes to a stop: the moves in the planner's window
// run out, each told as it leaves.
void Run::stopMachine()
{
    while (const PlannedMove* planned = planner_->flush()) {
        tellPlanned(planned);
    }
}

void Run::tellPlanned(const PlannedMove* planned)
{
    if (planned != nullptr && tellsMoves_) {
        listener_.plannedMove(*planned);
    }
}

// After the last move the machine stops: the window's moves run out.
void Run::tellEstimate()
{
    if (!planner_) {
        return;
    }
    stopMachine();
    listener_.estimateReady(planner_->estimate());
}

// Kept small enough to inline: a machining-time run does nothing here.
inline void Run::finishLine(std::string_view line, const Move* move, bool converted)
{
    if (mode() == RunMode::AbsoluteDisplay) {
        if ((source_ ? ++rowsListed_ : lineNumber_) <= settings_.process.absoluteDisplayRows) {
            listRow(line, move);
        }
    } else if (conversion_ && !converted) {
        conversion_->writer.writeSourceLine(line, modal_.motion);
    }
}

void Run::listRow(std::string_view line, const Move* move)
{
    if (!blockFile_.empty()) {
        // A subprogram's own file is named before its line.
        std::string named(blockFile_);
        named += ": ";
        named += line;
        listener_.row(blockLine_, blockRow(blockLine_, named, modal_.position, move, decimals_));
        return;
    }
    listener_.row(blockLine_, blockRow(blockLine_, line, modal_.position, move, decimals_));
}

Ending Run::endOfInput()
{
    ResultTexts results = formatResults(lineNumber_, tally_.figures(), decimals_);
    addResultNotes(results, tally_.figures(), frameSettings_.units, rotaryRead_);
    if (tools_) {
        addToolChangeNote(results, toolChanges_);
    }
    listener_.resultsReady(results);
    tellEstimate();
    if (tools_) {
        listener_.toolsReady(tools_->finish(tally_.figures(), estimatedSeconds()));
    }
    stream_.stop();
    if (!reader_.close()) {
        return ended(RunOutcome::SourceCloseFailed, Fault{FaultId::SourceCloseFailed});
    }
    if (!conversion_) {
        return ended(RunOutcome::Calculated);
    }
    if (conversion_->convertedBlocks < 1) {
        return ended(RunOutcome::NothingConverted);
    }
    return publishOutput();
}

Ending Run::publishOutput()
{
    if (const Fault fault = conversion_->store.publish()) {
        return ended(RunOutcome::OutputFailed, fault);
    }
    publishedPath_ = outputPath();
    return ended(RunOutcome::Converted);
}

// The one way out of every run: the user is told how it ended, in the order
// each ending has always had, and the same goes back as a RunResult.
RunResult Run::end(const Ending& ending)
{
    RunResult result;
    result.outcome = ending.outcome;
    result.fault = ending.fault;
    result.lineCount = lineNumber_;
    result.outputPath = publishedPath_;
    switch (ending.outcome) {
    case RunOutcome::InputRejected: tellFault(ending.fault); break;
    case RunOutcome::LineRejected:
    case RunOutcome::Stopped: tellAbort(ending); break;
    default: tellEndOfInput(ending); break;
    }
    listener_.runFinished(result);
    return result;
}

// A rejected line, a read error or Escape: the line count reached (shown
// while its message is open), the message, the source closed and the new
// program discarded, and the list shown with the rows so far.
void Run::tellAbort(const Ending& ending)
{
    listener_.progress(lineNumber_);
    tellFault(ending.fault);
    stream_.stop();
    if (!reader_.close()) {
        warn(messages::sourceCloseFailedOnAbort);
    }
    discardOutput();
    workEnded();
    if (mode() == RunMode::AbsoluteDisplay) {
        listener_.listComplete();
    }
}

// The input was read to its end; the results have been told.
void Run::tellEndOfInput(const Ending& ending)
{
    const long long written = conversion_ ? conversion_->store.linesWritten() : 0;
    discardOutput();
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
        listener_.outputCreated(*publishedPath_);
        listener_.progress(written);
        workEnded();
        inform(*publishedPath_ + std::string(messages::outputCreatedTail));
        return;
    default: break;
    }
    if (ending.fault.id == FaultId::OutputCloseFailed) {
        listener_.progress(written);
    }
    tellFault(ending.fault);
    workEnded();
}

void Run::tellFault(const Fault& fault)
{
    warn(faultMessage(fault, blockLine_, settings_, outputPath(), blockFile_));
}

void Run::workEnded()
{
    working_ = false;
    listener_.workEnded();
}

// A program not published is discarded; a published one is left alone.
void Run::discardOutput()
{
    if (conversion_ && !publishedPath_) {
        conversion_->store.discard();
    }
    conversion_.reset();
}

}  // namespace

RunResult RunDriver::execute(const RunOptions& options, RunListener& listener)
{
    Run run(settings_, options, listener, RunMedia{});
    return run.execute();
}

RunResult RunDriver::execute(const RunOptions& options, RunListener& listener, std::string_view source,
                             OutputStore& output)
{
    Run run(settings_, options, listener, RunMedia{source, &output});
    return run.execute();
}

}  // namespace drennix
