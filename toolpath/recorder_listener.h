// A run's listener that does nothing but record the run for the toolpath:
// every move, planned move, converted arc and written byte handed to a
// ToolpathRecorder, as the desktop program's bridge does beside its other
// notices. For the benchmarks and the tests that record a run on its own.
#pragma once

#include <string_view>

#include "run_listener.h"
#include "toolpath_recorder.h"

namespace drennix::toolpath {

class RecorderListener final : public RunListener {
public:
    explicit RecorderListener(ToolpathRecorder& recorder) : recorder_(recorder) {}

    void move(const Move& move) override { recorder_.record(move); }
    void plannedMove(const PlannedMove& move) override { recorder_.recordPlanned(move); }
    void arcConverting(const Move& arc) override { recorder_.recordConverting(arc); }
    void outputWritten(std::string_view bytes, long long linesComplete) override
    {
        recorder_.recordWritten(bytes, linesComplete);
    }
    bool wantsMoves() const override { return true; }
    bool wantsWrittenBytes() const override { return recorder_.wantsWrittenBytes(); }

private:
    ToolpathRecorder& recorder_;
};

}  // namespace drennix::toolpath
