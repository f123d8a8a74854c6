// A machining centre's programs: tool changes and the figures per tool, and
// subprograms run where they are called (in the same file or beside it,
// repeated, nested), each read as a Fanuc-style control and LinuxCNC read
// them.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

class MachiningCentre : public EngineRunTest {
protected:
    MachiningCentre()
    {
        applyDialect(settings.process, Dialect::Fanuc);
        settings.process.calculatorDecimals = 1;
    }

    // The tools of the rows, in order.
    std::vector<int> tools() const
    {
        std::vector<int> numbers;
        for (const ToolRow& row : *host.tools)
            numbers.push_back(row.tool);
        return numbers;
    }
};

TEST_F(MachiningCentre, EveryFormOfAChangeChangesTheTool)
{
    for (const char* program : {"T5M06\nG1X1F100", "M06T5\nG1X1F100", "T5\nM6\nG1X1F100", "T5\nG1X1F100\nM6"}) {
        run(program);
        ASSERT_EQ(host.messages, kCalculated) << program;
        EXPECT_EQ(host.tools->back().tool, 5) << program;
        EXPECT_EQ(host.results->notes.back(), "工具交換数：1") << program;
    }
    // The tool at the start keeps what ran before the change.
    run("T5\nG1X1F100\nM6");
    EXPECT_EQ(tools(), (std::vector<int>{-1, 5}));
    EXPECT_EQ(host.tools->front().cuttingDistance, 1.0);
}

struct Rejected {
    std::string name;
    std::string program;
    int line;
    std::string text;
};

class MachiningCentreRejects : public MachiningCentre, public ::testing::WithParamInterface<Rejected> {};

TEST_P(MachiningCentreRejects, TheBlockWhereAControlAlarms)
{
    const Rejected& c = GetParam();
    run(c.program);
    EXPECT_EQ(host.messages, warningOnly(lineMessage(c.line, c.text))) << c.program;
    EXPECT_EQ(host.tools, std::nullopt);
}

const std::string kBody = "O1000\nG91G1X10F200\nG90\nM99\n";

INSTANTIATE_TEST_SUITE_P(
    Blocks, MachiningCentreRejects,
    ::testing::Values(
        Rejected{"ChangeWithoutTool", "G0X1\nM6", 2, "行目の 工具交換指令 M6 の前に 工具番号 T が有りません。"},
        Rejected{"NegativeTool", "T-1M6", 1, "行目の 工具番号 T が0以上の整数では有りません。"},
        Rejected{"FractionOfATool", "T1.5", 1, "行目の 工具番号 T が0以上の整数では有りません。"},
        Rejected{"NegativeOffset", "G43H-2", 1, "行目の 工具長補正番号 H が0以上の整数では有りません。"},
        Rejected{"MissingSubprogram", "M98P2000\nM30", 1, "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ O2000 が有りません。"},
        Rejected{"CallWithoutNumber", "M98L2\nM30", 1,
                 "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ呼出し M98 の P か繰返し回数が正しく有りません。"},
        Rejected{"Recursion", "M98P1\nM30\nO1\nM98P2\nM99\nO2\nM98P1\nM99", 7,
                 "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ O1 の呼出しが再帰に成っています。"},
        Rejected{"FiveDeep", "M98P1\nM30\nO1\nM98P2\nM99\nO2\nM98P3\nM99\nO3\nM98P4\nM99\nO4\nM98P5\nM99\nO5\nM99", 13,
                 "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ O5 の呼出しが4重を超えました。"},
        Rejected{"WithoutItsEnd", "M98P1000\nM30\nO1000\nG1X1F100", 1,
                 "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ O1000 に終わり(M99･endsub･endrepeat)が有りません。"}),
    NameOfCase{});

// Three tools and a subprogram called four times (L2, then once for each of
// the other tools): every figure of the rows adds up to the whole, and the
// estimate to the whole less the three changes.
TEST_F(MachiningCentre, TheRowsOfThreeToolsAddUpToTheWhole)
{
    options.estimate = true;
    run("G0X0Y0Z10\nT1M6\nG1Z0F100\nM98P1000L2\nT2M6\nM98P1000\nT3M6\nM98P1000\nG0Z10\nM30\n" + kBody);
    ASSERT_EQ(host.messages, kCalculated);
    ASSERT_EQ(tools(), (std::vector<int>{-1, 1, 2, 3}));
    const std::vector<ToolRow>& rows = *host.tools;
    // By hand: rapid 10 to Z10; T1 feeds Z10 to Z0 at 100 and twice X+10 at
    // 200; T2 and T3 once X+10 each, T3 then rapid 10 up.
    const double expectedCutting[] = {0, 30, 10, 10};
    const double expectedRapid[] = {10, 0, 0, 10};
    const double expectedTime[] = {10.0 / 3000, 0.2, 0.05, 0.05 + 10.0 / 3000};
    double cutting = 0, rapid = 0, time = 0, estimate = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].cuttingDistance, expectedCutting[k]) << k;
        EXPECT_EQ(rows[k].rapidDistance, expectedRapid[k]) << k;
        EXPECT_NEAR(rows[k].machiningTime, expectedTime[k], 1e-12) << k;
        cutting += rows[k].cuttingDistance;
        rapid += rows[k].rapidDistance;
        time += rows[k].machiningTime;
        estimate += rows[k].estimateSeconds;
    }
    EXPECT_EQ(field(ResultField::CuttingDistance), "50.000");
    EXPECT_EQ(fixed(cutting), "50.000");
    EXPECT_EQ(fixed(rapid), field(ResultField::RapidDistance));
    EXPECT_NEAR(time, 0.2 + 0.05 + 0.05 + 20.0 / 3000, 1e-12);
    EXPECT_NEAR(estimate + 3 * settings.machine.toolChangeTime, host.estimate->seconds, 1e-9);
    EXPECT_EQ(rows[1].firstLine, 2);
    EXPECT_EQ(rows[3].lastLine, 10);
    EXPECT_EQ(rows[1].feeds, (std::vector<double>{100, 200}));
    EXPECT_EQ(host.results->notes.back(), "工具交換数：3");
}

