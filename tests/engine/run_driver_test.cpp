// One run from Execute to its end: the input checks and their order, the read
// loop with its progress and Escape, the line ends, the ways a run ends and
// the one clean-up after a rejected line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine_run.h"

namespace drennix::testing {
namespace {

using Events = std::vector<std::string>;

std::string repeatedLines(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "\n" : "") + line;
    return text;
}

TEST(LineMessage, PutsTheLineNumberBetweenPrefixAndText) {
    EXPECT_EQ(composeLineMessage(57, "行目で少数点のみが有ります。"), "元ﾌｧｲﾙの57行目で少数点のみが有ります。");
    EXPECT_EQ(composeLineMessage(1, ""), "元ﾌｧｲﾙの1");
}

// ---- input checks ----------------------------------------------------------

struct InputCase {
    std::string name;
    void (*change)(RunOptions&, const ScratchDirectory&);
    std::string message;
};

class RunInputCheck : public EngineRunTestWithParam<InputCase> {};

TEST_P(RunInputCheck, RejectsBeforeAnythingIsOpened) {
    for (RunMode mode : {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertArcs}) {
        host = RecordingHost{};
        options = RunOptions{};
        options.sourcePath = scratch.write("part.nc", "G0X1.\n").string();
        GetParam().change(options, scratch);
        execute(mode);
        EXPECT_EQ(host.events(), (Events{"clearResults", "warning " + GetParam().message}));
        EXPECT_EQ(host.messages(), warningOnly(GetParam().message));
        EXPECT_EQ(host.pollCount(), 0);
    }
    EXPECT_FALSE(outputExists());
}

using I = InputCase;
INSTANTIATE_TEST_SUITE_P(
    Order, RunInputCheck,
    ::testing::Values(
        I{"ToleranceZero", [](RunOptions& o, const ScratchDirectory&) { o.tolerance = 0; },
          "許容値 は 0 超過 1 までの数字を入力して下さい。"},
        I{"ToleranceNegative", [](RunOptions& o, const ScratchDirectory&) { o.tolerance = -0.5; },
          "許容値 は 0 超過 1 までの数字を入力して下さい。"},
        I{"ToleranceBeforeEverythingElse",
          [](RunOptions& o, const ScratchDirectory&) { o.tolerance = 0; o.sourcePath = ""; o.suffix = ""; },
          "許容値 は 0 超過 1 までの数字を入力して下さい。"},
        I{"NoSource", [](RunOptions& o, const ScratchDirectory&) { o.sourcePath = ""; },
          "元ﾌｧｲﾙ が選択されていません。\n　変換はしていません。"},
        I{"NoSourceBeforeNoSuffix",
          [](RunOptions& o, const ScratchDirectory&) { o.sourcePath = ""; o.suffix = ""; },
          "元ﾌｧｲﾙ が選択されていません。\n　変換はしていません。"},
        I{"NoSuffix", [](RunOptions& o, const ScratchDirectory&) { o.suffix = ""; },
          "作成ﾌｧｲﾙ追加文字 が指定されていません。\n　変換はしていません。"},
        I{"NoSuffixBeforeMissingSource",
          [](RunOptions& o, const ScratchDirectory& d) { o.suffix = ""; o.sourcePath = (d / "absent.nc").string(); },
          "作成ﾌｧｲﾙ追加文字 が指定されていません。\n　変換はしていません。"},
        I{"SourceMissing",
          [](RunOptions& o, const ScratchDirectory& d) { o.sourcePath = (d / "absent.nc").string(); },
          "元ﾌｧｲﾙ が有りません。\n　変換はしていません。"},
        I{"SourceIsAFolder", [](RunOptions& o, const ScratchDirectory& d) { o.sourcePath = d.path().string(); },
          "元ﾌｧｲﾙ を開くのに失敗しました。\n　変換はしていません。"}),
    NameOfCase{});

TEST_F(EngineRunTest, UnreadableSourceCannotBeOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    const auto path = scratch.write("locked.nc", "G0X1.\n");
    ::chmod(path.c_str(), 0);
    options.sourcePath = path.string();
    execute(RunMode::MachiningTime);
    EXPECT_EQ(host.messages(), warningOnly("元ﾌｧｲﾙ を開くのに失敗しました。\n　変換はしていません。"));
}

TEST_F(EngineRunTest, ToleranceOfOneRuns) {
    options.tolerance = 1;
    run("G0X1.");
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
}

// ---- the ways a run ends ---------------------------------------------------

TEST_F(EngineRunTest, FinishedMachiningRunShowsResultsThenItsMessage) {
    run("G0X1.\nG0X2.");
    EXPECT_EQ(host.events(), (Events{"clearResults", "beginWait", "showLineCount 0", "showResults",
                                     "information 計算しました。", "endWait"}));
    EXPECT_EQ(host.pollCount(), 2);
    EXPECT_EQ(field(ResultField::LineCount), "2");
}

TEST_F(EngineRunTest, FinishedAbsoluteRunShowsItsWindowBeforeTheMessage) {
    run("G0X1.\nG0X2.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.events(),
              (Events{"clearResults", "openAbsoluteDisplay", "startRow", "beginWait", "showLineCount 0",
                      "row 1", "row 2", "showResults", "showAbsoluteDisplay", "information 計算しました。",
                      "endWait"}));
}

TEST_F(EngineRunTest, ConvertingRunWithoutArcsMakesNoFile) {
    for (RunMode mode : {RunMode::ConvertHelical, RunMode::ConvertArcs}) {
        host = RecordingHost{};
        run("G0X1.\nG1X2.F100.\n", mode);
        EXPECT_EQ(host.events(),
                  (Events{"clearResults", "beginWait", "showLineCount 0", "showResults",
                          "information 変換が有りませんでした。\n　変換はしていません。", "endWait"}));
        EXPECT_FALSE(outputExists());
    }
}

TEST_F(EngineRunTest, ConvertHelicalLeavesPlainArcsAndMakesNoFile) {
    options.initialX = 10;
    run("G3X0.Y10.I-10.F100.", RunMode::ConvertHelical);
    EXPECT_EQ(host.messages(), informationOnly("変換が有りませんでした。\n　変換はしていません。"));
    EXPECT_FALSE(outputExists());
    EXPECT_EQ(field(ResultField::ArcCount), "1");
}

TEST_F(EngineRunTest, RejectedLineCleansUpAndLeavesOnlyItsNumber) {
    run("G0X1.\nG0X2.\nX 1.\nG0X3.\n", RunMode::AbsoluteDisplay);
    const std::string message = "元ﾌｧｲﾙの3行目の X に数値が有りません。\n　変換はしていません。";
    EXPECT_EQ(host.events(),
              (Events{"clearResults", "openAbsoluteDisplay", "startRow", "beginWait", "showLineCount 0",
                      "row 1", "row 2", "warning " + message, "endWait", "showAbsoluteDisplay",
                      "showLineCount 3"}));
    ResultTexts expected;
    expected[ResultField::LineCount] = "3";
    EXPECT_EQ(host.fields(), expected);
    EXPECT_EQ(host.shownResults(), std::nullopt);
}

TEST_F(EngineRunTest, RejectedLine57LeavesTheCount57) {
    std::string source = repeatedLines("G1X1.F100.", 56) + "\nG1X2.Y3.Y4.\n" + repeatedLines("G0X0.", 40);
    run(source);
    EXPECT_EQ(host.messages(), warningOnly("元ﾌｧｲﾙの57行目に Y が複数有ります。\n　変換はしていません。"));
    EXPECT_EQ(field(ResultField::LineCount), "57");
    EXPECT_EQ(field(ResultField::CuttingDistance), "");
    EXPECT_EQ(field(ResultField::MachiningTime), "");
}

TEST_F(EngineRunTest, RejectedLineInConvertingRunWritesNothing) {
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.\nG1X1.X2.\n", RunMode::ConvertHelical);
    EXPECT_EQ(host.messages(), warningOnly("元ﾌｧｲﾙの2行目に X が複数有ります。\n　変換はしていません。"));
    EXPECT_FALSE(outputExists());
    EXPECT_TRUE(host.outputPaths().empty());
}

// ---- progress and Escape ---------------------------------------------------

TEST_F(EngineRunTest, ProgressShowsEveryHundredthFinishedLine) {
    run(repeatedLines("G0X1.", 250));
    EXPECT_EQ(host.lineCounts(), (std::vector<int>{0, 100, 200}));
    EXPECT_EQ(field(ResultField::LineCount), "250");
    EXPECT_EQ(host.pollCount(), 250);
}

TEST_F(EngineRunTest, EscapeBeforeTheFirstLineLeavesCountZero) {
    host.abortOnPoll(1);
    run("G0X1.\nG0X2.\n");
    EXPECT_EQ(host.events(), (Events{"clearResults", "beginWait", "escape",
                                     "warning ESCｷｰにより処理を中止します。\n　変換はしていません。",
                                     "endWait", "showLineCount 0"}));
}

TEST_F(EngineRunTest, EscapeShowsTheNumberOfFinishedLines) {
    host.abortOnPoll(4);
    run(repeatedLines("G0X1.", 10), RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.outline(),
              (Events{"clearResults", "openAbsoluteDisplay", "startRow", "beginWait", "escape",
                      "warning ESCｷｰにより処理を中止します。\n　変換はしていません。", "endWait",
                      "showAbsoluteDisplay"}));
    EXPECT_EQ(host.rows().size(), 3u);
    EXPECT_EQ(field(ResultField::LineCount), "3");
    EXPECT_EQ(field(ResultField::RapidDistance), "");
}

TEST_F(EngineRunTest, EscapeInConvertingRunWritesNothing) {
    options.initialX = 10;
    host.abortOnPoll(3);
    run("G3X0.Y10.Z-1.I-10.F100.\nG0X0.\nG0X1.\n", RunMode::ConvertArcs);
    EXPECT_EQ(host.messages(), warningOnly("ESCｷｰにより処理を中止します。\n　変換はしていません。"));
    EXPECT_FALSE(outputExists());
}

// ---- line ends -------------------------------------------------------------

struct LineEndCase {
    std::string name;
    std::string source;
    std::string lineCount;
    std::string maxX;
};

class LineEnds : public EngineRunTestWithParam<LineEndCase> {};

TEST_P(LineEnds, DecideHowManyLinesTheSourceHas) {
    run(GetParam().source);
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::LineCount), GetParam().lineCount);
    EXPECT_EQ(field(ResultField::MaxX), GetParam().maxX);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, LineEnds,
    ::testing::Values(
        LineEndCase{"EmptyFileIsOneLine", "", "1", "0.000"},
        LineEndCase{"FinalLineEndGivesOneMoreLine", "G0X1.\n", "2", "1.000"},
        LineEndCase{"NoFinalLineEnd", "G0X1.\nG0X2.", "2", "2.000"},
        LineEndCase{"CrLfIsOneLineEnd", "G0X1.\r\nG0X2.\r\n", "3", "2.000"},
        LineEndCase{"OnlyLineEnds", "\n\n\n", "4", "0.000"},
        LineEndCase{"CtrlZEndsTheInput", "G0X1.\nG0X2.\x1AG0X9.\nG0X9.\n", "2", "2.000"},
        LineEndCase{"CtrlZAfterLastLineEnd", "G0X1.\n\x1A", "2", "1.000"},
        LineEndCase{"CtrlZAlone", "\x1A", "1", "0.000"},
        LineEndCase{"LoneCrInsideCommentStays", "(A\rB)G0X3.\r\n", "2", "3.000"}),
    NameOfCase{});

