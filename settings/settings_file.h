// The settings file: one JSON object holding every field of the vocabulary,
// the run settings and the machine model under the name `--set` uses
// ("xAxisLetter": "X", "rapidSpeed": 3000, "accelerationX": 2000, ...),
// "estimate" (true or false: the desktop program estimates the machine's
// time), and the main window's inputs in an object "main".
// The desktop program keeps its state in it between starts; drennix-cli reads
// the settings (not "main") with --settings.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "run_options.h"
#include "vocabulary.h"

namespace drennix::settings_file {

// The inputs of the main window that outlive a start of the program.
struct MainInputs {
    std::string suffix = "_con";
    double tolerance = 0.01;
    double initialX = 0;
    double initialY = 0;
    double initialZ = 0;
    RunMode runMode = RunMode::MachiningTime;
    // The folder of the last source picked, in UTF-8; empty before the first.
    std::string lastFolder;

    bool operator==(const MainInputs&) const = default;
};

// Everything the file holds.
struct KeptState {
    Settings settings;
    MainInputs main;

    bool operator==(const KeptState&) const = default;
};

// What a reader takes from the file.
enum class Parts { SettingsOnly, SettingsAndMain };

// The file's text: the settings in the order of settingFields(), then "main";
// two spaces of indent, a line end at the end.
std::string renderSettings(const KeptState& state);

// Reads `text` over `state`: each known key replaces its value, keys left out
// keep theirs, and keys this version does not know (those of a later one) are
// ignored. A value must have the form and range that `--set` accepts for its
// field (a letter is a string of at most one byte, a G-code number any JSON
// number, an integer a JSON integer within the field's limits). "main" is read
// only for SettingsAndMain: its tolerance from 0 to 1, the positions numbers,
// the run mode one of "time", "absolute", "helical", "arcs".
// Returns the reason, in one line, when the text is no JSON object or a value
// is refused; `state` is then unchanged. The vocabulary's own rules
// (validateVocabulary) are left to the caller.
std::optional<std::string> parseSettings(std::string_view text, KeptState& state, Parts parts);

// The largest settings file read; a larger one is refused.
inline constexpr std::size_t maxSettingsFileBytes = std::size_t{1} << 20;

// parseSettings over the content of the file at `path`: a regular file of at
// most maxSettingsFileBytes (anything else is refused at once, never waited on).
std::optional<std::string> readSettingsFile(const std::filesystem::path& path, KeptState& state, Parts parts);

// Writes renderSettings(state) to `path`, creating its folder when needed. The
// file is replaced whole: the text goes to a file beside it that is then
// renamed over it. Returns the reason on failure.
std::optional<std::string> writeSettingsFile(const std::filesystem::path& path, const KeptState& state);

}  // namespace drennix::settings_file
