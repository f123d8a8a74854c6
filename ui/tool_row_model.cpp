#include "tool_row_model.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct Column {
    Qt::Alignment alignment;
    int width;  // pixels
};

// The titles are the engine's (工具, H, 行, 切削距離, 早送距離, 時間,
// 推定時間, 最低Z, 送り速度, 主軸回転数).
const std::array<Column, drennix::toolColumnCount> columns = {{
    {Qt::AlignLeft, 80},
    {Qt::AlignLeft, 45},
    {Qt::AlignRight, 75},
    {Qt::AlignRight, 80},
    {Qt::AlignRight, 80},
    {Qt::AlignRight, 55},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 70},
    {Qt::AlignRight, 110},
    {Qt::AlignRight, 110},
}};

bool isColumn(int column)
{
    return column >= 0 && column < drennix::toolColumnCount;
}

}  // namespace

ToolRowModel::ToolRowModel(QObject* parent) : QAbstractTableModel(parent) {}

int ToolRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || tools_ == nullptr ? 0 : static_cast<int>(tools_->texts.size());
}

int ToolRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : drennix::toolColumnCount;
}

QVariant ToolRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
    case Qt::DisplayRole: return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole: return QVariant::fromValue(columnAlignment(index.column()) | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant ToolRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !isColumn(section)) return {};
    switch (role) {
    case Qt::DisplayRole: return columnTitle(section);
    case Qt::TextAlignmentRole: return QVariant::fromValue(columnAlignment(section) | Qt::AlignVCenter);
    default: return {};
    }
}

void ToolRowModel::setTools(std::shared_ptr<const ToolTable> tools)
{
    beginResetModel();
    tools_ = std::move(tools);
    endResetModel();
}

QString ToolRowModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || !isColumn(column)) return {};
    return QString::fromStdString(tools_->texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
}

QStringList ToolRowModel::rowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < drennix::toolColumnCount; ++column)
        texts.append(cellText(row, column));
    return texts;
}

std::vector<drennix::toolpath::MoveRange> ToolRowModel::movesOf(const std::vector<int>& rows) const
{
    std::vector<std::size_t> chosen;
    for (const int row : rows) {
        if (row < 0 || row >= rowCount()) continue;
        const std::vector<std::size_t>& uses = tools_->uses[static_cast<std::size_t>(row)];
        chosen.insert(chosen.end(), uses.begin(), uses.end());
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    // The tally's rows follow each other: a use that begins where the one
    // before ended continues its range.
    std::vector<drennix::toolpath::MoveRange> ranges;
    for (const std::size_t use : chosen) {
        const drennix::ToolRow& row = tools_->rows[use];
        if (row.moveCount <= 0) continue;
        const auto first = static_cast<std::size_t>(row.firstMove);
        const std::size_t last = first + static_cast<std::size_t>(row.moveCount);
        if (!ranges.empty() && ranges.back().last == first) {
            ranges.back().last = last;
        } else {
            ranges.push_back({first, last});
        }
    }
    return ranges;
}

QString ToolRowModel::columnTitle(int column)
{
    if (!isColumn(column)) return QString();
    const std::string_view title = drennix::toolColumnTitle(column);
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

Qt::Alignment ToolRowModel::columnAlignment(int column)
{
    return isColumn(column) ? columns[static_cast<std::size_t>(column)].alignment : Qt::AlignLeft;
}

int ToolRowModel::columnWidth(int column)
{
    return isColumn(column) ? columns[static_cast<std::size_t>(column)].width : 0;
}
