#include "run_host_bridge.h"

#include <memory>
#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QString>

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

RunHostBridge::RunHostBridge(QObject* context, RunView& view) : context_(context), view_(view) {}

void RunHostBridge::prepareRun()
{
    abortRequested_.store(false);
    pendingRows_.clear();
    pendingCount_ = -1;
    countShownAt_ = {};
    stopTold_ = false;
}

void RunHostBridge::requestAbort()
{
    abortRequested_.store(true);
}

void RunHostBridge::detach()
{
    {
        const std::lock_guard lock(mutex_);
        detached_ = true;
    }
    abortRequested_.store(true);
    delivered_.notify_all();
}

bool RunHostBridge::isDetached()
{
    const std::lock_guard lock(mutex_);
    return detached_;
}

void RunHostBridge::post(ViewCall call)
{
    const std::lock_guard lock(mutex_);
    if (detached_) return;
    QMetaObject::invokeMethod(
        context_,
        [this, call = std::move(call)] {
            {
                const std::lock_guard guard(mutex_);
                if (detached_) return;
            }
            call(view_);
        },
        Qt::QueuedConnection);
}

void RunHostBridge::postAndWait(ViewCall call)
{
    auto done = std::make_shared<bool>(false);
    std::unique_lock lock(mutex_);
    if (detached_) return;
    QMetaObject::invokeMethod(
        context_,
        [this, call = std::move(call), done] {
            {
                const std::lock_guard guard(mutex_);
                if (detached_) return;
            }
            call(view_);
            {
                const std::lock_guard guard(mutex_);
                *done = true;
            }
            delivered_.notify_all();
        },
        Qt::QueuedConnection);
    delivered_.wait(lock, [&] { return *done || detached_; });
}

void RunHostBridge::flushRows()
{
    if (pendingRows_.empty()) return;
    std::vector<NumberedRow> rows;
    rows.swap(pendingRows_);
    post([rows = std::move(rows)](RunView& view) mutable { view.addBlockRows(std::move(rows)); });
}

void RunHostBridge::flushProgress()
{
    if (pendingCount_ < 0) return;
    countShownAt_ = std::chrono::steady_clock::now();
    post([count = pendingCount_](RunView& view) { view.showLineCount(count); });
    pendingCount_ = -1;
}

void RunHostBridge::flushPending()
{
    flushRows();
    flushProgress();
}

void RunHostBridge::finishRun()
{
    flushPending();
    post([](RunView& view) { view.runEnded(); });
}

void RunHostBridge::deliverToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run)
{
    post([run = std::move(run)](RunView& view) { view.showToolpath(run); });
}

void RunHostBridge::runStarted()
{
    flushPending();
    post([](RunView& view) { view.clearResults(); });
}

// A new list opens hidden with its start row before the wait begins.
void RunHostBridge::readingStarted(drennix::RunMode, const drennix::AbsoluteRow* startRow)
{
    flushPending();
    if (startRow != nullptr) {
        post([row = *startRow](RunView& view) {
            view.openAbsoluteDisplay();
            view.addStartRow(row);
        });
    }
    post([](RunView& view) { view.beginWait(); });
}

void RunHostBridge::resultsReady(const drennix::ResultTexts& results)
{
    flushPending();
    post([results](RunView& view) { view.showResults(results); });
}

void RunHostBridge::estimateReady(const drennix::Estimate& estimate)
{
    post([estimate](RunView& view) { view.showEstimate(estimate); });
}

// The table's texts are made here, off the interface thread: a program with
// many tool changes makes many rows.
void RunHostBridge::toolsReady(const std::vector<drennix::ToolRow>& rows)
{
    flushPending();
    std::shared_ptr<const ToolTable> tools =
        std::make_shared<const ToolTable>(makeToolTable(rows, toolDecimals_, toolsWithEstimate_));
    post([tools = std::move(tools)](RunView& view) { view.showTools(tools); });
}

// Progress touches only the main window, so it does not wait for the rows.
// A count every few lines would flood the event queue; the latest one is
// kept and shown when the interval has passed or another notice comes.
void RunHostBridge::progress(long long count)
{
    pendingCount_ = count;
    if (std::chrono::steady_clock::now() - countShownAt_ >= progressInterval) flushProgress();
}

void RunHostBridge::message(std::string_view text, drennix::MessageKind kind)
{
    flushPending();
    postAndWait([message = fromUtf8(text), kind](RunView& view) { view.showMessage(message, kind); });
}

void RunHostBridge::workEnded()
{
    flushPending();
    post([](RunView& view) { view.endWait(); });
}

bool RunHostBridge::stopRequested()
{
    // Asked once a line: a read that finds nothing writes nothing.
    const bool stop = abortRequested_.load(std::memory_order_relaxed) && abortRequested_.exchange(false);
    stopTold_ = stopTold_ || stop;
    return stop;
}

void RunHostBridge::row(long long lineNumber, const drennix::AbsoluteRow& row)
{
    pendingRows_.push_back(NumberedRow{lineNumber, row});
    if (pendingRows_.size() >= rowBatchSize) flushRows();
}

// A list ends complete also when the user stopped the run; it is then dropped.
void RunHostBridge::listComplete()
{
    flushPending();
    if (stopTold_) {
        post([](RunView& view) { view.discardAbsoluteDisplay(); });
    } else {
        post([](RunView& view) { view.showAbsoluteDisplay(); });
    }
}

void RunHostBridge::outputCreated(std::string_view path)
{
    flushPending();
    post([created = fromUtf8(path)](RunView& view) { view.outputCreated(created); });
}
