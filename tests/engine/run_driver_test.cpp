// One run from Execute to its end: the input checks in their order, the read
// loop with progress and Escape, line ends, the ways a run ends and the one
// clean-up after a rejected line.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

using Events = std::vector<std::string>;

std::string lines(const std::string& line, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "\n" : "") + line;
    return text;
}

struct InputCase {
    std::string name;
    void (*change)(RunOptions&, const ScratchDirectory&);
    std::string message;
};

class RunInputCheck : public EngineRunTestWithParam<InputCase> {};

TEST_P(RunInputCheck, RejectsBeforeAnythingIsOpened)
{
    for (RunMode mode : {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertArcs}) {
        options = RunOptions{};
        options.sourcePath = scratch.write("part.nc", "G0X1.\n").string();
        GetParam().change(options, scratch);
        execute(mode);
        EXPECT_EQ(host.events, (Events{"clearResults", "warning " + GetParam().message}));
        EXPECT_EQ(host.messages[0].kind, MessageKind::Warning);
        EXPECT_EQ(host.polls, 0);
    }
}

using I = InputCase;
using O = RunOptions;
using D = const ScratchDirectory;
INSTANTIATE_TEST_SUITE_P(
    Order, RunInputCheck,
    ::testing::Values(
        I{"ToleranceZero", [](O& o, D&) { o.tolerance = 0; }, "許容値 は 0 超過 1 までの数字を入力して下さい。"},
        I{"ToleranceFirst", [](O& o, D&) { o.tolerance = -1, o.sourcePath = "", o.suffix = ""; },
          "許容値 は 0 超過 1 までの数字を入力して下さい。"},
        I{"NoSourceBeforeNoSuffix", [](O& o, D&) { o.sourcePath = "", o.suffix = ""; },
          "元ﾌｧｲﾙ が選択されていません。" + kNotConverted},
        I{"NoSuffixBeforeMissingSource", [](O& o, D& d) { o.suffix = "", o.sourcePath = (d / "absent").string(); },
          "作成ﾌｧｲﾙ追加文字 が指定されていません。" + kNotConverted},
        I{"SourceMissing", [](O& o, D& d) { o.sourcePath = (d / "absent.nc").string(); },
          "元ﾌｧｲﾙ が有りません。" + kNotConverted},
        I{"SourceIsAFolder", [](O& o, D& d) { o.sourcePath = d.path().string(); },
          "元ﾌｧｲﾙ を開くのに失敗しました。" + kNotConverted}),
    NameOfCase{});

// /proc/self/mem is a regular file whose first read fails: nothing is mapped
// at address 0. The run stops on line 1 as on a rejected line.
TEST_F(EngineRunTest, ReadErrorStopsTheRunAtItsLine)
{
    if (!std::filesystem::is_regular_file("/proc/self/mem")) GTEST_SKIP() << "needs /proc/self/mem";
    for (RunMode mode : {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertArcs}) {
        options.sourcePath = "/proc/self/mem";
        execute(mode);
        EXPECT_EQ(host.messages, warningOnly(lineMessage(1, "行目でﾌｧｲﾙの読込みｴﾗｰが発生しました。")));
        EXPECT_EQ(host.results, std::nullopt);
        EXPECT_EQ(field(ResultField::LineCount), "1");
        EXPECT_TRUE(host.rows.empty());
        EXPECT_TRUE(host.outputPaths.empty());
    }
}

TEST_F(EngineRunTest, ToleranceOfOneRuns)
{
    options.tolerance = 1;
    run("G0X1.");
    EXPECT_EQ(host.messages, kCalculated);
}

