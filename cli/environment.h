// What drennix-cli asks of the system it runs on: whether its output goes to
// a terminal, how many processors there are, what a name on the command
// line is.
#pragma once

#include <string>

namespace drennix::cli {

bool standardOutputIsTerminal();
bool standardErrorIsTerminal();
// At least 1.
int processorCount();
// `path` (UTF-8) names a folder.
bool isFolder(const std::string& path);

}  // namespace drennix::cli
