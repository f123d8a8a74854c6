// A run host that shows nothing: it keeps only how the run ended, its result
// texts and the file it created.
#pragma once

#include <string>
#include <string_view>

#include "run_host.h"

namespace drennix::bench {

class NullRunHost final : public RunHost {
public:
    void clearResults() override {}
    void showResults(const ResultTexts& results) override { results_ = results; }
    void showLineCount(int count) override { lineCount_ = count; }
    void showMessage(std::string_view text, MessageKind kind) override {
        lastMessage_ = text;
        lastKind_ = kind;
    }
    void beginWait() override {}
    void endWait() override {}
    bool pollAbort() override { return false; }
    void openAbsoluteDisplay() override {}
    void addStartRow(const AbsoluteRow&) override {}
    void addBlockRow(int, const AbsoluteRow&) override {}
    void showAbsoluteDisplay() override {}
    void outputCreated(std::string_view path) override { outputPath_ = path; }

    // A run ends well with an information message (計算しました。, を作成しました。).
    bool endedWell() const { return lastKind_ == MessageKind::Information; }
    const std::string& lastMessage() const { return lastMessage_; }
    const std::string& outputPath() const { return outputPath_; }
    int lineCount() const { return lineCount_; }
    const ResultTexts& results() const { return results_; }

private:
    ResultTexts results_;
    std::string lastMessage_;
    MessageKind lastKind_ = MessageKind::Warning;
    std::string outputPath_;
    int lineCount_ = 0;
};

}  // namespace drennix::bench
