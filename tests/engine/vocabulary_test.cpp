// The command vocabulary: defaults, the first-character classes, the
// validation rules in their order and the editable-field descriptors.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "vocabulary.h"

namespace drennix {
namespace {

Settings defaults() {
    Settings s;
    resetToDefaults(s);
    return s;
}

TEST(Vocabulary, DefaultsAreTheDocumentedOnes) {
    Settings s;
    s.vocabulary.xAxisLetter = "Q";
    s.vocabulary.cwArcCode = 7;
    s.process.rapidSpeed = 1;
    s.process.copyItems = 2;
    resetToDefaults(s);

    const auto& v = s.vocabulary;
    const std::vector<std::string> letters = {v.commentStart, v.commentEnd, v.gCodeLetter,
                                              v.xAxisLetter,  v.yAxisLetter, v.zAxisLetter,
                                              v.arcILetter,   v.arcJLetter,  v.arcKLetter,
                                              v.radiusLetter, v.feedLetter};
    EXPECT_EQ(letters, (std::vector<std::string>{"(", ")", "G", "X", "Y", "Z", "I", "J", "K", "R", "F"}));
    const std::vector<double> codes = {v.rapidCode,    v.linearCode,      v.cwArcCode,
                                       v.ccwArcCode,   v.valueSetCode,    v.xyPlaneCode,
                                       v.zxPlaneCode,  v.yzPlaneCode,     v.absoluteCode,
                                       v.incrementalCode, v.coordinateSetCode, v.compCancelCode,
                                       v.compLeftCode, v.compRightCode};
    EXPECT_EQ(codes, (std::vector<double>{0, 1, 2, 3, 10, 17, 18, 19, 90, 91, 92, 40, 41, 42}));
    const auto& p = s.process;
    EXPECT_EQ(p.rapidSpeed, 3000);
    EXPECT_EQ(p.decimalPlaces, 3);
    EXPECT_EQ(p.absoluteDisplayRows, 1500);
    EXPECT_EQ(p.initialMotion, 0);
    EXPECT_EQ(p.initialPlane, 4);
    EXPECT_EQ(p.initialCoordinate, 7);
    EXPECT_EQ(p.copyItems, 0);
}

TEST(Vocabulary, PiConstantIsTheProgramsOwnValueBelowTruePi) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(piConstant), 0x400921FB54442D11ULL);
    EXPECT_EQ(piConstant, 3.14159265358979);
    EXPECT_LT(piConstant, 3.141592653589793);
}

struct FirstCharacterCase {
    std::string name;
    std::string text;
    int expected;
};

class FirstCharacterClass : public ::testing::TestWithParam<FirstCharacterCase> {};

