// The command line: options, modes, --set with its limits, the settings file,
// the order of the vocabulary validation and the version.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "options.h"
#include "scratch_directory.h"

namespace drennix::cli {
namespace {

ParseOutcome parse(std::vector<std::string> args)
{
    return parseCommandLine(args);
}

ParseOutcome parseAssignments(const std::vector<std::string>& assignments)
{
    std::vector<std::string> args;
    for (const std::string& assignment : assignments)
        args.insert(args.end(), {"--set", assignment});
    args.push_back("part.nc");
    return parse(args);
}

// The run options and the report form as one comparable value.
auto runRequest(const ParseOutcome& outcome)
{
    const RunOptions& run = outcome.request.run;
    return std::tuple(run.sourcePath, run.suffix, run.tolerance, run.initialX, run.initialY, run.initialZ, run.runMode,
                      outcome.request.json);
}

TEST(options, defaults_and_every_option_reach_the_run)
{
    const ParseOutcome defaults = parse({"part.nc"});
    ASSERT_EQ(defaults.status, ParseStatus::Run) << defaults.text;
    EXPECT_EQ(runRequest(defaults), std::tuple(std::string("part.nc"), std::string("_con"), 0.01, 0.0, 0.0, 0.0,
                                               RunMode::MachiningTime, false));
    Settings settings;
    resetToDefaults(settings);
    EXPECT_EQ(defaults.request.settings, settings);

    const ParseOutcome all = parse(
        {"-m", "arcs", "-t", "0.5", "-s", "_new", "-x", "-12.5", "-y", "+3", "-z", "1e1", "--json", "dir/part.nc"});
    ASSERT_EQ(all.status, ParseStatus::Run) << all.text;
    EXPECT_EQ(runRequest(all), std::tuple(std::string("dir/part.nc"), std::string("_new"), 0.5, -12.5, 3.0, 10.0,
                                          RunMode::ConvertArcs, true));

    EXPECT_FALSE(defaults.request.toolsCsvPath.has_value());
    EXPECT_EQ(parse({"--tools-csv", "tools.csv", "part.nc"}).request.toolsCsvPath, "tools.csv");
}

// A path from the root, with either separator, is the source on every
// platform, never an option in the Windows style.
TEST(options, a_source_named_from_the_root_is_no_option)
{
    for (const std::string source : {"/nc/part.nc", "/m", "\\nc\\part.nc", "C:\\nc\\part.nc"}) {
        const ParseOutcome outcome = parse({"-m", "helical", source});
        ASSERT_EQ(outcome.status, ParseStatus::Run) << source << ": " << outcome.text;
        EXPECT_EQ(outcome.request.run.sourcePath, source);
        EXPECT_EQ(outcome.request.run.runMode, RunMode::ConvertHelical);
    }
    // Two names are two programs.
    const ParseOutcome two = parse({"/json", "part.nc"});
    ASSERT_EQ(two.status, ParseStatus::Run) << two.text;
    ASSERT_TRUE(two.request.batch);
    EXPECT_EQ(two.request.batch->sources, (std::vector<std::string>{"/json", "part.nc"}));
    EXPECT_FALSE(parse({"part.nc"}).request.batch);
}

TEST(options, modes_by_name_or_number_and_tolerance_bounds_inclusive)
{
    const std::vector<std::pair<std::string, RunMode>> modes{
        {"time", RunMode::MachiningTime}, {"0", RunMode::MachiningTime},        {"absolute", RunMode::AbsoluteDisplay},
        {"1", RunMode::AbsoluteDisplay},  {"helical", RunMode::ConvertHelical}, {"2", RunMode::ConvertHelical},
        {"arcs", RunMode::ConvertArcs},   {"3", RunMode::ConvertArcs}};
    for (const auto& [text, mode] : modes) {
        const ParseOutcome outcome = parse({"--mode", text, "part.nc"});
        ASSERT_EQ(outcome.status, ParseStatus::Run) << text << ": " << outcome.text;
        EXPECT_EQ(outcome.request.run.runMode, mode) << text;
    }
    // 0 passes here; the run refuses it with its own message.
    for (const std::string text : {"0", "1"}) {
        const ParseOutcome outcome = parse({"-t", text, "part.nc"});
        ASSERT_EQ(outcome.status, ParseStatus::Run) << text << ": " << outcome.text;
        EXPECT_EQ(outcome.request.run.tolerance, std::stod(text));
    }
}

TEST(options, usage_errors_give_one_line_naming_the_program)
{
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{},
                             Args{"a.nc", "b.nc", "--json"},
                             Args{"-j", "0", "a.nc", "b.nc"},
                             Args{"--summary", "xml", "a.nc", "b.nc"},
                             Args{"--extensions", ", ,", "a.nc"},
                             Args{"--bogus", "a.nc"},
                             Args{"a.nc", "-m"},
                             Args{"-m", "4", "a.nc"},
                             Args{"-m", "Time", "a.nc"},
                             Args{"-t", "1.0001", "a.nc"},
                             Args{"-t", "-0.5", "a.nc"},
                             Args{"-t", "nan", "a.nc"},
                             Args{"-t", "", "a.nc"},
                             Args{"-x", "abc", "a.nc"},
                             Args{"-y", "1e999", "a.nc"},
                             Args{"-z", "-nan", "a.nc"},
                             Args{"--set", "xAxisLetter", "a.nc"},
                             Args{"--set", "=X", "a.nc"},
                             Args{"--set", "XAxisLetter=U", "a.nc"},
                             Args{"--set", "xAxisLetter=XY", "a.nc"},
                             Args{"--set", "xAxisLetter=\xEF\xBC\xB8", "a.nc"},  // full-width X: 3 bytes
                             Args{"--set", "decimalPlaces=1.5", "a.nc"},
                             Args{"--set", "decimalPlaces=", "a.nc"},
                             Args{"--set", "rapidSpeed=2147483648", "a.nc"},
                             Args{"--set", "cwArcCode=0x2", "a.nc"},
                             Args{"--set", "cwArcCode=", "a.nc"},
                             Args{"--tools-csv", "", "a.nc"}}) {
        const ParseOutcome outcome = parse(args);
        EXPECT_EQ(outcome.status, ParseStatus::UsageError) << outcome.text;
        EXPECT_EQ(outcome.text.rfind("drennix-cli: ", 0), 0u) << outcome.text;
        EXPECT_EQ(outcome.text.find('\n'), std::string::npos) << outcome.text;
    }
}

