// The fuzzing harness's own tests: the options byte, the text checks, the
// run checks on made-up runs that break each rule (a check that never fires
// finds nothing), whole cases through the engine and the seed corpus.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "messages.h"
#include "run_check.h"

namespace drennix::fuzzing {
namespace {

std::vector<std::uint8_t> bytesOf(std::uint8_t options, std::string_view source)
{
    std::vector<std::uint8_t> bytes{options};
    bytes.insert(bytes.end(), source.begin(), source.end());
    return bytes;
}

TEST(DecodeInput, EmptyInputIsNoCase)
{
    EXPECT_FALSE(decodeInput(nullptr, 0));
}

TEST(DecodeInput, OptionsByteAloneGivesAnEmptySource)
{
    const std::uint8_t byte = optionsByte(RunMode::ConvertArcs, 3, 5);
    const auto fuzzCase = decodeInput(&byte, 1);
    ASSERT_TRUE(fuzzCase);
    EXPECT_EQ(fuzzCase->mode, RunMode::ConvertArcs);
    EXPECT_EQ(fuzzCase->tolerance, 1.0);
    EXPECT_EQ(fuzzCase->decimals, 5);
    EXPECT_TRUE(fuzzCase->source.empty());
}

TEST(DecodeInput, SourceIsTheBytesAfterTheFirst)
{
    const auto bytes = bytesOf(optionsByte(RunMode::AbsoluteDisplay, 0, 3), "G0X1.\r\n\x1A");
    const auto fuzzCase = decodeInput(bytes.data(), bytes.size());
    ASSERT_TRUE(fuzzCase);
    EXPECT_EQ(fuzzCase->mode, RunMode::AbsoluteDisplay);
    EXPECT_EQ(fuzzCase->source, "G0X1.\r\n\x1A");
    EXPECT_EQ(static_cast<const void*>(fuzzCase->source.data()), static_cast<const void*>(bytes.data() + 1));
}

TEST(DecodeInput, SourcesOverTheCapAreNotRun)
{
    std::vector<std::uint8_t> bytes(1 + maxSourceBytes, 'X');
    EXPECT_TRUE(decodeInput(bytes.data(), bytes.size()));
    bytes.push_back('X');
    EXPECT_FALSE(decodeInput(bytes.data(), bytes.size()));
}

TEST(DecodeInput, EveryOptionsByteGivesValidOptionsAndRoundTrips)
{
    std::set<double> tolerances;
    std::set<int> modes;
    std::set<int> decimals;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const auto fuzzCase = decodeInput(&byte, 1);
        ASSERT_TRUE(fuzzCase);
        EXPECT_GT(fuzzCase->tolerance, 0.0);
        EXPECT_LE(fuzzCase->tolerance, 1.0);
        EXPECT_GE(fuzzCase->decimals, 0);
        EXPECT_LE(fuzzCase->decimals, 9);
        tolerances.insert(fuzzCase->tolerance);
        modes.insert(static_cast<int>(fuzzCase->mode));
        decimals.insert(fuzzCase->decimals);
        const int index = static_cast<int>(
            std::find(toleranceTable.begin(), toleranceTable.end(), fuzzCase->tolerance) - toleranceTable.begin());
        EXPECT_EQ(optionsByte(fuzzCase->mode, index, fuzzCase->decimals), byte);
    }
    EXPECT_EQ(tolerances.size(), toleranceTable.size());
    EXPECT_EQ(modes, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(decimals.size(), 8u);
}

TEST(NonFiniteText, FindsInfAndNanInAnyCase)
{
    EXPECT_TRUE(hasNonFiniteText("nan"));
    EXPECT_TRUE(hasNonFiniteText("-nan"));
    EXPECT_TRUE(hasNonFiniteText("-inf"));
    EXPECT_TRUE(hasNonFiniteText("INF"));
    EXPECT_TRUE(hasNonFiniteText("NaN"));
    EXPECT_TRUE(hasNonFiniteText("R差：inf"));
    EXPECT_FALSE(hasNonFiniteText(""));
    EXPECT_FALSE(hasNonFiniteText("in"));
    EXPECT_FALSE(hasNonFiniteText("-12.500"));
    EXPECT_FALSE(hasNonFiniteText(messages::calculated));
    EXPECT_FALSE(hasNonFiniteText("fuzz_con.nc" + std::string(messages::outputCreatedTail)));
}

class OutputLines : public ::testing::Test {
protected:
    OutputLines() { resetToDefaults(settings); }
    std::optional<std::string> find(std::string_view output) const
    {
        return nonFiniteOutputLine(output, settings.vocabulary);
    }
    Settings settings;
};

TEST_F(OutputLines, FindsAWordWhoseNumberIsNoNumber)
{
    EXPECT_EQ(find("G1X1.000\r\nX-nanY2.000\r\n"), "X-nanY2.000");
    EXPECT_EQ(find("G1X1.0Y-inf\r\n"), "G1X1.0Y-inf");
    EXPECT_EQ(find("G1Z+nan\r\n"), "G1Z+nan");
    EXPECT_EQ(find("Ginf"), "Ginf");
    EXPECT_EQ(find("G1F-nan"), "G1F-nan");
    EXPECT_EQ(find("G2X1.I-nanJ0."), "G2X1.I-nanJ0.");
    EXPECT_EQ(find("G1X1.(Xinf)Ynan\r\n"), "G1X1.(Xinf)Ynan");
}

TEST_F(OutputLines, IgnoresCommentsAndLettersThatTakeNoNumber)
{
    EXPECT_FALSE(find(""));
    EXPECT_FALSE(find("G1X1.000Y-2.500\r\n"));
    EXPECT_FALSE(find("(X-nan Y inf)\r\n"));
    EXPECT_FALSE(find("G0X1.(Xnan)\r\n"));
    EXPECT_FALSE(find("N1 nan INFO\r\n"));  // N, A, O, ... and the space take no number
    EXPECT_FALSE(find("xnan yinf\r\n"));    // lower case letters are no addresses
    EXPECT_FALSE(find("G0X1.(Xnan"));       // an unclosed comment runs to the end
}

TEST_F(OutputLines, FollowsTheVocabulary)
{
    settings.vocabulary.xAxisLetter = "A";
    settings.vocabulary.commentStart = "[";
    settings.vocabulary.commentEnd = "]";
    EXPECT_EQ(find("Anan"), "Anan");
    EXPECT_FALSE(find("Xnan"));
    EXPECT_FALSE(find("[Anan]"));
    EXPECT_EQ(find("(Anan)"), "(Anan)");
}

TEST(LineEnds, EveryLineEndsWithCrLf)
{
    EXPECT_TRUE(endsEveryLineWithCrLf(""));
    EXPECT_TRUE(endsEveryLineWithCrLf("\r\n"));
    EXPECT_TRUE(endsEveryLineWithCrLf("G0X1.\r\n\r\n"));
    EXPECT_TRUE(endsEveryLineWithCrLf("(A\rB)\r\n"));
    EXPECT_TRUE(endsEveryLineWithCrLf("G0\r\r\n"));
    EXPECT_FALSE(endsEveryLineWithCrLf("\n"));
    EXPECT_FALSE(endsEveryLineWithCrLf("G0\nG1\r\n"));
    EXPECT_FALSE(endsEveryLineWithCrLf("G0\r\nG1"));
    EXPECT_FALSE(endsEveryLineWithCrLf("G0\r\nG1\r"));
}

TEST(SourceLines, CountsAsTheReaderReads)
{
    EXPECT_EQ(sourceLineCount(""), 1);
    EXPECT_EQ(sourceLineCount("G0"), 1);
    EXPECT_EQ(sourceLineCount("G0\n"), 2);
    EXPECT_EQ(sourceLineCount("G0\r\nG1\r\n"), 3);
    EXPECT_EQ(sourceLineCount("G0\rG1"), 1);
    EXPECT_EQ(sourceLineCount(std::string_view("G0\x1A\nG1\n", 7)), 1);
    EXPECT_EQ(sourceLineCount("G0\nG1\x1A"), 2);
    EXPECT_EQ(sourceLineCount("\x1A"), 1);
}

// Runs as the engine tells them, built by hand, each then broken in one way.
class MadeUpRun : public ::testing::Test {
protected:
    MadeUpRun() { resetToDefaults(settings); }

