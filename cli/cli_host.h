// The run host of the command line: it records everything a run shows (its
// messages, the result fields, the absolute display rows, the output file)
// and turns SIGINT into the Escape key.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "run_host.h"

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
};

class CliHost final : public RunHost {
public:
    using AbortRequest = std::function<bool()>;
    using MessageListener = std::function<void(const RunMessage&)>;

    // `abortRequested` is polled before every line; `onMessage` (optional)
    // sees every message as it is shown.
    explicit CliHost(AbortRequest abortRequested, MessageListener onMessage = {});

    const RunRecord& record() const { return record_; }

    void clearResults() override;
    void showResults(const ResultTexts& results) override;
    void showLineCount(int count) override;
    void showMessage(std::string_view text, MessageKind kind) override;
    void beginWait() override {}
    void endWait() override {}
    bool pollAbort() override;

    void openAbsoluteDisplay() override;
    void addStartRow(const AbsoluteRow& row) override;
    void addBlockRow(int lineNumber, const AbsoluteRow& row) override;
    void showAbsoluteDisplay() override {}

    void outputCreated(std::string_view path) override;

private:
    AbortRequest abortRequested_;
    MessageListener onMessage_;
    RunRecord record_;
};

}  // namespace drennix::cli
