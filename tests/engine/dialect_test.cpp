// The dialect settings, each read off and on: numbers as written, lower-case
// letters, ";" comments, the end at M2 or M30, and arc turns by P; and the
// dialect that sets them all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

struct DialectCase {
    std::string name;
    int ProcessSettings::*setting;
    std::string program;
    RunMode mode;
    // What the run gives with the setting off and on: the messages and some
    // fields, in the form "maxX maxY minZ cutting rapid".
    std::string off;
    std::string on;
};

class DialectSetting : public EngineRunTestWithParam<DialectCase> {
protected:
    std::string outcome()
    {
        if (host.messages.empty() || host.messages.back().kind == MessageKind::Warning) {
            return host.messages.empty() ? "" : host.messages.back().text;
        }
        return field(ResultField::MaxX) + " " + field(ResultField::MaxY) + " " + field(ResultField::MinZ) + " " +
               field(ResultField::CuttingDistance) + " " + field(ResultField::RapidDistance);
    }
};

TEST_P(DialectSetting, ReadsTheProgramAsTheSettingSays)
{
    const DialectCase& c = GetParam();
    run(c.program, c.mode);
    EXPECT_EQ(outcome(), c.off) << "off";
    settings.process.*c.setting = 1;
    run(c.program, c.mode);
    EXPECT_EQ(outcome(), c.on) << "on";
}

using P = ProcessSettings;
const std::string kNumberAlone = lineMessage(1, "行目で数値のみで英字の無い文字が有ります。");

INSTANTIATE_TEST_SUITE_P(
    Settings, DialectSetting,
    ::testing::Values(
        DialectCase{"NumbersAsWritten", &P::calculatorDecimals, "G0 X2 Y0.\nG1Z-1F100", RunMode::MachiningTime,
                    "0.002 0.000 -0.001 0.001 0.002", "2.000 0.000 -1.000 1.000 2.000"},
        DialectCase{"PointNumbersUnchanged", &P::calculatorDecimals, "G0X2.5Y.5", RunMode::MachiningTime,
                    "2.500 0.500 0.000 0.000 2.707", "2.500 0.500 0.000 0.000 2.707"},
        DialectCase{"LowerCaseLetters", &P::lowerCaseLetters, "g0 x1. y2.\ng1z-3.f100.", RunMode::MachiningTime,
                    "0.000 0.000 0.000 0.000 0.000", "1.000 2.000 -3.000 3.000 2.414"},
        DialectCase{"LowerCaseArcWords", &P::lowerCaseLetters, "G0X10.\ng2x0.y10.i-10.f100.", RunMode::MachiningTime,
                    "10.000 0.000 0.000 0.000 10.000", "10.000 10.000 0.000 47.124 10.000"},
        DialectCase{"SemicolonComment", &P::semicolonComments, "G1 X10. F100. ; pass 2", RunMode::MachiningTime,
                    kNumberAlone, "10.000 0.000 0.000 10.000 0.000"},
        DialectCase{"SemicolonAfterParentheses", &P::semicolonComments, "G0X1.(A;B) ; C (D", RunMode::MachiningTime,
                    lineMessage(1, "行目で ( の対の ) が有りません。"), "1.000 0.000 0.000 0.000 1.000"},
        DialectCase{"EndAtM30", &P::endAtProgramEnd, "G0X1.\nM30\nG0X50.\nX1.(", RunMode::MachiningTime,
                    lineMessage(4, "行目で ( の対の ) が有りません。"), "1.000 0.000 0.000 0.000 1.000"},
        DialectCase{"EndAtM02", &P::endAtProgramEnd, "G0X1.\nM02\nG0Y50.", RunMode::MachiningTime,
                    "1.000 50.000 0.000 0.000 51.000", "1.000 0.000 0.000 0.000 1.000"},
        DialectCase{"M3IsNoEnd", &P::endAtProgramEnd, "G0X1.\nM3\nG0Y5.", RunMode::MachiningTime,
                    "1.000 5.000 0.000 0.000 6.000", "1.000 5.000 0.000 0.000 6.000"},
        DialectCase{"ThreeTurns", &P::arcTurnsByP, "G0X10.\nG2X10.Y0.Z-2.I-10.J0.P3F100.", RunMode::MachiningTime,
                    "10.000 10.000 -2.000 62.871 10.000", "10.000 10.000 -2.000 188.509 10.000"},
        DialectCase{"QuarterAndOneTurn", &P::arcTurnsByP, "G0X10.\nG3X0.Y10.R10.P2F100.", RunMode::MachiningTime,
                    "10.000 10.000 0.000 15.708 10.000", "10.000 10.000 0.000 78.540 10.000"},
        DialectCase{"TurnsOfAHalfTurn", &P::arcTurnsByP, "G0X10.\nG2X-10.I-10.P2.5F100.", RunMode::MachiningTime,
                    "10.000 0.000 0.000 31.416 10.000",
                    lineMessage(2, "行目の 左右廻円弧指令 中の P が1以上の整数では有りません。")},
        DialectCase{"NoTurns", &P::arcTurnsByP, "G0X10.\nG2X-10.I-10.P0F100.", RunMode::MachiningTime,
                    "10.000 0.000 0.000 31.416 10.000",
                    lineMessage(2, "行目の 左右廻円弧指令 中の P が1以上の整数では有りません。")},
        DialectCase{"PIsOnlyForArcs", &P::arcTurnsByP, "G1X1.P0.5F100.", RunMode::MachiningTime,
                    "1.000 0.000 0.000 1.000 0.000", "1.000 0.000 0.000 1.000 0.000"}),
    NameOfCase{});

