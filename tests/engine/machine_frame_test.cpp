// Where the tool is and in which unit: reference returns through their
// intermediate point, moves in machine coordinates, work offsets, coordinate
// sets of some axes, inch programs and a change of unit on the way, and the
// rest of LinuxCNC's reading, each setting read off and on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

using P = ProcessSettings;

struct ReadingCase {
    std::string name;
    int ProcessSettings::*setting;
    std::string program;
    // The outcome with the setting off and on: the last message if it is a
    // warning, otherwise "maxX maxY minZ cutting rapid" and any notes.
    std::string off;
    std::string on;
};

class FrameReading : public EngineRunTestWithParam<ReadingCase> {
protected:
    std::string outcome()
    {
        if (host.messages.empty() || host.messages.back().kind == MessageKind::Warning) {
            return host.messages.empty() ? "" : host.messages.back().text;
        }
        std::string text = field(ResultField::MaxX) + " " + field(ResultField::MaxY) + " " + field(ResultField::MinZ) +
                           " " + field(ResultField::CuttingDistance) + " " + field(ResultField::RapidDistance);
        for (const std::string& note : host.results->notes)
            text += " | " + note;
        return text;
    }
};

TEST_P(FrameReading, ReadsTheProgramAsTheSettingSays)
{
    const ReadingCase& c = GetParam();
    settings.process.calculatorDecimals = 1;
    run(c.program);
    EXPECT_EQ(outcome(), c.off) << "off";
    settings.process.*c.setting = 1;
    run(c.program);
    EXPECT_EQ(outcome(), c.on) << "on";
}

const std::string kRotaryNote = "回転軸 A･B･C の指令は移動距離と時間に含めていません。";

INSTANTIATE_TEST_SUITE_P(
    Settings, FrameReading,
    ::testing::Values(
        // G28 is no code of the default vocabulary: its X word moves as G0 would.
        ReadingCase{"ReferenceReturn", &P::referenceReturn, "G0X5Y5\nG28X1", "5.000 5.000 0.000 0.000 11.071",
                    "5.000 5.000 0.000 0.000 12.071"},
        ReadingCase{"MachineCoordinates", &P::referenceReturn, "G0X5\nG53G0X-2", "5.000 0.000 0.000 0.000 12.000",
                    "5.000 0.000 0.000 0.000 12.000"},
        ReadingCase{"InchUnits", &P::inchUnits, "G20\nG1X1F10", "1.000 0.000 0.000 1.000 0.000",
                    "1.000 0.000 0.000 1.000 0.000 | 単位：inch"},
        ReadingCase{"WorkOffsetSet", &P::workOffsets, "G10L2P1X5Y0Z0\nG0X1",
                    lineMessage(1, "行目の 値設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有ります。"),
                    "1.000 0.000 0.000 0.000 6.000"},
        ReadingCase{"WorkSystemSelected", &P::workOffsets, "G10L2P2X10\nG55\nG0X0",
                    lineMessage(1, "行目の 値設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有ります。"),
                    "0.000 0.000 0.000 0.000 10.000"},
        ReadingCase{"SpacesInsideWords", &P::spacesInWords, "G0X10\nG3 X-10 I -10 F     200",
                    lineMessage(2, "行目の I に数値が有りません。"), "10.000 10.000 0.000 31.416 10.000"},
        ReadingCase{"TabBeforeAComment", &P::spacesInWords, "n099\t(tab)\nG0X1",
                    lineMessage(1, "行目で英数字以外の文字が有ります。"), "1.000 0.000 0.000 0.000 1.000"},
        ReadingCase{"CoordinateSetOfOneAxis", &P::partialCoordinateSet, "G0X5\nG92X0\nG0X1",
                    lineMessage(2, "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。"),
                    "5.000 0.000 0.000 0.000 6.000"},
        ReadingCase{"CoordinateSetOfNoAxis", &P::partialCoordinateSet, "G92E0",
                    lineMessage(1, "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。"),
                    lineMessage(1, "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。")},
        ReadingCase{"CoordinateSetInFeedMode", &P::partialCoordinateSet, "G1X5F100\nG92X0Y0Z0\nG1X1",
                    lineMessage(2, "行目の 座標設定指令 が 直線切削指令 中か 右廻円弧指令 中か 左廻円弧指令 中です。"),
                    "5.000 0.000 0.000 6.000 0.000"},
        ReadingCase{"RotaryWords", &P::rotaryAxes, "G1X1A90F100", "1.000 0.000 0.000 1.000 0.000",
                    "1.000 0.000 0.000 1.000 0.000 | " + kRotaryNote},
        ReadingCase{"RapidUnderCompensation", &P::rapidUnderCompensation, "G41G1X1F100\nG0X5",
                    lineMessage(2, "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。"),
                    "5.000 0.000 0.000 1.000 4.000"},
        ReadingCase{"Expression", &P::expressionsNamed, "G0X0\nG2X1R[.5*SQRT[2]]F100",
                    lineMessage(2, "行目の R に数値が有りません。"),
                    lineMessage(2, "行目の [ ] の式は読めません(ﾊﾟﾗﾒｰﾀと式は対象外です)。")},
        ReadingCase{"Parameter", &P::expressionsNamed, "#5=[#5-.020]",
                    lineMessage(1, "行目で数値の途中にﾏｲﾅｽが有ります。"),
                    lineMessage(1, "行目の # のﾊﾟﾗﾒｰﾀは読めません(ﾊﾟﾗﾒｰﾀと式は対象外です)。")}),
    NameOfCase{});

