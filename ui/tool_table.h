// The figures per tool of one run as the tools window shows them: the
// tally's rows, the table of texts made of them (each row, the totals of the
// tools used more than once, the whole) and which rows each line of the
// table sums. Made on the run's thread; a program with many tool changes
// makes many rows.
#pragma once

#include <cstddef>
#include <vector>

#include "tool_tally.h"

struct ToolTable {
    std::vector<drennix::ToolRow> rows;
    std::vector<drennix::ToolTableRow> texts;
    // For each line of `texts`, the indices of the `rows` it stands for.
    std::vector<std::vector<std::size_t>> uses;
};

// `decimals` for the distances; without the estimate its column is empty.
ToolTable makeToolTable(std::vector<drennix::ToolRow> rows, int decimals, bool withEstimate);