// A three-turn helix converted: its segment count follows the whole sweep,
// the P word is not kept, and the last point is the programmed end.
TEST_F(EngineRunTest, ThreeTurnsConvertIntoThreeTimesTheCuts)
{
    options.initialX = 10;
    const std::string helix = "G2X10.Y0.Z-2.I-10.J0.P3F100.";
    run(helix, RunMode::ConvertArcs);
    const std::string oneTurn = output();
    settings.process.arcTurnsByP = 1;
    std::filesystem::remove(outputPath());
    run(helix, RunMode::ConvertArcs);
    ASSERT_EQ(host.messages, informationOnly(created()));
    const std::string threeTurns = output();
    const auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    EXPECT_EQ(lines(oneTurn), 71);
    EXPECT_EQ(lines(threeTurns), 211);  // ceil(6π / 2acos(1 - 0.01 / 10))
    EXPECT_TRUE(threeTurns.starts_with("G1X9.960Y-0.892Z-0.009F100.\r\n")) << threeTurns.substr(0, 40);
    EXPECT_TRUE(threeTurns.ends_with("X10.000Y0.000Z-2.000\r\n"));
}

// Lines after the end are counted, listed where the tool stands and copied
// as they are, never checked.
TEST_F(EngineRunTest, LinesAfterTheEndAreListedAndCopied)
{
    settings.process.endAtProgramEnd = 1;
    const std::string program = "G0X1.\nG2X3.I1.F100.M30\nG0X50.\n(ｻﾌﾞ\x88\xea\n";
    run(program, RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::LineCount), "5");
    ASSERT_EQ(host.rows.size(), 5u);
    EXPECT_EQ(host.rows[3].cells[ColumnX] + " " + host.rows[3].cells[ColumnDistance], "3.000 0.000");
    EXPECT_EQ(host.rows[4].cells[ColumnData], "(ｻﾌﾞ\x88\xea");
    run(program, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, informationOnly(created()));
    // The end of the program stays at the end of the arc: on its last cut.
    EXPECT_TRUE(output().starts_with("G0X1.\r\nG1X1.034Y0.259F100.\r\n")) << output();
    EXPECT_TRUE(output().ends_with("X3.000Y0.000M30\r\nG0X50.\r\n(ｻﾌﾞ\x88\xea\r\n\r\n")) << output();
}

