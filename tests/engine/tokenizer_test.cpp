// Comments and the cutting of a line into words: comment pairing with its
// five messages, bytes that may not stand outside a comment, and what a
// space or a letter outside the vocabulary does to a word.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "engine_run.h"
#include "run_state.h"
#include "tokenizer.h"

namespace drennix::testing {
namespace {

struct RejectedLineCase {
    std::string name;
    std::string source;
    std::string message;  // the whole expected text
};

class CommentPairing : public EngineRunTestWithParam<RejectedLineCase> {};

TEST_P(CommentPairing, RejectsWithTheMessageOfTheFirstFault) {
    run(GetParam().source);
    EXPECT_EQ(host.messages(), warningOnly(GetParam().message));
}

using R = RejectedLineCase;
INSTANTIATE_TEST_SUITE_P(
    Faults, CommentPairing,
    ::testing::Values(
        R{"StartWithoutEnd", "X1.(A", "元ﾌｧｲﾙの1行目で ( の対の ) が有りません。\n　変換はしていません。"},
        R{"EndWithoutStart", "X1.A)", "元ﾌｧｲﾙの1行目で ) の対の ( が有りません。\n　変換はしていません。"},
        R{"EndBeforeStart", "X1.)(A)", "元ﾌｧｲﾙの1行目で ( の前に ) が有ります。\n　変換はしていません。"},
        R{"SecondStartBeforeEnd", "X1.(A(B)C)", "元ﾌｧｲﾙの1行目で2つの ( の前に ) が有りません。\n　変換はしていません。"},
        R{"NumberRightAfterEnd", "X1.(A)2.", "元ﾌｧｲﾙの1行目で ) の次の文字が英字以外です。\n　変換はしていません。"},
        R{"TabRightAfterEnd", "X1.(A)\tY1.", "元ﾌｧｲﾙの1行目で ) の次の文字が英字以外です。\n　変換はしていません。"},
        R{"KanjiRightAfterEnd", "X1.(A)\x88\xea", "元ﾌｧｲﾙの1行目で ) の次の文字が英字以外です。\n　変換はしていません。"},
        R{"NestingBeforeNumberAfterEnd", "(A(B)1", "元ﾌｧｲﾙの1行目で2つの ( の前に ) が有りません。\n　変換はしていません。"},
        R{"FaultInSecondComment", "(A)X1.(B", "元ﾌｧｲﾙの1行目で ( の対の ) が有りません。\n　変換はしていません。"},
        R{"EndAfterLastComment", "(A)X1.)", "元ﾌｧｲﾙの1行目で ) の対の ( が有りません。\n　変換はしていません。"},
        R{"NamesTheLine",
          "G0X1.\n" + std::string(10, '\n') + "X1.(A\nG0X2.\n",
          "元ﾌｧｲﾙの12行目で ( の対の ) が有りません。\n　変換はしていません。"},
        R{"SpaceAfterCommentThenBareNumber", "X1.(A) 2.",
          "元ﾌｧｲﾙの1行目で数値のみで英字の無い文字が有ります。\n　変換はしていません。"}),
    NameOfCase{});

TEST_F(EngineRunTest, CommentsAreCutOutOfTheCode) {
    run("G01X10.(ROUGH)Y5.F100.\n(A)(B)X12.\nG0X1.(END)");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::MaxX), "12.000");
    EXPECT_EQ(field(ResultField::MaxY), "5.000");
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(std::pow(std::pow(10.0, 2) + std::pow(5.0, 2), 0.5) + 2));
}

TEST_F(EngineRunTest, CommentsMayHoldAnyBytes) {
    run("G0X1.(\x88\xea\x94\xd4 \xb1\t\x7f)\n");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
}

TEST_F(EngineRunTest, CommentDelimitersAreConfigurable) {
    settings.vocabulary.commentStart = "[";
    settings.vocabulary.commentEnd = "]";
    run("G0X1.[CUT (A)]\nX1.[A");
    EXPECT_EQ(host.messages(), warningOnly("元ﾌｧｲﾙの2行目で [ の対の ] が有りません。\n　変換はしていません。"));
    host = RecordingHost{};
    run("G0X1.(A)");  // parentheses are now ordinary letters outside the vocabulary
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
}

TEST_F(EngineRunTest, LinesWithoutCodeReachNoBlockCheck) {
    // With linear modal motion and no feed, any line that reached the block
    // checks would be rejected for its missing feed.
    settings.process.initialMotion = 1;
    run("(ONLY A COMMENT)\n   \n\n (A) (B) \n");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::LineCount), "5");
}

