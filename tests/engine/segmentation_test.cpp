// Arcs replaced by straight moves in the converting runs: whole programs
// compared byte for byte with reviewed golden files, the segment count, the
// words kept on the first line, the plane mapping, the arc code put back in
// front of the next block, and the figures of a converted arc.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine_run.h"
#include "number_format.h"
#include "number_reading.h"
#include "output_store.h"
#include "program_writer.h"
#include "segmentation.h"

namespace drennix::testing {
namespace {

std::filesystem::path goldenDirectory()
{
    return std::filesystem::path(DRENNIX_TEST_DATA_DIR) / "golden";
}

// The lines of an output file without their CR LF; a missing CR LF shows.
std::vector<std::string> outputLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        lines.push_back(end == std::string::npos ? bytes.substr(start) + "<no CR LF>"
                                                 : bytes.substr(start, end - start));
        start = end == std::string::npos ? bytes.size() : end + 2;
    }
    return lines;
}

struct GoldenCase {
    std::string name;  // folder under golden/ with input.nc and expected.nc
    RunMode mode;
    double tolerance;
    double linearCode = 1;
};

class GoldenProgram : public EngineRunTestWithParam<GoldenCase> {};

TEST_P(GoldenProgram, ConvertsToTheReviewedBytes)
{
    const auto folder = goldenDirectory() / GetParam().name;
    const std::string input = readBytes(folder / "input.nc"), expected = readBytes(folder / "expected.nc");
    ASSERT_FALSE(input.empty() || expected.empty()) << folder;
    options.tolerance = GetParam().tolerance;
    settings.vocabulary.linearCode = GetParam().linearCode;
    run(input, GetParam().mode);
    ASSERT_EQ(host.messages, informationOnly(created()));
    EXPECT_EQ(outputLines(output()), outputLines(expected));
    EXPECT_EQ(output(), expected);
    EXPECT_EQ(readBytes(scratch / "part.nc"), input);
    EXPECT_EQ(field(ResultField::LineCount), std::to_string(outputLines(expected).size()));
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenProgram,
                         ::testing::Values(GoldenCase{"helical_quarter", RunMode::ConvertHelical, 0.01},
                                           GoldenCase{"arcs_mixed", RunMode::ConvertArcs, 0.1},
                                           GoldenCase{"radius_zx_yz", RunMode::ConvertArcs, 0.05},
                                           GoldenCase{"linear_code_fraction", RunMode::ConvertHelical, 0.05, 1.5}),
                         NameOfCase{});

TEST(SegmentCount, KeepsEveryChordWithinTheTolerance)
{
    const double pi = piConstant, nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(segmentCount(0.004, pi, 0.01), 1);  // the diameter is within the tolerance
    EXPECT_EQ(segmentCount(0.005, 2 * pi, 0.01), 1);
    EXPECT_EQ(segmentCount(0.006, 2 * pi, 0.01), 2);  // the one chord would be 0.012 off
    EXPECT_EQ(segmentCount(0.006, pi, 0.01), 1);
    EXPECT_EQ(segmentCount(0.008, pi / 2, 0.01), 1);
    EXPECT_EQ(segmentCount(10, pi / 2, 0.01), 18);
    EXPECT_EQ(segmentCount(10, 2 * pi, 0.01), 71);
    EXPECT_EQ(segmentCount(1, 2 * pi, 0.01), 23);
    EXPECT_EQ(segmentCount(10, 2 * pi, 1e-14), std::nullopt);  // above ten million
    EXPECT_EQ(segmentCount(10, 2 * pi, 1e-17), std::nullopt);  // a zero angle step
    EXPECT_EQ(segmentCount(10, pi, nan), std::nullopt);
}

TEST_F(EngineRunTest, AxisWithoutChangeGetsNoWord)
{
    options.initialX = 0.006;  // a full circle of two chords; Y snaps back to 0
    run("G2I-0.006F100.", RunMode::ConvertArcs);
    EXPECT_EQ(outputLines(output()), (std::vector<std::string>{"G1X-0.006F100.", "X0.006"}));
}

TEST_F(EngineRunTest, TooManySegmentsRejectTheBlock)
{
    for (double tolerance : {1e-14, std::numeric_limits<double>::quiet_NaN()}) {
        options.tolerance = tolerance;
        run("G0X10.\nG2I-10.F100.\nG0X0.", RunMode::ConvertArcs);
        EXPECT_EQ(host.messages, warningOnly(lineMessage(2, "行目の 左右廻円弧指令 中で分割数が多過ぎます。")));
        EXPECT_EQ(field(ResultField::LineCount), "2");
        EXPECT_FALSE(std::filesystem::exists(outputPath()));
    }
}

