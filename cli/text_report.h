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

// After a converting run that wrote its program: one line per figure of
// the check, caption and number (`decimals` for the distances).
void writeVerification(std::ostream& out, const VerificationSummary& summary, int decimals);

// The column titles, then one line per row, cells separated by tabs.
void writeAbsoluteRows(std::ostream& out, const std::vector<AbsoluteRow>& rows);

}  // namespace drennix::cli
