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
    RunResult result;
    // The check of the written program, after a converting run wrote one.
    std::optional<VerificationSummary> verification;
};

class CliHost final : public RunListener {
public:
    using AbortRequest = std::function<bool()>;
    using MessageListener = std::function<void(const RunMessage&)>;
    using MoveListener = std::function<void(const Move&)>;

    // `abortRequested` is asked before every line; `onMessage` (optional)
    // sees every message as it is told; `onMove` (optional) every move, and
    // without it the run builds no move notices.
    explicit CliHost(AbortRequest abortRequested, MessageListener onMessage = {}, MoveListener onMove = {});

    const RunRecord& record() const { return record_; }
    void setVerification(const VerificationSummary& summary) { record_.verification = summary; }

    void runStarted() override;
    void readingStarted(RunMode mode, const AbsoluteRow* startRow) override;
    void progress(long long lineCount) override;
    void row(long long lineNumber, const AbsoluteRow& row) override;
    void resultsReady(const ResultTexts& results) override;
    void message(std::string_view text, MessageKind kind) override;
    void runFinished(const RunResult& result) override;
    bool stopRequested() override;
    void move(const Move& move) override { onMove_(move); }
    bool wantsMoves() const override { return static_cast<bool>(onMove_); }

private:
    AbortRequest abortRequested_;
    MessageListener onMessage_;
    MoveListener onMove_;
    RunRecord record_;
};

}  // namespace drennix::cli