// The units a cut hands on with a word, which the writer then writes
// without converting the word again, are the word's own text: the absolute
// words of the arc's own points (the helical and the level ones) and the
// incremental differences between two of them; not the arc's end.
TEST(CutUnits, AreTheTextOfTheirWords)
{
    Move helical;
    helical.kind = MoveKind::CounterClockwiseArc;
    helical.start = {10.00004, 0, -1};
    helical.end = {-10, 0, 2.5};
    helical.arc.radius = 10.00004;
    helical.arc.swept = piConstant;
    helical.arc.helical = true;
    Move level = helical;
    level.start[AxisIndexZ] = level.end[AxisIndexZ] = 0.00004;  // off the grid: the first cut moves onto it
    level.arc.helical = false;
    for (const Move* arc : {&helical, &level}) {
        for (const CoordinateMode mode : {CoordinateMode::Absolute, CoordinateMode::Incremental}) {
            for (const int decimals : {0, 3, 4}) {
                CutSequence cuts(*arc, 37, mode, decimals);
                Cut cut;
                int handedOn = 0;
                while (cuts.next(cut)) {
                    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
                        if (!cut.hasWord[axis] || !cut.shown[axis]) continue;
                        ++handedOn;
                        EXPECT_FALSE(cut.last);
                        char text[fixedTextCapacity];
                        const char* end = writeFixedUnits(text, *cut.shown[axis], cut.shownDecimals);
                        EXPECT_EQ(cut.shownDecimals, decimals);
                        EXPECT_EQ(std::string(static_cast<const char*>(text), end),
                                  formatFixed(cut.words[axis], decimals));
                    }
                }
                EXPECT_GT(handedOn, 0);
            }
        }
    }
}

// Random arcs, crossing zero and far from it, whose start is on the grid or
// off it: every incremental word whose units a cut hands on is their text,
// and the position it leaves is where the words add up to.
TEST(CutUnits, OfIncrementalWordsAreTheTextOfTheirDifferences)
{
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int handedOn = 0, withheld = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const int decimals = static_cast<int>(random() % 6);
        const double reach = std::pow(10.0, static_cast<double>(random() % 7) - 2);
        Move arc;
        arc.kind = trial % 2 ? MoveKind::ClockwiseArc : MoveKind::CounterClockwiseArc;
        arc.arc.centreA = (unit(random) - 0.5) * reach * (trial % 3 == 0 ? 1 : 1000);
        arc.arc.centreB = (unit(random) - 0.5) * reach;
        arc.arc.radius = reach * (0.01 + unit(random));
        arc.arc.startAngle = (unit(random) - 0.5) * 2 * piConstant;
        arc.arc.swept = unit(random) * 2 * piConstant;
        arc.arc.helical = trial % 4 != 0;
        arc.start = {arc.arc.centreA + arc.arc.radius * std::cos(arc.arc.startAngle),
                     arc.arc.centreB + arc.arc.radius * std::sin(arc.arc.startAngle), (unit(random) - 0.5) * reach};
        if (trial % 5 == 0)
            for (double& c : arc.start)
                c = roundToDecimals(c, decimals);
        const double endAngle = arc.arc.startAngle + (trial % 2 ? -arc.arc.swept : arc.arc.swept);
        arc.end = {arc.arc.centreA + arc.arc.radius * std::cos(endAngle),
                   arc.arc.centreB + arc.arc.radius * std::sin(endAngle),
                   arc.arc.helical ? arc.start[2] + (unit(random) - 0.5) * reach : arc.start[2]};
        CutSequence cuts(arc, 1 + static_cast<long long>(random() % 40), CoordinateMode::Incremental, decimals);
        Cut cut;
        Point3 position = arc.start;
        while (cuts.next(cut)) {
            for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
                position[axis] = cut.hasWord[axis] ? position[axis] + cut.words[axis] : position[axis] + 0.0;
                if (!cut.hasWord[axis]) continue;
                if (!cut.shown[axis]) {
                    ++withheld;
                    continue;
                }
                ++handedOn;
                char text[fixedTextCapacity];
                const char* end = writeFixedUnits(text, *cut.shown[axis], cut.shownDecimals);
                ASSERT_EQ(std::string(static_cast<const char*>(text), end), formatFixed(cut.words[axis], decimals))
                    << trial;
            }
            ASSERT_EQ(position, cut.end) << trial;
        }
    }
    // Withheld: the first cut's words (from the arc's start) and the last's,
    // and a word after a sum that did not come back to its point.
    EXPECT_GT(handedOn, withheld / 2);
    EXPECT_GT(withheld, 0);
}

