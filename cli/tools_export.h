// --tools-csv FILE: the table of the figures per tool as CSV, in UTF-8 with
// CR LF line ends, for a spreadsheet. Written after a finished run into a
// file without a visible name and published under FILE, whole or not at all,
// never over an existing file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fault.h"
#include "tool_tally.h"

namespace drennix::cli {

// One CSV record without its line end: the cells separated by commas; a cell
// holding a comma, a quote or a line break goes in quotes, its quotes doubled.
std::string csvRecord(const std::vector<std::string>& cells);

// The column titles, then the rows of toolTable (totals included). Where the
// run told no rows (tool changes are not read) the file is empty, as the
// moves file of a run without moves is.
Fault writeToolsCsv(const std::string& path, const std::optional<std::vector<ToolRow>>& rows, int decimals,
                    bool withEstimate);

}  // namespace drennix::cli
