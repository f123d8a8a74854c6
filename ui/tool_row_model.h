// The rows of the tools window: the table of the figures per tool of one run
// (each time a tool was in the spindle, the totals of the tools used more
// than once, the whole), 10 columns each, and which of the run's moves each
// row stands for.
#pragma once

#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "stroke_tracer.h"
#include "tool_table.h"

class ToolRowModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ToolRowModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row; null empties the list.
    void setTools(std::shared_ptr<const ToolTable> tools);
    const ToolTable* tools() const { return tools_.get(); }

    QString cellText(int row, int column) const;
    QStringList rowTexts(int row) const;

    // The run's moves of the table rows `rows` (in any order), as ranges of
    // the told moves in their order: a row of one use its own moves, a total
    // those of every use of its tool, the whole every move.
    std::vector<drennix::toolpath::MoveRange> movesOf(const std::vector<int>& rows) const;

    static QString columnTitle(int column);
    static Qt::Alignment columnAlignment(int column);
    static int columnWidth(int column);

private:
    std::shared_ptr<const ToolTable> tools_;
};