TEST(KeptText, KeepsTheBlocksOtherWordsSpacesAndComments)
{
    Settings settings;
    resetToDefaults(settings);
    const AddressTable addresses(settings.vocabulary);
    const std::array<std::array<std::string, 3>, 7> cases = {{
        {"G03X0.Y10.Z-1.I-10.F100.", "", "F100."},
        {"N10 G02 X5. Y5. I5. F200", "", "N10     F200"},
        {"G17G02X5.Y5.R5.M8", "", "G17M8"},
        {"G2 X5 Y5 I5", "", "   "},
        {"N G2.0X5.G91.5I5.M", "", "N G91.5M"},
        {"G2X5.I5. ", "(A)(B)", " (A)(B)"},
        {"G90G3X1.", "", "G90"},
    }};
    for (const auto& [code, comments, kept] : cases) {
        std::string out = "G1X1.000";
        appendKeptText(out, code, comments, settings.vocabulary, addresses);
        EXPECT_EQ(out, "G1X1.000" + kept) << code;
    }
}

// The lines a writer hands on, joined.
struct JoinedLines : LineSink {
    std::string text;
    void append(std::string_view prefix, std::string_view line) override
    {
        text += prefix;
        text += line;
        text += '|';
    }
};

// A cut's words as printf writes them, in place for the usual numbers and
// through the general conversion for those beyond 64 bits of units; the
// arc's first line with its code and kept words, its last with held words.
TEST(CutLines, WriteEveryNumberAsPrintfWould)
{
    Settings settings;
    resetToDefaults(settings);
    settings.process.endAtProgramEnd = 1;
    const AddressTable addresses(settings.vocabulary);
    JoinedLines sink;
    ProgramWriter writer(settings, addresses, sink);
    ParsedBlock block;
    block.codeText = "N5G2X1.Y2.I3.F50.M30";
    Cut cut;
    cut.hasWord = {true, false, true};
    cut.first = true;
    cut.words = {-0.0004, 0, 12.3456};
    writer.writeCut(cut, block);
    cut.first = false;
    cut.words = {1e20, 0, -7.0006};
    writer.writeCut(cut, block);
    cut.hasWord = {false, true, false};
    cut.words = {0, 0.5, 0};
    writer.writeCut(cut, block);
    cut.last = true;
    cut.words = {0, -2.25, 0};
    writer.writeCut(cut, block);
    EXPECT_EQ(sink.text, "G1X-0.000Z12.346N5F50.|X100000000000000000000.000Z-7.001|Y0.500|Y-2.250M30|");
}

// Kept source lines go into the store's room as read where it has room,
// and are appended where it has none (its first line, a full block, a line
// longer than a block) or where the arc's code goes in front: the bytes are
// every line as read, the code where needed, each ended by CR LF.
TEST(KeptLines, GoOutAsReadWhetherInPlaceOrAppended)
{
    Settings settings;
    resetToDefaults(settings);
    const AddressTable addresses(settings.vocabulary);
    MemoryOutputStore store;
    ProgramWriter writer(settings, addresses, store);
    ParsedBlock noMotion;
    std::mt19937_64 random(17);
    std::string expected;
    for (int i = 0; i < 40000; ++i) {
        const std::size_t size = i == 20000 ? (std::size_t{1} << 20) + 3 : random() % (i < 30000 ? 40 : 300);
        const std::string line(size, static_cast<char>('A' + i % 26));
        writer.beginLine();
        if (i % 997 == 0) {
            // A block after a converted arc that relies on its motion.
            writer.endConvertedBlock();
            writer.beginLine();
            writer.noteBlock(noMotion);
            expected += "G3";
        }
        writer.writeSourceLine(line, Motion::CounterClockwiseArc);
        expected += line;
        expected += "\r\n";
        ASSERT_EQ(store.linesWritten(), i + 1);
    }
    ASSERT_FALSE(store.publish());
    EXPECT_EQ(store.bytes(), expected);
}

struct LineCase {
    std::string name;
    std::array<double, 3> start;
    std::string source;
    RunMode mode;
    std::vector<std::string> lines;  // expected lines: the first, the last, then any after the arc
    double cwArcCode = 2;
};

class ConvertedLines : public EngineRunTestWithParam<LineCase> {};

// Quarter helices of radius 10 (18 lines each): the plane axes carry the
// circle, the third axis the travel; blocks after them get the arc code in
// front only when they rely on the modal arc motion.
TEST_P(ConvertedLines, HoldTheWordsInPlaneOrderAndTheArcCodeWhereNeeded)
{
    options.initialX = GetParam().start[0], options.initialY = GetParam().start[1],
    options.initialZ = GetParam().start[2];
    settings.vocabulary.cwArcCode = GetParam().cwArcCode;
    run(GetParam().source, GetParam().mode);
    ASSERT_EQ(host.messages, informationOnly(created()));
    auto lines = outputLines(output());
    ASSERT_GE(lines.size(), 18u);
    lines.erase(lines.begin() + 1, lines.begin() + 17);
    EXPECT_EQ(lines, GetParam().lines);
}