// The machine's reference positions and the first work system's offset, far
// from 0, so that every conversion between the systems shows.
class MachineMoves : public EngineRunTest {
protected:
    MachineMoves()
    {
        settings.process.calculatorDecimals = 1;
        settings.process.referenceReturn = 1;
        settings.process.workOffsets = 1;
        settings.machine.referencePosition = {100, 50, 20};
        settings.machine.secondReference = {-10, -20, 30};
        settings.machine.workOffset = {10, 20, 5};
        host.listensToMoves = true;
    }

    std::string position(std::size_t row) const
    {
        const AbsoluteRow& r = host.rows.at(row);
        return r.cells[ColumnX] + " " + r.cells[ColumnY] + " " + r.cells[ColumnZ];
    }
};

TEST_F(MachineMoves, ReturnAndMachineMovesGoWhereTheMachineSays)
{
    run("G0X1Y2Z3\n"    // 1
        "G28X5\n"       // 2: through X5 to X 100 - 10
        "G91G28Z2\n"    // 3: through Z 3 + 2 to Z 20 - 5
        "G90G30\n"      // 4: every axis to the second reference
        "G53G0X0Y0\n"   // 5: machine X0 Y0
        "G92X0Y0Z0\n"   // 6: the shift takes the difference
        "G53G0Z0\n"     // 7: machine Z0 through offset and shift
        "G10L2P1X0\n",  // 8: the first system's X offset is 0 now
        RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.messages, kCalculated);
    const std::vector<std::string> expected = {
        "1.000 2.000 3.000",      "90.000 2.000 3.000", "90.000 2.000 15.000", "-20.000 -40.000 25.000",
        "-10.000 -20.000 25.000", "0.000 0.000 0.000",  "0.000 0.000 -30.000", "10.000 0.000 -30.000",
    };
    for (std::size_t line = 1; line <= expected.size(); ++line)
        EXPECT_EQ(position(line), expected[line - 1]) << "line " << line;
    // Two moves for each return through a point, one for the others; every
    // one of them at rapid, joined end to start.
    ASSERT_EQ(host.moves.size(), 8u);
    EXPECT_EQ(host.moves[1].end, (Point3{5, 2, 3}));
    EXPECT_EQ(host.moves[3].end, (Point3{90, 2, 5}));
    for (std::size_t k = 0; k < host.moves.size(); ++k) {
        EXPECT_TRUE(host.moves[k].isRapid()) << k;
        // (The coordinate set of line 6 moves the position, not the tool.)
        if (k > 0 && host.moves[k].line != 7) {
            EXPECT_EQ(host.moves[k].start, host.moves[k - 1].end) << k;
        }
    }
    // The row of a return tells the length of both its moves.
    EXPECT_EQ(host.rows[2].cells[ColumnDistance], "89.000");
}

TEST_F(MachineMoves, ReturnsCountAsRapidMovesInEveryFigure)
{
    run("G28X0\nG1X1F100");
    ASSERT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::RapidDistance), "90.000");
    EXPECT_EQ(field(ResultField::MaxX), "90.000");
    EXPECT_EQ(field(ResultField::CuttingDistance), "89.000");
    // A converting run keeps the block as written, the figures as they were.
    run("G28X0\nG2X88I-1F100", RunMode::ConvertArcs);
    ASSERT_EQ(host.messages, informationOnly(created()));
    EXPECT_TRUE(output().starts_with("G28X0\r\nG1X89.9")) << output();
    EXPECT_EQ(field(ResultField::RapidDistance), "90.000");
}

struct RejectedBlock {
    std::string name;
    std::string program;
    int line;
    std::string text;
};

class MachineMoveRules : public MachineMoves, public ::testing::WithParamInterface<RejectedBlock> {};

