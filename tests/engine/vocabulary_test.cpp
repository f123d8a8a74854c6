// The command vocabulary: defaults, first-character classes, the validation
// rules in their order and the editable-field descriptors.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "vocabulary.h"

namespace drennix {
namespace {

Settings defaults()
{
    Settings s;
    s.vocabulary.xAxisLetter = "Q";
    s.process.rapidSpeed = 1;
    resetToDefaults(s);
    return s;
}

// The defaults, read through the field descriptors in validation order.
TEST(Vocabulary, DefaultsInValidationOrder)
{
    const Settings s = defaults();
    const auto fields = settingFields();
    ASSERT_EQ(fields.size(), 53u);
    std::string letters;
    std::vector<double> codes;
    std::vector<int> integers;
    for (const auto& f : fields) {
        if (f.kind == SettingKind::Letter) letters += s.vocabulary.*(f.letter);
        if (f.kind == SettingKind::GCode) codes.push_back(s.vocabulary.*(f.code));
        if (f.kind == SettingKind::Integer) integers.push_back(s.process.*(f.integer));
    }
    EXPECT_EQ(letters, "()GXYZIJKRF");
    EXPECT_EQ(codes, (std::vector<double>{0, 1, 2, 3, 10, 17, 18, 19, 90, 91, 92, 40, 41, 42}));
    EXPECT_EQ(integers, (std::vector<int>{3000, 3, 1500, 0, 4, 7, 0, 0, 0, 0, 0, 0, 0, 0,
                                          0,    0, 0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(piConstant), 0x400921FB54442D11ULL);
}

TEST(Vocabulary, FirstCharacterClass)
{
    const std::pair<const char*, int> cases[] = {{"", 2},  {" ", 2},  {"\t", 2}, {"\x7f", 2}, {"\x80", 2}, {"\xb1", 2},
                                                 {"!", 0}, {"*", 0},  {"+", 1},  {",", 0},    {"-", 1},    {".", 1},
                                                 {"/", 0}, {"0", 1},  {"9", 1},  {":", 0},    {"A", 0},    {"x", 0},
                                                 {"~", 0}, {"X5", 0}, {"5X", 1}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(classifyFirstCharacter(text), expected) << text;
}

struct ValidationCase {
    const char* name;
    void (*change)(Settings&);
    std::optional<std::string> expected;
};

class VocabularyRule : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(VocabularyRule, ReportsOnlyTheFirstBrokenRule)
{
    Settings s = defaults();
    GetParam().change(s);
    EXPECT_EQ(validateVocabulary(s), GetParam().expected);
}

using V = ValidationCase;
INSTANTIATE_TEST_SUITE_P(
    Rules, VocabularyRule,
    ::testing::Values(
        V{"Defaults", [](Settings&) {}, std::nullopt},
        V{"EmptyFeed", [](Settings& s) { s.vocabulary.feedLetter = ""; }, "速度指令 を入力して下さい。"},
        V{"EmptyZBeforeSlowRapid", [](Settings& s) { s.vocabulary.zAxisLetter = "", s.process.rapidSpeed = 5; },
          "Z軸指令 を入力して下さい。"},
        V{"EmptyJBeforeEmptyR", [](Settings& s) { s.vocabulary.radiusLetter = "", s.vocabulary.arcJLetter = ""; },
          "円弧J指令 を入力して下さい。"},
        V{"RapidSpeedNine", [](Settings& s) { s.process.rapidSpeed = 9; }, "早送り速度 には10以上を入力して下さい。"},
        V{"RapidSpeedTen", [](Settings& s) { s.process.rapidSpeed = 10; }, std::nullopt},
        V{"SlowRapidBeforeDigitLetter", [](Settings& s) { s.process.rapidSpeed = 0, s.vocabulary.xAxisLetter = "5"; },
          "早送り速度 には10以上を入力して下さい。"},
        V{"DigitLetter", [](Settings& s) { s.vocabulary.xAxisLetter = "5"; },
          "X軸指令 が英字以外の為に入力し直して下さい。"},
        V{"KatakanaLetter", [](Settings& s) { s.vocabulary.arcJLetter = "\xb1"; },
          "円弧J指令 が英字以外の為に入力し直して下さい。"},
        V{"ClassBeforeDuplicate", [](Settings& s) { s.vocabulary.yAxisLetter = "X", s.vocabulary.zAxisLetter = "1"; },
          "Z軸指令 が英字以外の為に入力し直して下さい。"},
        V{"SameDelimiters", [](Settings& s) { s.vocabulary.commentStart = ")"; },
          "注釈開始指令 と 注釈終了指令 が同じの為に入力し直して下さい。"},
        V{"RadiusLetterX", [](Settings& s) { s.vocabulary.radiusLetter = "X"; },
          "X軸指令 と 円弧半径指令 が同じの為に入力し直して下さい。"},
        V{"FirstPairWins", [](Settings& s) { s.vocabulary.feedLetter = "I", s.vocabulary.zAxisLetter = "Y"; },
          "Y軸指令 と Z軸指令 が同じの為に入力し直して下さい。"},
        V{"LettersBeforeCodes", [](Settings& s) { s.vocabulary.linearCode = 0, s.vocabulary.arcKLetter = "J"; },
          "円弧J指令 と 円弧K指令 が同じの為に入力し直して下さい。"},
        V{"ValueSetIsFifth", [](Settings& s) { s.vocabulary.valueSetCode = 17; },
          "値設定指令 と XY平面指令 が同じの為に入力し直して下さい。"},
        V{"ValueSetAfterArcs", [](Settings& s) { s.vocabulary.valueSetCode = 3; },
          "左廻円弧指令 と 値設定指令 が同じの為に入力し直して下さい。"},
        V{"OneEqualsOnePointZero", [](Settings& s) { s.vocabulary.compRightCode = 1.0; },
          "直線切削指令 と 右径補正指令 が同じの為に入力し直して下さい。"},
        V{"NearlyEqualCodesDiffer", [](Settings& s) { s.vocabulary.compRightCode = 1.0000001; }, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The fault of the first broken rule names the fields it is about, with the
// message validateVocabulary gives.
TEST(Vocabulary, FaultNamesItsFields)
{
    EXPECT_FALSE(findVocabularyFault(defaults()));
    const std::tuple<void (*)(Settings&), std::string_view, std::string_view> cases[] = {
        {[](Settings& s) { s.vocabulary.commentEnd = ""; }, "commentEnd", ""},
        {[](Settings& s) { s.process.rapidSpeed = 9; }, "rapidSpeed", ""},
        {[](Settings& s) { s.vocabulary.feedLetter = "5"; }, "feedLetter", ""},
        {[](Settings& s) { s.vocabulary.radiusLetter = "X"; }, "xAxisLetter", "radiusLetter"},
        {[](Settings& s) { s.vocabulary.compRightCode = 1; }, "linearCode", "compRightCode"},
    };
    for (const auto& [change, field, other] : cases) {
        Settings s = defaults();
        change(s);
        const std::optional<VocabularyFault> fault = findVocabularyFault(s);
        ASSERT_TRUE(fault) << field;
        EXPECT_EQ(fault->field, field);
        EXPECT_EQ(fault->otherField, other);
        EXPECT_EQ(std::optional<std::string>(fault->message), validateVocabulary(s));
    }
}

TEST(SettingFields, PointAtTheFieldsTheyNameWithTheDialogsLimits)
{
    Settings s = defaults();
    s.vocabulary.*(findSettingField("zAxisLetter")->letter) = "W";
    s.vocabulary.*(findSettingField("cwArcCode")->code) = 2.5;
    EXPECT_EQ(s.vocabulary.zAxisLetter + std::to_string(s.vocabulary.cwArcCode), "W2.500000");
    EXPECT_EQ(settingFields()[15].messageName, "値設定指令");
    EXPECT_EQ(findSettingField("noSuchField"), nullptr);
    const auto* rows = findSettingField("absoluteDisplayRows");
    EXPECT_EQ(std::tuple(rows->hasLimits, rows->minimum, rows->maximum), std::tuple(true, 99, 99999));
    EXPECT_FALSE(findSettingField("rapidSpeed")->hasLimits);
}

}  // namespace
}  // namespace drennix