TEST_F(MachiningCentre, ASubprogramRunsWhereItIsCalledAndListsItsLines)
{
    run("G0X0Y0Z0\nM98P21000\nG0X50\nM30\n" + kBody, RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.messages, kCalculated);
    // The call, the body twice, then the program goes on; 行数 counts the
    // program's own lines.
    std::vector<std::string> listed;
    for (const AbsoluteRow& row : host.listed)
        listed.push_back(row.cells[ColumnLine] + ":" + row.cells[ColumnX]);
    listed.resize(9);
    EXPECT_EQ(listed, (std::vector<std::string>{"1:0.000", "2:0.000", "6:10.000", "7:10.000", "8:10.000", "6:20.000",
                                                "7:20.000", "8:20.000", "3:50.000"}));
    EXPECT_EQ(field(ResultField::LineCount), "9");
    EXPECT_EQ(field(ResultField::CuttingDistance), "20.000");
    // After the program's end the subprogram's lines stand as written.
    EXPECT_EQ(host.listed.back().cells[ColumnX], "50.000");
}

TEST_F(MachiningCentre, RepeatsByLKOrTheFirstDigitsOfP)
{
    for (const char* call : {"M98P1000L3", "M98P1000K3", "M98P31000", "M98P1000\nM98P1000L2"}) {
        run(std::string(call) + "\nM30\n" + kBody);
        EXPECT_EQ(field(ResultField::CuttingDistance), "30.000") << call;
    }
    run("M98P1000L0\nM30\n" + kBody);
    EXPECT_EQ(field(ResultField::CuttingDistance), "0.000");
}

TEST_F(MachiningCentre, NestsFourDeep)
{
    run("M98P1\nM30\nO1\nM98P2\nM99\nO2\nM98P3\nM99\nO3\nM98P4\nM99\nO4\nG91G1X1F100\nM99\n");
    ASSERT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::CuttingDistance), "1.000");
}

// M99 in the program itself ends it: the lines after it only count.
TEST_F(MachiningCentre, M99InTheProgramEndsIt)
{
    run("G1X1F100\nM99\nG1X5\n");
    EXPECT_EQ(field(ResultField::MaxX), "1.000");
    EXPECT_EQ(field(ResultField::LineCount), "4");
}

// A subprogram of its own file beside the program, which may sit in a
// folder with a Japanese name; a fault in it names that file and its line.
TEST_F(MachiningCentre, ASubprogramBesideTheProgram)
{
    std::filesystem::create_directories(scratch / "部品");
    scratch.write("部品/O2000.nc", "%\nO2000 (穴)\nG91G1X7F100\nG90\nM99\n%\n");
    options.sourcePath = scratch.write("部品/加工.nc", "M98P2000L2\nM30\n").string();
    execute(RunMode::MachiningTime);
    ASSERT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::CuttingDistance), "14.000");
    scratch.write("部品/O2000.nc", "O2000\nG1X1..2\nM99\n");
    execute(RunMode::MachiningTime);
    EXPECT_EQ(host.messages, warningOnly("ﾌｧｲﾙ O2000.nc の2行目で数値に少数点が2つ以上有ります。" + kNotConverted));
}

class LinuxCncSubprograms : public EngineRunTest {
protected:
    LinuxCncSubprograms() { applyDialect(settings.process, Dialect::LinuxCnc); }
};

TEST_F(LinuxCncSubprograms, SubCallAndRepeat)
{
    run("o100 sub\nG91 G1 X10 F100\nG90\no100 endsub\nG0 X0 Y0 Z5\no100 call\no101 repeat [3]\no100 call\n"
        "o101 endrepeat\nM2\n");
    ASSERT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::CuttingDistance), "40.000");
    EXPECT_EQ(field(ResultField::MaxX), "40.000");
    EXPECT_EQ(field(ResultField::LineCount), "11");
    // Fanuc-style calls too, as LinuxCNC reads them.
    run("M98 P1000 L2\nM2\nO1000\nG91 G1 X10 F100\nG90\nM99\n");
    EXPECT_EQ(field(ResultField::CuttingDistance), "20.000");
}

TEST_F(LinuxCncSubprograms, WhatNeedsParametersIsRefused)
{
    const std::string refused =
        "行目の o指令 は引数の無い call･sub･endsub と 回数が数値の repeat･endrepeat "
        "だけを読みます(ﾊﾟﾗﾒｰﾀと式は対象外です)。";
    for (const char* line : {"o100 call [1]", "o<drill> call", "o101 repeat [#1]", "o102 if [#1 GT 0]"}) {
        run(std::string("o100 sub\no100 endsub\n") + line + "\nM2\n");
        EXPECT_EQ(host.messages, warningOnly(lineMessage(3, refused))) << line;
    }
}

// A program whose definitions are never called converts as before: the
// definitions stand as written.
TEST_F(LinuxCncSubprograms, DefinitionsWithoutCallsConvert)
{
    run("o100 sub\nG2 X2 I1 F100\no100 endsub\nG2 X2 I1 F100\nM2\n", RunMode::ConvertArcs);
    ASSERT_EQ(host.messages, informationOnly(created()));
    EXPECT_TRUE(output().starts_with("o100 sub\r\nG2 X2 I1 F100\r\no100 endsub\r\nG1")) << output();
}

}  // namespace
}  // namespace drennix::testing