TEST_P(FirstCharacterClass, ClassifiesOnlyTheFirstByte) {
    EXPECT_EQ(classifyFirstCharacter(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, FirstCharacterClass,
    ::testing::Values(
        FirstCharacterCase{"Empty", "", 2}, FirstCharacterCase{"Space", " ", 2},
        FirstCharacterCase{"Tab", "\t", 2}, FirstCharacterCase{"Delete", "\x7f", 2},
        FirstCharacterCase{"HighByte", "\x80", 2},
        FirstCharacterCase{"HalfWidthKatakana", "\xb1", 2},
        FirstCharacterCase{"ShiftJisLeadByte", "\x88\x9f", 2},
        FirstCharacterCase{"Exclamation", "!", 0}, FirstCharacterCase{"Asterisk", "*", 0},
        FirstCharacterCase{"Plus", "+", 1}, FirstCharacterCase{"Comma", ",", 0},
        FirstCharacterCase{"Minus", "-", 1}, FirstCharacterCase{"Point", ".", 1},
        FirstCharacterCase{"Slash", "/", 0}, FirstCharacterCase{"Zero", "0", 1},
        FirstCharacterCase{"Nine", "9", 1}, FirstCharacterCase{"Colon", ":", 0},
        FirstCharacterCase{"UpperA", "A", 0}, FirstCharacterCase{"LowerX", "x", 0},
        FirstCharacterCase{"Tilde", "~", 0}, FirstCharacterCase{"OpenParen", "(", 0},
        FirstCharacterCase{"LetterThenDigit", "X5", 0},
        FirstCharacterCase{"DigitThenLetter", "5X", 1}),
    [](const auto& info) { return info.param.name; });

TEST(VocabularyValidation, DefaultsAreValid) {
    EXPECT_EQ(validateVocabulary(defaults()), std::nullopt);
}

struct ValidationCase {
    std::string name;
    void (*change)(Settings&);
    std::optional<std::string> expected;
};

class VocabularyRule : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(VocabularyRule, ReportsTheFirstBrokenRule) {
    Settings s = defaults();
    GetParam().change(s);
    EXPECT_EQ(validateVocabulary(s), GetParam().expected);
}

using V = ValidationCase;
INSTANTIATE_TEST_SUITE_P(
    Rules, VocabularyRule,
    ::testing::Values(
        // Emptiness, in the letter order; it comes before every other rule.
        V{"EmptyCommentStart", [](Settings& s) { s.vocabulary.commentStart = ""; }, "注釈開始指令 を入力して下さい。"},
        V{"EmptyCommentEnd", [](Settings& s) { s.vocabulary.commentEnd = ""; }, "注釈終了指令 を入力して下さい。"},
        V{"EmptyGLetter", [](Settings& s) { s.vocabulary.gCodeLetter = ""; }, "動作指令 を入力して下さい。"},
        V{"EmptyY", [](Settings& s) { s.vocabulary.yAxisLetter = ""; }, "Y軸指令 を入力して下さい。"},
        V{"EmptyI", [](Settings& s) { s.vocabulary.arcILetter = ""; }, "円弧I指令 を入力して下さい。"},
        V{"EmptyK", [](Settings& s) { s.vocabulary.arcKLetter = ""; }, "円弧K指令 を入力して下さい。"},
        V{"EmptyFeed", [](Settings& s) { s.vocabulary.feedLetter = ""; }, "速度指令 を入力して下さい。"},
        V{"EmptyZBeforeSlowRapid",
          [](Settings& s) { s.vocabulary.zAxisLetter = ""; s.process.rapidSpeed = 5; },
          "Z軸指令 を入力して下さい。"},
        V{"EmptyRadiusAfterEmptyJ",
          [](Settings& s) { s.vocabulary.radiusLetter = ""; s.vocabulary.arcJLetter = ""; },
          "円弧J指令 を入力して下さい。"},
        // Rapid speed comes before the letter classes.
        V{"RapidSpeedNine", [](Settings& s) { s.process.rapidSpeed = 9; }, "早送り速度 には10以上を入力して下さい。"},
        V{"RapidSpeedNegative", [](Settings& s) { s.process.rapidSpeed = -3000; }, "早送り速度 には10以上を入力して下さい。"},
        V{"RapidSpeedTen", [](Settings& s) { s.process.rapidSpeed = 10; }, std::nullopt},
        V{"SlowRapidBeforeDigitLetter",
          [](Settings& s) { s.process.rapidSpeed = 0; s.vocabulary.xAxisLetter = "5"; },
          "早送り速度 には10以上を入力して下さい。"},
        // Letter classes.
        V{"DigitLetter", [](Settings& s) { s.vocabulary.xAxisLetter = "5"; }, "X軸指令 が英字以外の為に入力し直して下さい。"},
        V{"PlusLetter", [](Settings& s) { s.vocabulary.commentStart = "+"; }, "注釈開始指令 が英字以外の為に入力し直して下さい。"},
        V{"MinusLetter", [](Settings& s) { s.vocabulary.feedLetter = "-"; }, "速度指令 が英字以外の為に入力し直して下さい。"},
        V{"PointLetter", [](Settings& s) { s.vocabulary.radiusLetter = "."; }, "円弧半径指令 が英字以外の為に入力し直して下さい。"},
        V{"SpaceLetter", [](Settings& s) { s.vocabulary.gCodeLetter = " "; }, "動作指令 が英字以外の為に入力し直して下さい。"},
        V{"KatakanaLetter", [](Settings& s) { s.vocabulary.arcJLetter = "\xb1"; }, "円弧J指令 が英字以外の為に入力し直して下さい。"},
        V{"ClassBeforeDuplicate",
          [](Settings& s) { s.vocabulary.yAxisLetter = "X"; s.vocabulary.zAxisLetter = "1"; },
          "Z軸指令 が英字以外の為に入力し直して下さい。"},
        V{"SymbolLettersPass",
          [](Settings& s) {
              s.vocabulary.commentStart = "/";
              s.vocabulary.commentEnd = ",";
              s.vocabulary.arcKLetter = "#";
              s.vocabulary.radiusLetter = "%";
          },
          std::nullopt},
        // Distinct letters: exact bytes, the earlier item named first.
        V{"LowerCaseIsAnotherLetter", [](Settings& s) { s.vocabulary.radiusLetter = "x"; }, std::nullopt},
        V{"SameCommentDelimiters", [](Settings& s) { s.vocabulary.commentStart = ")"; },
          "注釈開始指令 と 注釈終了指令 が同じの為に入力し直して下さい。"},
        V{"RadiusLetterEqualsX", [](Settings& s) { s.vocabulary.radiusLetter = "X"; },
          "X軸指令 と 円弧半径指令 が同じの為に入力し直して下さい。"},
        V{"FeedLetterEqualsG", [](Settings& s) { s.vocabulary.feedLetter = "G"; },
          "動作指令 と 速度指令 が同じの為に入力し直して下さい。"},
        V{"FirstPairInOrderWins",
          [](Settings& s) { s.vocabulary.feedLetter = "I"; s.vocabulary.zAxisLetter = "Y"; },
          "Y軸指令 と Z軸指令 が同じの為に入力し直して下さい。"},
        // Distinct G-code numbers, compared exactly as doubles.
        V{"LinearEqualsXyPlane", [](Settings& s) { s.vocabulary.linearCode = 17; },
          "直線切削指令 と XY平面指令 が同じの為に入力し直して下さい。"},
        V{"ValueSetEqualsXyPlane", [](Settings& s) { s.vocabulary.valueSetCode = 17; },
          "値設定指令 と XY平面指令 が同じの為に入力し直して下さい。"},
        V{"CompRightEqualsLinear", [](Settings& s) { s.vocabulary.compRightCode = 1.0; },
          "直線切削指令 と 右径補正指令 が同じの為に入力し直して下さい。"},
        V{"IncrementalEqualsRapid", [](Settings& s) { s.vocabulary.incrementalCode = 0; },
          "早送指令 と ｲﾝｸ指令 が同じの為に入力し直して下さい。"},
        V{"CoordinateSetEqualsCompCancel", [](Settings& s) { s.vocabulary.coordinateSetCode = 40; },
          "座標設定指令 と 径補正解除指令 が同じの為に入力し直して下さい。"},
        V{"CompLeftEqualsAbsolute", [](Settings& s) { s.vocabulary.compLeftCode = 90; },
          "ｱﾌﾞｿ指令 と 左径補正指令 が同じの為に入力し直して下さい。"},
        V{"ValueSetEqualsCcw", [](Settings& s) { s.vocabulary.valueSetCode = 3; },
          "左廻円弧指令 と 値設定指令 が同じの為に入力し直して下さい。"},
        V{"ZxEqualsYz", [](Settings& s) { s.vocabulary.zxPlaneCode = 19; },
          "ZX平面指令 と YZ平面指令 が同じの為に入力し直して下さい。"},
        V{"CwEqualsCompLeft", [](Settings& s) { s.vocabulary.cwArcCode = 41; },
          "右廻円弧指令 と 左径補正指令 が同じの為に入力し直して下さい。"},
        V{"NearlyEqualCodesDiffer", [](Settings& s) { s.vocabulary.compRightCode = 1.0000001; }, std::nullopt},
        V{"LetterDuplicateBeforeCodeDuplicate",
          [](Settings& s) { s.vocabulary.linearCode = 0; s.vocabulary.arcKLetter = "J"; },
          "円弧J指令 と 円弧K指令 が同じの為に入力し直して下さい。"}),
    [](const auto& info) { return info.param.name; });

TEST(SettingFields, ListLettersThenCodesInValidationOrderThenIntegers) {
    std::vector<std::string> names, messageNames;
    for (const auto& f : settingFields()) {
        names.emplace_back(f.name);
        messageNames.emplace_back(f.messageName);
    }
    ASSERT_EQ(names.size(), 32u);
    const std::vector<std::string> expectedNames = {
        "commentStart", "commentEnd", "gCodeLetter", "xAxisLetter", "yAxisLetter", "zAxisLetter",
        "arcILetter", "arcJLetter", "arcKLetter", "radiusLetter", "feedLetter",
        "rapidCode", "linearCode", "cwArcCode", "ccwArcCode", "valueSetCode", "xyPlaneCode",
        "zxPlaneCode", "yzPlaneCode", "absoluteCode", "incrementalCode", "coordinateSetCode",
        "compCancelCode", "compLeftCode", "compRightCode"};
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 25), expectedNames);
    const std::vector<std::string> expectedMessageNames = {
        "注釈開始指令", "注釈終了指令", "動作指令", "X軸指令", "Y軸指令", "Z軸指令",
        "円弧I指令", "円弧J指令", "円弧K指令", "円弧半径指令", "速度指令",
        "早送指令", "直線切削指令", "右廻円弧指令", "左廻円弧指令", "値設定指令", "XY平面指令",
        "ZX平面指令", "YZ平面指令", "ｱﾌﾞｿ指令", "ｲﾝｸ指令", "座標設定指令",
        "径補正解除指令", "左径補正指令", "右径補正指令"};
    EXPECT_EQ(std::vector<std::string>(messageNames.begin(), messageNames.begin() + 25),
              expectedMessageNames);
}