TEST(options, integer_settings_keep_the_limits_of_the_settings_dialog)
{
    struct Limits {
        std::string name;
        int minimum;
        int maximum;
    };
    for (const auto& [name, minimum, maximum] :
         {Limits{"decimalPlaces", 0, 9}, Limits{"absoluteDisplayRows", 99, 99999}, Limits{"initialMotion", 0, 3},
          Limits{"initialPlane", 4, 6}, Limits{"initialCoordinate", 7, 8}, Limits{"copyItems", 0, 2}}) {
        for (const int accepted : {minimum, maximum}) {
            const ParseOutcome outcome = parseAssignments({name + "=" + std::to_string(accepted)});
            ASSERT_EQ(outcome.status, ParseStatus::Run) << name << "=" << accepted << ": " << outcome.text;
            EXPECT_EQ(outcome.request.settings.process.*findSettingField(name)->integer, accepted);
        }
        for (const int refused : {minimum - 1, maximum + 1}) {
            EXPECT_EQ(parseAssignments({name + "=" + std::to_string(refused)}).text,
                      "drennix-cli: --set " + name + ": " + std::to_string(refused) + " is outside " +
                          std::to_string(minimum) + " to " + std::to_string(maximum));
        }
    }
}

TEST(options, every_setting_can_be_set_by_its_code_name)
{
    // A distinct value for every field, of the kind the field takes, and the value stored.
    std::vector<std::string> assignments;
    std::vector<std::string> values;
    for (const SettingField& field : settingFields()) {
        const int index = static_cast<int>(values.size());
        values.push_back(field.kind == SettingKind::Letter  ? std::string(1, static_cast<char>('a' + index))
                         : field.kind == SettingKind::GCode ? std::to_string(100 + index) + ".5"
                                                            : std::to_string(field.hasLimits ? field.maximum : 4321));
        assignments.push_back(std::string(field.name) + "=" + values.back());
    }
    ASSERT_EQ(assignments.size(), 53u);
    const ParseOutcome outcome = parseAssignments(assignments);
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    const Settings& settings = outcome.request.settings;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const SettingField& field = settingFields()[i];
        if (field.kind == SettingKind::Letter)
            EXPECT_EQ(settings.vocabulary.*field.letter, values[i]) << field.name;
        else if (field.kind == SettingKind::GCode)
            EXPECT_EQ(settings.vocabulary.*field.code, std::stod(values[i])) << field.name;
        else
            EXPECT_EQ(settings.process.*field.integer, std::stoi(values[i])) << field.name;
    }
}

