#include "batch.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "check_alongside.h"
#include "checked_run.h"
#include "cp932.h"
#include "environment.h"
#include "exit_status.h"
#include "file_names.h"
#include "interrupt.h"
#include "output_file.h"
#include "summary_report.h"

namespace drennix::cli {

namespace {

std::string lowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool isProgram(const std::filesystem::path& file, const std::vector<std::string>& extensions)
{
    const std::string extension = lowerCase(utf8FromPath(file.extension()));
    return extension.empty() || std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

// The programs of one folder, sorted by path; a folder that cannot be read
// gives those read before the failure.
std::vector<std::string> programsOfFolder(const std::filesystem::path& folder, const BatchOptions& batch)
{
    std::vector<std::filesystem::path> found;
    std::error_code error;
    const auto take = [&](const std::filesystem::directory_entry& entry) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && isProgram(entry.path(), batch.extensions)) {
            found.push_back(entry.path());
        }
    };
    if (batch.recursive) {
        for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error))
            take(*it);
    } else {
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            take(*it);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> programs;
    for (const std::filesystem::path& path : found)
        programs.push_back(utf8FromPath(path));
    return programs;
}

// Asked by a run only while its stop flag is set.
bool stopAsked()
{
    return true;
}

SummaryRow runOne(const CliRequest& shared, const std::string& file, const std::atomic<bool>& stop)
{
    CliRequest request = shared;
    request.batch.reset();
    request.run.sourcePath = file;
    CheckAlongside check(request.settings, request.run);
    CliHost host(stopAsked);
    host.setStopSignal(&stop);
    const CheckedRun checked = runChecked(request, host, check);
    SummaryRow row;
    row.file = file;
    row.record = host.record();
    row.status = exitStatusFor(checked.result, false);
    row.checkFailed = checked.checkFailed;
    row.uncheckedLine = checked.uncheckedLine;
    if (checked.checkFailed && row.status == exitFinished) row.status = exitWarning;
    return row;
}

void showProgress(const std::string& file, std::size_t done, std::size_t count)
{
    static std::mutex line;
    const std::lock_guard lock(line);
    // One line, written over: the programs done of all, the one started.
    std::cerr << "\r\x1b[K" << done << "/" << count << " " << text::sanitizeUtf8(file) << std::flush;
}

// Written whole or not at all, never over a file that is there.
int writeSummaryFile(const std::string& path, const std::string& summary)
{
    FileOutputStore file(path);
    std::string_view rest = summary;
    // The store ends every line itself (CR LF).
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        file.append({}, line);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    if (const Fault fault = file.publish()) {
        std::cerr << "drennix-cli: --summary-file " << text::sanitizeUtf8(path)
                  << (fault.id == FaultId::OutputExists ? ": the file exists; it is not overwritten"
                                                        : ": the file could not be written")
                  << std::endl;
        return fault.id == FaultId::OutputExists ? exitUsage : exitWarning;
    }
    return exitFinished;
}

}  // namespace

std::vector<std::string> collectPrograms(const BatchOptions& batch)
{
    std::vector<std::string> programs;
    for (const std::string& source : batch.sources) {
        if (!isFolder(source)) {
            programs.push_back(source);
            continue;
        }
        const std::vector<std::string> found = programsOfFolder(pathFromUtf8(source), batch);
        programs.insert(programs.end(), found.begin(), found.end());
    }
    return programs;
}

std::vector<SummaryRow> runPrograms(const CliRequest& request, const std::vector<std::string>& programs,
                                    const std::atomic<bool>& stop, const BatchListener& listener)
{
    std::vector<std::optional<SummaryRow>> rows(programs.size());
    std::atomic<std::size_t> next = 0;
    std::atomic<std::size_t> done = 0;
    const auto work = [&] {
        for (std::size_t k = next++; k < programs.size() && !stop.load(); k = next++) {
            if (listener.started) listener.started(programs[k], done.load(), programs.size());
            rows[k] = runOne(request, programs[k], stop);
            ++done;
            if (listener.ended) listener.ended(k, *rows[k]);
        }
    };
    const std::size_t jobs = std::min<std::size_t>(static_cast<std::size_t>(request.batch->jobs), programs.size());
    {
        std::vector<std::jthread> workers;
        for (std::size_t k = 1; k < jobs; ++k)
            workers.emplace_back(work);
        work();
    }
    std::vector<SummaryRow> ended;
    for (std::optional<SummaryRow>& row : rows) {
        if (row) ended.push_back(std::move(*row));
    }
    return ended;
}

int runBatch(const CliRequest& request)
{
    const std::vector<std::string> programs = collectPrograms(*request.batch);
    const bool showsProgress = standardErrorIsTerminal();
    BatchListener listener;
    if (showsProgress) listener.started = showProgress;
    const std::vector<SummaryRow> rows = runPrograms(request, programs, anyInterruptSignal(), listener);
    if (showsProgress) std::cerr << "\r\x1b[K" << std::flush;
    int status = exitFinished;
    for (const SummaryRow& row : rows) {
        status = std::max(status, row.status);
        if (row.checkFailed) std::cerr << uncheckedProgramLine(*row.record.outputPath, row.uncheckedLine) << std::endl;
    }
    if (interruptReceived()) status = exitInterrupted;
    const std::string summary = renderSummary(rows, request.batch->format, request);
    if (request.batch->summaryFile) return std::max(status, writeSummaryFile(*request.batch->summaryFile, summary));
    std::cout << summary;
    if (!std::cout.flush() && status == exitFinished) {
        std::cerr << "drennix-cli: the summary could not be written to standard output" << std::endl;
        return exitWarning;
    }
    return status;
}

}  // namespace drennix::cli
