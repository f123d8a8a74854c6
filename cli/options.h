// The command line of drennix-cli: the inputs of one run, the settings it
// runs with and the form of its report.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "projection.h"
#include "run_driver.h"
#include "vocabulary.h"

namespace drennix::cli {

// The forms of the summary of several programs.
enum class SummaryFormat { Table, Csv, Json };

// Several programs at once: more than one SOURCE, a folder, or an option of
// these.
struct BatchOptions {
    // As given: files and folders.
    std::vector<std::string> sources;
    // Folders are walked into their subfolders.
    bool recursive = false;
    // The runs at a time.
    int jobs = 1;
    SummaryFormat format = SummaryFormat::Table;
    std::optional<std::string> summaryFile;
    // The extensions a folder's programs have (lower case, with the dot); a
    // file without one is a program too.
    std::vector<std::string> extensions;
};

// The extensions taken from folders unless --extensions names others.
inline constexpr std::string_view defaultProgramExtensions = ".nc,.ngc,.tap,.gcode,.cnc,.txt";

// The extensions of a list as --extensions takes it, in lower case with
// their dots: ".NC, ngc" gives ".nc", ".ngc".
std::vector<std::string> programExtensions(std::string_view list);

struct CliRequest {
    RunOptions run;
    Settings settings;
    bool json = false;
    // --moves: the JSON-lines file of the evaluated moves (UTF-8).
    std::optional<std::string> movesPath;
    // --tools-csv: the CSV file of the figures per tool (UTF-8).
    std::optional<std::string> toolsCsvPath;
    // --plot: the SVG picture of the toolpath goes to this file after a
    // finished run, drawn in `plotView`.
    std::optional<std::string> plotPath;
    toolpath::ViewDirection plotView = toolpath::ViewDirection::XY;
    // Several programs; the run options then hold what every run shares.
    std::optional<BatchOptions> batch;
};

enum class ParseStatus {
    Run,         // `request` holds a valid run
    Help,        // `text` is the help or the version to print on standard output
    UsageError,  // `text` is the one line to print on standard error
};

struct ParseOutcome {
    ParseStatus status = ParseStatus::Run;
    CliRequest request;
    std::string text;
};

// Parses the arguments (without the program name). The settings start from the
// defaults, then the file of --settings (its settings, not the main window's
// inputs), then --dialect, then the --set assignments in their order; the
// result must pass validateVocabulary, and on failure `text` is exactly the
// validation text.
ParseOutcome parseCommandLine(std::span<const std::string> args);

}  // namespace drennix::cli
