// The rows of the absolute display: the start row, one row per finished line
// with position, arc data and length, the 98-byte source cell, and the rows
// kept when a run stops.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "engine_run.h"

namespace drennix::testing {
namespace {

AbsoluteRow rowOf(std::initializer_list<std::string> cells)
{
    AbsoluteRow row;
    std::copy(cells.begin(), cells.end(), row.cells.begin());
    return row;
}

TEST_F(EngineRunTest, StartRowAndStraightRows)
{
    options.initialX = 1.5;
    run("G0X10.Y4.\nG1Z-2.F100.\n(DONE)\nG10P1R5.\n", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.startRow, rowOf({"開始位置", "", "1.500", "0.000", "0.000", "", "", "", "", "", ""}));
    const double rapid = std::pow(std::pow(4.0, 2) + std::pow(4.0, 2), 0.5) + 4.5;
    EXPECT_EQ(host.rows[1], rowOf({"1", "G0X10.Y4.", "10.000", "4.000", "0.000", "", "", "", "", "", fixed(rapid)}));
    EXPECT_EQ(host.rows[2], rowOf({"2", "G1Z-2.F100.", "10.000", "4.000", "-2.000", "", "", "", "", "", "2.000"}));
    EXPECT_EQ(host.rows[3], rowOf({"3", "(DONE)", "10.000", "4.000", "-2.000", "", "", "", "", "", "0.000"}));
    // The R of a value-set block is a setting, not an arc radius.
    EXPECT_EQ(host.rows[4], rowOf({"4", "G10P1R5.", "10.000", "4.000", "-2.000", "", "", "", "", "", "0.000"}));
    EXPECT_EQ(host.rows[5], rowOf({"5", "", "10.000", "4.000", "-2.000", "", "", "", "", "", "0.000"}));
}

TEST_F(EngineRunTest, ArcDataOnlyOnArcRows)
{
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.\nG1X5.\n", RunMode::AbsoluteDisplay);
    const auto& arc = host.rows[1].cells;
    EXPECT_EQ(arc[5] + " " + arc[6] + " " + arc[7] + " " + arc[8] + " " + arc[9], "10.000 -0.000 90.000 0.000 ﾍﾘｶﾙ");
    // The angles stay in the run after an arc; later rows must not show them.
    EXPECT_EQ(host.rows[2], rowOf({"2", "G1X5.", "5.000", "10.000", "-1.000", "", "", "", "", "", "5.000"}));
}

TEST_F(EngineRunTest, RowsFollowTheDecimalPlaces)
{
    settings.process.decimalPlaces = 0;
    options.initialZ = 2.5;  // rounds to even, as printf does
    run("G0X7Y-3", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.rows[1],
              rowOf({"1", "G0X7Y-3", "7", "-3", "2", "", "", "", "", "", fixed(std::pow(9.0 + 9.0, 0.5) + 4, 0)}));
}

TEST_F(EngineRunTest, SourceCellKeepsTheFirst98Bytes)
{
    const std::string longLine = "G0X1.(" + std::string(60, 'A') + "\x88\xea" + std::string(40, 'B') + ")";
    const std::string cutKanji = "G0X1.(" + std::string(91, 'A') + "\x88\xea)";
    run(longLine + "\n" + cutKanji, RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.rows[1].cells[1], longLine.substr(0, 98));
    EXPECT_EQ(host.rows[2].cells[1], cutKanji.substr(0, 98));  // ends with the lead byte
}

TEST_F(EngineRunTest, StoppedRunKeepsTheRowsBeforeTheRejectedLine)
{
    std::string source;
    for (int i = 1; i < 40; ++i)
        source += "G91G0X1.\n";
    run(source + "G0X1.X2.\nG0X3.\n", RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.rows.size(), 39u);
    EXPECT_EQ(host.rows.rbegin()->first, 39);
    EXPECT_EQ(host.rows[39].cells[2], "39.000");
    EXPECT_EQ(host.count("showAbsoluteDisplay"), 1);
}

}  // namespace
}  // namespace drennix::testing
