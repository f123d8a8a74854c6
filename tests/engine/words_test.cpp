// Words and numbers: the number grammar with its eleven steps in order, the
// implied decimal point of axis, centre and radius words, addresses without
// a number and numbers without an address.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "engine_run.h"
#include "words.h"

namespace drennix::testing {
namespace {

const std::string kPlusInside = "行目で数値の途中にﾌﾟﾗｽが有ります。\n　変換はしていません。";
const std::string kPlusOnly = "行目でﾌﾟﾗｽのみが有ります。\n　変換はしていません。";
const std::string kMinusInside = "行目で数値の途中にﾏｲﾅｽが有ります。\n　変換はしていません。";
const std::string kPlusPointOnly = "行目でﾌﾟﾗｽと少数点のみが有ります。\n　変換はしていません。";
const std::string kMinusOnly = "行目でﾏｲﾅｽのみが有ります。\n　変換はしていません。";
const std::string kMinusPointOnly = "行目でﾏｲﾅｽと少数点のみが有ります。\n　変換はしていません。";
const std::string kPointOnly = "行目で少数点のみが有ります。\n　変換はしていません。";
const std::string kTwoPoints = "行目で数値に少数点が2つ以上有ります。\n　変換はしていません。";

struct GrammarCase {
    std::string name;
    std::string line;     // the second line of the source
    std::string message;  // after "元ﾌｧｲﾙの2"
};

class NumberGrammar : public EngineRunTestWithParam<GrammarCase> {};

TEST_P(NumberGrammar, RejectsWithTheFirstBrokenStep) {
    run("G0X1.\n" + GetParam().line + "\nG0X2.\n");
    EXPECT_EQ(host.messages(), warningOnly(lineMessage(2, GetParam().message)));
    EXPECT_EQ(field(ResultField::LineCount), "2");
}

using G = GrammarCase;
INSTANTIATE_TEST_SUITE_P(
    Steps, NumberGrammar,
    ::testing::Values(
        G{"Step1PlusInside", "G0X1+5", kPlusInside},
        G{"Step1PlusAtEnd", "G0X1+", kPlusInside},
        G{"Step1MinusThenPlus", "G0X-+1", kPlusInside},
        G{"Step2PlusOnly", "G0X+", kPlusOnly},
        G{"Step3SecondPlus", "G0X+1+", kPlusInside},
        G{"Step3DoublePlus", "G0X++1", kPlusInside},
        G{"Step4PlusAndMinus", "G0X+-1", kMinusInside},
        G{"Step4PlusMinusOnly", "G0X+-", kMinusInside},
        G{"Step5PlusPoint", "G0X+.", kPlusPointOnly},
        G{"Step6MinusInside", "G0X1-2", kMinusInside},
        G{"Step6PointThenMinus", "G0X.-", kMinusInside},
        G{"Step7MinusOnly", "G0X-", kMinusOnly},
        G{"Step8DoubleMinus", "G0X--1", kMinusInside},
        G{"Step8MinusOnlyTwice", "G0X--", kMinusInside},
        G{"Step9MinusPoint", "G0X-.", kMinusPointOnly},
        G{"Step10PointOnly", "G0X.", kPointOnly},
        G{"Step11TwoPoints", "G0X1.2.3", kTwoPoints},
        G{"Step11TwoPointsOnly", "G0X..", kTwoPoints},
        G{"Step11AfterPlus", "G0X+..", kTwoPoints},
        G{"Step11AfterMinus", "G0X-1..", kTwoPoints},
        G{"GrammarHoldsForGWords", "G+", kPlusOnly},
        G{"GrammarHoldsForFeed", "F1.0.", kTwoPoints},
        G{"GrammarHoldsForOtherLetters", "N1-2 G0X1.", kMinusInside},
        G{"FirstBadWordOfTheLine", "G0X. Y+", kPointOnly}),
    NameOfCase{});

struct ValueCase {
    std::string name;
    int decimalPlaces;
    std::string line;
    ResultField field;
    std::string expected;
};

class AxisValue : public EngineRunTestWithParam<ValueCase> {};

TEST_P(AxisValue, FollowsTheGrammarAndTheImpliedDecimalPoint) {
    settings.process.decimalPlaces = GetParam().decimalPlaces;
    run(GetParam().line);
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(GetParam().field), GetParam().expected);
}

using A = ValueCase;
INSTANTIATE_TEST_SUITE_P(
    Values, AxisValue,
    ::testing::Values(
        A{"PlusWithPoint", 3, "G0X+1.5", ResultField::MaxX, "1.500"},
        A{"PlusLeadingPoint", 3, "G0X+.5", ResultField::MaxX, "0.500"},
        A{"MinusLeadingPoint", 3, "G0X-.5", ResultField::MinX, "-0.500"},
        A{"LeadingPoint", 3, "G0Y.25", ResultField::MaxY, "0.250"},
        A{"TrailingPoint", 3, "G0Z5.", ResultField::MaxZ, "5.000"},
        A{"LeadingZeros", 3, "G0X007.5", ResultField::MaxX, "7.500"},
        A{"ManyDigits", 3, "G0X1.23456789012345678901234567890", ResultField::MaxX, "1.235"},
        A{"ImpliedThousandths", 3, "G0X1000", ResultField::MaxX, "1.000"},
        A{"ImpliedOneThousandth", 3, "G0X1", ResultField::MaxX, "0.001"},
        A{"ImpliedNegative", 3, "G0X-25", ResultField::MinX, "-0.025"},
        A{"ImpliedWithPlus", 3, "G0Y+5", ResultField::MaxY, "0.005"},
        A{"NoImpliedPointWithZeroPlaces", 0, "G0X1000", ResultField::MaxX, "1000"},
        A{"NinePlaces", 9, "G0X1", ResultField::MaxX, "0.000000001"},
        A{"NinePlacesPointWritten", 9, "G0X1.", ResultField::MaxX, "1.000000000"},
        A{"FeedIsNotScaled", 3, "G1X1.F5", ResultField::MachiningTime, "0.2"},
        A{"GIsNotScaled", 3, "G1X1.F100.", ResultField::CuttingDistance, "1.000"},
        A{"GWithPointAndZeros", 3, "G01.0X1.F100.", ResultField::CuttingDistance, "1.000"},
        A{"GMinusZeroIsRapid", 3, "G1F100.\nG-0X2.", ResultField::RapidDistance, "2.000"},
        A{"UnknownGIsIgnored", 3, "G1.5X3.", ResultField::RapidDistance, "3.000"},
        A{"CentreOffsetIsScaled", 3, "G0X10.\nG3X0.Y10.I-10000F100.", ResultField::ArcCount, "1"}),
    NameOfCase{});

struct MissingNumberCase {
    std::string name;
    std::string line;
    std::string message;
};

class AddressWithoutNumber : public EngineRunTestWithParam<MissingNumberCase> {};

TEST_P(AddressWithoutNumber, IsRejectedForVocabularyLetters) {
    settings.vocabulary.zAxisLetter = "W";
    run(GetParam().line);
    EXPECT_EQ(host.messages(), warningOnly(lineMessage(1, GetParam().message)));
}

using M = MissingNumberCase;
INSTANTIATE_TEST_SUITE_P(
    Letters, AddressWithoutNumber,
    ::testing::Values(
        M{"SpaceAfterLetter", "X 10.", "行目の X に数値が有りません。\n　変換はしていません。"},
        M{"LetterAfterLetter", "XY10.", "行目の X に数値が有りません。\n　変換はしていません。"},
        M{"LetterAtEnd", "G0X1.Y", "行目の Y に数値が有りません。\n　変換はしていません。"},
        M{"GLetter", "G X1.", "行目の G に数値が有りません。\n　変換はしていません。"},
        M{"FeedLetter", "G1X1.F", "行目の F に数値が有りません。\n　変換はしていません。"},
        M{"RadiusLetter", "R", "行目の R に数値が有りません。\n　変換はしていません。"},
        M{"CentreLetter", "I J1.", "行目の I に数値が有りません。\n　変換はしていません。"},
        M{"ConfiguredLetter", "G0W", "行目の W に数値が有りません。\n　変換はしていません。"}),
    NameOfCase{});

TEST_F(EngineRunTest, ALetterOutsideTheVocabularyMayStandAlone) {
    settings.vocabulary.zAxisLetter = "W";
    run("N G0X1. Z M");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
}

TEST_F(EngineRunTest, LowerCaseLettersAreOnlyTheirOwnVocabulary) {
    run("g1x5.F100.");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::MaxX), "0.000");
    host = RecordingHost{};
    settings.vocabulary.gCodeLetter = "g";
    run("g1X5.F100.");
    EXPECT_EQ(field(ResultField::CuttingDistance), "5.000");
}

