// A RunHost for the engine tests: every call of a run is kept, in order, as a
// readable event ("clearResults", "showLineCount 100", "warning <text>",
// "row 3" ...); the messages, rows and output paths are kept, the 14 result
// fields mirror the main window, and pollAbort answers from a script.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run_host.h"

namespace drennix::testing {

struct ShownMessage {
    std::string text;
    MessageKind kind;
    bool operator==(const ShownMessage&) const = default;
};

struct RecordingHost : RunHost {
    int abortOnPoll = 0;  // pollAbort answers true on this call (1-based); 0 never
    int polls = 0;
    std::vector<std::string> events;
    std::vector<ShownMessage> messages;
    std::vector<int> lineCounts;
    ResultTexts fields;                   // as the main window shows them after the run
    std::optional<ResultTexts> results;  // what showResults received
    std::optional<AbsoluteRow> startRow;
    std::map<int, AbsoluteRow> rows;
    std::vector<std::string> outputPaths;

    void clearResults() override { record("clearResults"), fields = {}; }
    void showResults(const ResultTexts& r) override { record("showResults"), fields = r, results = r; }
    void showLineCount(int count) override {
        record("showLineCount " + std::to_string(count));
        fields[ResultField::LineCount] = std::to_string(count);
        lineCounts.push_back(count);
    }
    void showMessage(std::string_view text, MessageKind kind) override {
        record((kind == MessageKind::Warning ? "warning " : "information ") + std::string(text));
        messages.push_back({std::string(text), kind});
    }
    void beginWait() override { record("beginWait"); }
    void endWait() override { record("endWait"); }
    bool pollAbort() override {
        if (++polls != abortOnPoll) return false;
        record("escape");
        return true;
    }
    void openAbsoluteDisplay() override { record("openAbsoluteDisplay"); }
    void addStartRow(const AbsoluteRow& row) override { record("startRow"), startRow = row; }
    void addBlockRow(int line, const AbsoluteRow& row) override {
        record("row " + std::to_string(line));
        rows[line] = row;
    }
    void showAbsoluteDisplay() override { record("showAbsoluteDisplay"); }
    void outputCreated(std::string_view path) override { record("outputCreated"), outputPaths.emplace_back(path); }

    // The events without progress and rows, which long runs repeat.
    std::vector<std::string> outline() const {
        std::vector<std::string> kept;
        std::copy_if(events.begin(), events.end(), std::back_inserter(kept), [](const std::string& e) {
            return !e.starts_with("showLineCount") && !e.starts_with("row ");
        });
        return kept;
    }
    int count(std::string_view event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }
    const std::string& field(ResultField f) const { return fields[f]; }

private:
    void record(std::string event) { events.push_back(std::move(event)); }
};

}  // namespace drennix::testing