TEST_F(EngineRunTest, FinishedRunsShowResultsThenTheirMessage)
{
    run("G0X1.\nG0X2.");
    EXPECT_EQ(host.events, (Events{"clearResults", "beginWait", "showLineCount 0", "showResults",
                                   "information 計算しました。", "endWait"}));
    EXPECT_EQ(host.polls, 2);
    run("G0X1.\nG0X2.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.events,
              (Events{"clearResults", "openAbsoluteDisplay", "startRow", "beginWait", "showLineCount 0", "row 1",
                      "row 2", "showResults", "showAbsoluteDisplay", "information 計算しました。", "endWait"}));
    for (RunMode mode : {RunMode::ConvertHelical, RunMode::ConvertArcs}) {
        run("G0X1.\nG1X2.F100.\n", mode);
        EXPECT_EQ(host.outline(), (Events{"clearResults", "beginWait", "showResults",
                                          "information 変換が有りませんでした。" + kNotConverted, "endWait"}));
        EXPECT_FALSE(std::filesystem::exists(outputPath()));
    }
}

TEST_F(EngineRunTest, RejectedLineCleansUpAndShowsOnlyItsNumber)
{
    run("G0X1.\nG0X2.\nX 1.\nG0X3.\n", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.events,
              (Events{"clearResults", "openAbsoluteDisplay", "startRow", "beginWait", "showLineCount 0", "row 1",
                      "row 2", "showLineCount 3", "warning " + lineMessage(3, "行目の X に数値が有りません。"),
                      "endWait", "showAbsoluteDisplay"}));
    ResultTexts onlyTheCount;
    onlyTheCount[ResultField::LineCount] = "3";
    EXPECT_EQ(host.fields, onlyTheCount);
}

TEST_F(EngineRunTest, ProgressShowsEveryHundredthFinishedLine)
{
    run(lines("G0X1.", 250));
    EXPECT_EQ(host.lineCounts, (std::vector<int>{0, 100, 200}));
    EXPECT_EQ(field(ResultField::LineCount), "250");
    run(lines("G1X1.F100.", 56) + "\nG1Y3.Y4.\n" + lines("G0X0.", 40));
    EXPECT_EQ(host.messages, warningOnly(lineMessage(57, "行目に Y が複数有ります。")));
    EXPECT_EQ(field(ResultField::LineCount), "57");
}

TEST_F(EngineRunTest, EscapeStopsBeforeTheNextLine)
{
    host.abortOnPoll = 1;
    run("G0X1.\nG0X2.\n");
    EXPECT_EQ(host.events, (Events{"clearResults", "beginWait", "escape", "showLineCount 0",
                                   "warning ESCｷｰにより処理を中止します。" + kNotConverted, "endWait"}));
    host.abortOnPoll = 4;
    run(lines("G0X1.", 10), RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.outline(),
              (Events{"clearResults", "openAbsoluteDisplay", "startRow", "beginWait", "escape",
                      "warning ESCｷｰにより処理を中止します。" + kNotConverted, "endWait", "showAbsoluteDisplay"}));
    EXPECT_EQ(host.rows.size(), 3u);
    EXPECT_EQ(field(ResultField::LineCount), "3");
    EXPECT_EQ(field(ResultField::RapidDistance), "");
    options.initialX = 10;
    host.abortOnPoll = 2;
    run("G3X0.Y10.Z-1.I-10.F100.\nG0X0.", RunMode::ConvertArcs);  // the arc was converted already
    EXPECT_FALSE(std::filesystem::exists(outputPath()));
}

// A host that names its stop flag is asked only while the flag is set, and
// the run still stops before the next line.
struct SignallingHost : RunListener {
    std::atomic<bool> flag{false};
    long long raiseAt = -1;  // the progress count that sets the flag
    int asked = 0;
    void progress(long long count) override
    {
        if (count == raiseAt) flag = true;
    }
    bool stopRequested() override { return ++asked, flag.exchange(false); }
    const std::atomic<bool>* stopSignal() const override { return &flag; }
};

TEST_F(EngineRunTest, ANamedStopSignalIsAskedOnlyWhileSet)
{
    options.sourcePath = scratch.write("part.nc", lines("G1X1.F100.", 450)).string();
    SignallingHost signalling;
    signalling.raiseAt = 200;
    const RunResult stopped = RunDriver(settings).execute(options, signalling);
    EXPECT_EQ(stopped.outcome, RunOutcome::Stopped);
    EXPECT_EQ(stopped.lineCount, 201);  // told 200 before line 201, asked before line 202
    EXPECT_EQ(signalling.asked, 1);
    SignallingHost quiet;
    EXPECT_EQ(RunDriver(settings).execute(options, quiet).outcome, RunOutcome::Calculated);
    EXPECT_EQ(quiet.asked, 0);
}