    // "G0X1.\n" read to its end in machining-time mode.
    static ObservedRun calculated()
    {
        ObservedRun run;
        run.mode = RunMode::MachiningTime;
        run.source = "G0X1.\n";
        run.result.outcome = RunOutcome::Calculated;
        run.result.lineCount = 2;
        RunRecord& r = run.record;
        r.runStarted = r.readingStarted = r.resultsReady = r.workEnded = r.runFinished = 1;
        r.messages = {{std::string(messages::calculated), MessageKind::Information}};
        r.results[ResultField::LineCount] = "2";
        r.results[ResultField::RapidDistance] = "1.000";
        r.finished = run.result;
        return run;
    }

    // One arc converted into "G1X1.000" and written as fuzz_con.nc.
    static ObservedRun converted()
    {
        ObservedRun run = calculated();
        run.mode = RunMode::ConvertArcs;
        run.source = "G2X1.I1.F1.\n";
        run.result.outcome = RunOutcome::Converted;
        run.result.outputPath = "fuzz_con.nc";
        run.record.readingMode = RunMode::ConvertArcs;
        run.record.outputCreated = 1;
        run.record.outputCreatedPath = "fuzz_con.nc";
        run.record.messages = {{"fuzz_con.nc" + std::string(messages::outputCreatedTail), MessageKind::Information}};
        run.record.messagesAfterWorkEnded = 1;
        run.record.finished = run.result;
        run.published = true;
        run.output = "G1X1.000\r\n\r\n";
        run.linesWritten = 2;
        return run;
    }

