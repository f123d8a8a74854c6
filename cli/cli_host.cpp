#include "cli_host.h"

#include <utility>

#include "number_format.h"

namespace drennix::cli {

CliHost::CliHost(AbortRequest abortRequested, MessageListener onMessage)
    : abortRequested_(std::move(abortRequested)), onMessage_(std::move(onMessage))
{
}

void CliHost::clearResults() { record_.fields = ResultTexts{}; }

void CliHost::showResults(const ResultTexts& results) { record_.fields = results; }

void CliHost::showLineCount(int count) { record_.fields[ResultField::LineCount] = formatInteger(count); }

void CliHost::showMessage(std::string_view text, MessageKind kind)
{
    record_.messages.push_back({kind, std::string(text)});
    if (onMessage_)
        onMessage_(record_.messages.back());
}

bool CliHost::pollAbort() { return abortRequested_ && abortRequested_(); }

void CliHost::openAbsoluteDisplay() { record_.rows.clear(); }

void CliHost::addStartRow(const AbsoluteRow& row) { record_.rows.push_back(row); }

// The engine adds the rows in line order, so the row index equals the line
// number without looking at it.
void CliHost::addBlockRow(int, const AbsoluteRow& row) { record_.rows.push_back(row); }

void CliHost::outputCreated(std::string_view path) { record_.outputPath = std::string(path); }

}  // namespace drennix::cli
