// Several programs in one command: the programs of the files and folders
// given, run in parallel, each as the single-file run of the same options
// (its own output file where it converts), and one summary of them all.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "cli_host.h"
#include "options.h"

namespace drennix::cli {

// What one program's run left for the summary.
struct SummaryRow {
    std::string file;
    RunRecord record;
    int status = 0;
    // Its written program could not be checked (at this line).
    bool checkFailed = false;
    long long uncheckedLine = 0;
};

// The programs of `batch`, in order: each file as given, and the files of
// each folder (with `recursive` its subfolders too) whose extension is one
// of `extensions` or that have none, sorted by path; a name that is neither
// file nor folder is kept, for its run to say so.
std::vector<std::string> collectPrograms(const BatchOptions& batch);

// What a host hears of the runs, on the threads that run them: each program
// as it starts (with the count done and the whole), each row as its run
// ended (with the program's place).
struct BatchListener {
    std::function<void(const std::string& file, std::size_t done, std::size_t count)> started;
    std::function<void(std::size_t index, const SummaryRow& row)> ended;
};

// Runs the programs `jobs` at a time, `request` the options of every run.
// Once `stop` is set, every run stops as Escape stops it and no new one
// begins. The rows of the runs that ended, in the programs' order.
std::vector<SummaryRow> runPrograms(const CliRequest& request, const std::vector<std::string>& programs,
                                    const std::atomic<bool>& stop, const BatchListener& listener = {});

// The whole command: runs, the summary on standard output or in its file;
// the exit status, the worst of the runs'.
int runBatch(const CliRequest& request);

}  // namespace drennix::cli
