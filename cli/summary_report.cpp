#include "summary_report.h"

#include <nlohmann/json.hpp>

#include "captions.h"
#include "cp932.h"
#include "json_report.h"
#include "number_format.h"
#include "tools_export.h"

namespace drennix::cli {

namespace {

using Json = nlohmann::ordered_json;

// The caption of a field without its closing "：".
std::string titleOf(std::string_view caption)
{
    constexpr std::string_view colon = "：";
    if (caption.ends_with(colon)) caption.remove_suffix(colon.size());
    return std::string(caption);
}

std::string tabLine(const std::vector<std::string>& cells)
{
    std::string line;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        if (k > 0) line += '\t';
        line += cells[k];
    }
    return line + '\n';
}

std::string renderJson(const std::vector<SummaryRow>& rows, const CliRequest& request)
{
    Json programs = Json::array();
    for (const SummaryRow& row : rows) {
        // Each program's report is its single-file report, as --json prints it.
        const std::string report = renderJsonReport(row.record, request.run.runMode, request.run.estimate,
                                                    request.settings.process.toolChanges != 0);
        programs.push_back({{"file", text::sanitizeUtf8(row.file)},
                            {"status", statusText(row)},
                            {"exitStatus", row.status},
                            {"report", Json::parse(report)}});
    }
    return Json{{"programs", programs}}.dump(2) + "\n";
}

}  // namespace

std::vector<std::string> summaryTitles(bool withEstimate)
{
    std::vector<std::string> cells{std::string(summary::fileTitle), std::string(summary::statusTitle)};
    for (const ResultFieldLabel& label : resultFieldLabels)
        cells.push_back(titleOf(label.caption));
    if (withEstimate) cells.emplace_back(summary::estimateTitle);
    cells.emplace_back(summary::outputTitle);
    return cells;
}

std::vector<std::string> summaryCells(const SummaryRow& row, bool withEstimate)
{
    const RunRecord& record = row.record;
    std::vector<std::string> cells{text::sanitizeUtf8(row.file), statusText(row)};
    for (const ResultFieldLabel& label : resultFieldLabels)
        cells.push_back(text::sanitizeUtf8(record.fields[label.field]));
    if (withEstimate) cells.push_back(record.estimate ? formatClock(record.estimate->seconds) : std::string());
    cells.push_back(record.outputPath ? text::sanitizeUtf8(*record.outputPath) : std::string());
    return cells;
}

std::string statusText(const SummaryRow& row)
{
    switch (row.record.result.outcome) {
    case RunOutcome::Calculated: return std::string(summary::calculated);
    case RunOutcome::Converted: return std::string(summary::converted);
    case RunOutcome::NothingConverted: return std::string(summary::nothingConverted);
    default: break;
    }
    // The warning the run ended with, its lines joined.
    std::string text;
    for (const RunMessage& message : row.record.messages) {
        if (message.kind == MessageKind::Warning) text = message.text;
    }
    constexpr std::string_view continuation = "\n　";
    std::string joined;
    for (std::size_t at = 0; at < text.size();) {
        if (std::string_view(text).substr(at).starts_with(continuation)) {
            joined += ' ';
            at += continuation.size();
            continue;
        }
        joined += text[at] == '\n' || text[at] == '\t' ? ' ' : text[at];
        ++at;
    }
    return text::sanitizeUtf8(joined);
}

std::string renderSummary(const std::vector<SummaryRow>& rows, SummaryFormat format, const CliRequest& request)
{
    const bool withEstimate = request.run.estimate;
    switch (format) {
    case SummaryFormat::Json: return renderJson(rows, request);
    case SummaryFormat::Csv: {
        std::string text = csvRecord(summaryTitles(withEstimate)) + "\r\n";
        for (const SummaryRow& row : rows)
            text += csvRecord(summaryCells(row, withEstimate)) + "\r\n";
        return text;
    }
    case SummaryFormat::Table: break;
    }
    std::string text = tabLine(summaryTitles(withEstimate));
    for (const SummaryRow& row : rows)
        text += tabLine(summaryCells(row, withEstimate));
    return text;
}

}  // namespace drennix::cli
