// The summary of several programs: one row per program as its run ends (the
// same status and figures as drennix-cli's summary), the runs on threads of
// their own so that the window never waits for them. The table sorts by a
// click on a column's title; Ctrl+C copies the selected rows (all, with none
// selected) with the titles, cells separated by tabs; a double click (or
// Enter) on a row opens that program in the main window. Escape stops the
// runs, and closes the window once they have stopped.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QDialog>
#include <QStringList>

#include "options.h"

class QLabel;
class QTableWidget;

class SummaryDialog : public QDialog {
    Q_OBJECT

public:
    // Runs the programs of `sources` (files and folders) with `request`'s
    // settings and options.
    SummaryDialog(const drennix::cli::CliRequest& request, const QStringList& sources, QWidget* owner);
    ~SummaryDialog() override;

    QTableWidget* table() const { return table_; }
    bool isRunning() const { return running_; }
    // The titles and the selected rows (all rows with none selected) as
    // tab-separated lines, as Ctrl+C copies them.
    QString selectionText() const;
    void copySelectionToClipboard();
    void stop();

signals:
    // The program of a row, to open in the main window.
    void programChosen(const QString& path);
    void runsEnded();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addRow(std::size_t index, const std::vector<std::string>& cells);
    void setCount(std::size_t count);
    void showProgress(std::size_t done);
    void finishRuns();

    QTableWidget* table_ = nullptr;
    QLabel* progress_ = nullptr;
    std::size_t count_ = 0;
    std::size_t ended_ = 0;
    bool running_ = true;
    std::atomic<bool> stop_ = false;
    std::thread worker_;
};