TEST(SettingFields, PointAtTheFieldsTheyName) {
    Settings s = defaults();
    const auto* z = findSettingField("zAxisLetter");
    ASSERT_NE(z, nullptr);
    ASSERT_EQ(z->kind, SettingKind::Letter);
    s.vocabulary.*(z->letter) = "W";
    EXPECT_EQ(s.vocabulary.zAxisLetter, "W");

    const auto* cw = findSettingField("cwArcCode");
    ASSERT_NE(cw, nullptr);
    ASSERT_EQ(cw->kind, SettingKind::GCode);
    s.vocabulary.*(cw->code) = 2.5;
    EXPECT_EQ(s.vocabulary.cwArcCode, 2.5);

    const auto* rows = findSettingField("absoluteDisplayRows");
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->kind, SettingKind::Integer);
    s.process.*(rows->integer) = 99;
    EXPECT_EQ(s.process.absoluteDisplayRows, 99);

    EXPECT_EQ(findSettingField("noSuchField"), nullptr);
}

TEST(SettingFields, IntegerLimitsAreThoseOfTheSettingsDialog) {
    struct Limit {
        const char* name;
        bool hasLimits;
        int minimum, maximum;
    };
    const Limit limits[] = {{"rapidSpeed", false, 0, 0},       {"decimalPlaces", true, 0, 9},
                            {"absoluteDisplayRows", true, 99, 99999}, {"initialMotion", true, 0, 3},
                            {"initialPlane", true, 4, 6},      {"initialCoordinate", true, 7, 8},
                            {"copyItems", true, 0, 2}};
    for (const auto& limit : limits) {
        SCOPED_TRACE(limit.name);
        const auto* f = findSettingField(limit.name);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->kind, SettingKind::Integer);
        EXPECT_EQ(f->hasLimits, limit.hasLimits);
        if (limit.hasLimits) {
            EXPECT_EQ(f->minimum, limit.minimum);
            EXPECT_EQ(f->maximum, limit.maximum);
        }
    }
}

}  // namespace
}  // namespace drennix
