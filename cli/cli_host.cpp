#include "cli_host.h"

#include <utility>

#include "number_format.h"

namespace drennix::cli {

CliHost::CliHost(AbortRequest abortRequested, MessageListener onMessage, MoveListener onMove)
    : abortRequested_(abortRequested), onMessage_(std::move(onMessage)), onMove_(std::move(onMove))
{}

void CliHost::runStarted()
{
    record_.fields = ResultTexts{};
    record_.verification.reset();
    record_.tools.reset();
}

void CliHost::readingStarted(RunMode, const AbsoluteRow* startRow)
{
    if (startRow != nullptr) {
        record_.rows.clear();
        record_.rows.push_back(*startRow);
    }
}

void CliHost::progress(long long lineCount)
{
    record_.fields[ResultField::LineCount] = formatInteger(lineCount);
}

// The engine tells the rows in line order, so the row index equals the line
// number without looking at it.
void CliHost::row(long long, const AbsoluteRow& row)
{
    record_.rows.push_back(row);
}

void CliHost::resultsReady(const ResultTexts& results)
{
    record_.fields = results;
}

void CliHost::estimateReady(const Estimate& estimate)
{
    record_.estimate = estimate;
}

void CliHost::toolsReady(const std::vector<ToolRow>& rows)
{
    record_.tools = rows;
}

void CliHost::message(std::string_view text, MessageKind kind)
{
    record_.messages.push_back({kind, std::string(text)});
    if (onMessage_) onMessage_(record_.messages.back());
}

void CliHost::runFinished(const RunResult& result)
{
    record_.result = result;
    record_.outputPath = result.outputPath;
    // As the estimate, the figures per tool stand only for a finished run.
    if (!result.finished()) {
        record_.estimate.reset();
        record_.tools.reset();
    }
}

bool CliHost::stopRequested()
{
    return abortRequested_ != nullptr && abortRequested_();
}

}  // namespace drennix::cli
