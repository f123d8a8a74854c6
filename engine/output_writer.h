// Writing the output program of a converting run: the output path beside the
// source, refusing to overwrite any file, progress, Escape and the ending
// messages. Every line ends with CR LF on every platform.
#pragma once

#include <string>

#include "program_lines.h"
#include "run_host.h"

namespace drennix {

// The source path with the suffix put before its last "." (of the whole
// path, folders included), or appended when there is none.
std::string outputPathFor(const std::string& sourcePath, const std::string& suffix);

// Writes `lines` to the output file and ends the run: on every way out the
// lines are emptied and endWait is called.
void writeOutputFile(ProgramLines& lines, const std::string& sourcePath, const std::string& suffix, RunHost& host);

}  // namespace drennix
