// The main window: the run inputs, the run mode, the Execute button and the
// fourteen result fields of the last run. A run works on a worker thread; the
// window shows its progress and takes no input but Escape until it ends.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <thread>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "run_driver.h"
#include "run_host_bridge.h"
#include "run_view.h"
#include "settings_file.h"
#include "vocabulary.h"

class AbsoluteDisplayDialog;
class HelpWindow;
class MessagePresenter;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class RunInputGuard;
class SettingsStore;
class ToolpathWindow;
class ToolTableDialog;
class ValueField;
class WindowPlacer;

class MainDialog : public QDialog, private RunView {
    Q_OBJECT

public:
    // Picks a source file, starting in `folder` (the program's own when
    // empty); nothing when the user cancelled.
    using SourceFileChooser = std::function<std::optional<QString>(QWidget* parent, const QString& folder)>;

    explicit MainDialog(MessagePresenter& presenter, QWidget* parent = nullptr);
    ~MainDialog() override;

    QString sourcePath() const;
    void setSourcePath(const QString& path);
    // Several programs (files and folders): their runs and summary in a
    // window of their own, with the settings and inputs of this window.
    class SummaryDialog* openSummary(const QStringList& sources);
    // What the program was given to open: one file fills in the program,
    // several or a folder open their summary.
    void openGiven(const QStringList& paths);
    void setSourceFileChooser(SourceFileChooser chooser);

    drennix::Settings& settings() { return settings_; }
    const drennix::Settings& settings() const { return settings_; }
    // The inputs as the last exchange stored them.
    const drennix::RunOptions& inputs() const { return inputs_; }

    QString resultText(drennix::ResultField field) const;
    bool isRunning() const { return running_; }
    AbsoluteDisplayDialog* latestAbsoluteDisplay() const;
    HelpWindow* helpWindow() const;
    ToolpathWindow* toolpathWindow() const;
    ToolTableDialog* toolTableWindow() const;
    // The figures per tool of the last run, if it read tool changes.
    std::shared_ptr<const ToolTable> lastTools() const { return lastTools_; }
    // The record of the last finished run, if it recorded one.
    std::shared_ptr<const drennix::toolpath::ToolpathRun> lastToolpath() const { return lastToolpath_; }
    // The file the last converting run created, if any.
    QString lastCreatedOutput() const { return lastCreatedOutput_; }
    // The folder of the last source picked with 参照 or dropped.
    QString lastFolder() const { return lastFolder_; }

    // The settings and the inputs as the next start should find them: what
    // the edits hold where it is a valid entry, else the last stored value.
    drennix::settings_file::KeptState keptState() const;
    // Puts a kept state into the settings and the edits.
    void restore(const drennix::settings_file::KeptState& state);
    // Keeps the state in `store` from now on: restores it at once (saying so
    // when the file cannot be used, and starting with the defaults), and saves
    // it when a run starts, when the settings close and when the program ends.
    void keepStateIn(SettingsStore& store);
    // Saves the state now, when a store is kept.
    void saveKeptState() const;

public slots:
    void execute();
    void browse();
    void openSettings();
    void showHelp(const QString& anchor = QString());
    // The toolpath of the last finished run (the ﾂｰﾙﾊﾟｽ button).
    void showLastToolpath();
    // The figures per tool of the last run (the 工具別 button).
    void showToolTable();
    // Escape, the exit button and the close box: ask, then end the program.
    void reject() override;
    // Enter presses the default button, Execute; nothing else accepts.
    void accept() override;

signals:
    // A run has ended and the window takes input again.
    void runFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildRunModeGroup();
    void buildResultFields();
    void setDefaultInputs();
    // Stores the edits and the run mode into the inputs; on a bad entry shows
    // why, puts the focus on the edit and returns false.
    bool storeInputs();
    bool refuseEntry(QLineEdit* edit, const char* message);
    void rememberFolderOf(const QString& path);
    void forgetLastToolpath();
    void forgetLastTools();
    // The toolpath with the moves of the rows selected in the tools window.
    void showSelectedToolMoves();
    void abandonRun();
    void closeOwnedWindows();
    void prepareAbsoluteDisplay();
    ValueField* resultField(drennix::ResultField field) const;

    // RunView: the run's operations on this thread.
    void clearResults() override;
    void showResults(const drennix::ResultTexts& results) override;
    void showEstimate(const drennix::Estimate& estimate) override;
    void showLineCount(long long count) override;
    void showMessage(const QString& text, drennix::MessageKind kind) override;
    void beginWait() override;
    void endWait() override;
    void openAbsoluteDisplay() override;
    void addStartRow(const drennix::AbsoluteRow& row) override;
    void addBlockRows(std::vector<NumberedRow> rows) override;
    void showAbsoluteDisplay() override;
    void discardAbsoluteDisplay() override;
    void outputCreated(const QString& path) override;
    void showTools(std::shared_ptr<const ToolTable> tools) override;
    void showToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run) override;
    void runEnded() override;
    void openToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run, const QString& sourcePath,
                      AbsoluteDisplayDialog* list);

    MessagePresenter& presenter_;
    drennix::Settings settings_;
    drennix::RunOptions inputs_;
    SourceFileChooser chooseSourceFile_;

    RunHostBridge bridge_;
    RunInputGuard* inputGuard_;
    WindowPlacer* placer_;
    std::thread worker_;
    bool running_ = false;
    bool absoluteDisplayPrepared_ = false;
    int waitDepth_ = 0;
    // A message of the run is open (it is modal; the run waits for it).
    int messageDepth_ = 0;
    QString lastCreatedOutput_;
    QString lastFolder_;
    SettingsStore* store_ = nullptr;

    QPointer<AbsoluteDisplayDialog> latestAbsolute_;
    QPointer<HelpWindow> help_;
    QPointer<ToolpathWindow> toolpath_;
    std::shared_ptr<const drennix::toolpath::ToolpathRun> lastToolpath_;
    QString lastToolpathSource_;
    QPointer<ToolTableDialog> tools_;
    std::shared_ptr<const ToolTable> lastTools_;
    // The list window the current run opened, if it opened one.
    QPointer<AbsoluteDisplayDialog> runList_;

    ValueField* sourceField_ = nullptr;
    QLineEdit* suffixEdit_ = nullptr;
    QLineEdit* toleranceEdit_ = nullptr;
    QLineEdit* initialXEdit_ = nullptr;
    QLineEdit* initialYEdit_ = nullptr;
    QLineEdit* initialZEdit_ = nullptr;
    QButtonGroup* runModeGroup_ = nullptr;
    QPushButton* executeButton_ = nullptr;
    QPushButton* toolpathButton_ = nullptr;
    QPushButton* toolTableButton_ = nullptr;
    std::array<ValueField*, drennix::resultFieldCount> resultFields_{};
    // The machine's estimated time, in a row below the results.
    ValueField* estimateField_ = nullptr;
    QLabel* notesLabel_ = nullptr;
};
