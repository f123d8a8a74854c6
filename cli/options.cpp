#include "options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <vector>

#include "drennix_version.h"
#include "environment.h"
#include "file_names.h"
#include "number_text.h"
#include "setting_assignment.h"
#include "settings_file.h"

namespace drennix::cli {
namespace {

// The option values as typed; numbers are checked by our own grammar, not by
// CLI11's conversions.
struct RawOptions {
    std::string mode = "time";
    std::string tolerance;
    std::string suffix = "_con";
    std::string x;
    std::string y;
    std::string z;
    std::vector<std::string> assignments;
    std::string settingsFile;
    std::string dialect;
    std::string machineFile;
    std::vector<std::string> sources;
    bool recursive = false;
    std::string jobs;
    std::string summary;
    std::string summaryFile;
    std::string extensions{defaultProgramExtensions};
    std::string plot;
    std::string view = "xy";
    std::string moves;
    std::string toolsCsv;
    bool json = false;
    bool estimate = false;
};

struct ModeName {
    std::string_view name;
    std::string_view number;
    RunMode mode;
};

constexpr ModeName modeNames[] = {
    {"time", "0", RunMode::MachiningTime},
    {"absolute", "1", RunMode::AbsoluteDisplay},
    {"helical", "2", RunMode::ConvertHelical},
    {"arcs", "3", RunMode::ConvertArcs},
};

ParseOutcome usageError(std::string message)
{
    std::replace(message.begin(), message.end(), '\n', ' ');
    return {ParseStatus::UsageError, {}, "drennix-cli: " + message};
}

std::string versionText()
{
    return "drennix-cli " DRENNIX_VERSION;
}

std::string settingNamesList()
{
    std::string names;
    for (const SettingField& field : settingFields()) {
        if (!names.empty()) names += ", ";
        names += field.name;
    }
    for (const MachineField& field : machineFields()) {
        names += ", ";
        names += field.name;
    }
    return names;
}

void describeOptions(CLI::App& app, RawOptions& raw)
{
    // The same options on every platform: on Windows CLI11 would also read
    // "/name" as an option, and a source named from the drive's root with it.
    app.allow_windows_style_options(false);
    app.add_option("-m,--mode", raw.mode, "time (0), absolute (1), helical (2) or arcs (3); default time")
        ->type_name("MODE");
    app.add_option("-t,--tolerance", raw.tolerance, "allowed deviation of the straight moves, 0 to 1; default 0.01")
        ->type_name("T");
    app.add_option("-s,--suffix", raw.suffix, "put before the last '.' of the output file name; default _con");
    app.add_option("-x", raw.x, "initial X position; default 0")->type_name("X");
    app.add_option("-y", raw.y, "initial Y position; default 0")->type_name("Y");
    app.add_option("-z", raw.z, "initial Z position; default 0")->type_name("Z");
    app.add_option("--settings", raw.settingsFile,
                   "read the settings from FILE, a JSON file as the desktop program keeps them; --set changes them "
                   "further")
        ->type_name("FILE");
    app.add_option("--set", raw.assignments, "set one field of the vocabulary or settings (repeatable)")
        ->type_name("NAME=VALUE")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--dialect", raw.dialect,
                   "standard (every dialect setting off), linuxcnc (on: numbers as written, lower-case "
                   "letters, ';' comments, end at M2/M30, arc turns by P, canned cycles and G4 dwells as LinuxCNC "
                   "reads them, G28/G30/G53, G54-G59 and G10 L2, G20/G21, spaces inside words, G92 on some axes, "
                   "A/B/C words, G0 under G41/G42, parameters and expressions named, tool changes, subprograms) "
                   "or fanuc (standard, with canned cycles and G4 dwells as a Fanuc-style control reads them, "
                   "G28/G30/G53, G54-G59 and G10 L2, G20/G21, tool changes, subprograms); before any --set")
        ->type_name("DIALECT");
    app.add_flag("--estimate", raw.estimate,
                 "also estimate the time the machine takes (acceleration, corners, look-ahead; see the machine "
                 "settings): 推定時間 after the results, \"estimate\" in the JSON report");
    app.add_option("--machine", raw.machineFile,
                   "read the machine model (the keys maxFeedX ... spindleChangeTime) from FILE, a settings file; after "
                   "--settings, before any --set")
        ->type_name("FILE");
    app.add_flag("--json", raw.json, "print one JSON report on standard output");
    app.add_option("--plot", raw.plot,
                   "after a finished run, draw the toolpath into FILE as SVG (an existing FILE is never replaced)")
        ->type_name("FILE");
    app.add_option("--view", raw.view, "the view of --plot: xy (default), xz, yz or iso")->type_name("VIEW");
    app.add_option("--moves", raw.moves,
                   "write every evaluated move as one JSON object per line to FILE, which must not exist; "
                   "only when the run finishes")
        ->type_name("FILE");
    app.add_option("--tools-csv", raw.toolsCsv,
                   "write the figures per tool (the table after the results) to FILE as CSV, UTF-8 with CR LF, "
                   "which must not exist; only when the run finishes; empty unless tool changes are read "
                   "(toolChanges, on in the linuxcnc and fanuc dialects)")
        ->type_name("FILE");
    app.set_version_flag("--version", versionText(), "print the version and exit");
    app.add_flag("-r,--recursive", raw.recursive, "with folders among the SOURCEs: their subfolders too");
    app.add_option("-j,--jobs", raw.jobs,
                   "with several programs: how many run at a time; default the number of processors")
        ->type_name("N");
    app.add_option("--summary", raw.summary,
                   "with several programs: the summary as table (default on a terminal; tab-separated), csv "
                   "(default otherwise; UTF-8 with CR LF) or json")
        ->type_name("FORM");
    app.add_option("--summary-file", raw.summaryFile,
                   "with several programs: write the summary to FILE, which must not exist, instead of standard "
                   "output")
        ->type_name("FILE");
    app.add_option("--extensions", raw.extensions,
                   "the extensions of the programs in a folder, separated by commas, any case (files without "
                   "one are taken too); default " +
                       std::string(defaultProgramExtensions))
        ->type_name("LIST");
    app.add_option("SOURCE", raw.sources,
                   "the NC program to read; several files or folders (their programs by extension) are run as "
                   "several programs, with a summary")
        ->required()
        ->type_name("");
    app.footer("Settings for --set, and the keys of a --settings file: " + settingNamesList() +
               "\n\nExit status: 0 finished, 1 ended on a warning, 2 usage error or invalid settings, "
               "130 interrupted.\n");
}

struct ViewName {
    std::string_view name;
    toolpath::ViewDirection view;
};

constexpr ViewName viewNames[] = {
    {"xy", toolpath::ViewDirection::XY},
    {"xz", toolpath::ViewDirection::XZ},
    {"yz", toolpath::ViewDirection::YZ},
    {"iso", toolpath::ViewDirection::Isometric},
};

// --plot and --view into the request; returns the usage error, if any.
std::optional<std::string> fillPlotOptions(const CLI::App& app, const RawOptions& raw, CliRequest& request)
{
    const auto view = std::find_if(std::begin(viewNames), std::end(viewNames),
                                   [&](const ViewName& entry) { return entry.name == raw.view; });
    if (view == std::end(viewNames)) return "--view: '" + raw.view + "' is not one of xy, xz, yz, iso";
    if (app.count("--view") > 0 && app.count("--plot") == 0) return "--view: only with --plot";
    request.plotView = view->view;
    if (app.count("--plot") > 0) {
        if (raw.plot.empty()) return "--plot: the file name is empty";
        request.plotPath = raw.plot;
    }
    return std::nullopt;
}

std::optional<RunMode> modeFromText(std::string_view text)
{
    for (const ModeName& entry : modeNames) {
        if (text == entry.name || text == entry.number) return entry.mode;
    }
    return std::nullopt;
}

// Reads one number option into `target` when it was given.
std::optional<std::string> readNumberOption(const CLI::App& app, std::string_view option, const std::string& text,
                                            double& target)
{
    if (app.count(std::string(option)) == 0) return std::nullopt;
    const std::optional<double> value = parseDecimalNumber(text);
    if (!value) return std::string(option) + ": '" + text + "' is not a finite decimal number";
    target = *value;
    return std::nullopt;
}

// Turns the typed values into run options; returns the usage error, if any.
std::optional<std::string> fillRunOptions(const CLI::App& app, const RawOptions& raw, RunOptions& run)
{
    const std::optional<RunMode> mode = modeFromText(raw.mode);
    if (!mode) return "--mode: '" + raw.mode + "' is not one of time, absolute, helical, arcs, 0, 1, 2, 3";
    run.runMode = *mode;
    run.sourcePath = raw.sources.front();
    run.suffix = raw.suffix;
    if (auto error = readNumberOption(app, "--tolerance", raw.tolerance, run.tolerance)) return error;
    // The main window accepts a tolerance from 0 to 1 inclusive; the run
    // itself then refuses 0 with its own message.
    if (!(run.tolerance >= 0 && run.tolerance <= 1)) return "--tolerance: '" + raw.tolerance + "' is outside 0 to 1";
    if (auto error = readNumberOption(app, "-x", raw.x, run.initialX)) return error;
    if (auto error = readNumberOption(app, "-y", raw.y, run.initialY)) return error;
    return readNumberOption(app, "-z", raw.z, run.initialZ);
}

// The settings of the file named by `option` over `settings`.
std::optional<std::string> readSettingsOption(std::string_view option, const std::string& path, Settings& settings)
{
    settings_file::KeptState state;
    state.settings = settings;
    // The name is UTF-8, as every argument: on Windows the system's narrow
    // calls would read it in the ANSI code page.
    if (auto error = settings_file::readSettingsFile(pathFromUtf8(path), state, settings_file::Parts::SettingsOnly)) {
        return std::string(option) + " " + path + ": " + *error;
    }
    settings = state.settings;
    return std::nullopt;
}

// Only the machine model of the file named by --machine.
std::optional<std::string> readMachineOption(const std::string& path, Settings& settings)
{
    Settings read = settings;
    if (auto error = readSettingsOption("--machine", path, read)) return error;
    settings.machine = read.machine;
    return std::nullopt;
}

std::optional<std::string> applyDialectOption(const CLI::App& app, const std::string& name, Settings& settings)
{
    if (app.count("--dialect") == 0) return std::nullopt;
    if (name == "standard") {
        applyDialect(settings.process, Dialect::Standard);
    } else if (name == "linuxcnc") {
        applyDialect(settings.process, Dialect::LinuxCnc);
    } else if (name == "fanuc") {
        applyDialect(settings.process, Dialect::Fanuc);
    } else {
        return "--dialect: '" + name + "' is not one of standard, linuxcnc, fanuc";
    }
    return std::nullopt;
}

std::optional<std::string> applyAssignments(const std::vector<std::string>& assignments, Settings& settings)
{
    for (const std::string& assignment : assignments) {
        if (auto error = applySettingAssignment(settings, assignment)) return error;
    }
    return std::nullopt;
}

std::optional<SummaryFormat> summaryFormatOf(std::string_view name)
{
    if (name == "table") return SummaryFormat::Table;
    if (name == "csv") return SummaryFormat::Csv;
    if (name == "json") return SummaryFormat::Json;
    return std::nullopt;
}

// Several programs: their options, and what a single run's options would
// write that several cannot share.
std::optional<std::string> fillBatchOptions(const CLI::App& app, const RawOptions& raw, CliRequest& request)
{
    // One name alone is the single run it always was, a folder too (which
    // that run refuses); an option of several programs takes its folders.
    const bool several = raw.sources.size() > 1;
    const bool asked = app.count("-r") + app.count("-j") + app.count("--summary") + app.count("--summary-file") +
                           app.count("--extensions") >
                       0;
    if (!several && !asked) return std::nullopt;
    for (const char* single : {"--json", "--moves", "--tools-csv", "--plot"}) {
        if (app.count(single) > 0) return std::string(single) + ": only with one SOURCE (a summary: --summary json)";
    }
    BatchOptions batch;
    batch.sources = raw.sources;
    batch.recursive = raw.recursive;
    batch.jobs = processorCount();
    if (app.count("-j") > 0) {
        const std::optional<int> jobs = parseInteger(raw.jobs);
        if (!jobs || *jobs < 1 || *jobs > 256) return "--jobs: '" + raw.jobs + "' is not a whole number from 1 to 256";
        batch.jobs = *jobs;
    }
    batch.format = standardOutputIsTerminal() ? SummaryFormat::Table : SummaryFormat::Csv;
    if (app.count("--summary") > 0) {
        const auto format = summaryFormatOf(raw.summary);
        if (!format) return "--summary: '" + raw.summary + "' is not one of table, csv, json";
        batch.format = *format;
    }
    if (app.count("--summary-file") > 0) {
        if (raw.summaryFile.empty()) return "--summary-file: the file name is empty";
        batch.summaryFile = raw.summaryFile;
    }
    batch.extensions = programExtensions(raw.extensions);
    if (batch.extensions.empty()) return "--extensions: '" + raw.extensions + "' names no extension";
    request.batch = std::move(batch);
    return std::nullopt;
}

}  // namespace

