#include "tool_table.h"

#include <map>
#include <utility>

namespace {

// The lines of the table in the order drennix::toolTable makes them: each
// row alone; for each tool used more than once, in the order first used,
// all its rows; then every row.
std::vector<std::vector<std::size_t>> tableUses(const std::vector<drennix::ToolRow>& rows)
{
    std::vector<std::vector<std::size_t>> uses;
    std::vector<int> firstUsed;
    std::map<int, std::vector<std::size_t>> byTool;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        uses.push_back({row});
        std::vector<std::size_t>& tool = byTool[rows[row].tool];
        if (tool.empty()) firstUsed.push_back(rows[row].tool);
        tool.push_back(row);
    }
    for (const int tool : firstUsed) {
        std::vector<std::size_t>& rowsOfTool = byTool[tool];
        if (rowsOfTool.size() > 1) uses.push_back(std::move(rowsOfTool));
    }
    std::vector<std::size_t> all(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row)
        all[row] = row;
    uses.push_back(std::move(all));
    return uses;
}

}  // namespace

ToolTable makeToolTable(std::vector<drennix::ToolRow> rows, int decimals, bool withEstimate)
{
    ToolTable table;
    table.texts = drennix::toolTable(rows, decimals, withEstimate);
    table.uses = tableUses(rows);
    table.rows = std::move(rows);
    return table;
}