struct LineEndCase {
    std::string name, source, lineCount, maxX;
};

class LineEnds : public EngineRunTestWithParam<LineEndCase> {};

TEST_P(LineEnds, DecideHowManyLinesTheSourceHas)
{
    run(GetParam().source);
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::LineCount), GetParam().lineCount);
    EXPECT_EQ(field(ResultField::MaxX), GetParam().maxX);
}

INSTANTIATE_TEST_SUITE_P(Sources, LineEnds,
                         ::testing::Values(LineEndCase{"EmptyFileIsOneLine", "", "1", "0.000"},
                                           LineEndCase{"FinalLineEndGivesOneMoreLine", "G0X1.\n", "2", "1.000"},
                                           LineEndCase{"NoFinalLineEnd", "G0X1.\nG0X2.", "2", "2.000"},
                                           LineEndCase{"CrLfIsOneLineEnd", "G0X1.\r\nG0X2.\r\n", "3", "2.000"},
                                           LineEndCase{"CtrlZEndsTheInput", "G0X1.\nG0X2.\x1AG0X9.\nG0X9.\n", "2",
                                                       "2.000"},
                                           LineEndCase{"CtrlZAfterLastLineEnd", "G0X1.\n\x1A", "2", "1.000"},
                                           LineEndCase{"LoneCrInsideACommentStays", "(A\rB)G0X3.\r\n", "2", "3.000"}),
                         NameOfCase{});

// Whatever block size the reader uses, a CR LF pair and the 0x1A byte must
// read the same at every offset around it, and a line may be any length.
TEST_F(EngineRunTest, LineEndsAcrossReadBlocks)
{
    for (std::size_t block = 4096; block <= 1048576; block *= 4)
        for (std::size_t shift = 0; shift < 4; ++shift) {
            SCOPED_TRACE(std::to_string(block) + "+" + std::to_string(shift));
            run("(" + std::string(block - 4 + shift, 'A') + ")\r\nG0X1.\r\nG0X2.\x1AG0X9.\r\n");
            EXPECT_EQ(host.messages, kCalculated);
            EXPECT_EQ(field(ResultField::LineCount), "3");
            EXPECT_EQ(field(ResultField::MaxX), "2.000");
            run("(" + std::string(block - 3 + shift, 'A') + ")\x1AG0X9.\n");
            EXPECT_EQ(field(ResultField::LineCount), "1");
            EXPECT_EQ(field(ResultField::MaxX), "0.000");
        }
    const std::string longLine = "(" + std::string(3 * 1048576 + 17, 'C') + ")G0X2.";
    run("G0X1.\n" + longLine + "\r\n" + longLine, RunMode::AbsoluteDisplay);
    EXPECT_EQ(field(ResultField::LineCount), "3");
    EXPECT_EQ(host.rows[3].cells[1], longLine.substr(0, 98));
}

TEST_F(EngineRunTest, RowsStopAtTheRowLimitWhileTheRunGoesOn)
{
    settings.process.absoluteDisplayRows = 99;
    run(lines("G91G0X1.", 150), RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.rows.size(), 99u);
    EXPECT_EQ(host.rows.rbegin()->first, 99);
    EXPECT_EQ(field(ResultField::MaxX), "150.000");
}

TEST_F(EngineRunTest, EachRunStartsFromTheSettingsAndTheInitialPosition)
{
    run("G91G1X1.F100.\nG41X1.\n");
    EXPECT_EQ(field(ResultField::MaxX), "2.000");
    run("X5.\n");  // absolute, rapid, no compensation and no feed again
    EXPECT_EQ(host.messages, kCalculated);
    EXPECT_EQ(field(ResultField::RapidDistance), "5.000");
}

}  // namespace
}  // namespace drennix::testing
