// The worker-thread RunListener: notices reach the view on the user-interface
// thread in the run's order, rows travel in batches, a message holds the run
// until it is dismissed, and Escape reaches pollAbort once.
#include <QtTest>

#include <atomic>
#include <chrono>
#include <future>
#include <numeric>
#include <thread>

#include "run_host_bridge.h"

namespace {

drennix::AbsoluteRow rowFor(int lineNumber)
{
    drennix::AbsoluteRow row;
    row.cells[0] = std::to_string(lineNumber);
    return row;
}

// Records each call as a word; a run of row batches as one "rows".
class RecordingView final : public RunView {
public:
    void clearResults() override { calls.append("clearResults"); }
    void showResults(const drennix::ResultTexts& results) override
    {
        calls.append("showResults:" + QString::fromStdString(results[drennix::ResultField::LineCount]));
    }
    void showLineCount(long long count) override { calls.append(QStringLiteral("showLineCount:%1").arg(count)); }
    void showMessage(const QString& text, drennix::MessageKind) override
    {
        calls.append("showMessage:" + text);
        rowsWhenMessageShown = static_cast<int>(lineNumbers.size());
        if (whileShown) whileShown();
    }
    void beginWait() override { calls.append("beginWait"); }
    void endWait() override { calls.append("endWait"); }
    void openAbsoluteDisplay() override { calls.append("openAbsoluteDisplay"); }
    void addStartRow(const drennix::AbsoluteRow& row) override
    {
        calls.append("addStartRow:" + QString::fromStdString(row.cells[0]));
    }
    void addBlockRows(std::vector<NumberedRow> rows) override
    {
        largestBatch = std::max(largestBatch, rows.size());
        // A row that lost its content is recorded as -1.
        for (const NumberedRow& row : rows) {
            const int line = static_cast<int>(row.lineNumber);
            lineNumbers.push_back(row.row == rowFor(line) ? line : -1);
        }
        if (calls.isEmpty() || calls.last() != "rows") calls.append("rows");
    }
    void showAbsoluteDisplay() override { calls.append("showAbsoluteDisplay"); }
    void discardAbsoluteDisplay() override { calls.append("discardAbsoluteDisplay"); }
    void outputCreated(const QString& path) override { calls.append("outputCreated:" + path); }
    // With the cutting distance of the table's last line, the whole.
    void showTools(std::shared_ptr<const ToolTable> table) override
    {
        calls.append("showTools:" + QString::fromStdString(table->texts.back()[3]));
        tools = std::move(table);
    }
    void runEnded() override { calls.append("runEnded"); }

    QStringList calls;
    std::vector<int> lineNumbers;
    std::size_t largestBatch = 0;
    int rowsWhenMessageShown = -1;
    std::function<void()> whileShown;
    std::shared_ptr<const ToolTable> tools;
};

drennix::ToolRow toolRow(int tool, double cutting, double seconds)
{
    drennix::ToolRow row;
    row.tool = tool;
    row.cuttingDistance = cutting;
    row.estimateSeconds = seconds;
    return row;
}

struct Fixture {
    Fixture() { bridge.prepareRun(); }

    // Runs `run` on a worker thread, as a run does, and waits for its end.
    void runOnWorker(const std::function<void()>& run)
    {
        std::thread worker([&] {
            run();
            bridge.finishRun();
        });
        QTRY_VERIFY_WITH_TIMEOUT(!view.calls.isEmpty() && view.calls.last() == "runEnded", 10000);
        worker.join();
    }

    QObject context;
    RecordingView view;
    RunHostBridge bridge{&context, view};
};

}  // namespace

class RunHostBridgeTest : public QObject {
    Q_OBJECT

private slots:
    // 1500 rows reach the view in batches, all before the message that follows.
    void deliversCallsInOrderWithRowsInBatches()
    {
        Fixture f;
        constexpr int rowCount = 1500;
        f.runOnWorker([&] {
            f.bridge.runStarted();
            const drennix::AbsoluteRow start = rowFor(0);
            f.bridge.readingStarted(drennix::RunMode::AbsoluteDisplay, &start);
            f.bridge.progress(0);
            for (int line = 1; line <= rowCount; ++line)
                f.bridge.row(line, rowFor(line));
            drennix::ResultTexts results;
            results[drennix::ResultField::LineCount] = std::to_string(12);
            f.bridge.resultsReady(results);
            f.bridge.outputCreated("/tmp/a_con.nc");
            f.bridge.message("計算しました。", drennix::MessageKind::Information);
            f.bridge.listComplete();
            f.bridge.workEnded();
        });
        const QStringList expected = {"clearResults",
                                      "openAbsoluteDisplay",
                                      "addStartRow:0",
                                      "beginWait",
                                      "showLineCount:0",
                                      "rows",
                                      "showResults:12",
                                      "outputCreated:/tmp/a_con.nc",
                                      QString::fromUtf8("showMessage:計算しました。"),
                                      "showAbsoluteDisplay",
                                      "endWait",
                                      "runEnded"};
        QCOMPARE(f.view.calls, expected);
        QCOMPARE(f.view.rowsWhenMessageShown, rowCount);
        std::vector<int> lineNumbers(rowCount);
        std::iota(lineNumbers.begin(), lineNumbers.end(), 1);
        QCOMPARE(f.view.lineNumbers, lineNumbers);
        QVERIFY(f.view.largestBatch > 1);
        QVERIFY(f.view.largestBatch <= RunHostBridge::rowBatchSize);
    }