TEST_F(EngineRunTest, LoneCrOutsideACommentIsAnInvalidByte) {
    run("G0X1.\rG0X2.\n");
    EXPECT_EQ(host.messages(), warningOnly("元ﾌｧｲﾙの1行目で英数字以外の文字が有ります。\n　変換はしていません。"));
    host = RecordingHost{};
    run("G0X1.\nG0X2.\r\r\n");
    EXPECT_EQ(host.messages(), warningOnly("元ﾌｧｲﾙの2行目で英数字以外の文字が有ります。\n　変換はしていません。"));
}

TEST_F(EngineRunTest, LinesReachTheDisplayWithoutTheirLineEnd) {
    run("G0X1.\r\n(A\rB)\n", RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.rows().size(), 3u);
    EXPECT_EQ(host.row(1).cells[1], "G0X1.");
    EXPECT_EQ(host.row(2).cells[1], "(A\rB)");
    EXPECT_EQ(host.row(3).cells[1], "");
}

// ---- absolute display row limit ------------------------------------------

TEST_F(EngineRunTest, RowsStopAtTheRowLimitWhileTheRunGoesOn) {
    settings.process.absoluteDisplayRows = 99;
    run(repeatedLines("G91G0X1.", 150), RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.rows().size(), 99u);
    EXPECT_EQ(host.rows().front().first, 1);
    EXPECT_EQ(host.rows().back().first, 99);
    EXPECT_EQ(field(ResultField::LineCount), "150");
    EXPECT_EQ(field(ResultField::MaxX), "150.000");
}

