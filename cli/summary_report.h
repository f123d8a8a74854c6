// The summary of several programs: one row per program with its status (the
// run's closing message) and its figures, the same texts as each program's
// own report; as tab-separated table, CSV or JSON.
#pragma once

#include <string>
#include <vector>

#include "batch.h"

namespace drennix::cli {

// The status of a run in a row: "計算しました", "作成しました",
// "変換が有りませんでした", or the message the run ended with, on one line.
std::string statusText(const SummaryRow& row);

// The column titles of the table and CSV forms, and the cells of a row.
std::vector<std::string> summaryTitles(bool withEstimate);
std::vector<std::string> summaryCells(const SummaryRow& row, bool withEstimate);

// The summary whole, ending with a line end (CR LF in CSV, as its files are).
std::string renderSummary(const std::vector<SummaryRow>& rows, SummaryFormat format, const CliRequest& request);

}  // namespace drennix::cli
