// The run listener of the command line: it records what a run tells (its
// messages, the result fields, the absolute display rows) and hands SIGINT to
// the run as the Escape key.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversion_check.h"
#include "run_listener.h"

namespace drennix::cli {

struct RunMessage {
    MessageKind kind = MessageKind::Warning;
    std::string text;
    bool operator==(const RunMessage&) const = default;
};

// What one run left for the user to see.
struct RunRecord {
    std::vector<RunMessage> messages;
    ResultTexts fields;
    std::vector<AbsoluteRow> rows;  // the rows of the latest absolute display
    std::optional<std::string> outputPath;
    // The machine's running time, when asked for and the run finished.
    std::optional<Estimate> estimate;
    RunResult result;
    // The check of the written program, after a converting run wrote one.
    std::optional<VerificationSummary> verification;
    // The figures per tool, where tool changes are read and the run finished.
    std::optional<std::vector<ToolRow>> tools;
};

class CliHost final : public RunListener {
public:
    using AbortRequest = bool (*)();
    using MessageListener = std::function<void(const RunMessage&)>;
    using MoveListener = std::function<void(const Move&)>;
    using PlannedMoveListener = std::function<void(const PlannedMove&)>;
    using WrittenBytesListener = std::function<void(std::string_view bytes, long long linesComplete)>;

    // `abortRequested` is asked before every line (see setStopSignal);
    // `onMessage` (optional) sees every message as it is told; `onMove`
    // (optional) every move, and without it the run builds no move notices.
    explicit CliHost(AbortRequest abortRequested, MessageListener onMessage = {}, MoveListener onMove = {});

    const RunRecord& record() const { return record_; }
    // A flag that is set whenever `abortRequested` may answer true: the run
    // then asks only while it is set.
    void setStopSignal(const std::atomic<bool>* signal) { stopSignal_ = signal; }
    void setVerification(const VerificationSummary& summary) { record_.verification = summary; }

    void runStarted() override;
    void readingStarted(RunMode mode, const AbsoluteRow* startRow) override;
    void progress(long long lineCount) override;
    void row(long long lineNumber, const AbsoluteRow& row) override;
    void resultsReady(const ResultTexts& results) override;
    void estimateReady(const Estimate& estimate) override;
    void toolsReady(const std::vector<ToolRow>& rows) override;
    void message(std::string_view text, MessageKind kind) override;
    void runFinished(const RunResult& result) override;
    bool stopRequested() override;
    const std::atomic<bool>* stopSignal() const override { return stopSignal_; }
    void move(const Move& move) override
    {
        if (onMove_) onMove_(move);
    }
    void plannedMove(const PlannedMove& move) override
    {
        if (onPlanned_) onPlanned_(move);
    }
    bool wantsMoves() const override { return onMove_ || onPlanned_; }
    void outputWritten(std::string_view bytes, long long linesComplete) override
    {
        if (onWritten_) onWritten_(bytes, linesComplete);
    }
    bool wantsWrittenBytes() const override { return static_cast<bool>(onWritten_); }
    void arcConverting(const Move& arc) override
    {
        if (onArc_) onArc_(arc);
    }
    void cycleExpanding(const CyclePlan& cycle) override
    {
        if (onCycle_) onCycle_(cycle);
    }
    // A converting run hands the bytes of its new program to `onWritten`,
    // each arc it converts, before the bytes of its cuts, to `onArc`, and
    // each cycle it writes as its moves, before them, to `onCycle`.
    using CycleListener = std::function<void(const CyclePlan&)>;
    void listenToWrittenBytes(WrittenBytesListener onWritten, MoveListener onArc, CycleListener onCycle)
    {
        onWritten_ = std::move(onWritten);
        onArc_ = std::move(onArc);
        onCycle_ = std::move(onCycle);
    }
    // A run that estimates hands each move with its time to `onPlanned`.
    void listenToPlannedMoves(PlannedMoveListener onPlanned) { onPlanned_ = std::move(onPlanned); }

private:
    AbortRequest abortRequested_;
    const std::atomic<bool>* stopSignal_ = nullptr;
    MessageListener onMessage_;
    MoveListener onMove_;
    PlannedMoveListener onPlanned_;
    WrittenBytesListener onWritten_;
    MoveListener onArc_;
    CycleListener onCycle_;
    RunRecord record_;
};

}  // namespace drennix::cli
