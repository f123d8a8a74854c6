// The rows of the absolute display: the start row, one row per finished
// line with its position, arc data and length, the 98-byte source cell, and
// the rows kept when a run stops.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine_run.h"

namespace drennix::testing {
namespace {

AbsoluteRow rowOf(std::initializer_list<std::string> cells) {
    AbsoluteRow row;
    int i = 0;
    for (const auto& c : cells) row.cells[i++] = c;
    return row;
}

TEST_F(EngineRunTest, StartRowHoldsTheInitialPosition) {
    options.initialX = 1.5;
    options.initialY = -2;
    run("M30", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.startRow(), rowOf({"開始位置", "", "1.500", "-2.000", "0.000", "", "", "", "", "", ""}));
}

TEST_F(EngineRunTest, StraightRowsHavePositionAndLengthOnly) {
    run("G0X10.Y4.\nG1Z-2.F100.\n(DONE)", RunMode::AbsoluteDisplay);
    const double rapid = std::pow(std::pow(4.0, 2) + std::pow(4.0, 2), 0.5) + 6;
    EXPECT_EQ(host.row(1), rowOf({"1", "G0X10.Y4.", "10.000", "4.000", "0.000", "", "", "", "", "", fixed(rapid)}));
    EXPECT_EQ(host.row(2), rowOf({"2", "G1Z-2.F100.", "10.000", "4.000", "-2.000", "", "", "", "", "", "2.000"}));
    EXPECT_EQ(host.row(3), rowOf({"3", "(DONE)", "10.000", "4.000", "-2.000", "", "", "", "", "", "0.000"}));
}

TEST_F(EngineRunTest, ArcDataOnlyOnArcRows) {
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.\nG1X5.\nG10P1R5.\n", RunMode::AbsoluteDisplay);
    const auto arc = host.row(1);
    EXPECT_EQ(arc.cells[5], "10.000");
    EXPECT_EQ(arc.cells[6], "-0.000");  // the angle of -(I, J) = (10, -0)
    EXPECT_EQ(arc.cells[7], "90.000");
    EXPECT_EQ(arc.cells[8], "0.000");
    EXPECT_EQ(arc.cells[9], "ﾍﾘｶﾙ");
    // The angles stay in the run after an arc; the next rows must not show them.
    for (int line : {2, 3, 4}) {
        const auto row = host.row(line);
        for (int cell = 5; cell <= 9; ++cell) EXPECT_EQ(row.cells[cell], "") << line << ":" << cell;
    }
    EXPECT_EQ(host.row(2).cells[2], "5.000");
    EXPECT_EQ(host.row(2).cells[10], "5.000");
}

TEST_F(EngineRunTest, RowsFollowTheDecimalPlaces) {
    settings.process.decimalPlaces = 0;
    options.initialZ = 2.5;
    run("G0X7Y-3", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.startRow()->cells[4], "2");
    EXPECT_EQ(host.row(1), rowOf({"1", "G0X7Y-3", "7", "-3", "2", "", "", "", "", "", fixed(std::pow(9.0 + 9.0, 0.5) + 4, 0)}));
}

TEST_F(EngineRunTest, SourceCellKeepsTheFirst98Bytes) {
    const std::string longLine = "G0X1.(" + std::string(60, 'A') + "\x88\xea" + std::string(40, 'B') + ")";
    const std::string cutKanji = "G0X1.(" + std::string(91, 'A') + "\x88\xea)";
    run(longLine + "\n" + cutKanji, RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.row(1).cells[1], longLine.substr(0, 98));
    EXPECT_EQ(host.row(2).cells[1], cutKanji.substr(0, 98));
    EXPECT_EQ(host.row(2).cells[1].back(), '\x88');
}

TEST_F(EngineRunTest, FinalLineEndGivesAnEmptyLastRow) {
    run("G0X1.\n", RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.rows().size(), 2u);
    EXPECT_EQ(host.row(2), rowOf({"2", "", "1.000", "0.000", "0.000", "", "", "", "", "", "0.000"}));
}

TEST_F(EngineRunTest, StoppedRunKeepsTheRowsBeforeTheRejectedLine) {
    std::string source;
    for (int i = 1; i < 40; ++i) source += "G91G0X1.\n";
    source += "G0X1.X2.\nG0X3.\n";
    run(source, RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.rows().size(), 39u);
    EXPECT_EQ(host.rows().back().first, 39);
    EXPECT_EQ(host.row(39).cells[2], "39.000");
    EXPECT_EQ(host.events().back(), "showLineCount 40");
    EXPECT_EQ(host.countOf("showAbsoluteDisplay"), 1);
}

TEST_F(EngineRunTest, ValueSetRadiusIsNoArcRadius) {
    run("G10P1R5.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.row(1), rowOf({"1", "G10P1R5.", "0.000", "0.000", "0.000", "", "", "", "", "", "0.000"}));
}

}  // namespace
}  // namespace drennix::testing