// ---- nothing survives a run ----------------------------------------------

TEST_F(EngineRunTest, EachRunStartsFromTheSettingsAndTheInitialPosition) {
    run("G91G1X1.F100.\nG41X1.\n");
    EXPECT_EQ(field(ResultField::MaxX), "2.000");
    host = RecordingHost{};
    run("X5.\n");  // absolute, rapid, no compensation and no feed again
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::RapidDistance), "5.000");
    EXPECT_EQ(field(ResultField::MaxX), "5.000");
}


// ---- lines that cross the reader's blocks ---------------------------------

class ReadBlockBoundary : public EngineRunTestWithParam<std::size_t> {};

// Whatever size the reader reads in, a CR LF pair, the 0x1A byte and long
// lines must read the same at every offset around a power of two.
TEST_P(ReadBlockBoundary, LineEndsAreFoundAtEveryOffset) {
    const std::size_t boundary = GetParam();
    for (std::size_t shift = 0; shift < 4; ++shift) {
        SCOPED_TRACE(shift);
        // A comment line whose CR falls at boundary - 2 + shift.
        const std::string comment = "(" + std::string(boundary - 4 + shift, 'A') + ")";
        host = RecordingHost{};
        run(comment + "\r\nG0X1.\r\nG0X2.\x1AG0X9.\r\n");
        EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
        EXPECT_EQ(field(ResultField::LineCount), "3");
        EXPECT_EQ(field(ResultField::MaxX), "2.000");
    }
}

