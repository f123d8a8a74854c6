// A run listener that shows nothing: it keeps how the run ended, its result
// texts and the last message (to explain a run that did not finish).
#pragma once

#include <string>
#include <string_view>

#include "run_listener.h"

namespace drennix::bench {

class NullRunHost final : public RunListener {
public:
    void resultsReady(const ResultTexts& results) override { results_ = results; }
    void progress(long long count) override { lineCount_ = count; }
    void message(std::string_view text, MessageKind) override { lastMessage_ = text; }
    void runFinished(const RunResult& result) override { result_ = result; }

    bool endedWell() const { return result_.finished(); }
    const std::string& lastMessage() const { return lastMessage_; }
    std::string outputPath() const { return result_.outputPath.value_or(std::string()); }
    long long lineCount() const { return lineCount_; }
    const ResultTexts& results() const { return results_; }

private:
    ResultTexts results_;
    RunResult result_;
    std::string lastMessage_;
    long long lineCount_ = 0;
};

}  // namespace drennix::bench
