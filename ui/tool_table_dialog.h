// The tools window: the figures per tool of the last run that read tool
// changes, one row each time a tool was in the spindle, then the totals.
// Selected rows are copied to the clipboard as tab-separated text (Ctrl+C,
// or the list's context menu); ﾂｰﾙﾊﾟｽ shows the run's toolpath with the
// moves of the selected rows highlighted. The main window keeps it up to
// date while it is open; Escape closes it.
#pragma once

#include <memory>
#include <vector>

#include <QDialog>
#include <QList>
#include <QStringList>

#include "list_window_keys.h"
#include "stroke_tracer.h"
#include "tool_table.h"

class MessagePresenter;
class QAction;
class QMenu;
class QPushButton;
class QTableView;
class ToolRowModel;

class ToolTableDialog : public QDialog {
    Q_OBJECT

public:
    // `owner` is the main window, whose lifetime bounds this one.
    ToolTableDialog(MessagePresenter& presenter, QWidget* owner);

    // The rows of a run; null empties the list.
    void showTools(std::shared_ptr<const ToolTable> tools);
    // Whether the run of the rows has a toolpath to show (a finished run).
    void setToolpathAvailable(bool available);

    // Copies the selected rows, cells separated by tabs; with no row
    // selected, says so and leaves the clipboard alone.
    void copySelectionToClipboard();
    // The cell texts of each selected row, in ascending row order.
    QList<QStringList> selectedRowTexts() const;
    // The run's moves of the selected rows.
    std::vector<drennix::toolpath::MoveRange> selectedMoves() const;

    ToolRowModel* model() const { return model_; }
    QTableView* list() const { return list_; }
    // The list's context menu: ｺﾋﾟｰ, ﾍﾙﾌﾟ and ﾂｰﾙﾊﾟｽ.
    QMenu* contextMenu() const { return contextMenu_; }

    // Closing ends the window for good; the main window opens a new one.
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
    void showContextMenu(const QPoint& position);
    std::vector<int> selectedRows() const;
    // Enter, Ctrl+C and F1 before the list takes them.
    const ListWindowKeys keys_{[this] { copySelectionToClipboard(); }, [this] { emit helpRequested(); }};

    MessagePresenter& presenter_;
    ToolRowModel* model_;
    QTableView* list_;
    QPushButton* toolpathButton_;
    QMenu* contextMenu_;
    QAction* toolpathAction_ = nullptr;
};