const RunMode kHelical = RunMode::ConvertHelical;
INSTANTIATE_TEST_SUITE_P(
    Blocks, ConvertedLines,
    ::testing::Values(LineCase{"Xy",
                               {10, 0, 0},
                               "G17G3X0.Y10.Z-1.I-10.F100.",
                               kHelical,
                               {"G1X9.962Y0.872Z-0.056G17F100.", "X0.000Y10.000Z-1.000"}},
                      LineCase{"Zx",
                               {0, 0, 10},
                               "G18G3X10.Y-1.Z0.K-10.F100.",
                               kHelical,
                               {"G1X0.872Y-0.056Z9.962G18F100.", "X10.000Y-1.000Z0.000"}},
                      LineCase{"Yz",
                               {0, 10, 0},
                               "G19G3X-1.Y0.Z10.J-10.F100.",
                               kHelical,
                               {"G1X-0.056Y9.962Z0.872G19F100.", "X-1.000Y0.000Z10.000"}},
                      LineCase{"ClockwiseStepsDown",
                               {10, 0, 0},
                               "G2X0.Y-10.Z1.I-10.F100.\nF200 (SLOWER)",
                               kHelical,
                               {"G1X9.962Y-0.872Z0.056F100.", "X0.000Y-10.000Z1.000", "G2F200 (SLOWER)"}},
                      LineCase{
                          "BlankAndCommentLinesWait",
                          {10, 0, 0},
                          "G3X0.Y10.Z-1.I-10.F100.\n(NOTE)\n\n  \nF200\nM05",
                          kHelical,
                          {"G1X9.962Y0.872Z-0.056F100.", "X0.000Y10.000Z-1.000", "(NOTE)", "", "  ", "G3F200", "M05"}},
                      LineCase{"DecimalArcCode",
                               {10, 0, 0},
                               "G2.5X0.Y-10.Z-1.I-10.F100.\nF200",
                               kHelical,
                               {"G1X9.962Y-0.872Z-0.056F100.", "X0.000Y-10.000Z-1.000", "G2.500F200"},
                               2.5},
                      LineCase{"OwnMotionTakesNoCode",
                               {10, 0, 0},
                               "G3X0.Y10.Z-1.I-10.F100.\nG1X5.",
                               kHelical,
                               {"G1X9.962Y0.872Z-0.056F100.", "X0.000Y10.000Z-1.000", "G1X5."}},
                      LineCase{"PlainArcAfterHelical",
                               {10, 0, 0},
                               "G3X0.Y10.Z-1.I-10.F100.\nX-10.Y0.I0.J-10.",
                               kHelical,
                               {"G1X9.962Y0.872Z-0.056F100.", "X0.000Y10.000Z-1.000", "G3X-10.Y0.I0.J-10."}},
                      LineCase{"PlainArcWithInexactHelicalStart",
                               {10, 0, 0.0004},
                               "G3X0.Y10.I-10.F100.",
                               RunMode::ConvertArcs,
                               {"G1X9.962Y0.872Z0.000F100.", "X0.000Y10.000Z0.000"}}),
    NameOfCase{});

TEST_F(EngineRunTest, ArcCodeWaitsBehindAnotherConvertedBlock)
{
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.\nX-10.Y0.Z-2.J-10.\nF300", RunMode::ConvertHelical);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[18].substr(0, 3) + " " + lines[36], "G1X G3F300");
}

TEST_F(EngineRunTest, CodesAreWrittenAsWholeNumbersOrInTheNumberFormat)
{
    options.initialX = 10;
    settings.vocabulary.linearCode = 1.5;
    settings.vocabulary.ccwArcCode = 1e20;
    run("G100000000000000000000X0.Y10.Z-1.I-10.F100.\nF200", RunMode::ConvertHelical);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 19u) << host.messages[0].text;
    EXPECT_EQ(lines[0] + " " + lines[18], "G1.500X9.962Y0.872Z-0.056F100. G100000000000000000000F200");
}

TEST_F(EngineRunTest, ConvertedArcCountsItsChordsAndItsPointsOnly)
{
    options.initialX = 0.004;
    run("G2X-0.004I-0.004F100.", RunMode::ConvertArcs);  // one chord across the half circle
    ASSERT_TRUE(host.results.has_value());
    EXPECT_EQ((*host.results)[ResultField::CuttingDistance] + " " + (*host.results)[ResultField::MaxY] + " " +
                  (*host.results)[ResultField::MaxRadius] + " " + (*host.results)[ResultField::ArcCount],
              "0.008 0.000 0.004 1");
}

}  // namespace
}  // namespace drennix::testing
