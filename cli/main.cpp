// drennix-cli: one run of Drennix from the command line.
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli_host.h"
#include "cp932.h"
#include "exit_status.h"
#include "interrupt.h"
#include "json_report.h"
#include "options.h"
#include "plot_export.h"
#include "run_driver.h"
#include "text_report.h"
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
        std::cout << renderJsonReport(record, request.run.runMode) << '\n';
        return;
    }
    writeResultFields(std::cout, record.fields);
    if (request.run.runMode == RunMode::AbsoluteDisplay) writeAbsoluteRows(std::cout, record.rows);
}

int runAndReport(const CliRequest& request)
{
    CliHost host(takeInterruptRequest, request.json ? CliHost::MessageListener{} : printMessageNow);
    std::optional<toolpath::ToolpathStore> toolpath;
    if (request.plotPath) {
        toolpath.emplace(Point3{request.run.initialX, request.run.initialY, request.run.initialZ});
        host.recordMovesInto(&*toolpath);
    }
    installInterruptHandler();
    const RunResult result = RunDriver(request.settings).execute(request.run, host);
    printReport(request, host.record());
    int status = exitStatusFor(result, interruptReceived());
    // Only a finished run has a picture; a rejected or stopped one leaves no file.
    if (toolpath && status == exitFinished) {
        if (auto error =
                writePlot(*toolpath, *request.plotPath, request.plotView, request.settings.process.decimalPlaces)) {
            std::cerr << text::sanitizeUtf8(*error) << std::endl;
            status = exitWarning;
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
