// The list window of an absolute-display run: one row per block with the
// absolute position reached, the arc data and the length of the move. Each
// run gets a window of its own, filled while hidden and shown when the run
// ends. Selected rows are copied to the clipboard as text (Ctrl+C, or the
// list's context menu).
#pragma once

#include <memory>
#include <vector>

#include <QDialog>
#include <QList>
#include <QStringList>

#include "absolute_rows.h"
#include "list_window_keys.h"
#include "toolpath_run.h"
#include "vocabulary.h"

class AbsoluteRowModel;
class QAction;
class QMenu;
class MessagePresenter;
class QPushButton;
class QTableView;

class AbsoluteDisplayDialog : public QDialog {
    Q_OBJECT

public:
    // `settings` supplies the copy form at each copy; `owner` is the main
    // window, whose lifetime bounds this one.
    AbsoluteDisplayDialog(const drennix::Settings& settings, MessagePresenter& presenter, QWidget* owner);

    void addStartRow(drennix::AbsoluteRow row);
    void addBlockRows(std::vector<drennix::AbsoluteRow> rows);

    // Copies the selected rows in the form of the current copy setting; with
    // no row selected, says so and leaves the clipboard alone.
    void copySelectionToClipboard();

    // The 11 cell texts of each selected row, in ascending row order.
    QList<QStringList> selectedRowTexts() const;

    // The toolpath of the run that filled the list, once the run has ended;
    // the window's ﾂｰﾙﾊﾟｽ button asks for it to be shown.
    void setToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run, const QString& sourcePath);
    std::shared_ptr<const drennix::toolpath::ToolpathRun> toolpath() const { return toolpath_; }
    QString sourcePath() const { return sourcePath_; }

    AbsoluteRowModel* model() const { return model_; }
    QTableView* list() const { return list_; }
    // The list's context menu: ｺﾋﾟｰ, ﾍﾙﾌﾟ and ﾂｰﾙﾊﾟｽ.
    QMenu* contextMenu() const { return contextMenu_; }

    // Closing ends the window for good: nothing shows it again, so its rows
    // are released.
    void done(int result) override;

signals:
    void helpRequested();
    void toolpathRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildList();
    void buildContextMenu();
    void placeOnScreen();
    void showContextMenu(const QPoint& position);
    // Enter, Ctrl+C and F1 before the list takes them.
    const ListWindowKeys keys_{[this] { copySelectionToClipboard(); }, [this] { emit helpRequested(); }};

    const drennix::Settings& settings_;
    MessagePresenter& presenter_;
    AbsoluteRowModel* model_;
    QTableView* list_;
    QWidget* toolpathBar_;
    QPushButton* toolpathButton_;
    QMenu* contextMenu_;
    QAction* copyAction_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* toolpathAction_ = nullptr;
    std::shared_ptr<const drennix::toolpath::ToolpathRun> toolpath_;
    QString sourcePath_;
};
