// The plain-text report: messages on standard error as they are shown, the
// result fields and the absolute display rows on standard output.
#pragma once

#include <ostream>
#include <string>

#include "cli_host.h"

namespace drennix::cli {

// "[warning] text" or "[information] text", line breaks kept, without a
// final line end.
std::string formatMessageLine(const RunMessage& message);

// One line per result field: caption and text.
void writeResultFields(std::ostream& out, const ResultTexts& fields);

// "推定時間：" and the estimate as h:mm:ss; empty when the run did not finish.
void writeEstimate(std::ostream& out, const std::optional<Estimate>& estimate);
// After a converting run that wrote its program: one line per figure of
// the check, caption and number (`decimals` for the distances).
void writeVerification(std::ostream& out, const VerificationSummary& summary, int decimals);

// The column titles, then one line per row, cells separated by tabs.
void writeAbsoluteRows(std::ostream& out, const std::vector<AbsoluteRow>& rows);

// The figures per tool in the same form: the column titles, then the rows of
// toolTable (`decimals` for the distances; 推定時間 empty without the estimate).
void writeToolTable(std::ostream& out, const std::vector<ToolRow>& rows, int decimals, bool withEstimate);

}  // namespace drennix::cli