TEST_P(ReadBlockBoundary, CtrlZRightAtTheBoundaryEndsTheInput) {
    const std::size_t boundary = GetParam();
    for (std::size_t shift = 0; shift < 3; ++shift) {
        SCOPED_TRACE(shift);
        std::string source = "G0X1.\n(" + std::string(boundary - 9 + shift, 'B') + ")";
        source += "\x1AG0X9.\n";
        host = RecordingHost{};
        run(source, RunMode::AbsoluteDisplay);
        EXPECT_EQ(field(ResultField::LineCount), "2");
        EXPECT_EQ(field(ResultField::MaxX), "1.000");
        EXPECT_EQ(host.row(2).cells[1], source.substr(6, 98));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadBlockBoundary,
                         ::testing::Values(std::size_t{4096}, std::size_t{8192}, std::size_t{16384},
                                           std::size_t{65536}, std::size_t{262144}, std::size_t{1048576}),
                         [](const auto& info) { return std::to_string(info.param); });

TEST_F(EngineRunTest, LineLongerThanAnyBlockStaysOneLine) {
    const std::string comment = "(" + std::string(3 * 1048576 + 17, 'C') + ")";
    run("G0X1.\n" + comment + "\r\n" + comment + "G0X2.\n", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::LineCount), "4");
    EXPECT_EQ(field(ResultField::MaxX), "2.000");
    EXPECT_EQ(host.row(3).cells[1], comment.substr(0, 98));
}

}  // namespace
}  // namespace drennix::testing
