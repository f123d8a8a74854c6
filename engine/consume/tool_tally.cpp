#include "tool_tally.h"

#include <algorithm>

#include "coordinate_frame.h"
#include "messages.h"
#include "number_format.h"

namespace drennix {

namespace {

void listValue(std::vector<double>& values, double value)
{
    if (values.size() < listedValues && std::find(values.begin(), values.end(), value) == values.end()) {
        values.push_back(value);
    }
}

}  // namespace

ToolTally::ToolTally(const RunStatistics& figures, double estimateSeconds)
{
    beginRow(-1, figures, estimateSeconds);
}

void ToolTally::addLine(long long line)
{
    ToolRow& row = rows_.back();
    if (row.firstLine == 0) row.firstLine = line;
    row.lastLine = line;
}

void ToolTally::addMove(const Move& move, const ToolState& tool)
{
    ToolRow& row = rows_.back();
    ++row.moveCount;
    ++movesTold_;
    row.lengthOffset = tool.lengthOffset;
    const double z = std::min(move.start[AxisIndexZ], move.end[AxisIndexZ]);
    if (!row.reachedZ || z < row.lowestZ) row.lowestZ = z;
    row.reachedZ = true;
    // A block that only changes the tool or its offset under G1 moves
    // nothing: it cut at no feed.
    if (!move.isRapid() && move.length > 0) {
        listValue(row.feeds, move.feed);
        listValue(row.spindleSpeeds, tool.spindleSpeed);
    }
}

void ToolTally::endRow(const RunStatistics& figures, double estimateSeconds)
{
    ToolRow& row = rows_.back();
    row.cuttingDistance = figures.cuttingDistance - cuttingAtStart_;
    row.rapidDistance = figures.rapidDistance - rapidAtStart_;
    row.machiningTime = figures.machiningTime - timeAtStart_;
    row.estimateSeconds = estimateSeconds - estimateAtStart_;
}

void ToolTally::beginRow(int tool, const RunStatistics& figures, double estimateSeconds)
{
    ToolRow row;
    row.tool = tool;
    row.firstMove = movesTold_;
    rows_.push_back(row);
    cuttingAtStart_ = figures.cuttingDistance;
    rapidAtStart_ = figures.rapidDistance;
    timeAtStart_ = figures.machiningTime;
    estimateAtStart_ = estimateSeconds;
}

void ToolTally::changeUnit(LengthUnit from, LengthUnit to)
{
    const auto convert = [&](double& length) { length = convertLength(length, from, to); };
    for (ToolRow& row : rows_) {
        convert(row.cuttingDistance);
        convert(row.rapidDistance);
        convert(row.lowestZ);
    }
    convert(cuttingAtStart_);
    convert(rapidAtStart_);
}

std::vector<ToolRow> ToolTally::finish(const RunStatistics& figures, double estimateSeconds)
{
    endRow(figures, estimateSeconds);
    // A program that changes the tool in its first block has no row for the
    // tool that was in the spindle.
    if (rows_.size() > 1 && rows_.front().firstLine == 0) rows_.erase(rows_.begin());
    return std::move(rows_);
}

namespace {

enum ToolColumn : int {
    ColumnTool,
    ColumnOffset,
    ColumnLines,
    ColumnCutting,
    ColumnRapid,
    ColumnTime,
    ColumnEstimate,
    ColumnLowestZ,
    ColumnFeeds,
    ColumnSpeeds,
};

// A feed or a speed as short as it reads: "100", "12.5".
std::string shortNumber(double value)
{
    std::string text = formatFixed(value, 3);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string joined(const std::vector<double>& values)
{
    std::string text;
    for (const double v : values) {
        if (!text.empty()) text += ", ";
        text += shortNumber(v);
    }
    return text;
}

// A letter and its number, "T5".
std::string word(char letter, long long number)
{
    std::string text(1, letter);
    appendInteger(text, number);
    return text;
}

std::string toolName(int tool)
{
    return tool < 0 ? std::string(messages::toolAtStart) : word('T', tool);
}

ToolTableRow rowTexts(const ToolRow& row, int decimals, bool withEstimate)
{
    ToolTableRow cells;
    cells[ColumnTool] = toolName(row.tool);
    cells[ColumnOffset] = row.lengthOffset < 0 ? std::string() : word('H', row.lengthOffset);
    if (row.firstLine > 0) {
        std::string& lines = cells[ColumnLines];
        appendInteger(lines, row.firstLine);
        lines += '-';
        appendInteger(lines, row.lastLine);
    }
    cells[ColumnCutting] = formatFixed(row.cuttingDistance, decimals);
    cells[ColumnRapid] = formatFixed(row.rapidDistance, decimals);
    cells[ColumnTime] = formatFixed(row.machiningTime, 1);
    if (withEstimate) cells[ColumnEstimate] = formatClock(row.estimateSeconds);
    if (row.reachedZ) cells[ColumnLowestZ] = formatFixed(row.lowestZ, decimals);
    cells[ColumnFeeds] = joined(row.feeds);
    cells[ColumnSpeeds] = joined(row.spindleSpeeds);
    return cells;
}

// The sum of `rows` as one row: distances and times added, the lowest Z the
// lowest, feeds and speeds gathered.
ToolRow totalOf(const std::vector<const ToolRow*>& rows)
{
    ToolRow total;
    for (const ToolRow* row : rows) {
        total.cuttingDistance += row->cuttingDistance;
        total.rapidDistance += row->rapidDistance;
        total.machiningTime += row->machiningTime;
        total.estimateSeconds += row->estimateSeconds;
        if (row->reachedZ && (!total.reachedZ || row->lowestZ < total.lowestZ)) total.lowestZ = row->lowestZ;
        total.reachedZ = total.reachedZ || row->reachedZ;
        for (const double f : row->feeds)
            listValue(total.feeds, f);
        for (const double s : row->spindleSpeeds)
            listValue(total.spindleSpeeds, s);
    }
    return total;
}

}  // namespace

std::string_view toolColumnTitle(int column)
{
    return messages::toolColumnTitles[static_cast<std::size_t>(column)];
}

std::vector<ToolTableRow> toolTable(const std::vector<ToolRow>& rows, int decimals, bool withEstimate)
{
    std::vector<ToolTableRow> table;
    for (const ToolRow& row : rows)
        table.push_back(rowTexts(row, decimals, withEstimate));
    // The totals of the tools used more than once, in the order first used.
    std::vector<int> seen;
    for (const ToolRow& row : rows) {
        if (std::find(seen.begin(), seen.end(), row.tool) != seen.end()) continue;
        seen.push_back(row.tool);
        std::vector<const ToolRow*> uses;
        for (const ToolRow& other : rows) {
            if (other.tool == row.tool) uses.push_back(&other);
        }
        if (uses.size() < 2) continue;
        ToolTableRow cells = rowTexts(totalOf(uses), decimals, withEstimate);
        cells[ColumnTool] = toolName(row.tool) + std::string(messages::toolTotalTail);
        table.push_back(cells);
    }
    std::vector<const ToolRow*> all;
    for (const ToolRow& row : rows)
        all.push_back(&row);
    ToolTableRow whole = rowTexts(totalOf(all), decimals, withEstimate);
    whole[ColumnTool] = std::string(messages::toolsTotal);
    table.push_back(whole);
    return table;
}

}  // namespace drennix