TEST(options, assignments_apply_in_order_then_the_first_failing_rule_speaks)
{
    // Expected text; empty: the settings are valid.
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"zAxisLetter=", "rapidSpeed=5"}, "Z軸指令 を入力して下さい。"},
        {{"commentStart=", "feedLetter="}, "注釈開始指令 を入力して下さい。"},
        {{"rapidSpeed=5", "xAxisLetter=5"}, "早送り速度 には10以上を入力して下さい。"},
        // rapidSpeed has no storing limit: the validation speaks.
        {{"rapidSpeed=-2147483648"}, "早送り速度 には10以上を入力して下さい。"},
        {{"rapidSpeed=9"}, "早送り速度 には10以上を入力して下さい。"},
        {{"rapidSpeed=10"}, ""},
        {{"xAxisLetter=5", "radiusLetter=Y"}, "X軸指令 が英字以外の為に入力し直して下さい。"},
        {{"arcKLetter= "}, "円弧K指令 が英字以外の為に入力し直して下さい。"},
        // A half-width katakana byte is one byte: --set takes it, the validation refuses it.
        {{"feedLetter=\xB1"}, "速度指令 が英字以外の為に入力し直して下さい。"},
        {{"commentEnd=("}, "注釈開始指令 と 注釈終了指令 が同じの為に入力し直して下さい。"},
        {{"radiusLetter=X"}, "X軸指令 と 円弧半径指令 が同じの為に入力し直して下さい。"},
        {{"valueSetCode=17"}, "値設定指令 と XY平面指令 が同じの為に入力し直して下さい。"},
        {{"compRightCode=1.0"}, "直線切削指令 と 右径補正指令 が同じの為に入力し直して下さい。"},
        {{"compRightCode=1.0000001"}, ""},
        {{"rapidSpeed=5", "rapidSpeed=3000"}, ""},
        {{"radiusLetter=X", "xAxisLetter=Q"}, ""},
        {{"commentStart=/", "commentEnd=%"}, ""}};
    for (const auto& [assignments, text] : cases) {
        const ParseOutcome outcome = parseAssignments(assignments);
        EXPECT_EQ(outcome.status, text.empty() ? ParseStatus::Run : ParseStatus::UsageError) << assignments[0];
        EXPECT_EQ(outcome.text, text) << assignments[0];
    }
}

TEST(options, help_lists_the_setting_names)
{
    const ParseOutcome outcome = parse({"--help"});
    ASSERT_EQ(outcome.status, ParseStatus::Help);
    for (const SettingField& field : settingFields())
        EXPECT_NE(outcome.text.find(field.name), std::string::npos) << field.name;
}

// --settings reads the settings of the file (not the main window's inputs),
// --set changes them further, and the vocabulary's rules judge the outcome.
TEST(options, the_settings_file_comes_before_the_assignments)
{
    const testing::ScratchDirectory scratch;
    const std::string file = scratch
                                 .write("settings.json", R"({"xAxisLetter": "U", "rapidSpeed": 9000, "copyItems": 1,
                                          "main": {"suffix": "_kept", "tolerance": 0.5, "runMode": "arcs"}})")
                                 .string();
    const ParseOutcome read = parse({"--settings", file, "part.nc"});
    ASSERT_EQ(read.status, ParseStatus::Run) << read.text;
    Settings expected;
    expected.vocabulary.xAxisLetter = std::string(1, 'U');
    expected.process.rapidSpeed = 9000;
    expected.process.copyItems = 1;
    EXPECT_EQ(read.request.settings, expected);
    EXPECT_EQ(runRequest(read), runRequest(parse({"part.nc"})));

    const ParseOutcome overridden = parse({"--set", "xAxisLetter=X", "--settings", file, "part.nc"});
    ASSERT_EQ(overridden.status, ParseStatus::Run) << overridden.text;
    expected.vocabulary.xAxisLetter = std::string(1, 'X');
    EXPECT_EQ(overridden.request.settings, expected);

    // U in the file clashes with an assignment; a later one clears it.
    EXPECT_EQ(parse({"--settings", file, "--set", "arcILetter=U", "part.nc"}).text,
              "X軸指令 と 円弧I指令 が同じの為に入力し直して下さい。");
    EXPECT_EQ(parse({"--settings", file, "--set", "arcILetter=U", "--set", "xAxisLetter=X", "part.nc"}).status,
              ParseStatus::Run);
    // The file, then --dialect, then --set, whatever their order on the line.
    const std::string dialects =
        scratch.write("dialects.json", R"({"lowerCaseLetters": 1, "arcTurnsByP": 1})").string();
    const ParseOutcome layered =
        parse({"--set", "arcTurnsByP=1", "--dialect", "standard", "--settings", dialects, "part.nc"});
    ASSERT_EQ(layered.status, ParseStatus::Run) << layered.text;
    EXPECT_EQ(layered.request.settings.process.lowerCaseLetters, 0);
    EXPECT_EQ(layered.request.settings.process.arcTurnsByP, 1);
}