TEST_P(MachineMoveRules, StopTheRunAtTheirLine)
{
    settings.process.inchUnits = 1;
    run(GetParam().program);
    EXPECT_EQ(host.messages, warningOnly(lineMessage(GetParam().line, GetParam().text)));
    EXPECT_EQ(host.results, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, MachineMoveRules,
    ::testing::Values(
        RejectedBlock{"ReturnUnderCompensation", "G41G1X1F100\nG28Z0", 2,
                      "行目の 原点復帰指令 か 機械座標指令 が 左径補正指令 中か 右径補正指令 中です。"},
        RejectedBlock{"ReturnWithCentreWords", "G28X0I1", 1,
                      "行目の 原点復帰指令 か 機械座標指令 中に 円弧中心指令 か 円弧半径指令 が有ります。"},
        RejectedBlock{"ReturnAndMachineMove", "G28G53X0", 1,
                      "行目に 原点復帰指令 か 機械座標指令 が他の非ﾓｰﾀﾞﾙ指令と共に有ります。"},
        RejectedBlock{"ReturnAndCoordinateSet", "G28G92X0Y0Z0", 1,
                      "行目に 原点復帰指令 か 機械座標指令 が他の非ﾓｰﾀﾞﾙ指令と共に有ります。"},
        RejectedBlock{"MachineMoveOnAnArc", "G0X1\nG2F100\nG53X0", 3,
                      "行目の 機械座標指令 が 早送指令 か 直線切削指令 の中では有りません。"},
        RejectedBlock{"BothUnits", "G20G21", 1, "行目に ｲﾝﾁ･ﾐﾘ指令 が複数有ります。"},
        RejectedBlock{"TwoWorkSystems", "G54G59.3", 1, "行目に ﾜｰｸ座標系指令 が複数有ります。"},
        RejectedBlock{"OffsetOfNoSystem", "G10L2P10X0", 1, "行目の ｵﾌｾｯﾄ設定 の P が0から9の整数では有りません。"},
        RejectedBlock{"OffsetWithoutSystem", "G10L2X0", 1, "行目の ｵﾌｾｯﾄ設定 の P が0から9の整数では有りません。"}),
    NameOfCase{});

class InchProgram : public EngineRunTest {
protected:
    InchProgram()
    {
        settings.process.calculatorDecimals = 1;
        settings.process.inchUnits = 1;
    }
};

// A feed given before G20 keeps its speed: 254 mm/min is 10 in/min; back in
// millimetres, the position and the figures so far are converted.
TEST_F(InchProgram, AChangeOfUnitConvertsPositionFeedAndFigures)
{
    run("G21F254\nG20\nG1X1\nG21\nG1X0\n", RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.messages, kCalculated);
    EXPECT_EQ(host.rows[3].cells[ColumnX], "1.000");
    EXPECT_EQ(host.rows[4].cells[ColumnX], "25.400");
    EXPECT_EQ(host.rows[5].cells[ColumnX], "0.000");
    EXPECT_EQ(field(ResultField::CuttingDistance), "50.800");
    EXPECT_EQ(field(ResultField::MaxX), "25.400");
    EXPECT_EQ(field(ResultField::MachiningTime), "0.2");
    EXPECT_EQ(host.results->notes, std::vector<std::string>{"単位：mm"});
    run("G20\nG1X1F10\n");
    EXPECT_EQ(host.results->notes, std::vector<std::string>{"単位：inch"});
    // A rapid inch runs at the rapid speed in inches: 3000 mm/min.
    run("G20\nG0X1181.1\n");
    EXPECT_EQ(field(ResultField::MachiningTime), "10.0");
}

// The estimate of an inch program is the estimate of the same program in
// millimetres: the machine's limits are taken in inches.
TEST_F(InchProgram, IsEstimatedAsTheSameProgramInMillimetres)
{
    options.estimate = true;
    run("G20\nG0X4Y2\nG1X5F20\nG2X6Y1I0J-1\nG1Z-.5\nG0Z2\n");
    ASSERT_TRUE(host.estimate);
    const double inches = host.estimate->seconds;
    run("G0X101.6Y50.8\nG1X127F508\nG2X152.4Y25.4I0J-25.4\nG1Z-12.7\nG0Z50.8\n");
    ASSERT_TRUE(host.estimate);
    // Within the rounding of the directions: at a reversal a cosine a last
    // bit above -1 lets the corner keep a speed of its square root.
    EXPECT_NEAR(inches, host.estimate->seconds, 1e-6 * host.estimate->seconds);
    EXPECT_GT(inches, 1.0);
}

}  // namespace
}  // namespace drennix::testing
