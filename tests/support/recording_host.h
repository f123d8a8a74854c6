// A RunHost for the engine tests: it keeps every call of a run, in order, as
// a readable event ("clearResults", "showLineCount 100", "warning <text>",
// "row 3" ...), keeps the messages, rows and output paths, mirrors the 14
// result fields as the main window would show them, and answers pollAbort
// from a script.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run_host.h"

namespace drennix::testing {

struct ShownMessage {
    std::string text;
    MessageKind kind;
    bool operator==(const ShownMessage&) const = default;
};

class RecordingHost : public RunHost {
public:
    // pollAbort answers true on its `callNumber`-th call (1-based) and on no
    // other; 0 means never.
    void abortOnPoll(int callNumber) { abortOnPoll_ = callNumber; }

    void clearResults() override {
        record("clearResults");
        fields_ = ResultTexts{};
    }
    void showResults(const ResultTexts& results) override {
        record("showResults");
        fields_ = results;
        shownResults_ = results;
    }
    void showLineCount(int count) override {
        record("showLineCount " + std::to_string(count));
        fields_[ResultField::LineCount] = std::to_string(count);
        lineCounts_.push_back(count);
    }
    void showMessage(std::string_view text, MessageKind kind) override {
        const char* kindName = kind == MessageKind::Warning ? "warning " : "information ";
        record(kindName + std::string(text));
        messages_.push_back({std::string(text), kind});
    }
    void beginWait() override { record("beginWait"); }
    void endWait() override { record("endWait"); }
    bool pollAbort() override {
        ++polls_;
        if (polls_ != abortOnPoll_) return false;
        record("escape");
        return true;
    }
    void openAbsoluteDisplay() override { record("openAbsoluteDisplay"); }
    void addStartRow(const AbsoluteRow& row) override {
        record("startRow");
        startRow_ = row;
    }
    void addBlockRow(int lineNumber, const AbsoluteRow& row) override {
        record("row " + std::to_string(lineNumber));
        rows_.emplace_back(lineNumber, row);
    }
    void showAbsoluteDisplay() override { record("showAbsoluteDisplay"); }
    void outputCreated(std::string_view path) override {
        record("outputCreated");
        outputPaths_.emplace_back(path);
    }

    const std::vector<std::string>& events() const { return events_; }
    // The events without the progress and row calls, which long runs repeat.
    std::vector<std::string> outline() const {
        std::vector<std::string> kept;
        for (const auto& e : events_)
            if (!e.starts_with("showLineCount") && !e.starts_with("row ")) kept.push_back(e);
        return kept;
    }
    int countOf(std::string_view event) const {
        return static_cast<int>(std::count(events_.begin(), events_.end(), event));
    }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    // The text of the last message, or "" when none was shown.
    std::string lastMessage() const { return messages_.empty() ? "" : messages_.back().text; }
    const std::vector<int>& lineCounts() const { return lineCounts_; }
    int pollCount() const { return polls_; }

    // The result fields as the main window shows them after the run.
    const ResultTexts& fields() const { return fields_; }
    const std::string& field(ResultField f) const { return fields_[f]; }
    const std::optional<ResultTexts>& shownResults() const { return shownResults_; }

    const std::optional<AbsoluteRow>& startRow() const { return startRow_; }
    const std::vector<std::pair<int, AbsoluteRow>>& rows() const { return rows_; }
    // The row of `lineNumber`; an empty row when there is none.
    AbsoluteRow row(int lineNumber) const {
        for (const auto& [n, r] : rows_)
            if (n == lineNumber) return r;
        return {};
    }
    const std::vector<std::string>& outputPaths() const { return outputPaths_; }

private:
    void record(std::string event) { events_.push_back(std::move(event)); }

    int abortOnPoll_ = 0;
    int polls_ = 0;
    std::vector<std::string> events_;
    std::vector<ShownMessage> messages_;
    std::vector<int> lineCounts_;
    ResultTexts fields_;
    std::optional<ResultTexts> shownResults_;
    std::optional<AbsoluteRow> startRow_;
    std::vector<std::pair<int, AbsoluteRow>> rows_;
    std::vector<std::string> outputPaths_;
};

}  // namespace drennix::testing