TEST_F(EngineRunTest, SemicolonCommentsAreKeptInConvertedLines)
{
    settings.process.semicolonComments = 1;
    run("G2X2.I1.F100. (A) ; pass 2", RunMode::ConvertArcs);
    ASSERT_EQ(host.messages, informationOnly(created()));
    const std::string first = output().substr(0, output().find("\r\n"));
    EXPECT_TRUE(first.ends_with("F100.  (A); pass 2")) << first;
}

// Each converted arc keeps its own comment, over more lines than the read
// stage holds at once: a ";" comment without a delimited one before it must
// not be taken from a later line.
TEST_F(EngineRunTest, EachConvertedArcKeepsItsOwnSemicolonComment)
{
    settings.process.semicolonComments = 1;
    std::string program = "G0X0.Y0.Z0.\n";
    const int arcs = 40000;
    for (int i = 0; i < arcs; ++i) {
        program += "G2X0.Y0.Z-" + std::to_string(i + 1) + ".I5.J0.F100. ; turn " + std::to_string(i) + "\n";
    }
    run(program, RunMode::ConvertHelical);
    ASSERT_EQ(host.messages, informationOnly(created()));
    const std::string written = output();
    int next = 0;
    for (std::size_t at = written.find("; turn "); at != std::string::npos; at = written.find("; turn ", at + 1)) {
        const std::size_t end = written.find('\r', at);
        ASSERT_EQ(written.substr(at + 7, end - at - 7), std::to_string(next)) << "arc " << next;
        ++next;
    }
    EXPECT_EQ(next, arcs);
}

TEST(Dialect, SetsAllFiveAtOnce)
{
    ProcessSettings p;
    applyDialect(p, Dialect::LinuxCnc);
    EXPECT_EQ(std::vector<int>(
                  {p.calculatorDecimals, p.lowerCaseLetters, p.semicolonComments, p.endAtProgramEnd, p.arcTurnsByP}),
              std::vector<int>(5, 1));
    applyDialect(p, Dialect::Standard);
    EXPECT_EQ(p, ProcessSettings{});
}

}  // namespace
}  // namespace drennix::testing

namespace drennix::testing {
namespace {

// A program written for a LinuxCNC machine, read with that dialect: every end
// point and arc centre as worked out by hand from its geometry.
TEST_F(EngineRunTest, AProgramForLinuxCncReadsAsItsMachineReadsIt)
{
    applyDialect(settings.process, Dialect::LinuxCnc);
    host.listensToMoves = true;
    options.sourcePath = std::string(DRENNIX_TEST_DATA_DIR) + "/dialect/linuxcnc_helix.ngc";
    execute(RunMode::MachiningTime);
    ASSERT_EQ(host.messages, kCalculated);
    struct Expected {
        long long line;
        Point3 end;
        double centreA, centreB;
    };
    // Lines 3 and 10 move nothing but are blocks of the modal rapid motion.
    const std::vector<Expected> expected = {
        {3, {0, 0, 0}, 0, 0},    {4, {0, 0, 5}, 0, 0},      {5, {0, 0, -1}, 0, 0},
        {6, {20, 0, -1}, 10, 0}, {7, {30, 10, -1}, 20, 10}, {8, {30, 10, -4}, 30, 5},
        {9, {30, 10, 5}, 0, 0},  {10, {30, 10, 5}, 0, 0},  // m30 itself is a block without a
                                                           // move of its own
    };
    ASSERT_EQ(host.moves.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Move& move = host.moves[i];
        EXPECT_EQ(move.line, expected[i].line);
        EXPECT_EQ(move.end, expected[i].end) << "line " << move.line;
        if (move.isArc()) {
            EXPECT_NEAR(move.arc.centreA, expected[i].centreA, 1e-9) << "line " << move.line;
            EXPECT_NEAR(move.arc.centreB, expected[i].centreB, 1e-9) << "line " << move.line;
        }
    }
    EXPECT_EQ(host.moves[5].arc.turns, 3);
    EXPECT_EQ(field(ResultField::LineCount), "14");
    EXPECT_EQ(field(ResultField::MaxX) + " " + field(ResultField::MaxY) + " " + field(ResultField::MinZ),
              "35.000 10.000 -4.000");
}

}  // namespace
}  // namespace drennix::testing
