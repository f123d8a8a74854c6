// The texts of the 14 result fields of a finished run.
#pragma once

#include "motion.h"
#include "run_host.h"

namespace drennix {

// Line count and counts as "%d", the machining time as "%.1f", distances,
// extents and radii in the number format of `decimals`.
ResultTexts formatResults(int lineCount, const RunStatistics& statistics, int decimals);

// The caption of a result field, e.g. "行数：".
std::string_view resultCaption(ResultField field);

}  // namespace drennix