// A settings file in a folder named in Japanese, given by its UTF-8 name.
TEST(options, a_settings_file_named_in_japanese_is_read)
{
    const testing::ScratchDirectory scratch;
    const std::filesystem::path folder = scratch.path() / std::u8string(u8"設定");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    std::ofstream(folder / std::u8string(u8"ﾌﾗｲｽ.json"), std::ios::binary) << R"({"rapidSpeed": 7000})";
    const std::u8string name = (folder / std::u8string(u8"ﾌﾗｲｽ.json")).u8string();
    const ParseOutcome read = parse({"--settings", std::string(name.begin(), name.end()), "part.nc"});
    ASSERT_EQ(read.status, ParseStatus::Run) << read.text;
    EXPECT_EQ(read.request.settings.process.rapidSpeed, 7000);
}

TEST(options, an_unreadable_or_invalid_settings_file_is_a_usage_error)
{
    const testing::ScratchDirectory scratch;
    const std::pair<std::string, std::string> files[] = {
        {(scratch / "missing.json").string(), "cannot be opened"},
        {scratch.path().string(), "folder"},
        {scratch.write("broken.json", "{\"rapidSpeed\": ").string(), "not valid JSON"},
        {scratch.write("rows.json", "{\"absoluteDisplayRows\": 12}").string(),
         "absoluteDisplayRows: 12 is outside 99 to 99999"},
    };
    for (const auto& [file, reason] : files) {
        const ParseOutcome outcome = parse({"--settings", file, "part.nc"});
        EXPECT_EQ(outcome.status, ParseStatus::UsageError) << file;
        EXPECT_EQ(outcome.text.rfind("drennix-cli: --settings " + file + ": ", 0), 0u) << outcome.text;
        EXPECT_NE(outcome.text.find(reason), std::string::npos) << outcome.text;
        EXPECT_EQ(outcome.text.find('\n'), std::string::npos) << outcome.text;
    }
}

TEST(options, version_needs_no_source)
{
    const ParseOutcome outcome = parse({"--version"});
    ASSERT_EQ(outcome.status, ParseStatus::Help) << outcome.text;
    EXPECT_EQ(outcome.text, "drennix-cli " DRENNIX_TEST_VERSION "\n");
}

}  // namespace
}  // namespace drennix::cli

namespace drennix::cli {
namespace {

TEST(options, a_dialect_sets_its_five_settings_before_any_set)
{
    const auto parse = [](std::vector<std::string> args) {
        args.push_back("part.nc");
        return parseCommandLine(args);
    };
    const ParseOutcome linuxcnc = parse({"--set", "calculatorDecimals=0", "--dialect", "linuxcnc"});
    ASSERT_EQ(linuxcnc.status, ParseStatus::Run) << linuxcnc.text;
    const ProcessSettings& p = linuxcnc.request.settings.process;
    // --set wins over the dialect wherever it stands on the line.
    EXPECT_EQ(std::vector<int>(
                  {p.calculatorDecimals, p.lowerCaseLetters, p.semicolonComments, p.endAtProgramEnd, p.arcTurnsByP}),
              (std::vector<int>{0, 1, 1, 1, 1}));
    EXPECT_EQ(parse({"--dialect", "standard"}).request.settings, Settings{});
    const ParseOutcome unknown = parse({"--dialect", "grbl"});
    EXPECT_EQ(unknown.status, ParseStatus::UsageError);
    EXPECT_NE(unknown.text.find("--dialect"), std::string::npos);
    EXPECT_EQ(parse({"--set", "arcTurnsByP=2"}).status, ParseStatus::UsageError);
}

}  // namespace
}  // namespace drennix::cli
