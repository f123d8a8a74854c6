// How a run ended, as a value: what the command line's exit status, the
// benchmarks and the tests read instead of guessing from the messages.
#pragma once

#include <optional>
#include <string>

#include "fault.h"

namespace drennix {

enum class RunOutcome {
    Calculated,         // machining time or absolute display finished
    Converted,          // the new program was written
    NothingConverted,   // a converting run found no arc to convert
    InputRejected,      // an input check failed; nothing was opened
    LineRejected,       // a line broke a rule (or could not be read)
    Stopped,            // Escape, while reading or while writing
    SourceCloseFailed,  // the source could not be closed after the last line
    OutputFailed,       // the new program could not be created, written or closed
};

struct RunResult {
    RunOutcome outcome = RunOutcome::InputRejected;
    // Why the run did not finish; FaultId::None when it did.
    Fault fault;
    // The lines read: after a rejected line its number, after Escape the
    // lines finished.
    long long lineCount = 0;
    // The output file, once it was created (it may be incomplete when the
    // outcome is Stopped or OutputFailed).
    std::optional<std::string> outputPath;

    bool finished() const
    {
        return outcome == RunOutcome::Calculated || outcome == RunOutcome::Converted ||
               outcome == RunOutcome::NothingConverted;
    }
};

}  // namespace drennix
