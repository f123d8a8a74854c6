#include "text_report.h"

#include <string_view>
#include <vector>

#include "captions.h"
#include "cp932.h"
#include "display_text.h"
#include "messages.h"
#include "number_format.h"

namespace drennix::cli {
namespace {

template <typename Cells>
void writeTabSeparated(std::ostream& out, const Cells& cells)
{
    bool first = true;
    for (const auto& cell : cells) {
        if (!first) out << '\t';
        out << cell;
        first = false;
    }
    out << '\n';
}

}  // namespace

std::string formatMessageLine(const RunMessage& message)
{
    const std::string_view tag = message.kind == MessageKind::Warning ? "[warning] " : "[information] ";
    return std::string(tag) + text::sanitizeUtf8(message.text);
}

void writeResultFields(std::ostream& out, const ResultTexts& fields)
{
    for (const ResultFieldLabel& label : resultFieldLabels)
        out << label.caption << text::sanitizeUtf8(fields[label.field]) << '\n';
    for (const std::string& note : fields.notes)
        out << note << '\n';
}

void writeEstimate(std::ostream& out, const std::optional<Estimate>& estimate)
{
    out << messages::estimateCaption << (estimate ? formatClock(estimate->seconds) : std::string()) << '\n';
}

void writeVerification(std::ostream& out, const VerificationSummary& summary, int decimals)
{
    const auto& captions = messages::verificationCaptions;
    out << captions[0] << formatInteger(summary.arcs) << '\n';
    out << captions[1] << formatInteger(summary.lines) << '\n';
    out << captions[2] << formatFixed(summary.maxDeviation, decimals) << '\n';
    out << captions[3] << formatInteger(summary.maxDeviationLine) << '\n';
    out << captions[4] << formatFixed(summary.maxEndError, decimals) << '\n';
}

void writeAbsoluteRows(std::ostream& out, const std::vector<AbsoluteRow>& rows)
{
    writeTabSeparated(out, absoluteColumnTitles);
    for (const AbsoluteRow& row : rows)
        writeTabSeparated(out, displayCells(row));
}

void writeToolTable(std::ostream& out, const std::vector<ToolRow>& rows, int decimals, bool withEstimate)
{
    std::vector<std::string_view> titles;
    for (int column = 0; column < toolColumnCount; ++column)
        titles.push_back(toolColumnTitle(column));
    writeTabSeparated(out, titles);
    for (const ToolTableRow& row : toolTable(rows, decimals, withEstimate))
        writeTabSeparated(out, row);
}

}  // namespace drennix::cli
