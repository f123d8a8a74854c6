// Words and numbers: the number grammar with its eleven steps in order, the
// implied decimal point of axis, centre and radius words, addresses without a
// number and numbers without an address.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "number_reading.h"
#include "rejected_source.h"

namespace drennix::testing {
namespace {

const char* const kPlusInside = "行目で数値の途中にﾌﾟﾗｽが有ります。";
const char* const kPlusOnly = "行目でﾌﾟﾗｽのみが有ります。";
const char* const kMinusInside = "行目で数値の途中にﾏｲﾅｽが有ります。";
const char* const kPlusPointOnly = "行目でﾌﾟﾗｽと少数点のみが有ります。";
const char* const kMinusOnly = "行目でﾏｲﾅｽのみが有ります。";
const char* const kMinusPointOnly = "行目でﾏｲﾅｽと少数点のみが有ります。";
const char* const kPointOnly = "行目で少数点のみが有ります。";
const char* const kTwoPoints = "行目で数値に少数点が2つ以上有ります。";
const char* const kNoAddress = "行目で数値のみで英字の無い文字が有ります。";

Rejection onLine2(std::string name, std::string line, const char* text)
{
    return rejected(std::move(name), "G0X1.\n" + line + "\nG0X2.", 2, text);
}

INSTANTIATE_TEST_SUITE_P(
    NumberGrammar, RejectedSource,
    ::testing::Values(
        onLine2("Step1PlusInside", "G0X1+5", kPlusInside), onLine2("Step1MinusThenPlus", "G0X-+1", kPlusInside),
        onLine2("Step1DoublePlus", "G0X++1", kPlusInside), onLine2("Step2PlusOnly", "G0X+", kPlusOnly),
        onLine2("Step3SecondPlus", "G0X+1+", kPlusInside), onLine2("Step4PlusAndMinus", "G0X+-1", kMinusInside),
        onLine2("Step4PlusMinusOnly", "G0X+-", kMinusInside), onLine2("Step5PlusPoint", "G0X+.", kPlusPointOnly),
        onLine2("Step6MinusInside", "G0X1-2", kMinusInside), onLine2("Step6PointThenMinus", "G0X.-", kMinusInside),
        onLine2("Step7MinusOnly", "G0X-", kMinusOnly), onLine2("Step8DoubleMinus", "G0X--", kMinusInside),
        onLine2("Step9MinusPoint", "G0X-.", kMinusPointOnly), onLine2("Step10PointOnly", "G0X.", kPointOnly),
        onLine2("Step11TwoPoints", "G0X1.2.3", kTwoPoints), onLine2("Step11TwoPointsOnly", "G0X..", kTwoPoints),
        onLine2("Step11AfterPlus", "G0X+..", kTwoPoints), onLine2("GWords", "G+", kPlusOnly),
        onLine2("FeedWords", "F1.0.", kTwoPoints), onLine2("OtherLetters", "N1-2 G0X1.", kMinusInside),
        onLine2("FirstBadWordOfTheLine", "G0X. Y+", kPointOnly)),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(MissingAddressOrNumber, RejectedSource,
                         ::testing::Values(rejected("SpaceAfterLetter", "X 10.", 1, "行目の X に数値が有りません。"),
                                           rejected("LetterAfterLetter", "XY10.", 1, "行目の X に数値が有りません。"),
                                           rejected("LetterAtEnd", "G0X1.Y", 1, "行目の Y に数値が有りません。"),
                                           rejected("GLetter", "G X1.", 1, "行目の G に数値が有りません。"),
                                           rejected("RadiusLetter", "R", 1, "行目の R に数値が有りません。"),
                                           rejected("NumberAlone", "100", 1, kNoAddress),
                                           rejected("NumberAfterSpace", "G01 100", 1, kNoAddress),
                                           rejected("SignedNumberAfterLeadingSpace", " -1.5", 1, kNoAddress)),
                         NameOfCase{});

TEST_F(EngineRunTest, ConfiguredLettersNameTheMissingNumber)
{
    settings.vocabulary.zAxisLetter = "W";
    run("N G0X1. Z M");  // Z is now a letter outside the vocabulary
    EXPECT_EQ(host.messages, kCalculated);
    run("G0W");
    EXPECT_EQ(host.messages, warningOnly(lineMessage(1, "行目の W に数値が有りません。")));
}

struct ValueCase {
    std::string name;
    int decimalPlaces;
    std::string source;
    ResultField field;
    std::string expected;
};

class WordValue : public EngineRunTestWithParam<ValueCase> {};

TEST_P(WordValue, FollowsTheGrammarAndTheImpliedDecimalPoint)
{
    settings.process.decimalPlaces = GetParam().decimalPlaces;
    run(GetParam().source);
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(GetParam().field), GetParam().expected);
}

using W = ValueCase;
using F = ResultField;
INSTANTIATE_TEST_SUITE_P(
    Values, WordValue,
    ::testing::Values(
        W{"PlusWithPoint", 3, "G0X+1.5", F::MaxX, "1.500"}, W{"PlusLeadingPoint", 3, "G0X+.5", F::MaxX, "0.500"},
        W{"MinusLeadingPoint", 3, "G0X-.5", F::MinX, "-0.500"}, W{"LeadingZeros", 3, "G0X007.5", F::MaxX, "7.500"},
        W{"ImpliedThousandths", 3, "G0X1000", F::MaxX, "1.000"}, W{"ImpliedNegative", 3, "G0X-25", F::MinX, "-0.025"},
        W{"ImpliedWithPlus", 3, "G0Y+5", F::MaxY, "0.005"}, W{"NoPlaces", 0, "G0X1000", F::MaxX, "1000"},
        W{"NinePlaces", 9, "G0X1", F::MaxX, "0.000000001"}, W{"FeedIsNotScaled", 3, "G1X1.F5", F::MachiningTime, "0.2"},
        W{"GIsNotScaled", 3, "G01.0X1.F100.", F::CuttingDistance, "1.000"},
        W{"GMinusZeroIsRapid", 3, "G1F100.\nG-0X2.", F::RapidDistance, "2.000"},
        W{"UnknownGIsIgnored", 3, "G1.5X3.", F::RapidDistance, "3.000"},
        W{"LowerCaseIsOtherLetter", 3, "g1x5.F100.", F::MaxX, "0.000"},
        W{"CentreOffsetIsScaled", 3, "G0X10.\nG3X0.Y10.I-10000F100.", F::ArcCount, "1"}),
    NameOfCase{});

TEST(AxisValueFunction, DividesOnceForEachDecimalPlace)
{
    EXPECT_EQ(parseAxisValue("1", 3), 1.0 / 10 / 10 / 10);
    EXPECT_EQ(parseAxisValue("1", 9), 1.0 / 10 / 10 / 10 / 10 / 10 / 10 / 10 / 10 / 10);
    EXPECT_EQ(parseAxisValue("-25", 3), -25.0 / 10 / 10 / 10);
    EXPECT_EQ(parseAxisValue("1.", 3), 1.0);
    EXPECT_EQ(parseAxisValue("-.5", 3), -0.5);
    EXPECT_EQ(parseRawValue("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseRawValue("." + std::string(400, '0') + "1"), 0.0);
    EXPECT_TRUE(std::signbit(parseRawValue("-0")));
}

// Every number text of the grammar, short or long, reads as atof reads it:
// the one-pass exact path and the general conversion must never differ.
TEST(RawValueFunction, ReadsEveryNumberAsAtofDoes)
{
    std::mt19937_64 random(7);
    for (int trial = 0; trial < 200000; ++trial) {
        std::string text = trial % 3 == 0 ? "" : trial % 3 == 1 ? "-" : "+";
        const int length = 1 + static_cast<int>(random() % 24);
        const int point = static_cast<int>(random() % (length + 4));
        for (int i = 0; i < length; ++i)
            text += i == point ? '.' : static_cast<char>('0' + random() % 10);
        const double expected = std::atof(text.c_str());
        ASSERT_EQ(std::bit_cast<std::uint64_t>(parseRawValue(text)), std::bit_cast<std::uint64_t>(expected)) << text;
    }
}

}  // namespace
}  // namespace drennix::testing