    // Line 2 of "G0X1.\nG1X2.\n" rejected in absolute-display mode.
    static ObservedRun rejected()
    {
        ObservedRun run = calculated();
        run.mode = RunMode::AbsoluteDisplay;
        run.source = "G0X1.\nG1X2.\n";
        run.result.outcome = RunOutcome::LineRejected;
        run.result.fault = Fault{FaultId::LinearFeed};
        run.result.lineCount = 2;
        RunRecord& r = run.record;
        r.readingMode = RunMode::AbsoluteDisplay;
        r.startRows = 1;
        r.rows = 1;
        r.listComplete = 1;
        r.resultsReady = 0;
        r.results = {};
        r.messages = {{composeLineMessage(2, messages::linearFeed), MessageKind::Warning}};
        r.finished = run.result;
        return run;
    }

    std::string check(const ObservedRun& run) const { return checkRun(run, settings); }

    Settings settings;
};

TEST_F(MadeUpRun, WellFormedRunsPass)
{
    EXPECT_EQ(check(calculated()), "");
    EXPECT_EQ(check(converted()), "");
    EXPECT_EQ(check(rejected()), "");
}

TEST_F(MadeUpRun, RunFinishedOnceAndLast)
{
    ObservedRun twice = calculated();
    twice.record.runFinished = 2;
    EXPECT_NE(check(twice), "");
    ObservedRun never = calculated();
    never.record.runFinished = 0;
    EXPECT_NE(check(never), "");
    ObservedRun late = calculated();
    late.record.afterFinished = 1;
    EXPECT_NE(check(late), "");
}

TEST_F(MadeUpRun, ToldResultIsTheReturnedOne)
{
    ObservedRun run = calculated();
    run.record.finished.lineCount = 1;
    EXPECT_NE(check(run), "");
    run = converted();
    run.record.finished.outputPath.reset();
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, ClosingMessageMatchesTheOutcome)
{
    ObservedRun run = calculated();
    run.record.messages.back().text = messages::nothingConverted;
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.messages.back().kind = MessageKind::Warning;
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.messages.clear();
    EXPECT_NE(check(run), "");
    run = converted();
    run.record.messages.back().text = "fuzz.nc" + std::string(messages::outputCreatedTail);
    EXPECT_NE(check(run), "");
    run = rejected();
    run.record.messages.push_back({std::string(messages::calculated), MessageKind::Information});
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, FinishedRunsWarnOfNothing)
{
    ObservedRun run = calculated();
    run.record.messages.insert(run.record.messages.begin(), {"warning", MessageKind::Warning});
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, RejectedLineIsNamed)
{
    ObservedRun run = rejected();
    run.record.messages.front().text = composeLineMessage(1, messages::linearFeed);
    EXPECT_NE(check(run), "");
    run = rejected();
    run.record.messages.front().text = composeLineMessage(21, messages::linearFeed);
    EXPECT_NE(check(run), "");
    run = rejected();
    run.result.fault = run.record.finished.fault = Fault{FaultId::WriteError};
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, OutcomesThatMemoryMediaNeverGive)
{
    for (RunOutcome outcome : {RunOutcome::InputRejected, RunOutcome::OutputFailed, RunOutcome::SourceCloseFailed}) {
        ObservedRun run = rejected();
        run.result.outcome = run.record.finished.outcome = outcome;
        EXPECT_NE(check(run), "") << static_cast<int>(outcome);
    }
}

TEST_F(MadeUpRun, StopOnlyWhenAsked)
{
    ObservedRun run = rejected();
    run.result.outcome = run.record.finished.outcome = RunOutcome::Stopped;
    run.result.fault = run.record.finished.fault = Fault{FaultId::StoppedWhileReading};
    run.result.lineCount = run.record.finished.lineCount = 1;
    run.record.messages = {{std::string(messages::escapeWhileReading), MessageKind::Warning}};
    EXPECT_NE(check(run), "");
    run.record.stopAsked = true;
    EXPECT_EQ(check(run), "");
    ObservedRun ignored = calculated();
    ignored.record.stopAsked = true;
    EXPECT_NE(check(ignored), "");
}

TEST_F(MadeUpRun, LineCountAndResults)
{
    ObservedRun run = calculated();
    run.result.lineCount = run.record.finished.lineCount = 1;
    run.record.results[ResultField::LineCount] = "1";
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.results[ResultField::LineCount] = "3";
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.results[ResultField::MaxRadius] = "-nan";
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.resultsReady = 2;
    EXPECT_NE(check(run), "");
    run = rejected();
    run.record.resultsReady = 1;
    EXPECT_NE(check(run), "");
    run = rejected();
    run.result.lineCount = run.record.finished.lineCount = 4;
    run.record.messages.front().text = composeLineMessage(4, messages::linearFeed);
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, MessagesShowNoInfOrNan)
{
    ObservedRun run = rejected();
    run.record.messages.front().text = composeLineMessage(2, "行目の 右左廻円弧指令 中に始点の再計算でinf超過");
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, AbsoluteListHasARowPerFinishedLine)
{
    ObservedRun run = rejected();
    run.record.rows = 2;
    EXPECT_NE(check(run), "");
    run = rejected();
    run.record.listComplete = 0;
    EXPECT_NE(check(run), "");
    run = rejected();
    run.record.startRows = 0;
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.rows = 1;
    EXPECT_NE(check(run), "");
    run = rejected();
    run.record.rowProblem = "row 1 shows nan";
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, WorkEndsOnceAndNothingButTheClosingMessageFollows)
{
    ObservedRun run = calculated();
    run.record.workEnded = 2;
    EXPECT_NE(check(run), "");
    run = converted();
    run.record.messagesAfterWorkEnded = 2;
    EXPECT_NE(check(run), "");
    run = converted();
    run.record.workAfterWorkEnded = 1;
    EXPECT_NE(check(run), "");
    run = calculated();
    run.record.beforeStarted = 1;
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, ConvertedProgramIsPublishedWholeWithCrLf)
{
    ObservedRun run = converted();
    run.published = false;
    EXPECT_NE(check(run), "");
    run = converted();
    run.output = "G1X1.000\n\r\n";
    EXPECT_NE(check(run), "");
    run = converted();
    run.output = "G1X-nan\r\n\r\n";
    EXPECT_NE(check(run), "");
    run = converted();
    run.output = "";
    run.linesWritten = 0;
    EXPECT_NE(check(run), "");
    run = converted();
    run.linesWritten = 3;
    EXPECT_NE(check(run), "");
    run = converted();
    run.record.outputCreated = 0;
    EXPECT_NE(check(run), "");
}

TEST_F(MadeUpRun, APublishedProgramPassesTheCheckBesideItsRun)
{
    ObservedRun run = converted();
    run.verification = VerificationResult{};
    EXPECT_EQ(check(run), "");
    run.verification->status = VerificationStatus::OutputMismatch;
    run.verification->outputLine = 1;
    EXPECT_EQ(check(run), "the check beside the run failed at written line 1");
}

TEST_F(MadeUpRun, RunsThatDoNotConvertLeaveTheStoreEmpty)
{
    ObservedRun run = calculated();
    run.published = true;
    EXPECT_NE(check(run), "");
    run = calculated();
    run.output = "G0X1.\r\n";
    EXPECT_NE(check(run), "");
    run = calculated();
    run.linesWritten = 1;
    EXPECT_NE(check(run), "");
    run = converted();
    run.mode = run.record.readingMode = RunMode::MachiningTime;
    EXPECT_NE(check(run), "");
}

TEST(ArcsLeft, ConversionLeavesNoArcOfItsKind)
{
    ResultTexts none;
    none[ResultField::ArcCount] = "0";
    none[ResultField::HelicalCount] = "0";
    ResultTexts flat = none;
    flat[ResultField::ArcCount] = "2";
    ResultTexts helical = none;
    helical[ResultField::HelicalCount] = "1";
    EXPECT_EQ(checkArcsLeft(RunMode::ConvertArcs, none), "");
    EXPECT_EQ(checkArcsLeft(RunMode::ConvertHelical, none), "");
    EXPECT_EQ(checkArcsLeft(RunMode::ConvertHelical, flat), "");
    EXPECT_NE(checkArcsLeft(RunMode::ConvertArcs, flat), "");
    EXPECT_NE(checkArcsLeft(RunMode::ConvertArcs, helical), "");
    EXPECT_NE(checkArcsLeft(RunMode::ConvertHelical, helical), "");
}

TEST(ReadAgain, ArcsAreCheckedOnlyWhereTheFormatHoldsEveryPoint)
{
    EXPECT_TRUE(fitsTheNumberFormat("G2X10.I5.Z-0.5", 1));
    EXPECT_FALSE(fitsTheNumberFormat("G2X10.I5.Z-0.5", 0));
    EXPECT_TRUE(fitsTheNumberFormat("G0X12Y3", 0));
    EXPECT_FALSE(fitsTheNumberFormat("G0X12.Y3", 4));      // 3 / 10 / 10 / 10 / 10 need not read back the same
    EXPECT_FALSE(fitsTheNumberFormat("(A.1234) X1.", 3));  // a comment counts too: it costs nothing to be strict
    EXPECT_TRUE(fitsTheNumberFormat("X1.250 Y-.5", 3));
}

TEST(Listener, CountsNoticesAgainstTheirOrder)
{
    RecordingListener listener;
    listener.runStarted();
    listener.readingStarted(RunMode::MachiningTime, nullptr);
    listener.workEnded();
    listener.message("a", MessageKind::Information);
    listener.resultsReady(ResultTexts{});
    listener.runFinished(RunResult{});
    listener.progress(1);
    const RunRecord& r = listener.record();
    EXPECT_EQ(r.messagesAfterWorkEnded, 1);
    EXPECT_EQ(r.workAfterWorkEnded, 1);
    EXPECT_EQ(r.afterFinished, 1);
    EXPECT_EQ(r.beforeStarted, 0);
}

TEST(Listener, RowsInLineOrderWithNumbers)
{
    RecordingListener listener;
    AbsoluteRow row;
    row.cells[ColumnLine] = "1";
    row.cells[ColumnData] = "(nan)";
    row.cells[ColumnX] = "1.000";
    listener.row(1, row);
    EXPECT_EQ(listener.record().rowProblem, "");
    row.cells[ColumnLine] = "3";
    listener.row(3, row);
    EXPECT_NE(listener.record().rowProblem, "");

    RecordingListener second;
    row.cells[ColumnLine] = "1";
    row.cells[ColumnDistance] = "inf";
    second.row(1, row);
    EXPECT_NE(second.record().rowProblem, "");
}

TEST(Listener, MovesHoldNumbers)
{
    RecordingListener listener;
    Move move;
    move.line = 1;
    listener.move(move);
    EXPECT_EQ(listener.record().moveProblem, "");
    move.end[1] = std::numeric_limits<double>::infinity();
    listener.move(move);
    EXPECT_NE(listener.record().moveProblem, "");
}

TEST(Listener, AsksToStopOnceTheOutputIsOverItsBudget)
{
    MemoryOutputStore store;
    RecordingListener listener(&store);
    for (long long i = 0; i < outputLineBudget; ++i) {
        store.append({}, "G1X1.");
    }
    EXPECT_FALSE(listener.stopRequested());
    store.append({}, "G1X1.");
    EXPECT_TRUE(listener.stopRequested());
    EXPECT_TRUE(listener.record().stopAsked);
    RecordingListener unbounded;
    EXPECT_FALSE(unbounded.stopRequested());
}

FuzzCase caseOf(RunMode mode, std::string_view source, int toleranceIndex = 0, int decimals = 3)
{
    return FuzzCase{mode, toleranceTable[static_cast<std::size_t>(toleranceIndex)], decimals, source};
}

constexpr std::string_view helicalBore =
    "(HELICAL BORE)\r\n"
    "G90 G17 G40\r\n"
    "G0 X50. Y50. Z2.\r\n"
    "G0 X55.\r\n"
    "G1 Z0. F200.\r\n"
    "G3 X55. Y50. Z-1. I-5. J0. F150.\r\n"
    "X55. Y50. Z-2. I-5. J0.\r\n"
    "G3 X50. Y55. I-5. J0.\r\n"
    "G1 X50.\r\n"
    "G0 Z2.\r\n";

TEST(WholeCase, EveryModeOfAHelicalProgramHolds)
{
    for (RunMode mode :
         {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertHelical, RunMode::ConvertArcs}) {
        for (int decimals : {0, 3, 7}) {
            EXPECT_EQ(checkCase(caseOf(mode, helicalBore, 0, decimals)), "")
                << modeName(mode) << ", " << decimals << " decimal places";
        }
    }
}

TEST(WholeCase, RejectedAndEmptySourcesHold)
{
    for (RunMode mode :
         {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertHelical, RunMode::ConvertArcs}) {
        EXPECT_EQ(checkCase(caseOf(mode, "")), "") << modeName(mode);
        EXPECT_EQ(checkCase(caseOf(mode, "G0X1.\nG1X2.\n")), "") << modeName(mode);
        EXPECT_EQ(checkCase(caseOf(mode, "G2X1.I.5F1.\n\x01")), "") << modeName(mode);
        EXPECT_EQ(checkCase(caseOf(mode, "G0X1.(\n")), "") << modeName(mode);
    }
}

// The runs that check a case: the new program read again, the absolute list
// and a conversion without arcs beside machining time.
TEST(WholeCase, ChecksWithTheRunsItShould)
{
    const auto runsOf = [](const FuzzCase& c) {
        const long long before = runCount();
        EXPECT_EQ(checkCase(c), "");
        return runCount() - before;
    };
    EXPECT_EQ(runsOf(caseOf(RunMode::MachiningTime, helicalBore)), 1);
    EXPECT_EQ(runsOf(caseOf(RunMode::AbsoluteDisplay, helicalBore)), 2);
    EXPECT_EQ(runsOf(caseOf(RunMode::ConvertHelical, helicalBore)), 2);
    EXPECT_EQ(runsOf(caseOf(RunMode::ConvertArcs, "G0X1.\n")), 2);
    EXPECT_EQ(runsOf(caseOf(RunMode::ConvertArcs, "G1X1.\n")), 1);
}

TEST(WholeCase, HugeArcWithSmallToleranceStopsWithinItsBudget)
{
    // About 21000 cuts at 0.0001: stopped, so its program is not read again.
    const auto begin = std::chrono::steady_clock::now();
    const long long runs = runCount();
    EXPECT_EQ(checkCase(caseOf(RunMode::ConvertArcs, "G17G2X0.Y0.I9000.J0.F100.\n", 4)), "");
    EXPECT_EQ(runCount() - runs, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    // At 1.0 the same circle needs a few hundred cuts and is converted.
    EXPECT_EQ(checkCase(caseOf(RunMode::ConvertArcs, "G17G2X0.Y0.I9000.J0.F100.\n", 3)), "");
    EXPECT_EQ(runCount() - runs, 3);
}

TEST(WholeCase, AnArcOfHundredsOfBlocksIsCheckedBesideItsRunThroughOneBuffer)
{
    // About 2200 cuts at 0.0001, in blocks of a few lines each: a check that
    // waited for the arc's notice after its cuts would never end here.
    for (const RunMode mode : {RunMode::ConvertArcs, RunMode::ConvertHelical}) {
        const std::string_view arc = mode == RunMode::ConvertArcs ? "G0X100.Y0\nG3X100.Y0I-100.F100.\n"
                                                                  : "G0X100.Y0\nG3X100.Y0Z-5.I-100.F100.\n";
        const long long runs = runCount();
        EXPECT_EQ(checkCase(caseOf(mode, arc, 4)), "");
        // The conversion and its program read again.
        EXPECT_EQ(runCount() - runs, 2);
    }
}

std::vector<std::filesystem::path> corpusFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(DRENNIX_FUZZ_CORPUS_DIR)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Corpus, SeedsCoverEveryModeAndFitTheCap)
{
    const auto files = corpusFiles();
    EXPECT_GE(files.size(), 30u);
    std::set<int> modes;
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        EXPECT_TRUE(name.starts_with("seed-") || name.starts_with("crash-")) << name;
        const auto bytes = readBytes(file);
        const auto fuzzCase = decodeInput(bytes.data(), bytes.size());
        ASSERT_TRUE(fuzzCase) << name << " is empty or over the cap";
        EXPECT_LE(bytes.size(), 4096u) << name << " is longer than the fuzzer's inputs";
        modes.insert(static_cast<int>(fuzzCase->mode));
    }
    EXPECT_EQ(modes, (std::set<int>{0, 1, 2, 3}));
}

TEST(Corpus, EveryInputHolds)
{
    for (const auto& file : corpusFiles()) {
        const auto bytes = readBytes(file);
        const auto fuzzCase = decodeInput(bytes.data(), bytes.size());
        ASSERT_TRUE(fuzzCase) << file;
        EXPECT_EQ(checkCase(*fuzzCase), "") << file.filename().string();
    }
}

}  // namespace
}  // namespace drennix::fuzzing
