// The run listener of the command line: it records what a run tells (its
// messages, the result fields, the absolute display rows) and hands SIGINT to
// the run as the Escape key.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "run_listener.h"
#include "toolpath_store.h"

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
};

class CliHost final : public RunListener {
public:
    using AbortRequest = std::function<bool()>;
    using MessageListener = std::function<void(const RunMessage&)>;

    // `abortRequested` is asked before every line; `onMessage` (optional)
    // sees every message as it is told.
    explicit CliHost(AbortRequest abortRequested, MessageListener onMessage = {});

    const RunRecord& record() const { return record_; }
    // Records the run's moves into `store` (for --plot); null records none.
    void recordMovesInto(toolpath::ToolpathStore* store) { toolpath_ = store; }

    void runStarted() override;
    void readingStarted(RunMode mode, const AbsoluteRow* startRow) override;
    void progress(long long lineCount) override;
    void row(long long lineNumber, const AbsoluteRow& row) override;
    void resultsReady(const ResultTexts& results) override;
    void message(std::string_view text, MessageKind kind) override;
    void runFinished(const RunResult& result) override;
    void move(const Move& move) override;
    bool wantsMoves() const override { return toolpath_ != nullptr; }
    bool stopRequested() override;

private:
    AbortRequest abortRequested_;
    MessageListener onMessage_;
    RunRecord record_;
    toolpath::ToolpathStore* toolpath_ = nullptr;
};

}  // namespace drennix::cli