class NumberWithoutAddress : public EngineRunTestWithParam<MissingNumberCase> {};

TEST_P(NumberWithoutAddress, IsRejected) {
    run(GetParam().line);
    EXPECT_EQ(host.messages(),
              warningOnly("元ﾌｧｲﾙの1行目で数値のみで英字の無い文字が有ります。\n　変換はしていません。"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, NumberWithoutAddress,
    ::testing::Values(M{"NumberAlone", "100", ""}, M{"NumberAfterSpace", "G01 100", ""},
                      M{"LeadingSpace", " 5.", ""}, M{"SignedNumberAlone", "-1.5", ""}),
    NameOfCase{});


// ---- the word functions ------------------------------------------------------

TEST(ClassifyAddress, ComparesWholeCaseSensitiveLetters) {
    Settings s;
    resetToDefaults(s);
    const auto& v = s.vocabulary;
    const std::pair<const char*, AddressKind> cases[] = {
        {"G", AddressKind::GCode}, {"X", AddressKind::AxisX},  {"Y", AddressKind::AxisY},
        {"Z", AddressKind::AxisZ}, {"I", AddressKind::ArcI},   {"J", AddressKind::ArcJ},
        {"K", AddressKind::ArcK},  {"R", AddressKind::Radius}, {"F", AddressKind::Feed},
        {" ", AddressKind::NoAddress}, {"x", AddressKind::Other}, {"N", AddressKind::Other},
        {"(", AddressKind::Other}, {"%", AddressKind::Other}};
    for (const auto& [text, kind] : cases) EXPECT_EQ(classifyAddress(text, v), kind) << text;

    s.vocabulary.feedLetter = "x";
    EXPECT_EQ(classifyAddress("x", s.vocabulary), AddressKind::Feed);
    EXPECT_EQ(classifyAddress("F", s.vocabulary), AddressKind::Other);
    const AddressTable table(s.vocabulary);
    EXPECT_EQ(table('x'), AddressKind::Feed);
    EXPECT_EQ(table(' '), AddressKind::NoAddress);
    EXPECT_EQ(table('G'), AddressKind::GCode);
}

TEST(NumberSyntaxFault, NamesTheFirstBrokenStep) {
    EXPECT_EQ(numberSyntaxFault("1.5"), "");
    EXPECT_EQ(numberSyntaxFault("+.5"), "");
    EXPECT_EQ(numberSyntaxFault("-007"), "");
    EXPECT_EQ(numberSyntaxFault("1+5"), kPlusInside);
    EXPECT_EQ(numberSyntaxFault("+-1"), kMinusInside);
    EXPECT_EQ(numberSyntaxFault("-."), kMinusPointOnly);
    EXPECT_EQ(numberSyntaxFault("1.2.3"), kTwoPoints);
}

TEST(AxisValueFunction, DividesOnceForEachDecimalPlace) {
    EXPECT_EQ(parseAxisValue("1", 3), 1.0 / 10 / 10 / 10);
    EXPECT_EQ(parseAxisValue("1", 9), 1.0 / 10 / 10 / 10 / 10 / 10 / 10 / 10 / 10 / 10);
    EXPECT_EQ(parseAxisValue("-25", 3), -25.0 / 10 / 10 / 10);
    EXPECT_EQ(parseAxisValue("1000", 3), 1.0);
    EXPECT_EQ(parseAxisValue("1.", 3), 1.0);
    EXPECT_EQ(parseAxisValue("-.5", 3), -0.5);
    EXPECT_EQ(parseAxisValue("1000", 0), 1000.0);
    EXPECT_EQ(parseAxisValue("0.1", 5), 0.1);
}

TEST(RawValue, IsWhatAtofGives) {
    EXPECT_EQ(parseRawValue("+1.5"), 1.5);
    EXPECT_EQ(parseRawValue("-0"), -0.0);
    EXPECT_TRUE(std::signbit(parseRawValue("-0")));
    EXPECT_EQ(parseRawValue("0.1"), 0.1);
    EXPECT_EQ(parseRawValue("123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_EQ(parseRawValue("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseRawValue("-1" + std::string(400, '0') + "."), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseRawValue("." + std::string(400, '0') + "1"), 0.0);
}

}  // namespace
}  // namespace drennix::testing
