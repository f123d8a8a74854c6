// Comments and the cutting of a line into words: comment pairing and its five
// messages, the split of random lines against the rules written out plainly,
// bytes that may not stand outside a comment, spaces and letters outside the
// vocabulary.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

#include "block_parser.h"
#include "comment_splitter.h"
#include "rejected_source.h"

namespace drennix::testing {
namespace {

const char* const kInvalidByte = "行目で英数字以外の文字が有ります。";

INSTANTIATE_TEST_SUITE_P(
    CommentPairing, RejectedSource,
    ::testing::Values(rejected("StartWithoutEnd", "X1.(A", 1, "行目で ( の対の ) が有りません。"),
                      rejected("EndWithoutStart", "X1.A)", 1, "行目で ) の対の ( が有りません。"),
                      rejected("EndBeforeStart", "X1.)(A)", 1, "行目で ( の前に ) が有ります。"),
                      rejected("SecondStartBeforeEnd", "X1.(A(B)C)", 1, "行目で2つの ( の前に ) が有りません。"),
                      rejected("NumberAfterEnd", "X1.(A)2.", 1, "行目で ) の次の文字が英字以外です。"),
                      rejected("TabAfterEnd", "X1.(A)\tY1.", 1, "行目で ) の次の文字が英字以外です。"),
                      rejected("KanjiAfterEnd", "X1.(A)\x88\xea", 1, "行目で ) の次の文字が英字以外です。"),
                      rejected("NestingBeforeNumberAfterEnd", "(A(B)1", 1, "行目で2つの ( の前に ) が有りません。"),
                      rejected("FaultInSecondComment", "(A)X1.(B", 1, "行目で ( の対の ) が有りません。"),
                      rejected("NamesTheLine", "G0X1.\n" + std::string(10, '\n') + "X1.(A\nG0X2.", 12,
                               "行目で ( の対の ) が有りません。"),
                      rejected("SpaceAfterCommentThenNumber", "X1.(A) 2.", 1,
                               "行目で数値のみで英字の無い文字が有ります。")),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(InvalidBytes, RejectedSource,
                         ::testing::Values(rejected("Tab", "G0X1.\nG0\tX1.", 2, kInvalidByte),
                                           rejected("LoneCr", "G0X1.\rY1.\n", 1, kInvalidByte),
                                           rejected("CrBeforeCrLf", "G0X1.\nG0X2.\r\r\n", 2, kInvalidByte),
                                           rejected("Control", "G0X1.\x01", 1, kInvalidByte),
                                           rejected("Delete", "\x7fG0X1.", 1, kInvalidByte),
                                           rejected("Katakana", "G0X1.\xb1", 1, kInvalidByte),
                                           rejected("Kanji", "G0X1.\x88\xea", 1, kInvalidByte),
                                           rejected("Nul", std::string("G0X1.\0", 6), 1, kInvalidByte)),
                         NameOfCase{});

TEST_F(EngineRunTest, CommentsAreCutOutOfTheCode)
{
    run("G01X10.(ROUGH)Y5.F100.\n(A)(B)X12.\nG0X1.(\x88\xea \xb1\t)");
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::MaxY), "5.000");
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(std::pow(std::pow(10.0, 2) + std::pow(5.0, 2), 0.5) + 2));
}

TEST_F(EngineRunTest, CommentDelimitersAreConfigurable)
{
    settings.vocabulary.commentStart = "[";
    settings.vocabulary.commentEnd = "]";
    run("G0X1.[CUT (A)]\nX1.[A");
    EXPECT_EQ(host.messages, warningOnly(lineMessage(2, "行目で [ の対の ] が有りません。")));
    run("G0X1.(A)");  // parentheses are now letters outside the vocabulary
    EXPECT_EQ(host.messages, kCalculated);
}

TEST_F(EngineRunTest, LinesWithoutCodeReachNoBlockCheckAndChangeNothing)
{
    // Under linear motion without a feed, a line that reached the checks
    // would be rejected.
    settings.process.initialMotion = 1;
    run("(ONLY A COMMENT)\n   \n\n (A) (B) \n");
    EXPECT_EQ(host.messages, kCalculated);
    settings.process.initialMotion = 0;
    run("G1X1.F100.\n\n(G0)\n   \nX2.\n");
    EXPECT_EQ(field(ResultField::CuttingDistance), "2.000");
}

