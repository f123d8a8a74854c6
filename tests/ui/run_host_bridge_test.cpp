// The worker-thread RunHost: calls reach the view on the user-interface
// thread in the run's order, rows travel in batches, a message holds the run
// until it is dismissed, and Escape reaches pollAbort once.
#include <QtTest>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "run_host_bridge.h"

namespace {

drennix::AbsoluteRow rowFor(int lineNumber) {
    drennix::AbsoluteRow row;
    row.cells[0] = std::to_string(lineNumber);
    return row;
}

// Records each call as a word; rows as their count and their line numbers.
class RecordingView final : public RunView {
public:
    void clearResults() override { calls.append("clearResults"); }
    void showResults(const drennix::ResultTexts& results) override {
        calls.append("showResults:" + QString::fromStdString(results[drennix::ResultField::LineCount]));
    }
    void showLineCount(int count) override { calls.append(QStringLiteral("showLineCount:%1").arg(count)); }
    void showMessage(const QString& text, drennix::MessageKind) override {
        calls.append("showMessage:" + text);
        rowsWhenMessageShown = static_cast<int>(lineNumbers.size());
        if (whileShown) whileShown();
    }
    void beginWait() override { calls.append("beginWait"); }
    void endWait() override { calls.append("endWait"); }
    void openAbsoluteDisplay() override { calls.append("openAbsoluteDisplay"); }
    void addStartRow(const drennix::AbsoluteRow& row) override {
        calls.append("addStartRow:" + QString::fromStdString(row.cells[0]));
    }
    void addBlockRows(std::vector<NumberedRow> rows) override {
        largestBatch = std::max(largestBatch, rows.size());
        for (const NumberedRow& row : rows) {
            if (row.row != rowFor(row.lineNumber)) rowsIntact = false;
            lineNumbers.push_back(row.lineNumber);
        }
        if (calls.isEmpty() || calls.last() != "rows") calls.append("rows");
    }
    void showAbsoluteDisplay() override { calls.append("showAbsoluteDisplay"); }
    void outputCreated(const QString& path) override { calls.append("outputCreated:" + path); }
    void runEnded() override { calls.append("runEnded"); }

    QStringList calls;
    std::vector<int> lineNumbers;
    std::size_t largestBatch = 0;
    bool rowsIntact = true;
    int rowsWhenMessageShown = -1;
    std::function<void()> whileShown;
};

drennix::ResultTexts resultsWithLineCount(int count) {
    drennix::ResultTexts results;
    results.texts[static_cast<std::size_t>(drennix::ResultField::LineCount)] = std::to_string(count);
    return results;
}

bool ended(const RecordingView& view) { return !view.calls.isEmpty() && view.calls.last() == "runEnded"; }

}  // namespace

class RunHostBridgeTest : public QObject {
    Q_OBJECT

private slots:
    void deliversCallsInOrder();
    void sendsRowsInBatchesBeforeTheNextCall();
    void holdsTheRunWhileAMessageIsOpen();
    void reportsEscapeOncePerPress();
    void releasesAWaitingRunWhenDetached();
};

void RunHostBridgeTest::deliversCallsInOrder() {
    QObject context;
    RecordingView view;
    RunHostBridge bridge(&context, view);
    bridge.prepareRun();
    const drennix::ResultTexts results = resultsWithLineCount(12);
    std::thread worker([&] {
        bridge.clearResults();
        bridge.beginWait();
        bridge.showLineCount(0);
        bridge.showResults(results);
        bridge.outputCreated("/tmp/a_con.nc");
        bridge.showMessage("計算しました。", drennix::MessageKind::Information);
        bridge.endWait();
        bridge.finishRun();
    });
    QTRY_VERIFY_WITH_TIMEOUT(ended(view), 10000);
    worker.join();
    const QStringList expected = {"clearResults", "beginWait", "showLineCount:0", "showResults:12",
                                  "outputCreated:/tmp/a_con.nc", QString::fromUtf8("showMessage:計算しました。"),
                                  "endWait", "runEnded"};
    QCOMPARE(view.calls, expected);
}

void RunHostBridgeTest::sendsRowsInBatchesBeforeTheNextCall() {
    QObject context;
    RecordingView view;
    RunHostBridge bridge(&context, view);
    bridge.prepareRun();
    constexpr int rowCount = 1500;
    std::thread worker([&] {
        bridge.openAbsoluteDisplay();
        bridge.addStartRow(rowFor(0));
        for (int line = 1; line <= rowCount; ++line) bridge.addBlockRow(line, rowFor(line));
        bridge.showMessage("stop", drennix::MessageKind::Warning);
        bridge.showAbsoluteDisplay();
        bridge.finishRun();
    });
    QTRY_VERIFY_WITH_TIMEOUT(ended(view), 10000);
    worker.join();

    const QStringList expected = {"openAbsoluteDisplay", "addStartRow:0", "rows", "showMessage:stop",
                                  "showAbsoluteDisplay", "runEnded"};
    QCOMPARE(view.calls, expected);
    QCOMPARE(view.rowsWhenMessageShown, rowCount);
    QCOMPARE(static_cast<int>(view.lineNumbers.size()), rowCount);
    for (int i = 0; i < rowCount; ++i) QCOMPARE(view.lineNumbers[static_cast<std::size_t>(i)], i + 1);
    QVERIFY(view.rowsIntact);
    QVERIFY(view.largestBatch > 1);
    QVERIFY(view.largestBatch <= RunHostBridge::rowBatchSize);
}

void RunHostBridgeTest::holdsTheRunWhileAMessageIsOpen() {
    QObject context;
    RecordingView view;
    RunHostBridge bridge(&context, view);
    bridge.prepareRun();
    std::atomic<bool> pastMessage{false};
    bool heldWhileShown = false;
    view.whileShown = [&] {
        // Give the worker every chance to run ahead; it must not.
        QTest::qWait(50);
        heldWhileShown = !pastMessage.load();
    };
    std::thread worker([&] {
        bridge.showMessage("wait", drennix::MessageKind::Warning);
        pastMessage.store(true);
        bridge.finishRun();
    });
    QTRY_VERIFY_WITH_TIMEOUT(ended(view), 10000);
    worker.join();
    QVERIFY(heldWhileShown);
    QVERIFY(pastMessage.load());
}

void RunHostBridgeTest::reportsEscapeOncePerPress() {
    QObject context;
    RecordingView view;
    RunHostBridge bridge(&context, view);
    bridge.prepareRun();
    QVERIFY(!bridge.pollAbort());
    bridge.requestAbort();
    QVERIFY(bridge.pollAbort());
    QVERIFY(!bridge.pollAbort());
    bridge.requestAbort();
    bridge.prepareRun();
    QVERIFY(!bridge.pollAbort());
}

// A window that goes away while its run waits for a message must not leave
// the run waiting for ever.
void RunHostBridgeTest::releasesAWaitingRunWhenDetached() {
    QObject context;
    RecordingView view;
    RunHostBridge bridge(&context, view);
    bridge.prepareRun();
    std::promise<bool> returned;
    std::future<bool> result = returned.get_future();
    std::thread worker([&] {
        bridge.showMessage("never shown", drennix::MessageKind::Warning);
        returned.set_value(bridge.pollAbort());
    });
    // No events are processed here, so the message is never delivered.
    QCOMPARE(result.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    bridge.detach();
    QCOMPARE(result.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    worker.join();
    QVERIFY2(result.get(), "a detached run is asked to stop");
    QCoreApplication::processEvents();
    QVERIFY(view.calls.isEmpty());
}

QTEST_MAIN(RunHostBridgeTest)
#include "run_host_bridge_test.moc"
