#include "absolute_row_model.h"

#include <array>
#include <iterator>
#include <utility>

#include "source_line_text.h"

namespace {

struct Column {
    Qt::Alignment alignment;
    int width;  // pixels
};

// The titles are the engine's (行, データ, Ｘ, Ｙ, Ｚ, 半径, 始角, 終角, Ｒ差,
// the helical mark under a one-space title, 移動距離).
const std::array<Column, drennix::absoluteColumnCount> columns = {{
    {Qt::AlignRight, 70},
    {Qt::AlignLeft, 170},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignHCenter, 40},
    {Qt::AlignRight, 70},
}};

bool isColumn(int column)
{
    return column >= 0 && column < drennix::absoluteColumnCount;
}

}  // namespace

AbsoluteRowModel::AbsoluteRowModel(QObject* parent) : QAbstractTableModel(parent) {}

int AbsoluteRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AbsoluteRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : drennix::absoluteColumnCount;
}

QVariant AbsoluteRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
    case Qt::DisplayRole: return cellText(index.row(), index.column());
    case Qt::ToolTipRole:
        return index.column() == sourceLineColumn ? QVariant(cellText(index.row(), index.column())) : QVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(columnAlignment(index.column()) | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant AbsoluteRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !isColumn(section)) return {};
    switch (role) {
    case Qt::DisplayRole: return columnTitle(section);
    case Qt::TextAlignmentRole: return QVariant::fromValue(columnAlignment(section) | Qt::AlignVCenter);
    default: return {};
    }
}

void AbsoluteRowModel::appendRow(drennix::AbsoluteRow row)
{
    std::vector<drennix::AbsoluteRow> one;
    one.push_back(std::move(row));
    appendRows(std::move(one));
}

void AbsoluteRowModel::appendRows(std::vector<drennix::AbsoluteRow> rows)
{
    if (rows.empty()) return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

QString AbsoluteRowModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || !isColumn(column)) return {};
    const std::string& cell = rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
    return column == sourceLineColumn ? decodeSourceLine(cell) : QString::fromStdString(cell);
}

QStringList AbsoluteRowModel::rowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < drennix::absoluteColumnCount; ++column)
        texts.append(cellText(row, column));
    return texts;
}

QString AbsoluteRowModel::columnTitle(int column)
{
    if (!isColumn(column)) return QString();
    const std::string_view title = drennix::absoluteColumnTitle(column);
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

Qt::Alignment AbsoluteRowModel::columnAlignment(int column)
{
    return isColumn(column) ? columns[static_cast<std::size_t>(column)].alignment : Qt::AlignLeft;
}

int AbsoluteRowModel::columnWidth(int column)
{
    return isColumn(column) ? columns[static_cast<std::size_t>(column)].width : 0;
}
