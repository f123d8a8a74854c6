// The RunHost of a run on a worker thread. Every operation is handed to the
// user-interface thread as a queued call on `context`, so the calls reach the
// RunView in the order the run made them while the windows keep repainting.
// Only showMessage waits for the user; absolute display rows travel in
// batches. pollAbort reads a flag that the user-interface thread raises.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "run_host.h"
#include "run_view.h"

class QObject;

class RunHostBridge final : public drennix::RunHost {
public:
    // `context` lives on the user-interface thread; the queued calls run there.
    RunHostBridge(QObject* context, RunView& view);

    // User-interface thread.
    void prepareRun();        // a new run: no abort pending, calls delivered
    void requestAbort();      // the user pressed Escape
    void detach();            // the view is going away: drop further calls and
                              // release a run waiting for a message box

    // Worker thread: the run has returned.
    void finishRun();

    // drennix::RunHost, worker thread.
    void clearResults() override;
    void showResults(const drennix::ResultTexts& results) override;
    void showLineCount(int count) override;
    void showMessage(std::string_view text, drennix::MessageKind kind) override;
    void beginWait() override;
    void endWait() override;
    bool pollAbort() override;
    void openAbsoluteDisplay() override;
    void addStartRow(const drennix::AbsoluteRow& row) override;
    void addBlockRow(int lineNumber, const drennix::AbsoluteRow& row) override;
    void showAbsoluteDisplay() override;
    void outputCreated(std::string_view path) override;

    // Rows gathered before they travel to the view in one call.
    static constexpr std::size_t rowBatchSize = 512;

private:
    using ViewCall = std::function<void(RunView&)>;

    void post(ViewCall call);
    void postAndWait(ViewCall call);
    void flushRows();

    QObject* context_;
    RunView& view_;
    std::atomic<bool> abortRequested_{false};

    std::mutex mutex_;
    std::condition_variable delivered_;
    bool detached_ = false;

    std::vector<NumberedRow> pendingRows_;  // worker thread only
};
