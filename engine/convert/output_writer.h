// Writing the new program of a converting run: the output path beside the
// source, refusing to overwrite any file, progress and Escape while writing.
// Every line ends with CR LF on every platform. What happened is returned as
// a value; the run driver tells the user.
#pragma once

#include <string>

#include "fault.h"
#include "program_lines.h"

namespace drennix {

// The source path with the suffix put before its last "." (of the whole
// path, folders included), or appended when there is none.
std::string outputPathFor(const std::string& sourcePath, const std::string& suffix);

// What the writing loop reports and asks while it runs.
class WriteObserver {
public:
    virtual ~WriteObserver() = default;
    // The output file has just been created.
    virtual void created(const std::string& path) = 0;
    // Before each line: `written` lines are in the file (every 100 lines).
    virtual void progress(long long written) = 0;
    virtual bool stopRequested() = 0;
};

struct WriteResult {
    // None when the file was written and closed; else OutputExists,
    // OutputOpenFailed, StoppedWhileWriting, WriteError or OutputCloseFailed.
    Fault fault;
    // After StoppedWhileWriting or WriteError: closing failed as well.
    bool closeFailedToo = false;
    bool created = false;
    long long written = 0;
};

// Writes `lines` to `outputPath` and empties them.
WriteResult writeOutputFile(ProgramLines& lines, const std::string& outputPath, WriteObserver& observer);

}  // namespace drennix
