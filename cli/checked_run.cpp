#include "checked_run.h"

#include "cp932.h"
#include "run_driver.h"

namespace drennix::cli {

CheckedRun runChecked(const CliRequest& request, CliHost& host, CheckAlongside& check)
{
    if (isConverting(request.run.runMode)) {
        host.listenToWrittenBytes(
            [&](std::string_view bytes, long long linesComplete) { check.written(bytes, linesComplete); },
            [&](const Move& arc) { check.noteArc(arc); }, [&](const CyclePlan& cycle) { check.noteCycle(cycle); });
    }
    CheckedRun run;
    run.result = RunDriver(request.settings).execute(request.run, host);
    if (run.result.outcome != RunOutcome::Converted || !run.result.outputPath) {
        check.abandon();
        return run;
    }
    // The written program, read as it went to its file, measured to its last
    // converted arc.
    const VerificationResult verification = check.finish();
    if (verification.checked()) {
        host.setVerification(verification.summary);
    } else {
        run.checkFailed = true;
        run.uncheckedLine = verification.outputLine;
    }
    return run;
}

std::string uncheckedProgramLine(const std::string& outputPath, long long line)
{
    return "drennix-cli: the written program " + text::sanitizeUtf8(outputPath) + " could not be checked (its line " +
           std::to_string(line) + ")";
}

}  // namespace drennix::cli
