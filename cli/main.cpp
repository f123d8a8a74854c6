// drennix-cli: one run of Drennix from the command line.
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "batch.h"
#include "check_alongside.h"
#include "checked_run.h"
#include "cli_host.h"
#include "cp932.h"
#include "exit_status.h"
#include "interrupt.h"
#include "json_report.h"
#include "moves_export.h"
#include "options.h"
#include "plot_export.h"
#include "run_driver.h"
#include "text_report.h"
#include "tools_export.h"
#include "windows_console.h"

namespace {

using namespace drennix;
using namespace drennix::cli;

void printMessageNow(const RunMessage& message)
{
    std::cerr << formatMessageLine(message) << std::endl;
}

void printReport(const CliRequest& request, const RunRecord& record)
{
    if (request.json) {
        std::cout << renderJsonReport(record, request.run.runMode, request.run.estimate,
                                      request.settings.process.toolChanges != 0)
                  << '\n';
        return;
    }
    const int decimals = request.settings.process.decimalPlaces;
    writeResultFields(std::cout, record.fields);
    if (request.run.estimate) writeEstimate(std::cout, record.estimate);
    if (record.verification) writeVerification(std::cout, *record.verification, decimals);
    if (record.tools) writeToolTable(std::cout, *record.tools, decimals, request.run.estimate);
    if (request.run.runMode == RunMode::AbsoluteDisplay) writeAbsoluteRows(std::cout, record.rows);
}

// The line of an output file that exists already: it is never replaced.
void sayOutputExists(std::string_view option, const std::string& path)
{
    std::cerr << "drennix-cli: " << option << " " << text::sanitizeUtf8(path)
              << ": the file exists; it is not overwritten" << std::endl;
}

// The exit status after an output file was published or not: a name taken
// meanwhile is a usage error, any other failure a warning, each with its line.
int publishedStatus(std::string_view option, const std::string& path, const Fault& fault, int status)
{
    if (!fault) return status;
    if (fault.id == FaultId::OutputExists) {
        sayOutputExists(option, path);
        return exitUsage;
    }
    std::cerr << "drennix-cli: " << option << " " << text::sanitizeUtf8(path) << ": the file could not be written"
              << std::endl;
    return exitWarning;
}

// The moves file appears only after a finished run; the exit status with
// its outcome.
int finishMovesExport(MovesExport& moves, const std::string& path, bool runFinished, int status)
{
    if (!runFinished) {
        moves.discard();
        return status;
    }
    return publishedStatus("--moves", path, moves.publish(), status);
}

int runAndReport(const CliRequest& request)
{
    const std::optional<std::string>& movesPath = request.movesPath;
    const std::optional<std::string>& toolsCsvPath = request.toolsCsvPath;
    if (movesPath && pathExists(*movesPath)) {
        sayOutputExists("--moves", *movesPath);
        return exitUsage;
    }
    if (toolsCsvPath && pathExists(*toolsCsvPath)) {
        sayOutputExists("--tools-csv", *toolsCsvPath);
        return exitUsage;
    }
    std::optional<MovesExport> moves;
    if (movesPath) moves.emplace(*movesPath, isConverting(request.run.runMode));
    CheckAlongside check(request.settings, request.run);
    // With the estimate the moves file takes each move with its time, a
    // look-ahead window after the move itself.
    const bool movesWithTime = moves && request.run.estimate;
    std::optional<toolpath::ToolpathStore> toolpath;
    if (request.plotPath) toolpath.emplace(Point3{request.run.initialX, request.run.initialY, request.run.initialZ});
    CliHost::MoveListener onMove;
    if ((moves && !movesWithTime) || toolpath) {
        onMove = [&](const Move& move) {
            if (moves && !movesWithTime) moves->add(move);
            if (toolpath) toolpath->record(move);
        };
    }
    CliHost host(takeInterruptRequest, request.json ? CliHost::MessageListener{} : printMessageNow, onMove);
    host.setStopSignal(&interruptSignal());
    if (movesWithTime) host.listenToPlannedMoves([&](const PlannedMove& move) { moves->add(move); });
    const CheckedRun checked = runChecked(request, host, check);
    const RunResult& result = checked.result;
    int status = exitStatusFor(result, interruptReceived());
    if (checked.checkFailed) {
        std::cerr << uncheckedProgramLine(*result.outputPath, checked.uncheckedLine) << std::endl;
        if (status == exitFinished) status = exitWarning;
    }
    const bool runFinished = result.finished() && !interruptReceived();
    if (moves) status = finishMovesExport(*moves, *movesPath, runFinished, status);
    // The table is made whole after the run, so a run that did not finish
    // leaves no trace of it.
    if (toolsCsvPath && runFinished) {
        const Fault fault = writeToolsCsv(*toolsCsvPath, host.record().tools, request.settings.process.decimalPlaces,
                                          request.run.estimate);
        status = publishedStatus("--tools-csv", *toolsCsvPath, fault, status);
    }
    printReport(request, host.record());
    // Only a finished run has a picture; a rejected or stopped one leaves no file.
    if (toolpath && status == exitFinished) {
        if (auto error = writePlot(*toolpath, *request.plotPath, request.plotView,
                                   request.settings.process.decimalPlaces, anyInterruptSignal())) {
            std::cerr << text::sanitizeUtf8(*error) << std::endl;
            status = interruptReceived() ? exitInterrupted : exitWarning;
        }
    }
    // A report that could not be written is not a success, whatever the run.
    if (!std::cout.flush() && status == exitFinished) {
        std::cerr << "drennix-cli: the report could not be written to standard output" << std::endl;
        return exitWarning;
    }
    return status;
}

int runCommandLine(const std::vector<std::string>& args)
{
    // From the start, whatever the process inherited (a background job's
    // ignored SIGINT, say): an interrupt while the options and files are read
    // stops the run at its first line, with the usual message; a second one
    // ends the process at once.
    installInterruptHandler();
    const ParseOutcome outcome = parseCommandLine(args);
    switch (outcome.status) {
    case ParseStatus::Help: std::cout << outcome.text; return exitFinished;
    case ParseStatus::UsageError: std::cerr << text::sanitizeUtf8(outcome.text) << '\n'; return exitUsage;
    case ParseStatus::Run: break;
    }
    if (outcome.request.plotPath) {
        if (auto refusal = refuseExistingPlot(*outcome.request.plotPath)) {
            std::cerr << text::sanitizeUtf8(*refusal) << '\n';
            return exitUsage;
        }
    }
    try {
        if (outcome.request.batch) return runBatch(outcome.request);
        return runAndReport(outcome.request);
    } catch (const std::exception& error) {
        // Out of memory on a huge line, for instance: say so instead of aborting.
        std::cerr << "drennix-cli: the run failed: " << text::sanitizeUtf8(error.what()) << std::endl;
        return exitWarning;
    }
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t* argv[])
{
    const StandardStreams streams;
    const int status = runCommandLine(utf8Arguments(argc, argv));
    std::cout.flush();
    return status;
}
#else
int main(int argc, char* argv[])
{
    return runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
