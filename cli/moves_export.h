// --moves FILE: one JSON object per evaluated move, one per line, written
// while the run goes on into a file without a visible name and published
// under FILE only when the run finished, never over an existing file.
#pragma once

#include <string>

#include "fault.h"
#include "move.h"
#include "output_file.h"

namespace drennix::cli {

// The JSON object of one move. `convertingRun` adds `converted` and
// `segments` to an arc that the run replaced.
std::string moveJsonLine(const Move& move, bool convertingRun);

class MovesExport {
public:
    MovesExport(const std::string& path, bool convertingRun) : store_(path), convertingRun_(convertingRun) {}

    void add(const Move& move) { store_.append({}, moveJsonLine(move, convertingRun_)); }
    // The file appears whole under its name, or nothing does.
    Fault publish() { return store_.publish(); }
    void discard() { store_.discard(); }

private:
    FileOutputStore store_;
    const bool convertingRun_;
};

}  // namespace drennix::cli
