#include "settings_file.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <fstream>
#include <iterator>
#include <system_error>

#include <nlohmann/json.hpp>

namespace drennix::settings_file {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr std::string_view mainKey = "main";
constexpr std::string_view estimateKey = "estimate";

struct RunModeName {
    RunMode mode;
    std::string_view name;
};

// The names drennix-cli's --mode takes.
constexpr RunModeName runModeNames[] = {
    {RunMode::MachiningTime, "time"},
    {RunMode::AbsoluteDisplay, "absolute"},
    {RunMode::ConvertHelical, "helical"},
    {RunMode::ConvertArcs, "arcs"},
};

std::string_view nameOf(RunMode mode)
{
    for (const RunModeName& entry : runModeNames) {
        if (entry.mode == mode) return entry.name;
    }
    return runModeNames[0].name;
}

// A refusal names the key and says why, in one line.
class Refusal {
public:
    explicit Refusal(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

[[noreturn]] void refuse(std::string_view key, std::string_view reason)
{
    throw Refusal(std::string(key) + ": " + std::string(reason));
}

std::string shown(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A G-code number that is a whole number is written as one ("xyPlaneCode": 17).
OrderedJson codeValue(double code)
{
    if (std::trunc(code) == code && std::fabs(code) < 1e15) return static_cast<long long>(code);
    return code;
}

std::string readString(std::string_view key, const Json& value)
{
    if (!value.is_string()) refuse(key, "expects a string, got " + shown(value));
    return value.get<std::string>();
}

double readNumber(std::string_view key, const Json& value)
{
    // JSON numbers are finite: the parser refuses what a double cannot hold.
    if (!value.is_number()) refuse(key, "expects a number, got " + shown(value));
    return value.get<double>();
}

int readInteger(std::string_view key, const Json& value)
{
    const bool fits = (value.is_number_unsigned() && value.get<std::uint64_t>() <= INT_MAX) ||
                      (value.is_number_integer() && !value.is_number_unsigned() &&
                       value.get<std::int64_t>() >= INT_MIN && value.get<std::int64_t>() <= INT_MAX);
    if (!fits) refuse(key, "expects an integer in the 32-bit range, got " + shown(value));
    return value.get<int>();
}

void readField(const SettingField& field, const Json& value, Settings& settings)
{
    switch (field.kind) {
    case SettingKind::Letter: {
        std::string letter = readString(field.name, value);
        if (letter.size() > 1) refuse(field.name, "a letter is one byte, got " + shown(value));
        settings.vocabulary.*field.letter = std::move(letter);
        return;
    }
    case SettingKind::GCode: settings.vocabulary.*field.code = readNumber(field.name, value); return;
    case SettingKind::Integer: {
        const int number = readInteger(field.name, value);
        if (field.hasLimits && (number < field.minimum || number > field.maximum)) {
            refuse(field.name, std::to_string(number) + " is outside " + std::to_string(field.minimum) + " to " +
                                   std::to_string(field.maximum));
        }
        settings.process.*field.integer = number;
        return;
    }
    }
}

std::string choiceNames(const MachineField& field)
{
    std::string text;
    for (const std::string_view name : field.names) {
        text += text.empty() ? "\"" : ", \"";
        text += name;
        text += '"';
    }
    return text;
}

void readMachineField(const MachineField& field, const Json& value, MachineModel& machine)
{
    if (field.isChoice()) {
        const std::optional<int> choice = value.is_string() ? field.choiceOf(value.get<std::string>()) : std::nullopt;
        if (!choice) refuse(field.name, shown(value) + " is not one of " + choiceNames(field));
        field.assign(machine, *choice);
    } else if (field.isInteger()) {
        field.assign(machine, readInteger(field.name, value));
    } else {
        field.assign(machine, readNumber(field.name, value));
    }
}

RunMode readRunMode(std::string_view key, const Json& value)
{
    const std::string name = readString(key, value);
    for (const RunModeName& entry : runModeNames) {
        if (entry.name == name) return entry.mode;
    }
    refuse(key, shown(value) + " is not one of \"time\", \"absolute\", \"helical\", \"arcs\"");
}

void readMain(const Json& object, MainInputs& main)
{
    if (!object.is_object()) refuse(mainKey, "expects an object, got " + shown(object));
    for (const auto& [key, value] : object.items()) {
        const std::string name = "main." + key;
        if (key == "suffix") {
            main.suffix = readString(name, value);
        } else if (key == "tolerance") {
            main.tolerance = readNumber(name, value);
            if (!(main.tolerance >= 0 && main.tolerance <= 1)) refuse(name, shown(value) + " is outside 0 to 1");
        } else if (key == "initialX") {
            main.initialX = readNumber(name, value);
        } else if (key == "initialY") {
            main.initialY = readNumber(name, value);
        } else if (key == "initialZ") {
            main.initialZ = readNumber(name, value);
        } else if (key == "runMode") {
            main.runMode = readRunMode(name, value);
        } else if (key == "lastFolder") {
            main.lastFolder = readString(name, value);
        }
    }
}

// nlohmann's texts start with "[json.exception.parse_error.101] ".
std::string withoutExceptionId(const char* what)
{
    std::string text(what);
    if (!text.empty() && text.front() == '[') {
        const std::size_t end = text.find("] ");
        if (end != std::string::npos) text.erase(0, end + 2);
    }
    return text;
}

std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

}  // namespace

std::string renderSettings(const KeptState& state)
{
    OrderedJson root = OrderedJson::object();
    for (const SettingField& field : settingFields()) {
        const std::string key(field.name);
        switch (field.kind) {
        case SettingKind::Letter: root[key] = state.settings.vocabulary.*field.letter; break;
        case SettingKind::GCode: root[key] = codeValue(state.settings.vocabulary.*field.code); break;
        case SettingKind::Integer: root[key] = state.settings.process.*field.integer; break;
        }
    }
    for (const MachineField& field : machineFields()) {
        const double value = field.value(state.settings.machine);
        if (field.isChoice()) {
            root[std::string(field.name)] = std::string(field.names[static_cast<std::size_t>(value)]);
        } else {
            root[std::string(field.name)] = codeValue(value);
        }
    }
    root[std::string(estimateKey)] = state.settings.estimate;
    const MainInputs& main = state.main;
    OrderedJson inputs = OrderedJson::object();
    inputs["suffix"] = main.suffix;
    inputs["tolerance"] = main.tolerance;
    inputs["initialX"] = main.initialX;
    inputs["initialY"] = main.initialY;
    inputs["initialZ"] = main.initialZ;
    inputs["runMode"] = std::string(nameOf(main.runMode));
    inputs["lastFolder"] = main.lastFolder;
    root[std::string(mainKey)] = std::move(inputs);
    // Bytes that are no UTF-8 (a letter outside ASCII) become U+FFFD.
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<std::string> parseSettings(std::string_view text, KeptState& state, Parts parts)
{
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::exception& error) {
        return "not valid JSON: " + withoutExceptionId(error.what());
    }
    if (!root.is_object()) return "the settings must be one JSON object, not " + std::string(root.type_name());
    KeptState read = state;
    try {
        for (const SettingField& field : settingFields()) {
            const auto value = root.find(std::string(field.name));
            if (value != root.end()) readField(field, *value, read.settings);
        }
        for (const MachineField& field : machineFields()) {
            const auto value = root.find(std::string(field.name));
            if (value != root.end()) readMachineField(field, *value, read.settings.machine);
        }
        if (const auto value = root.find(std::string(estimateKey)); value != root.end()) {
            if (!value->is_boolean()) refuse(estimateKey, "expects true or false, got " + shown(*value));
            read.settings.estimate = value->get<bool>();
        }
        const auto main = root.find(std::string(mainKey));
        if (parts == Parts::SettingsAndMain && main != root.end()) readMain(*main, read.main);
    } catch (const Refusal& refusal) {
        return refusal.text();
    }
    state = std::move(read);
    return std::nullopt;
}

std::optional<std::string> readSettingsFile(const std::filesystem::path& path, KeptState& state, Parts parts)
{
    // Only a regular file of a sane size is read: opening a named pipe would
    // wait for a writer that may never come, and a device may never end.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) return "cannot be read: it is a folder";
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return "cannot be read: it is not a regular file";
    }
    if (std::filesystem::exists(status) && std::filesystem::file_size(path, error) > maxSettingsFileBytes) {
        return "cannot be read: it is larger than 1 MiB";
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot be opened: " + systemReason(errno != 0 ? errno : ENOENT);
    // Read to the limit and one byte more: a file that grew since is refused too.
    std::string content(maxSettingsFileBytes + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) return "cannot be read: " + systemReason(errno != 0 ? errno : EIO);
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > maxSettingsFileBytes) return "cannot be read: it is larger than 1 MiB";
    return parseSettings(content, state, parts);
}

std::optional<std::string> writeSettingsFile(const std::filesystem::path& path, const KeptState& state)
{
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) return "cannot create the folder: " + error.message();
    }
    std::filesystem::path temporary = path;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return "cannot be written: " + systemReason(errno != 0 ? errno : EACCES);
        out << renderSettings(state);
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return "cannot be written: " + systemReason(EIO);
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return "cannot be written: " + error.message();
    }
    return std::nullopt;
}

}  // namespace drennix::settings_file
