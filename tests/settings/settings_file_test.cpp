// The settings file: what it writes reads back the same, it names every field
// as --set does and refuses what --set refuses, a bad file changes nothing,
// and the keys of other versions are passed over.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scratch_directory.h"
#include "setting_assignment.h"
#include "settings_file.h"

namespace drennix::settings_file {
namespace {

using testing::ScratchDirectory;

// A state in which every kind of value differs from its default.
KeptState changedState()
{
    KeptState state;
    state.settings.vocabulary.xAxisLetter = std::string(1, 'U');
    state.settings.vocabulary.commentStart = std::string(1, '[');
    state.settings.vocabulary.rapidCode = 100;
    state.settings.vocabulary.valueSetCode = 10.5;
    state.settings.vocabulary.compLeftCode = -41.25;
    state.settings.process.rapidSpeed = 12000;
    state.settings.process.absoluteDisplayRows = 99999;
    state.settings.process.copyItems = 2;
    state.settings.machine.acceleration[2] = 750.5;
    state.settings.machine.lookAhead = 64;
    state.settings.machine.controller = static_cast<int>(Controller::Grbl);
    state.settings.machine.junctionDeviation = 0.002;
    state.settings.estimate = true;
    state.main.suffix = "_新";
    state.main.tolerance = 0.005;
    state.main.initialX = -12.5;
    state.main.initialY = 1e-7;
    state.main.initialZ = 100;
    state.main.runMode = RunMode::ConvertArcs;
    state.main.lastFolder = "/home/作業/nc files";
    return state;
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(settings_file, what_it_writes_reads_back_the_same)
{
    const KeptState state = changedState();
    KeptState read;
    ASSERT_EQ(parseSettings(renderSettings(state), read, Parts::SettingsAndMain), std::nullopt);
    EXPECT_EQ(read, state);

    // Through a file in a folder that does not exist yet, written twice: the
    // second replaces the first and nothing is left beside it.
    const ScratchDirectory scratch;
    const auto path = scratch / "config/Drennix/settings.json";
    ASSERT_EQ(writeSettingsFile(path, KeptState{}), std::nullopt);
    ASSERT_EQ(writeSettingsFile(path, state), std::nullopt);
    KeptState fromFile;
    ASSERT_EQ(readSettingsFile(path, fromFile, Parts::SettingsAndMain), std::nullopt);
    EXPECT_EQ(fromFile, state);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1);
    EXPECT_EQ(readAll(path).back(), '\n');
}

// Each key is a name --set takes, with the value --set would give it in text.
TEST(settings_file, names_every_field_as_set_does)
{
    const KeptState state = changedState();
    const std::string text = renderSettings(state);
    for (const SettingField& field : settingFields()) {
        EXPECT_NE(text.find("\n  \"" + std::string(field.name) + "\": "), std::string::npos) << field.name;
    }
    for (const MachineField& field : machineFields()) {
        EXPECT_NE(text.find("\n  \"" + std::string(field.name) + "\": "), std::string::npos) << field.name;
    }
    EXPECT_NE(text.find("\"accelerationZ\": 750.5,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"lookAhead\": 64,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"controller\": \"grbl\","), std::string::npos) << text;
    EXPECT_NE(text.find("\"estimate\": true,"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  \"main\": {"), std::string::npos);
    // Whole G-code numbers are written without a fraction, for people who edit
    // the file by hand.
    EXPECT_NE(text.find("\"rapidCode\": 100,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"valueSetCode\": 10.5,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"runMode\": \"arcs\""), std::string::npos) << text;

    // A file holding one field is read as `--set` reads that field.
    for (const SettingField& field : settingFields()) {
        std::string value;
        std::string json;
        switch (field.kind) {
        case SettingKind::Letter:
            value = "Q";
            json = "\"Q\"";
            break;
        case SettingKind::GCode:
            value = "-7.5";
            json = value;
            break;
        case SettingKind::Integer:
            value = std::to_string(field.hasLimits ? field.maximum : 77);
            json = value;
            break;
        }
        Settings bySet;
        ASSERT_EQ(cli::applySettingAssignment(bySet, std::string(field.name) + "=" + value), std::nullopt);
        KeptState byFile;
        ASSERT_EQ(parseSettings("{\"" + std::string(field.name) + "\": " + json + "}", byFile, Parts::SettingsOnly),
                  std::nullopt)
            << field.name;
        EXPECT_EQ(byFile.settings, bySet) << field.name;
    }
}

struct ValueCase {
    const char* field;
    const char* json;      // the value in the file
    const char* setValue;  // the same value after --set NAME=
};

// Accepted by the file exactly when --set accepts it.
TEST(settings_file, refuses_what_set_refuses)
{
    const ValueCase cases[] = {
        {"xAxisLetter", "\"\"", ""},
        {"xAxisLetter", "\"W\"", "W"},
        {"xAxisLetter", "\"XY\"", "XY"},
        {"xAxisLetter", "\"\u00e9\"", "\u00e9"},  // two bytes in UTF-8
        {"rapidCode", "0", "0"},
        {"rapidCode", "-1e300", "-1e300"},
        {"rapidCode", "1e400", "1e400"},
        {"rapidSpeed", "-5", "-5"},
        {"rapidSpeed", "2147483647", "2147483647"},
        {"rapidSpeed", "2147483648", "2147483648"},
        {"rapidSpeed", "-2147483649", "-2147483649"},
        {"rapidSpeed", "3.5", "3.5"},
        {"decimalPlaces", "0", "0"},
        {"decimalPlaces", "9", "9"},
        {"decimalPlaces", "10", "10"},
        {"absoluteDisplayRows", "98", "98"},
        {"absoluteDisplayRows", "99", "99"},
        {"initialPlane", "3", "3"},
        {"initialPlane", "6", "6"},
        {"initialCoordinate", "9", "9"},
        {"copyItems", "-1", "-1"},
        {"copyItems", "2", "2"},
        {"controller", "\"generic\"", "generic"},
        {"controller", "\"grbl\"", "grbl"},
        {"controller", "\"GRBL\"", "GRBL"},
        {"controller", "1", "1"},
    };
    for (const ValueCase& c : cases) {
        const std::string name = c.field;
        Settings bySet;
        const bool setAccepts = !cli::applySettingAssignment(bySet, name + "=" + c.setValue).has_value();
        KeptState byFile;
        const auto refusal = parseSettings("{\"" + name + "\": " + c.json + "}", byFile, Parts::SettingsOnly);
        EXPECT_EQ(!refusal.has_value(), setAccepts) << name << " = " << c.json;
        if (setAccepts && !refusal) {
            EXPECT_EQ(byFile.settings, bySet) << name << " = " << c.json;
        }
        // A refusal is one line that names the field (an overflowing number
        // is already refused by the JSON reader).
        if (refusal) {
            EXPECT_EQ(refusal->find('\n'), std::string::npos) << *refusal;
            if (std::string(c.json) != "1e400") {
                EXPECT_NE(refusal->find(name), std::string::npos) << *refusal;
            }
        }
    }
}

// Not JSON, not an object, a value of the wrong type, a bad input of the main
// window: refused with a reason, and the state stays as it was.
TEST(settings_file, a_refused_file_changes_nothing)
{
    const std::pair<const char*, const char*> files[] = {
        {"", "not valid JSON"},
        {"{\"rapidSpeed\": 3000", "not valid JSON"},
        {"[1, 2]", "one JSON object"},
        {"\"settings\"", "one JSON object"},
        {"{\"xAxisLetter\": 5}", "xAxisLetter: expects a string"},
        {"{\"rapidCode\": \"0\"}", "rapidCode: expects a number"},
        {"{\"rapidSpeed\": true}", "rapidSpeed: expects an integer"},
        {"{\"absoluteDisplayRows\": 5}", "absoluteDisplayRows: 5 is outside 99 to 99999"},
        {"{\"yAxisLetter\": \"V\", \"main\": {\"tolerance\": 1.5}}", "main.tolerance: 1.5 is outside 0 to 1"},
        {"{\"main\": {\"tolerance\": -0.001}}", "main.tolerance"},
        {"{\"main\": {\"runMode\": \"fast\"}}", "main.runMode: \"fast\" is not one of"},
        {"{\"main\": {\"initialX\": null}}", "main.initialX: expects a number"},
        {"{\"main\": {\"suffix\": 1}}", "main.suffix: expects a string"},
        {"{\"main\": [\"_con\"]}", "main: expects an object"},
    };
    for (const auto& [text, reason] : files) {
        KeptState state = changedState();
        const auto refusal = parseSettings(text, state, Parts::SettingsAndMain);
        ASSERT_TRUE(refusal.has_value()) << text;
        EXPECT_NE(refusal->find(reason), std::string::npos) << text << " gave " << *refusal;
        EXPECT_EQ(state, changedState()) << text;
    }
}

// Keys of a later version are passed over; keys left out keep their values;
// the command line takes the settings only, whatever "main" holds.
TEST(settings_file, reads_only_what_it_knows_and_what_it_is_asked_for)
{
    KeptState state = changedState();
    const char* text =
        R"({"futureSetting": [1, {"x": 2}], "yAxisLetter": "V", "main": {"runMode": "time", "theme": 3}})";
    ASSERT_EQ(parseSettings(text, state, Parts::SettingsAndMain), std::nullopt);
    KeptState expected = changedState();
    expected.settings.vocabulary.yAxisLetter = std::string(1, 'V');
    expected.main.runMode = RunMode::MachiningTime;
    EXPECT_EQ(state, expected);

    KeptState settingsOnly = changedState();
    ASSERT_EQ(
        parseSettings(R"({"yAxisLetter": "V", "main": {"tolerance": "wide"}})", settingsOnly, Parts::SettingsOnly),
        std::nullopt);
    EXPECT_EQ(settingsOnly.settings, expected.settings);
    EXPECT_EQ(settingsOnly.main, changedState().main);
}

TEST(settings_file, a_missing_or_unreadable_file_is_refused)
{
    const ScratchDirectory scratch;
    KeptState state;
    const auto missing = readSettingsFile(scratch / "none.json", state, Parts::SettingsOnly);
    ASSERT_TRUE(missing.has_value());
    EXPECT_NE(missing->find("cannot be opened"), std::string::npos) << *missing;
    const auto folder = readSettingsFile(scratch.path(), state, Parts::SettingsOnly);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(state, KeptState{});
    // A folder where the file should go cannot be replaced by it.
    std::filesystem::create_directories(scratch / "taken.json/inside");
    EXPECT_TRUE(writeSettingsFile(scratch / "taken.json", state).has_value());
}

// Only a regular file of at most 1 MiB is read: a named pipe nobody writes
// or a device would keep the reading waiting or growing without end.
TEST(settings_file, what_is_no_regular_file_of_a_sane_size_is_refused_at_once)
{
    const ScratchDirectory scratch;
    KeptState state;
    // White space around a JSON object: a valid file up to the limit.
    std::string content = "{}";
    content.resize(maxSettingsFileBytes, ' ');
    std::ofstream(scratch / "limit.json", std::ios::binary) << content;
    EXPECT_EQ(readSettingsFile(scratch / "limit.json", state, Parts::SettingsOnly), std::nullopt);
    std::ofstream(scratch / "over.json", std::ios::binary) << content << ' ';
    const auto over = readSettingsFile(scratch / "over.json", state, Parts::SettingsOnly);
    ASSERT_TRUE(over.has_value());
    EXPECT_EQ(*over, "cannot be read: it is larger than 1 MiB");
#if !defined(_WIN32)
    const std::filesystem::path pipe = scratch / "pipe.json";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::filesystem::path& path : {pipe, std::filesystem::path("/dev/zero")}) {
        const auto refused = readSettingsFile(path, state, Parts::SettingsOnly);
        ASSERT_TRUE(refused.has_value()) << path;
        EXPECT_EQ(*refused, "cannot be read: it is not a regular file");
    }
#endif
    EXPECT_EQ(state, KeptState{});
}

}  // namespace
}  // namespace drennix::settings_file