TEST_F(EngineRunTest, LinesWithoutCodeChangeNoModalState) {
    run("G1X1.F100.\n\n(G0)\n   \nX2.\n");
    EXPECT_EQ(field(ResultField::CuttingDistance), "2.000");
    EXPECT_EQ(field(ResultField::RapidDistance), "0.000");
}

class InvalidByte : public EngineRunTestWithParam<RejectedLineCase> {};

TEST_P(InvalidByte, OutsideACommentStopsTheRun) {
    run("G0X1.\n" + GetParam().source + "\n");
    EXPECT_EQ(host.messages(),
              warningOnly("元ﾌｧｲﾙの2行目で英数字以外の文字が有ります。\n　変換はしていません。"));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, InvalidByte,
    ::testing::Values(R{"Tab", "G0\tX1.", ""}, R{"LoneCr", "G0X1.\rY1.", ""},
                      R{"Control", "G0X1.\x01", ""}, R{"Delete", "\x7fG0X1.", ""},
                      R{"HalfWidthKatakana", "G0X1.\xb1", ""}, R{"ShiftJisKanji", "G0X1.\x88\xea", ""},
                      R{"HighByte", "G0X\xff", ""}, R{"NulByte", std::string("G0X1.\0", 6), ""}),
    NameOfCase{});

TEST_F(EngineRunTest, SpacesSeparateWordsOrNothing) {
    run("G0 X10.  Y5.\nG0X20.Y6.\n");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::MaxX), "20.000");
    EXPECT_EQ(field(ResultField::MaxY), "6.000");
}

TEST_F(EngineRunTest, LettersOutsideTheVocabularyAreIgnored) {
    run("N10 M03 S1000 T1\nG0x10.Y2.\nN\nG0X1.");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::MaxX), "1.000");
    EXPECT_EQ(field(ResultField::MaxY), "2.000");
}


// ---- the splitting functions ------------------------------------------------

TEST(ClassifyCharacter, SplitsTheBytesIntoThreeClasses) {
    const std::pair<int, CharacterClass> cases[] = {
        {0x00, CharacterClass::Invalid}, {0x09, CharacterClass::Invalid}, {0x1F, CharacterClass::Invalid},
        {0x20, CharacterClass::Address}, {'*', CharacterClass::Address},  {'+', CharacterClass::Numeric},
        {',', CharacterClass::Address},  {'-', CharacterClass::Numeric},  {'.', CharacterClass::Numeric},
        {'/', CharacterClass::Address},  {'0', CharacterClass::Numeric},  {'9', CharacterClass::Numeric},
        {':', CharacterClass::Address},  {'A', CharacterClass::Address},  {'~', CharacterClass::Address},
        {0x7F, CharacterClass::Invalid}, {0x80, CharacterClass::Invalid}, {0xB1, CharacterClass::Invalid},
        {0xFF, CharacterClass::Invalid}};
    for (const auto& [byte, expected] : cases)
        EXPECT_EQ(classifyCharacter(static_cast<unsigned char>(byte)), expected) << byte;
}

TEST(SplitComments, CutsCommentsOutAndKeepsThemInOrder) {
    Settings settings;
    resetToDefaults(settings);
    const RunOptions options;
    RunState state(settings, options);
    CommentSplitter splitter;
    const std::pair<std::string, std::pair<std::string, std::string>> cases[] = {
        {"G01X10.(ROUGH)Y5.", {"G01X10.Y5.", "(ROUGH)"}},
        {"(A)(B)X1.", {"X1.", "(A)(B)"}},
        {"X1. (A) Y2. (B)", {"X1.  Y2. ", "(A)(B)"}},
        {"G0X1.", {"G0X1.", ""}},
        {"", {"", ""}}};
    for (const auto& [line, expected] : cases) {
        CommentSplit split;
        ASSERT_EQ(splitter.splitComments(state, line, split), 0) << line;
        EXPECT_EQ(std::string(split.codeText), expected.first) << line;
        EXPECT_EQ(std::string(split.commentText), expected.second) << line;
    }
    CommentSplit split;
    EXPECT_EQ(splitter.splitComments(state, "X1.(A", split), 1);
}

TEST(BlankCode, IsSpacesOnly) {
    EXPECT_TRUE(isBlankCode(""));
    EXPECT_TRUE(isBlankCode("   "));
    EXPECT_FALSE(isBlankCode(" \t "));
    EXPECT_FALSE(isBlankCode(" X"));
}

}  // namespace
}  // namespace drennix::testing
