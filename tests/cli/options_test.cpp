// The command line: options, modes, --set with its limits, and the order of
// the vocabulary validation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"

namespace drennix::cli {
namespace {

ParseOutcome parse(std::vector<std::string> args) { return parseCommandLine(args); }

Settings defaultSettings()
{
    Settings settings;
    resetToDefaults(settings);
    return settings;
}

std::vector<std::string> withAssignments(const std::vector<std::string>& assignments)
{
    std::vector<std::string> args;
    for (const std::string& assignment : assignments) {
        args.push_back("--set");
        args.push_back(assignment);
    }
    args.push_back("part.nc");
    return args;
}

TEST(options, defaults_without_options)
{
    const ParseOutcome outcome = parse({"part.nc"});
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    const RunOptions& run = outcome.request.run;
    EXPECT_EQ(run.sourcePath, "part.nc");
    EXPECT_EQ(run.suffix, "_con");
    EXPECT_EQ(run.tolerance, 0.01);
    EXPECT_EQ(run.initialX, 0.0);
    EXPECT_EQ(run.initialY, 0.0);
    EXPECT_EQ(run.initialZ, 0.0);
    EXPECT_EQ(run.runMode, RunMode::MachiningTime);
    EXPECT_FALSE(outcome.request.json);
    EXPECT_EQ(outcome.request.settings, defaultSettings());
}

TEST(options, every_option_reaches_the_run)
{
    const ParseOutcome outcome = parse(
        {"-m", "arcs", "-t", "0.5", "-s", "_new", "-x", "-12.5", "-y", "+3", "-z", "1e1", "--json", "dir/part.nc"});
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    const RunOptions& run = outcome.request.run;
    EXPECT_EQ(run.runMode, RunMode::ConvertArcs);
    EXPECT_EQ(run.tolerance, 0.5);
    EXPECT_EQ(run.suffix, "_new");
    EXPECT_EQ(run.initialX, -12.5);
    EXPECT_EQ(run.initialY, 3.0);
    EXPECT_EQ(run.initialZ, 10.0);
    EXPECT_EQ(run.sourcePath, "dir/part.nc");
    EXPECT_TRUE(outcome.request.json);
}

TEST(options, empty_suffix_and_empty_source_are_left_to_the_run)
{
    // The run reports both with its own messages.
    const ParseOutcome outcome = parse({"-s", "", ""});
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    EXPECT_EQ(outcome.request.run.suffix, "");
    EXPECT_EQ(outcome.request.run.sourcePath, "");
}

struct ModeCase {
    std::string text;
    RunMode mode;
};

void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.text; }

class ModeTest : public testing::TestWithParam<ModeCase> {};

TEST_P(ModeTest, names_and_numbers_select_the_mode)
{
    const ParseOutcome outcome = parse({"--mode", GetParam().text, "part.nc"});
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    EXPECT_EQ(outcome.request.run.runMode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(options, ModeTest,
                         testing::Values(ModeCase{"time", RunMode::MachiningTime},
                                         ModeCase{"0", RunMode::MachiningTime},
                                         ModeCase{"absolute", RunMode::AbsoluteDisplay},
                                         ModeCase{"1", RunMode::AbsoluteDisplay},
                                         ModeCase{"helical", RunMode::ConvertHelical},
                                         ModeCase{"2", RunMode::ConvertHelical},
                                         ModeCase{"arcs", RunMode::ConvertArcs},
                                         ModeCase{"3", RunMode::ConvertArcs}));

TEST(options, tolerance_bounds_of_the_main_window_are_inclusive)
{
    for (const std::string text : {"0", "1", "1.0", "0.000001"}) {
        const ParseOutcome outcome = parse({"-t", text, "part.nc"});
        ASSERT_EQ(outcome.status, ParseStatus::Run) << text << ": " << outcome.text;
        EXPECT_EQ(outcome.request.run.tolerance, std::stod(text)) << text;
    }
}

class UsageErrorTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageErrorTest, gives_one_line_naming_the_program)
{
    const ParseOutcome outcome = parse(GetParam());
    ASSERT_EQ(outcome.status, ParseStatus::UsageError);
    EXPECT_EQ(outcome.text.rfind("drennix-cli: ", 0), 0u) << outcome.text;
    EXPECT_EQ(outcome.text.find('\n'), std::string::npos) << outcome.text;
}

INSTANTIATE_TEST_SUITE_P(
    options, UsageErrorTest,
    testing::Values(
        std::vector<std::string>{}, std::vector<std::string>{"a.nc", "b.nc"},
        std::vector<std::string>{"--bogus", "a.nc"}, std::vector<std::string>{"a.nc", "-m"},
        std::vector<std::string>{"-m", "4", "a.nc"}, std::vector<std::string>{"-m", "Time", "a.nc"},
        std::vector<std::string>{"-m", "", "a.nc"}, std::vector<std::string>{"-t", "2", "a.nc"},
        std::vector<std::string>{"-t", "1.0001", "a.nc"}, std::vector<std::string>{"-t", "-0.5", "a.nc"},
        std::vector<std::string>{"-t", "nan", "a.nc"}, std::vector<std::string>{"-t", "inf", "a.nc"},
        std::vector<std::string>{"-t", "0x0.1", "a.nc"}, std::vector<std::string>{"-t", "", "a.nc"},
        std::vector<std::string>{"-x", "abc", "a.nc"}, std::vector<std::string>{"-y", "1e999", "a.nc"},
        std::vector<std::string>{"-z", "-nan", "a.nc"}, std::vector<std::string>{"-x", "1,5", "a.nc"},
        std::vector<std::string>{"--set", "xAxisLetter", "a.nc"},
        std::vector<std::string>{"--set", "=X", "a.nc"},
        std::vector<std::string>{"--set", "noSuchSetting=1", "a.nc"},
        std::vector<std::string>{"--set", "XAxisLetter=U", "a.nc"},
        std::vector<std::string>{"--set", "xAxisLetter=XY", "a.nc"},
        std::vector<std::string>{"--set", "xAxisLetter=\xEF\xBC\xB8", "a.nc"},  // full-width X: 3 bytes
        std::vector<std::string>{"--set", "decimalPlaces=1.5", "a.nc"},
        std::vector<std::string>{"--set", "decimalPlaces=", "a.nc"},
        std::vector<std::string>{"--set", "rapidSpeed=2147483648", "a.nc"},
        std::vector<std::string>{"--set", "cwArcCode=nan", "a.nc"},
        std::vector<std::string>{"--set", "cwArcCode=0x2", "a.nc"},
        std::vector<std::string>{"--set", "cwArcCode=", "a.nc"}));

// The limits the settings dialog applies when it stores an integer field.
struct IntegerLimits {
    std::string name;
    int minimum;
    int maximum;
};

void PrintTo(const IntegerLimits& c, std::ostream* out) { *out << c.name; }

class IntegerLimitTest : public testing::TestWithParam<IntegerLimits> {};

int storedInteger(const Settings& settings, const std::string& name)
{
    return settings.process.*findSettingField(name)->integer;
}

TEST_P(IntegerLimitTest, limits_are_inclusive)
{
    const IntegerLimits& limits = GetParam();
    for (const int accepted : {limits.minimum, limits.maximum}) {
        const ParseOutcome outcome = parse(withAssignments({limits.name + "=" + std::to_string(accepted)}));
        ASSERT_EQ(outcome.status, ParseStatus::Run) << limits.name << "=" << accepted << ": " << outcome.text;
        EXPECT_EQ(storedInteger(outcome.request.settings, limits.name), accepted);
    }
    for (const int refused : {limits.minimum - 1, limits.maximum + 1}) {
        const ParseOutcome outcome = parse(withAssignments({limits.name + "=" + std::to_string(refused)}));
        EXPECT_EQ(outcome.status, ParseStatus::UsageError) << limits.name << "=" << refused;
        EXPECT_EQ(outcome.text.rfind("drennix-cli: ", 0), 0u) << outcome.text;
    }
}

INSTANTIATE_TEST_SUITE_P(options, IntegerLimitTest,
                         testing::Values(IntegerLimits{"decimalPlaces", 0, 9},
                                         IntegerLimits{"absoluteDisplayRows", 99, 99999},
                                         IntegerLimits{"initialMotion", 0, 3}, IntegerLimits{"initialPlane", 4, 6},
                                         IntegerLimits{"initialCoordinate", 7, 8},
                                         IntegerLimits{"copyItems", 0, 2}));

TEST(options, rapid_speed_has_no_storing_limit_and_is_left_to_the_validation)
{
    for (const std::string value : {"9", "0", "-2147483648"}) {
        const ParseOutcome outcome = parse(withAssignments({"rapidSpeed=" + value}));
        ASSERT_EQ(outcome.status, ParseStatus::UsageError) << value;
        EXPECT_EQ(outcome.text, "早送り速度 には10以上を入力して下さい。");
    }
    const ParseOutcome outcome = parse(withAssignments({"rapidSpeed=10"}));
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    EXPECT_EQ(outcome.request.settings.process.rapidSpeed, 10);
}

// A distinct value for every field, of the kind the field takes.
std::string distinctValueFor(const SettingField& field, int index)
{
    switch (field.kind) {
    case SettingKind::Letter:
        return std::string(1, static_cast<char>('a' + index));
    case SettingKind::GCode:
        return std::to_string(100 + index) + ".5";
    case SettingKind::Integer:
        return std::to_string(field.hasLimits ? field.maximum : 4321);
    }
    return {};
}

TEST(options, every_setting_can_be_set_by_its_code_name)
{
    std::vector<std::string> assignments;
    int index = 0;
    for (const SettingField& field : settingFields())
        assignments.push_back(std::string(field.name) + "=" + distinctValueFor(field, index++));
    ASSERT_EQ(assignments.size(), 32u);

    const ParseOutcome outcome = parse(withAssignments(assignments));
    ASSERT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    const Settings& settings = outcome.request.settings;
    index = 0;
    for (const SettingField& field : settingFields()) {
        const std::string expected = distinctValueFor(field, index++);
        switch (field.kind) {
        case SettingKind::Letter:
            EXPECT_EQ(settings.vocabulary.*field.letter, expected) << field.name;
            break;
        case SettingKind::GCode:
            EXPECT_EQ(settings.vocabulary.*field.code, std::stod(expected)) << field.name;
            break;
        case SettingKind::Integer:
            EXPECT_EQ(settings.process.*field.integer, std::stoi(expected)) << field.name;
            break;
        }
    }
}

TEST(options, a_letter_takes_the_raw_byte)
{
    // A half-width katakana byte is one byte: --set takes it, the validation
    // then refuses it as not a letter.
    const ParseOutcome katakana = parse(withAssignments({"feedLetter=\xB1"}));
    ASSERT_EQ(katakana.status, ParseStatus::UsageError);
    EXPECT_EQ(katakana.text, "速度指令 が英字以外の為に入力し直して下さい。");

    const ParseOutcome lower = parse(withAssignments({"radiusLetter=x"}));
    ASSERT_EQ(lower.status, ParseStatus::Run) << lower.text;
    EXPECT_EQ(lower.request.settings.vocabulary.radiusLetter, "x");
}

struct ValidationCase {
    std::vector<std::string> assignments;
    std::string text;  // empty: the settings are valid
};

void PrintTo(const ValidationCase& c, std::ostream* out)
{
    for (const std::string& assignment : c.assignments)
        *out << assignment << " ";
}

class ValidationTest : public testing::TestWithParam<ValidationCase> {};

TEST_P(ValidationTest, assignments_apply_in_order_then_the_first_failing_rule_speaks)
{
    const ValidationCase& c = GetParam();
    const ParseOutcome outcome = parse(withAssignments(c.assignments));
    if (c.text.empty()) {
        EXPECT_EQ(outcome.status, ParseStatus::Run) << outcome.text;
    } else {
        EXPECT_EQ(outcome.status, ParseStatus::UsageError);
        EXPECT_EQ(outcome.text, c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    options, ValidationTest,
    testing::Values(
        ValidationCase{{"zAxisLetter=", "rapidSpeed=5"}, "Z軸指令 を入力して下さい。"},
        ValidationCase{{"commentStart=", "feedLetter="}, "注釈開始指令 を入力して下さい。"},
        ValidationCase{{"rapidSpeed=5", "xAxisLetter=5"}, "早送り速度 には10以上を入力して下さい。"},
        ValidationCase{{"xAxisLetter=5", "radiusLetter=Y"}, "X軸指令 が英字以外の為に入力し直して下さい。"},
        ValidationCase{{"arcKLetter= "}, "円弧K指令 が英字以外の為に入力し直して下さい。"},
        ValidationCase{{"gCodeLetter=."}, "動作指令 が英字以外の為に入力し直して下さい。"},
        ValidationCase{{"commentEnd=("}, "注釈開始指令 と 注釈終了指令 が同じの為に入力し直して下さい。"},
        ValidationCase{{"radiusLetter=X"}, "X軸指令 と 円弧半径指令 が同じの為に入力し直して下さい。"},
        ValidationCase{{"valueSetCode=17"}, "値設定指令 と XY平面指令 が同じの為に入力し直して下さい。"},
        ValidationCase{{"compRightCode=1.0"}, "直線切削指令 と 右径補正指令 が同じの為に入力し直して下さい。"},
        ValidationCase{{"compRightCode=1.0000001"}, ""},
        ValidationCase{{"rapidSpeed=5", "rapidSpeed=3000"}, ""},
        ValidationCase{{"xAxisLetter=Q", "radiusLetter=X"}, ""},
        ValidationCase{{"radiusLetter=X", "xAxisLetter=Q"}, ""},
        ValidationCase{{"commentStart=/", "commentEnd=%"}, ""}));

TEST(options, help_lists_the_setting_names)
{
    const ParseOutcome outcome = parse({"--help"});
    ASSERT_EQ(outcome.status, ParseStatus::Help);
    for (const SettingField& field : settingFields())
        EXPECT_NE(outcome.text.find(field.name), std::string::npos) << field.name;
}

}  // namespace
}  // namespace drennix::cli
