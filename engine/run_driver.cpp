#include "run_driver.h"

#include "absolute_rows.h"
#include "block_rules.h"
#include "messages.h"
#include "motion.h"
#include "number_format.h"
#include "output_writer.h"
#include "results.h"
#include "run_state.h"
#include "segmentation.h"
#include "source_reader.h"
#include "tokenizer.h"

namespace drennix {

namespace {

// Progress is shown in the line count field every this many lines.
constexpr int progressInterval = 100;

// The driver's work on one run: the read loop, each line's stages, and the
// ways out.
class Run {
public:
    Run(const Settings& settings, const RunOptions& options, RunHost& host)
        : state_(settings, options), host_(host)
    {
        const Point3 initial{options.initialX, options.initialY, options.initialZ};
        state_.modal = startRun(settings.process, initial);
        state_.statistics = RunStatistics::startingAt(initial);
    }

    void execute();

private:
    bool checkInputs();
    bool openSource();
    // False when the line was rejected (its message is in state_.rejection).
    bool processLine(std::string_view line);
    void finishLine(std::string_view line);
    void storeSourceLine(std::string_view line);
    void abortRun();
    void endOfInput();
    void warn(std::string_view text) { host_.showMessage(text, MessageKind::Warning); }

    RunMode mode() const { return state_.options.runMode; }
    int decimals() const { return state_.decimalPlaces(); }
    Point3 initialPosition() const
    {
        return {state_.options.initialX, state_.options.initialY, state_.options.initialZ};
    }

    RunState state_;
    RunHost& host_;
    SourceReader reader_;
    CommentSplitter splitter_;
    std::string prefix_;
};

bool Run::checkInputs()
{
    // Hosts validate the settings before they allow a run; a host that did
    // not gets the validation's text rather than a run that cannot end
    // (an empty comment delimiter would never advance the comment scan).
    if (const auto fault = validateVocabulary(state_.settings)) {
        warn(*fault);
        return false;
    }
    const RunOptions& o = state_.options;
    if (o.tolerance <= 0) {
        warn(messages::toleranceOutOfRange);
        return false;
    }
    if (o.sourcePath.empty()) {
        warn(messages::noSourceSelected);
        return false;
    }
    if (o.suffix.empty()) {
        warn(messages::noSuffix);
        return false;
    }
    return true;
}

bool Run::openSource()
{
    switch (reader_.open(state_.options.sourcePath)) {
    case SourceReader::OpenResult::Missing:
        warn(messages::sourceMissing);
        return false;
    case SourceReader::OpenResult::OpenFailed:
        warn(messages::sourceOpenFailed);
        return false;
    case SourceReader::OpenResult::Opened:
        return true;
    }
    return false;
}

void Run::execute()
{
    host_.clearResults();
    if (!checkInputs() || !openSource()) {
        return;
    }
    if (mode() == RunMode::AbsoluteDisplay) {
        host_.openAbsoluteDisplay();
        host_.addStartRow(startRow(initialPosition(), decimals()));
    }
    host_.beginWait();

    int& lineNumber = state_.block.lineNumber;
    while (!reader_.atEnd()) {
        if (host_.pollAbort()) {
            warn(messages::escapeWhileReading);
            abortRun();
            return;
        }
        if (lineNumber % progressInterval == 0) {
            host_.showLineCount(lineNumber);
        }
        ++lineNumber;
        const std::string_view line = reader_.readSourceLine();
        if (reader_.failed()) {
            warn(composeLineMessage(lineNumber, messages::readError));
            abortRun();
            return;
        }
        if (!processLine(line)) {
            warn(state_.rejection);
            abortRun();
            return;
        }
        finishLine(line);
    }
    endOfInput();
}

bool Run::processLine(std::string_view line)
{
    CommentSplit split;
    if (splitter_.splitComments(state_, line, split) != 0) {
        return false;
    }
    resetBlock(state_);
    if (isBlankCode(split.codeText)) {
        return true;
    }
    if (tokenizeBlock(state_, split.codeText) != 0) {
        return false;
    }
    return interpretBlock(state_, split.codeText, split.commentText) == 0;
}

void Run::finishLine(std::string_view line)
{
    const NcBlock& block = state_.block;
    closeBlock(block, state_.modal, state_.settings.process.rapidSpeed, state_.statistics);
    if (mode() == RunMode::AbsoluteDisplay) {
        if (block.lineNumber <= state_.settings.process.absoluteDisplayRows) {
            host_.addBlockRow(block.lineNumber,
                              blockRow(block.lineNumber, line, block, state_.modal, state_.arc, decimals()));
        }
    } else if (isConverting(mode())) {
        if (block.conversionMark < 1) {
            storeSourceLine(line);
        } else {
            ++state_.convertedBlockCount;
        }
    }
}

// A line that follows a converted arc and relies on the modal arc motion gets
// the arc's G-code in front, because the generated lines left the machine in
// linear motion.
void Run::storeSourceLine(std::string_view line)
{
    prefix_.clear();
    ModalState& modal = state_.modal;
    if (modal.motionReinsertion == 2) {
        const CommandVocabulary& v = state_.vocabulary();
        prefix_ += v.gCodeLetter;
        appendCodeNumber(prefix_, modal.motion == ClockwiseArc ? v.cwArcCode : v.ccwArcCode, decimals());
        modal.motionReinsertion = 0;
    }
    state_.programLines.append(prefix_, line);
}

void Run::abortRun()
{
    if (!reader_.close()) {
        warn(messages::sourceCloseFailedOnAbort);
    }
    state_.programLines.clear();
    host_.endWait();
    if (mode() == RunMode::AbsoluteDisplay) {
        host_.showAbsoluteDisplay();
    }
    host_.showLineCount(state_.block.lineNumber);
}

void Run::endOfInput()
{
    host_.showResults(formatResults(state_.block.lineNumber, state_.statistics, decimals()));
    if (!reader_.close()) {
        warn(messages::sourceCloseFailed);
        state_.programLines.clear();
        host_.endWait();
        return;
    }
    if (!isConverting(mode())) {
        if (mode() == RunMode::AbsoluteDisplay) {
            host_.showAbsoluteDisplay();
        }
        host_.showMessage(messages::calculated, MessageKind::Information);
        state_.programLines.clear();
        host_.endWait();
        return;
    }
    if (state_.convertedBlockCount < 1) {
        host_.showMessage(messages::nothingConverted, MessageKind::Information);
        state_.programLines.clear();
        host_.endWait();
        return;
    }
    writeOutputFile(state_.programLines, state_.options.sourcePath, state_.options.suffix, host_);
}

}  // namespace

std::string composeLineMessage(int lineNumber, std::string_view text)
{
    std::string message = "元ﾌｧｲﾙの";
    appendInteger(message, lineNumber);
    message += text;
    return message;
}

void RunDriver::execute(const RunOptions& options, RunHost& host)
{
    Run run(settings_, options, host);
    run.execute();
}

}  // namespace drennix