// ".NC, ngc" → ".nc", ".ngc".
std::vector<std::string> programExtensions(std::string_view list)
{
    std::vector<std::string> extensions;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        while (!item.empty() && item.front() == ' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        if (item.empty()) continue;
        std::string extension = item.front() == '.' ? std::string() : std::string(".");
        for (const char c : item)
            extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        extensions.push_back(extension);
    }
    return extensions;
}

ParseOutcome parseCommandLine(std::span<const std::string> args)
{
    CLI::App app{
        "Checks an NC program and reports its machining time, lists every block with its absolute "
        "position, or writes a copy with helical arcs (or all arcs) replaced by straight moves.",
        "drennix-cli"};
    RawOptions raw;
    describeOptions(app, raw);
    try {
        // CLI11 takes the arguments in reverse order.
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
        return {ParseStatus::Help, {}, app.help()};
    } catch (const CLI::CallForVersion&) {
        return {ParseStatus::Help, {}, versionText() + "\n"};
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    }

    ParseOutcome outcome;
    outcome.request.json = raw.json;
    outcome.request.run.estimate = raw.estimate;
    if (app.count("--moves") > 0) {
        if (raw.moves.empty()) return usageError("--moves: the file name is empty");
        outcome.request.movesPath = raw.moves;
    }
    if (app.count("--tools-csv") > 0) {
        if (raw.toolsCsv.empty()) return usageError("--tools-csv: the file name is empty");
        outcome.request.toolsCsvPath = raw.toolsCsv;
    }
    if (auto error = fillRunOptions(app, raw, outcome.request.run)) return usageError(*error);
    if (auto error = fillPlotOptions(app, raw, outcome.request)) return usageError(*error);
    if (auto error = fillBatchOptions(app, raw, outcome.request)) return usageError(*error);
    resetToDefaults(outcome.request.settings);
    if (app.count("--settings") > 0) {
        if (auto error = readSettingsOption("--settings", raw.settingsFile, outcome.request.settings)) {
            return usageError(*error);
        }
    }
    if (app.count("--machine") > 0) {
        if (auto error = readMachineOption(raw.machineFile, outcome.request.settings)) return usageError(*error);
    }
    if (auto error = applyDialectOption(app, raw.dialect, outcome.request.settings)) return usageError(*error);
    if (auto error = applyAssignments(raw.assignments, outcome.request.settings)) return usageError(*error);
    if (auto failure = validateVocabulary(outcome.request.settings)) return {ParseStatus::UsageError, {}, *failure};
    if (auto failure = validateMachineModel(outcome.request.settings.machine)) {
        return {ParseStatus::UsageError, {}, *failure};
    }
    return outcome;
}

}  // namespace drennix::cli