TEST_F(EngineRunTest, SpacesSeparateWordsAndOtherLettersAreIgnored)
{
    run("G0 X10.  Y5.\nN10 M03 S1000 T1\nG0x20.Y6.\nN\n");
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::MaxX), "10.000");
    EXPECT_EQ(field(ResultField::MaxY), "6.000");
}

TEST(SplitComments, KeepsCodeAndCommentsInLineOrder)
{
    CommentSplitter splitter("(", ")");
    const std::pair<std::string, std::pair<std::string, std::string>> cases[] = {
        {"G01X10.(ROUGH)Y5.", {"G01X10.Y5.", "(ROUGH)"}},
        {"(A)(B)X1.", {"X1.", "(A)(B)"}},
        {"X1. (A) Y2. (B)", {"X1.  Y2. ", "(A)(B)"}},
        {"G0X1.", {"G0X1.", ""}}};
    for (const auto& [line, expected] : cases) {
        CommentSplit split;
        ASSERT_FALSE(splitter.split(line, split)) << line;
        EXPECT_EQ(std::pair(std::string(split.codeText), std::string(split.commentText)), expected) << line;
    }
    EXPECT_TRUE(isBlankCode("   "));
    EXPECT_FALSE(isBlankCode(" \t "));
}

// The pairing rules of "(" and ")" written out plainly: each comment runs
// from a "(" to the first ")" after it, and the code is what lies between.
struct PlainSplit {
    Fault fault;
    std::string code;
    std::string comments;
};

PlainSplit splitPlainly(std::string_view line)
{
    constexpr auto npos = std::string_view::npos;
    PlainSplit result;
    for (std::size_t p = 0; p < line.size();) {
        const std::size_t open = line.find('(', p);
        const std::size_t close = line.find(')', p);
        if (open == npos && close == npos) {
            result.code += line.substr(p);
            break;
        }
        const auto faultOf = [&]() -> FaultId {
            if (open == npos) return FaultId::CommentEndWithoutStart;
            if (close == npos) return FaultId::CommentWithoutEnd;
            if (open > close) return FaultId::CommentEndBeforeStart;
            if (line.find('(', open + 1) < close) return FaultId::SecondCommentStart;
            if (close + 1 < line.size() &&
                classifyCharacter(static_cast<unsigned char>(line[close + 1])) != CharacterClass::Address) {
                return FaultId::CommentFollowedByNumber;
            }
            return FaultId::None;
        };
        if (const FaultId id = faultOf(); id != FaultId::None) {
            return {Fault{id}, {}, {}};
        }
        result.code += line.substr(p, open - p);
        result.comments += line.substr(open, close + 1 - open);
        p = close + 1;
    }
    return result;
}

// Lines of pieces in any order: comments at the start, the end, the middle,
// several, nested, unpaired, followed by numbers or bytes that may not stand
// there. A line whose one comment stands at its start or end is split
// without a copy: its texts view the line itself.
TEST(SplitComments, RandomLinesFollowThePairingRules)
{
    static const char* const pieces[] = {"G1", "X1.5", " ", "(C)", "(A B)", "(", ")", "5", ".", "Y-2", "\t", "()"};
    CommentSplitter splitter("(", ")");
    std::mt19937 random(31);
    int viewsOfTheLine = 0;
    for (int trial = 0; trial < 200000; ++trial) {
        std::string line;
        for (int count = static_cast<int>(random() % 5); count >= 0; --count) {
            line += pieces[random() % std::size(pieces)];
        }
        const PlainSplit expected = splitPlainly(line);
        CommentSplit split;
        const Fault fault = splitter.split(line, split);
        ASSERT_EQ(fault, expected.fault) << line;
        if (fault) {
            continue;
        }
        ASSERT_EQ(split.codeText, expected.code) << line;
        ASSERT_EQ(split.commentText, expected.comments) << line;
        const auto inLine = [&](std::string_view text) {
            return text.data() >= line.data() && text.data() + text.size() <= line.data() + line.size();
        };
        viewsOfTheLine += !split.commentText.empty() && inLine(split.codeText) && inLine(split.commentText) ? 1 : 0;
    }
    EXPECT_GT(viewsOfTheLine, 10000);
}

}  // namespace
}  // namespace drennix::testing
