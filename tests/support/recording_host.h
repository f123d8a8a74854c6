// A RunListener for the engine tests: every notice of a run is kept, in
// order, as a readable event named after what the main window does with it
// ("clearResults", "showLineCount 100", "warning <text>", "row 3" ...); the
// messages, rows and output paths are kept, the 14 result fields mirror the
// main window, the moves and the RunResult are kept, and stopRequested
// answers from a script.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run_listener.h"

namespace drennix::testing {

struct ShownMessage {
    std::string text;
    MessageKind kind;
    bool operator==(const ShownMessage&) const = default;
};

struct RecordingHost : RunListener {
    int abortOnPoll = 0;  // stopRequested answers true on this call (1-based); 0 never
    bool listensToMoves = false;
    int polls = 0;
    std::vector<std::string> events;
    std::vector<ShownMessage> messages;
    std::vector<int> lineCounts;
    ResultTexts fields;                  // as the main window shows them after the run
    std::optional<ResultTexts> results;  // what the results notice held
    std::optional<AbsoluteRow> startRow;
    std::map<long long, AbsoluteRow> rows;
    std::vector<AbsoluteRow> listed;  // every row in the order told
    std::vector<std::string> outputPaths;
    std::vector<Move> moves;
    std::vector<PlannedMove> planned;
    std::optional<Estimate> estimate;
    std::optional<std::vector<ToolRow>> tools;  // the figures per tool, where told
    std::optional<RunResult> result;

    void runStarted() override { record("clearResults"), fields = {}; }
    void readingStarted(RunMode, const AbsoluteRow* start) override
    {
        if (start != nullptr) {
            record("openAbsoluteDisplay");
            record("startRow");
            startRow = *start;
        }
        record("beginWait");
    }
    void resultsReady(const ResultTexts& r) override { record("showResults"), fields = r, results = r; }
    void progress(long long count) override
    {
        record("showLineCount " + std::to_string(count));
        fields[ResultField::LineCount] = std::to_string(count);
        lineCounts.push_back(static_cast<int>(count));
    }
    void message(std::string_view text, MessageKind kind) override
    {
        record((kind == MessageKind::Warning ? "warning " : "information ") + std::string(text));
        messages.push_back({std::string(text), kind});
    }
    void workEnded() override { record("endWait"); }
    bool stopRequested() override
    {
        if (++polls != abortOnPoll) return false;
        record("escape");
        return true;
    }
    void row(long long line, const AbsoluteRow& row) override
    {
        record("row " + std::to_string(line));
        rows[line] = row;
        listed.push_back(row);
    }
    void listComplete() override { record("showAbsoluteDisplay"); }
    void outputCreated(std::string_view path) override { record("outputCreated"), outputPaths.emplace_back(path); }
    bool wantsMoves() const override { return listensToMoves; }
    void move(const Move& m) override { moves.push_back(m); }
    void plannedMove(const PlannedMove& m) override { planned.push_back(m); }
    void estimateReady(const Estimate& e) override { estimate = e; }
    void toolsReady(const std::vector<ToolRow>& rows) override { tools = rows; }
    void runFinished(const RunResult& r) override { result = r; }

    // The events without progress and rows, which long runs repeat.
    std::vector<std::string> outline() const
    {
        std::vector<std::string> kept;
        std::copy_if(events.begin(), events.end(), std::back_inserter(kept),
                     [](const std::string& e) { return !e.starts_with("showLineCount") && !e.starts_with("row "); });
        return kept;
    }
    int count(std::string_view event) const
    {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    const std::string& field(ResultField f) const { return fields[f]; }

private:
    void record(std::string event) { events.push_back(std::move(event)); }
};

}  // namespace drennix::testing
