// Whole runs of the engine on arbitrary bytes, and what must hold after each
// of them whatever the bytes were. The fuzzing entry point, the corpus replay
// and the harness's own tests share these.
//
// An input is one byte of run options followed by the source program:
// bits 0-1 the run mode, bits 2-4 the tolerance (see toleranceTable), bits
// 5-7 the decimal places (0 to 7).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check_alongside.h"
#include "output_store.h"
#include "run_listener.h"
#include "run_options.h"
#include "run_result.h"
#include "vocabulary.h"

namespace drennix::fuzzing {

inline constexpr std::array<double, 8> toleranceTable = {0.01, 0.001, 0.1, 1.0, 0.0001, 0.05, 0.5, 0.002};

// Longer sources are not run, so that no single input takes long.
inline constexpr std::size_t maxSourceBytes = std::size_t{64} * 1024;

// A converting run is stopped (as by Escape) once its new program holds more
// lines than this: a huge arc with a small tolerance would otherwise write
// millions of cuts for one input. The run asks every 4096 cuts, so a stopped
// run writes at most about 9000 lines, a few milliseconds under the
// sanitizers.
inline constexpr long long outputLineBudget = 5000;

// A converting run hands its new program on in blocks of this many lines,
// through a channel of one buffer, to the check beside it: the smallest room
// there can be, so that a wait of the run on the check, or of the check on
// the run, that either side may never end shows up as a hung input.
inline constexpr long long checkedBlockLines = 7;
inline constexpr std::size_t checkChannelBuffers = 1;

// The name the runs give their source; the new program is named after it.
inline constexpr std::string_view sourceName = "fuzz.nc";

struct FuzzCase {
    RunMode mode = RunMode::MachiningTime;
    double tolerance = 0.01;
    int decimals = 3;
    std::string_view source;
};

// The case an input stands for; nothing for an empty input or a source over
// maxSourceBytes.
std::optional<FuzzCase> decodeInput(const std::uint8_t* data, std::size_t size);

// The options byte of a case (tolerance index into toleranceTable).
std::uint8_t optionsByte(RunMode mode, int toleranceIndex, int decimals);

// True when `text` holds "inf" or "nan" in any case: a figure that is no
// number. For texts that never quote the source (messages, result fields,
// the numeric cells of the absolute list).
bool hasNonFiniteText(std::string_view text);

// The first line of a new program (the output bytes) in which a word of a
// letter that takes a number (G, X, Y, Z, I, J, K, R, F) has "inf" or "nan"
// as its number, comments left out; nothing when there is none. Source lines
// copied into the program may hold such letters only inside comments, since
// the parser refuses such a word anywhere else.
std::optional<std::string> nonFiniteOutputLine(std::string_view output, const CommandVocabulary& vocabulary);

// True when `output` is empty or every line of it ends with CR LF.
bool endsEveryLineWithCrLf(std::string_view output);

// The lines a run reads from `source`: those before the byte 0x1A, a final
// line end giving one more (empty) line, an empty source one line.
long long sourceLineCount(std::string_view source);

struct ToldMessage {
    std::string text;
    MessageKind kind = MessageKind::Information;
};

// What a run told its host, reduced to what the checks need. Counts are
// numbers of notices; the order matters only where a field says so.
struct RunRecord {
    int runStarted = 0;
    int readingStarted = 0;
    int startRows = 0;
    RunMode readingMode = RunMode::MachiningTime;
    std::vector<ToldMessage> messages;
    int resultsReady = 0;
    ResultTexts results;
    int outputCreated = 0;
    std::string outputCreatedPath;
    int listComplete = 0;
    int workEnded = 0;
    int runFinished = 0;
    RunResult finished;
    // Notices of any kind after runFinished.
    int afterFinished = 0;
    // Messages after workEnded, and notices other than messages, progress
    // and listComplete after it.
    int messagesAfterWorkEnded = 0;
    int workAfterWorkEnded = 0;
    // Notices before runStarted.
    int beforeStarted = 0;
    long long rows = 0;
    long long moves = 0;
    // The first thing wrong with a row or a move, as found when it was told.
    std::string rowProblem;
    std::string moveProblem;
    bool stopAsked = false;
};

// Records every notice of one run. A converting run is asked to stop once
// `budgetStore` holds more than outputLineBudget lines.
class RecordingListener final : public RunListener {
public:
    explicit RecordingListener(const OutputStore* budgetStore = nullptr, bool listensToMoves = false)
        : budgetStore_(budgetStore), listensToMoves_(listensToMoves)
    {}

    const RunRecord& record() const { return record_; }

    void runStarted() override;
    void readingStarted(RunMode mode, const AbsoluteRow* startRow) override;
    void progress(long long lineCount) override;
    void row(long long lineNumber, const AbsoluteRow& row) override;
    void move(const Move& move) override;
    void resultsReady(const ResultTexts& results) override;
    void message(std::string_view text, MessageKind kind) override;
    void outputCreated(std::string_view path) override;
    void listComplete() override;
    void workEnded() override;
    void runFinished(const RunResult& result) override;
    bool wantsMoves() const override { return listensToMoves_; }
    bool stopRequested() override;
    // A converting run's arcs and written bytes go to `check`.
    void checkBeside(CheckAlongside* check) { check_ = check; }
    bool wantsWrittenBytes() const override { return check_ != nullptr; }
    void arcConverting(const Move& arc) override;
    void cycleExpanding(const CyclePlan& cycle) override { check_->noteCycle(cycle); }
    void outputWritten(std::string_view bytes, long long linesComplete) override;

private:
    // Counts a notice against the order rules; `work` for notices that only
    // the work of a run may give.
    void notice(bool work);

    const OutputStore* budgetStore_;
    const bool listensToMoves_;
    CheckAlongside* check_ = nullptr;
    RunRecord record_;
};

// One run as the checks see it: the case, what the engine returned, what it
// told and what became of the output store.
struct ObservedRun {
    RunMode mode = RunMode::MachiningTime;
    std::string_view source;
    RunResult result;
    RunRecord record;
    bool published = false;
    std::string_view output;
    long long linesWritten = 0;
    // The check made beside a converting run that published its program.
    std::optional<VerificationResult> verification;
};

// Everything that must hold for any run on memory media with valid options;
// the first violation, or an empty text.
std::string checkRun(const ObservedRun& run, const Settings& settings);

// The figures of a converted program read again: a helical conversion
// leaves no helical arc, a conversion of every arc no arc at all. The
// violation, or an empty text.
std::string checkArcsLeft(RunMode mode, const ResultTexts& readAgain);

// True when no number of `source` has more than `decimals` digits after its
// point and every axis, centre and radius word has a point (or there are no
// decimals): the new program then writes every programmed point as the same
// double.
bool fitsTheNumberFormat(std::string_view source, int decimals);

// Runs the case and the runs that check it (the new program read again, the
// same source in machining-time mode where the figures must agree); the
// first violation, or an empty text.
std::string checkCase(const FuzzCase& fuzzCase);

// The whole runs that checkCase performed so far in this process.
long long runCount();

// The settings of a case's runs: the defaults with its decimal places.
Settings settingsFor(const FuzzCase& fuzzCase);

// A readable name of a run mode, for reports.
std::string_view modeName(RunMode mode);

}  // namespace drennix::fuzzing
