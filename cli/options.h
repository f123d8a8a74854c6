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
