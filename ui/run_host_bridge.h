// The RunListener of a run on a worker thread. Every notice is handed to the
// user-interface thread as a queued call on `context`, turned into what the
// windows do with it (RunView), so the calls reach the view in the order the
// run told them while the windows keep repainting. Only a message waits for
// the user; absolute display rows travel in batches, and the line count at
// most every progressInterval (always the latest, and the last one before
// anything else the run tells). stopRequested reads a flag that the
// user-interface thread raises.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "run_listener.h"
#include "run_view.h"
#include "toolpath_recorder.h"

class QObject;

class RunHostBridge final : public drennix::RunListener {
public:
    // `context` lives on the user-interface thread; the queued calls run there.
    RunHostBridge(QObject* context, RunView& view);

    // User-interface thread.
    void prepareRun();    // a new run: no abort pending, calls delivered
    void requestAbort();  // the user pressed Escape
    void detach();        // the view is going away: drop further calls and
                          // release a run waiting for a message box
    bool isDetached();    // any thread

    // Worker thread: the run has returned.
    void finishRun();
    // Worker thread: the run's moves go to `recorder` (null: the run builds
    // no move notices), and the finished record to the view.
    void recordMovesWith(drennix::toolpath::ToolpathRecorder* recorder) { recorder_ = recorder; }
    void deliverToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run);
    // Before the run: the number format of the table of the figures per tool
    // and whether it has the estimate's column filled.
    void setToolTableForm(int decimals, bool withEstimate)
    {
        toolDecimals_ = decimals;
        toolsWithEstimate_ = withEstimate;
    }

    // drennix::RunListener, worker thread.
    void runStarted() override;
    void readingStarted(drennix::RunMode mode, const drennix::AbsoluteRow* startRow) override;
    void progress(long long lineCount) override;
    void row(long long lineNumber, const drennix::AbsoluteRow& row) override;
    void resultsReady(const drennix::ResultTexts& results) override;
    void estimateReady(const drennix::Estimate& estimate) override;
    void toolsReady(const std::vector<drennix::ToolRow>& rows) override;
    void message(std::string_view text, drennix::MessageKind kind) override;
    void outputCreated(std::string_view path) override;
    void listComplete() override;
    void workEnded() override;
    void move(const drennix::Move& move) override { recorder_->record(move); }
    void plannedMove(const drennix::PlannedMove& move) override { recorder_->recordPlanned(move); }
    bool wantsMoves() const override { return recorder_ != nullptr; }
    void outputWritten(std::string_view bytes, long long linesComplete) override
    {
        recorder_->recordWritten(bytes, linesComplete);
    }
    bool wantsWrittenBytes() const override { return recorder_ != nullptr && recorder_->wantsWrittenBytes(); }
    void arcConverting(const drennix::Move& arc) override { recorder_->recordConverting(arc); }
    void cycleExpanding(const drennix::CyclePlan& cycle) override { recorder_->recordExpanding(cycle); }
    bool stopRequested() override;
    const std::atomic<bool>* stopSignal() const override { return &abortRequested_; }

    // Rows gathered before they travel to the view in one call.
    static constexpr std::size_t rowBatchSize = 512;
    // The shortest time between two line counts shown during a run.
    static constexpr std::chrono::milliseconds progressInterval{50};

private:
    using ViewCall = std::function<void(RunView&)>;

    void post(ViewCall call);
    void postAndWait(ViewCall call);
    void flushRows();
    void flushProgress();
    // Rows and the line count held back, before any other notice.
    void flushPending();

    QObject* context_;
    RunView& view_;
    std::atomic<bool> abortRequested_{false};

    std::mutex mutex_;
    std::condition_variable delivered_;
    bool detached_ = false;

    // Worker thread only.
    std::vector<NumberedRow> pendingRows_;
    long long pendingCount_ = -1;  // not yet shown; -1: none
    std::chrono::steady_clock::time_point countShownAt_{};
    drennix::toolpath::ToolpathRecorder* recorder_ = nullptr;
    // The run has been told to stop (stopRequested answered true).
    bool stopTold_ = false;
    int toolDecimals_ = 3;
    bool toolsWithEstimate_ = false;
};
