// What a run shows in the windows: the notices of the engine's RunListener as
// the user-interface thread carries them out (a wait cursor, a hidden list
// window shown at the end, modal boxes). RunHostBridge calls them on that
// thread, in the order in which the run told the notices.
#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "run_listener.h"
#include "tool_table.h"
#include "toolpath_run.h"

// One row of the absolute display with the number of its source line.
struct NumberedRow {
    long long lineNumber = 0;
    drennix::AbsoluteRow row;
    bool operator==(const NumberedRow&) const = default;
};

class RunView {
public:
    virtual ~RunView() = default;

    virtual void clearResults() = 0;
    virtual void showResults(const drennix::ResultTexts& results) = 0;
    // The machine's estimated time, after the results of a run that asked.
    virtual void showEstimate(const drennix::Estimate& estimate) { (void)estimate; }
    virtual void showLineCount(long long count) = 0;
    // Modal: the run waits until it returns.
    virtual void showMessage(const QString& text, drennix::MessageKind kind) = 0;
    virtual void beginWait() = 0;
    virtual void endWait() = 0;

    virtual void openAbsoluteDisplay() = 0;
    virtual void addStartRow(const drennix::AbsoluteRow& row) = 0;
    // Consecutive block rows, in line order.
    virtual void addBlockRows(std::vector<NumberedRow> rows) = 0;
    virtual void showAbsoluteDisplay() = 0;
    // A run stopped by the user: its list is dropped unseen.
    virtual void discardAbsoluteDisplay() = 0;

    virtual void outputCreated(const QString& path) = 0;
    // Where tool changes are read: the figures per tool, after the results.
    virtual void showTools(std::shared_ptr<const ToolTable> tools) { (void)tools; }
    // The toolpath of a finished run, recorded on the worker thread.
    virtual void showToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run) { (void)run; }
    // The run has returned; nothing more follows.
    virtual void runEnded() = 0;
};