    // A run tells its count every few lines; the view gets it at most every
    // progressInterval, the first at once and the latest before the results.
    void showsTheLatestLineCountAtIntervals()
    {
        Fixture f;
        constexpr long long lastCount = 3000000;
        const auto start = std::chrono::steady_clock::now();
        f.runOnWorker([&] {
            for (long long count = 0; count <= lastCount; count += 100)
                f.bridge.progress(count);
            f.bridge.resultsReady(drennix::ResultTexts{});
            f.bridge.progress(7);
            f.bridge.workEnded();
        });
        const auto elapsed = std::chrono::steady_clock::now() - start;
        QStringList counts;
        for (const QString& call : f.view.calls)
            if (call.startsWith("showLineCount:")) counts.append(call);
        QVERIFY(counts.size() >= 3);
        QCOMPARE(counts.first(), QStringLiteral("showLineCount:0"));
        const auto intervals = elapsed / RunHostBridge::progressInterval;
        QVERIFY2(counts.size() <= intervals + 3, qPrintable(QString::number(counts.size())));
        const qsizetype results = f.view.calls.indexOf(QStringLiteral("showResults:"));
        QCOMPARE(f.view.calls.at(results - 1), QStringLiteral("showLineCount:%1").arg(lastCount));
        QCOMPARE(f.view.calls.mid(results + 1), (QStringList{"showLineCount:7", "endWait", "runEnded"}));
    }

    // The table is made on the worker in the form set before the run, and
    // each of its lines knows the rows it sums: a tool's total all its uses,
    // in the order the tools were first used, the last line every row.
    void tellsTheToolsAfterTheResultsInTheFormAskedFor()
    {
        Fixture f;
        f.bridge.setToolTableForm(2, true);
        const std::vector<drennix::ToolRow> rows = {toolRow(-1, 0, 0), toolRow(1, 1, 60), toolRow(2, 2, 0),
                                                    toolRow(1, 3, 0), toolRow(2, 4, 0)};
        f.runOnWorker([&] {
            f.bridge.resultsReady(drennix::ResultTexts{});
            f.bridge.toolsReady(rows);
            f.bridge.workEnded();
        });
        QCOMPARE(f.view.calls, (QStringList{"showResults:", "showTools:10.00", "endWait", "runEnded"}));
        const ToolTable& table = *f.view.tools;
        QCOMPARE(table.texts[1][6], std::string("0:01:00"));
        const std::vector<std::vector<std::size_t>> uses = {{0}, {1}, {2}, {3}, {4}, {1, 3}, {2, 4}, {0, 1, 2, 3, 4}};
        QCOMPARE(table.uses, uses);
        QCOMPARE(table.texts.size(), uses.size());
        QCOMPARE(table.texts[6][0] + " " + table.texts[6][3], std::string("T2 計 6.00"));
    }

    void holdsTheRunWhileAMessageIsOpen()
    {
        Fixture f;
        std::atomic<bool> pastMessage{false};
        bool heldWhileShown = false;
        f.view.whileShown = [&] {
            // Give the worker every chance to run ahead; it must not.
            QTest::qWait(50);
            heldWhileShown = !pastMessage.load();
        };
        f.runOnWorker([&] {
            f.bridge.message("wait", drennix::MessageKind::Warning);
            pastMessage.store(true);
        });
        QVERIFY(heldWhileShown);
    }

    void reportsEscapeOncePerPress()
    {
        Fixture f;
        QVERIFY(!f.bridge.stopRequested());
        f.bridge.requestAbort();
        QVERIFY(f.bridge.stopRequested());
        QVERIFY(!f.bridge.stopRequested());
        // A new run forgets an Escape pressed before it.
        f.bridge.requestAbort();
        f.bridge.prepareRun();
        QVERIFY(!f.bridge.stopRequested());
    }

    // The list of a run the user stopped is dropped; a run ended otherwise
    // (a rejected line) shows its list, also the run after a stopped one.
    void dropsTheListOfAStoppedRun()
    {
        for (const bool stop : {true, false}) {
            Fixture f;
            if (stop) f.bridge.requestAbort();
            bool stopTold = false;
            f.runOnWorker([&] {
                const drennix::AbsoluteRow start = rowFor(0);
                f.bridge.readingStarted(drennix::RunMode::AbsoluteDisplay, &start);
                f.bridge.row(1, rowFor(1));
                stopTold = f.bridge.stopRequested();
                f.bridge.message("ended", drennix::MessageKind::Warning);
                f.bridge.workEnded();
                f.bridge.listComplete();
            });
            QCOMPARE(stopTold, stop);
            QCOMPARE(f.view.calls.contains("discardAbsoluteDisplay"), stop);
            QCOMPARE(f.view.calls.contains("showAbsoluteDisplay"), !stop);
            if (!stop) continue;
            f.view.calls.clear();
            f.bridge.prepareRun();
            f.runOnWorker([&] { f.bridge.listComplete(); });
            QCOMPARE(f.view.calls, (QStringList{"showAbsoluteDisplay", "runEnded"}));
        }
    }

    // A window that goes away while its run waits for a message must not leave
    // the run waiting for ever; the run is asked to stop.
    void releasesAWaitingRunWhenDetached()
    {
        Fixture f;
        std::promise<bool> returned;
        std::future<bool> result = returned.get_future();
        std::thread worker([&] {
            f.bridge.message("never shown", drennix::MessageKind::Warning);
            returned.set_value(f.bridge.stopRequested());
        });
        // No events are processed here, so the message is never delivered.
        QCOMPARE(result.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
        f.bridge.detach();
        QCOMPARE(result.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        worker.join();
        QVERIFY(result.get());
        QCoreApplication::processEvents();
        QVERIFY(f.view.calls.isEmpty());
    }
};

QTEST_MAIN(RunHostBridgeTest)
#include "run_host_bridge_test.moc"
