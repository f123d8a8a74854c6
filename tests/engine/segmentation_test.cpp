// Arcs replaced by straight moves in the converting runs: whole converted
// programs compared byte for byte with reviewed golden files, the segment
// count from the tolerance, the words carried into the first line, the arc
// code put back in front of the next block, and the figures of a converted
// arc.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine_run.h"
#include "segmentation.h"
#include "words.h"

namespace drennix::testing {
namespace {

std::filesystem::path goldenDirectory() {
    if (const char* data = std::getenv("DRENNIX_TEST_DATA")) {
        const auto golden = std::filesystem::path(data) / "golden";
        if (std::filesystem::is_directory(golden)) return golden;
    }
    return std::filesystem::path(DRENNIX_TESTS_DIR) / "data" / "golden";
}

// The lines of an output file, without their CR LF.
std::vector<std::string> outputLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// ---- golden programs -------------------------------------------------------

struct GoldenCase {
    std::string name;  // folder under golden/, holding input.nc and expected.nc
    RunMode mode;
    double tolerance;
};

class GoldenProgram : public EngineRunTestWithParam<GoldenCase> {};

TEST_P(GoldenProgram, ConvertsToTheReviewedBytes) {
    const auto folder = goldenDirectory() / GetParam().name;
    const std::string input = readBytes(folder / "input.nc");
    const std::string expected = readBytes(folder / "expected.nc");
    ASSERT_FALSE(input.empty()) << folder;
    ASSERT_FALSE(expected.empty()) << folder;

    options.tolerance = GetParam().tolerance;
    run(input, GetParam().mode);
    ASSERT_EQ(host.messages(), informationOnly(outputPath().string() + "\n　を作成しました。"));
    EXPECT_EQ(outputLines(output()), outputLines(expected));
    EXPECT_EQ(output(), expected);
    EXPECT_EQ(readBytes(scratch / "part.nc"), input);
    EXPECT_EQ(field(ResultField::LineCount), std::to_string(outputLines(expected).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, GoldenProgram,
    ::testing::Values(GoldenCase{"helical_quarter", RunMode::ConvertHelical, 0.01},
                      GoldenCase{"arcs_mixed", RunMode::ConvertArcs, 0.1}),
    [](const auto& info) { return info.param.name; });

// ---- segment count ---------------------------------------------------------

struct CountCase {
    std::string name;
    double initialX;
    std::string block;
    std::vector<std::string> expectedLines;  // empty: only the count is checked
    int count;
};

class SegmentCount : public EngineRunTestWithParam<CountCase> {};

TEST_P(SegmentCount, KeepsEveryChordWithinTheTolerance) {
    options.initialX = GetParam().initialX;
    run(GetParam().block, RunMode::ConvertArcs);
    ASSERT_EQ(host.messages(), informationOnly(outputPath().string() + "\n　を作成しました。"));
    const auto lines = outputLines(output());
    EXPECT_EQ(static_cast<int>(lines.size()), GetParam().count);
    if (!GetParam().expectedLines.empty()) {
        EXPECT_EQ(lines, GetParam().expectedLines);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Radii, SegmentCount,
    ::testing::Values(
        CountCase{"TinyHalfCircleIsOneLine", 0.004, "G2X-0.004I-0.004F100.", {"G1X-0.004F100."}, 1},
        CountCase{"SmallFullCircleNeedsTwo", 0.006, "G2I-0.006F100.", {"G1X-0.006F100.", "X0.006"}, 2},
        CountCase{"SmallHalfCircleStaysOne", 0.006, "G2X-0.006I-0.006F100.", {"G1X-0.006F100."}, 1},
        CountCase{"SmallQuarterIsOne", 0.008, "G3X0.Y0.008I-0.008F100.", {"G1X0.000Y0.008F100."}, 1},
        CountCase{"QuarterOfTen", 10, "G3X0.Y10.I-10.F100.", {}, 18},
        CountCase{"FullCircleOfTen", 10, "G2I-10.F100.", {}, 71},
        CountCase{"FullCircleOfOne", 1, "G2I-1.F100.", {}, 23}),
    NameOfCase{});

TEST_F(EngineRunTest, FullCircleEndsExactlyOnItsStart) {
    options.initialX = 10;
    run("G2I-10.F100.", RunMode::ConvertArcs);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 71u);
    EXPECT_EQ(lines.front(), "G1X9.961Y-0.884F100.");
    EXPECT_EQ(lines[69], "X9.961Y0.884");
    EXPECT_EQ(lines.back(), "X10.000Y0.000");
}

TEST_F(EngineRunTest, TooManySegmentsRejectTheBlock) {
    for (double tolerance : {1e-14, 1e-17, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(tolerance);
        host = RecordingHost{};
        options.tolerance = tolerance;
        run("G0X10.\nG2I-10.F100.\nG0X0.", RunMode::ConvertArcs);
        EXPECT_EQ(host.messages(),
                  warningOnly("元ﾌｧｲﾙの2行目の 左右廻円弧指令 中で分割数が多過ぎます。\n　変換はしていません。"));
        EXPECT_EQ(field(ResultField::LineCount), "2");
        EXPECT_FALSE(outputExists());
    }
}

// ---- the first generated line ---------------------------------------------

struct KeptCase {
    std::string name;
    std::string source;  // the arc block is the last line
    std::string kept;
};

class KeptWords : public EngineRunTestWithParam<KeptCase> {};

TEST_P(KeptWords, FollowTheAxisWordsOfTheFirstLine) {
    run(GetParam().source, RunMode::ConvertArcs);
    ASSERT_EQ(host.messages().size(), 1u);
    ASSERT_EQ(host.messages()[0].kind, MessageKind::Information) << host.lastMessage();
    std::string first;
    for (const auto& line : outputLines(output()))
        if (line.starts_with("G1X") || line.starts_with("G1Y")) {
            first = line;
            break;
        }
    // "G1", the axis words, then the kept words and comments.
    const std::string& kept = GetParam().kept;
    ASSERT_GT(first.size(), kept.size()) << first;
    const std::string words = first.substr(2, first.size() - kept.size() - 2);
    EXPECT_EQ(words.find_first_not_of("XYZ0123456789.-"), std::string::npos) << first;
    EXPECT_EQ(first.substr(first.size() - kept.size()), kept) << first;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, KeptWords,
    ::testing::Values(
        KeptCase{"FeedAndSequenceWithSpaces", "N10 G02 X5. Y5. I5. F200", "N10     F200"},
        KeptCase{"OtherGCodesAndLetters", "F100\nG17G02X5.Y5.R5.M8", "G17M8"},
        KeptCase{"SpacesOnly", "F100\nG2 X5 Y5 I5", "   "},
        KeptCase{"CommentsAfterTheWords", "G0X10.\nG3X0.Y10.I-10.(CUT)F100.(FAST)", "F100.(CUT)(FAST)"},
        KeptCase{"ArcCodeWrittenWithZeros", "G0X10.\nG90 G17 G03 X0. Y10. I-10. F100.", "G90 G17     F100."},
        KeptCase{"ArcCodeWithPoint", "G0X10.\nG3.0X0.Y10.I-10.G91.5F100.", "G91.5F100."}),
    NameOfCase{});

TEST_F(EngineRunTest, LinearCodeWithDecimalsIsWrittenWithTheNumberFormat) {
    settings.vocabulary.linearCode = 1.5;
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.", RunMode::ConvertHelical);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines.front(), "G1.500X9.962Y0.872Z-0.056F100.");
}

TEST_F(EngineRunTest, PlainArcKeepsAnInexactHelicalStartOnlyOnItsFirstLine) {
    options.initialX = 10;
    options.initialZ = 0.0004;
    run("G3X0.Y10.I-10.F100.", RunMode::ConvertArcs);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines.front(), "G1X9.962Y0.872Z0.000F100.");
    EXPECT_EQ(lines[1], "X9.848Y1.736");
    EXPECT_EQ(lines.back(), "X0.000Y10.000Z0.000");
}

struct PlaneCase {
    std::string name;
    std::array<double, 3> start;
    std::string block;
    std::string firstLine;
    std::string lastLine;
};

class ConvertedPlane : public EngineRunTestWithParam<PlaneCase> {};

// The quarter helix of radius 10 in each plane: the plane axes carry the
// circle, the third axis the travel.
TEST_P(ConvertedPlane, MapsThePointsToTheirAxes) {
    options.initialX = GetParam().start[0];
    options.initialY = GetParam().start[1];
    options.initialZ = GetParam().start[2];
    run(GetParam().block, RunMode::ConvertHelical);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 18u) << host.lastMessage();
    EXPECT_EQ(lines.front(), GetParam().firstLine);
    EXPECT_EQ(lines.back(), GetParam().lastLine);
}

INSTANTIATE_TEST_SUITE_P(
    Planes, ConvertedPlane,
    ::testing::Values(
        PlaneCase{"Xy", {10, 0, 0}, "G17G3X0.Y10.Z-1.I-10.F100.", "G1X9.962Y0.872Z-0.056G17F100.",
                  "X0.000Y10.000Z-1.000"},
        PlaneCase{"Zx", {0, 0, 10}, "G18G3X10.Y-1.Z0.K-10.F100.", "G1X0.872Y-0.056Z9.962G18F100.",
                  "X10.000Y-1.000Z0.000"},
        PlaneCase{"Yz", {0, 10, 0}, "G19G3X-1.Y0.Z10.J-10.F100.", "G1X-0.056Y9.962Z0.872G19F100.",
                  "X-1.000Y0.000Z10.000"},
        PlaneCase{"ClockwiseXy", {10, 0, 0}, "G2X0.Y-10.Z1.I-10.F100.", "G1X9.962Y-0.872Z0.056F100.",
                  "X0.000Y-10.000Z1.000"}),
    NameOfCase{});

TEST_F(EngineRunTest, HugeWholeArcCodeIsWrittenInFull) {
    settings.vocabulary.ccwArcCode = 1e20;
    options.initialX = 10;
    run("G100000000000000000000X0.Y10.Z-1.I-10.F100.\nF200", RunMode::ConvertHelical);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 19u) << host.lastMessage();
    EXPECT_EQ(lines.back(), "G100000000000000000000F200");
}

// ---- the arc code put back -------------------------------------------------

struct ReinsertionCase {
    std::string name;
    std::string source;  // starts at (10, 0, 0); its first block is converted
    RunMode mode;
    std::vector<std::string> afterTheArc;  // the output lines after the 18 generated
};

class ArcCodeReinsertion : public EngineRunTestWithParam<ReinsertionCase> {
protected:
    void SetUp() override {
        options.initialX = 10;
        settings.vocabulary.cwArcCode = GetParam().name.starts_with("Decimal") ? 2.5 : 2;
    }
};

TEST_P(ArcCodeReinsertion, GoesToTheNextBlockWithoutItsOwnMotion) {
    run(GetParam().source, GetParam().mode);
    ASSERT_EQ(host.messages(), informationOnly(outputPath().string() + "\n　を作成しました。"));
    const auto lines = outputLines(output());
    ASSERT_GE(lines.size(), 18u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 18, lines.end()), GetParam().afterTheArc);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ArcCodeReinsertion,
    ::testing::Values(
        ReinsertionCase{"FeedOnlyBlock", "G3X0.Y10.Z-1.I-10.F100.\nF200\nG1X5.", RunMode::ConvertHelical,
                        {"G3F200", "G1X5."}},
        ReinsertionCase{"BlankAndCommentLinesWait", "G3X0.Y10.Z-1.I-10.F100.\n(NOTE)\n\n  \nF200\nM05",
                        RunMode::ConvertHelical, {"(NOTE)", "", "  ", "G3F200", "M05"}},
        ReinsertionCase{"ClockwiseCode", "G2X0.Y-10.Z-1.I-10.F100.\nF200 (SLOWER)", RunMode::ConvertHelical,
                        {"G2F200 (SLOWER)"}},
        ReinsertionCase{"DecimalArcCode", "G2.5X0.Y-10.Z-1.I-10.F100.\nF200", RunMode::ConvertHelical,
                        {"G2.500F200"}},
        ReinsertionCase{"OwnMotionTakesNoCode", "G3X0.Y10.Z-1.I-10.F100.\nG1X5.\nX6.", RunMode::ConvertHelical,
                        {"G1X5.", "X6."}},
        ReinsertionCase{"PlainArcAfterHelical", "G3X0.Y10.Z-1.I-10.F100.\nX-10.Y0.I0.J-10.",
                        RunMode::ConvertHelical, {"G3X-10.Y0.I0.J-10."}}),
    NameOfCase{});

TEST_F(EngineRunTest, ReinsertionWaitsBehindAnotherConvertedBlock) {
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.\nX-10.Y0.Z-2.J-10.\nF300", RunMode::ConvertHelical);
    const auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[18].substr(0, 3), "G1X");
    EXPECT_EQ(lines.back(), "G3F300");
}

// ---- figures of converted arcs --------------------------------------------

TEST_F(EngineRunTest, ConvertedArcCountsItsChordsAndPoints) {
    options.initialX = 0.004;
    run("G2X-0.004I-0.004F100.", RunMode::ConvertArcs);
    EXPECT_EQ(field(ResultField::CuttingDistance), "0.008");
    EXPECT_EQ(field(ResultField::MaxY), "0.000");
    EXPECT_EQ(field(ResultField::MinY), "0.000");
    EXPECT_EQ(field(ResultField::ArcCount), "1");
    EXPECT_EQ(field(ResultField::MaxRadius), "0.004");
    EXPECT_EQ(field(ResultField::LineCount), "1");
}

// The length of the straight moves that an absolute-mode output file holds.
double pathLength(const std::vector<std::string>& lines, double x, double y, double z) {
    double length = 0;
    for (const auto& line : lines) {
        double position[3] = {x, y, z};
        double travel[3] = {0, 0, 0};
        std::istringstream in(line);
        char letter;
        double value;
        while (in >> letter) {
            if (letter != 'X' && letter != 'Y' && letter != 'Z') break;
            in >> value;
            const int axis = letter - 'X';
            travel[axis] = std::fabs(value - position[axis]);
            position[axis] = value;
        }
        x = position[0], y = position[1], z = position[2];
        length += std::pow(std::pow(travel[0], 2) + std::pow(travel[1], 2) + std::pow(travel[2], 2), 0.5);
    }
    return length;
}

TEST_F(EngineRunTest, ConvertedHelixCountsTheLengthOfItsChords) {
    options.initialX = 10;
    run("G3X0.Y10.Z-1.I-10.F100.", RunMode::ConvertHelical);
    ASSERT_TRUE(host.shownResults().has_value());
    const auto& shown = *host.shownResults();
    EXPECT_EQ(shown[ResultField::LineCount], "1");
    EXPECT_EQ(shown[ResultField::HelicalCount], "1");
    EXPECT_EQ(shown[ResultField::ArcCount], "0");
    EXPECT_EQ(shown[ResultField::MinZ], "-1.000");
    auto lines = outputLines(output());
    ASSERT_EQ(lines.size(), 18u);
    lines.front().erase(0, 2);  // the G code of the first line
    EXPECT_EQ(shown[ResultField::CuttingDistance], fixed(pathLength(lines, 10, 0, 0)));
}


// ---- the functions behind the conversion ------------------------------------

struct SegmentCountCase {
    std::string name;
    double r, swept, tolerance;
    std::optional<long long> expected;
};

class SegmentCountFunction : public ::testing::TestWithParam<SegmentCountCase> {};

TEST_P(SegmentCountFunction, FollowsTheToleranceRules) {
    const auto& c = GetParam();
    EXPECT_EQ(segmentCount(c.r, c.swept, c.tolerance), c.expected);
}

const double kPi = piConstant;
INSTANTIATE_TEST_SUITE_P(
    Cases, SegmentCountFunction,
    ::testing::Values(
        SegmentCountCase{"DiameterWithinTolerance", 0.004, kPi, 0.01, 1},
        SegmentCountCase{"DiameterEqualsTolerance", 0.005, 2 * kPi, 0.01, 1},
        SegmentCountCase{"SmallFullCircle", 0.006, 2 * kPi, 0.01, 2},
        SegmentCountCase{"SmallHalfCircle", 0.006, kPi, 0.01, 1},
        SegmentCountCase{"SmallQuarter", 0.008, kPi / 2, 0.01, 1},
        SegmentCountCase{"QuarterOfTen", 10, kPi / 2, 0.01, 18},
        SegmentCountCase{"FullCircleOfTen", 10, 2 * kPi, 0.01, 71},
        SegmentCountCase{"FullCircleOfOne", 1, 2 * kPi, 0.01, 23},
        SegmentCountCase{"CountAboveTheLimit", 10, 2 * kPi, 1e-14, std::nullopt},
        SegmentCountCase{"ZeroAngleStep", 10, 2 * kPi, 1e-17, std::nullopt},
        SegmentCountCase{"ToleranceNotANumber", 10, kPi, std::numeric_limits<double>::quiet_NaN(), std::nullopt}),
    NameOfCase{});

TEST(CodeNumber, WholeCodesAsIntegersOthersInTheNumberFormat) {
    std::string text = "G";
    appendCodeNumber(text, 1, 3);
    EXPECT_EQ(text, "G1");
    text = "G";
    appendCodeNumber(text, 1.5, 3);
    EXPECT_EQ(text, "G1.500");
    text = "G";
    appendCodeNumber(text, 2.5, 0);
    EXPECT_EQ(text, "G" + fixed(2.5, 0));
    text = "G";
    appendCodeNumber(text, -0.0, 3);
    EXPECT_EQ(text, "G0");
}

struct KeptTextCase {
    std::string name;
    std::string codeText, commentText, expected;
};

class KeptTextFunction : public ::testing::TestWithParam<KeptTextCase> {};

TEST_P(KeptTextFunction, KeepsTheBlocksOtherWords) {
    Settings settings;
    resetToDefaults(settings);
    const AddressTable addresses(settings.vocabulary);
    std::string out = "G1X1.000";
    appendKeptText(out, GetParam().codeText, GetParam().commentText, settings.vocabulary, addresses);
    EXPECT_EQ(out, "G1X1.000" + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, KeptTextFunction,
    ::testing::Values(
        KeptTextCase{"FeedOnly", "G03X0.Y10.Z-1.I-10.F100.", "", "F100."},
        KeptTextCase{"SequenceAndSpaces", "N10 G02 X5. Y5. I5. F200", "", "N10     F200"},
        KeptTextCase{"OtherCodes", "G17G02X5.Y5.R5.M8", "", "G17M8"},
        KeptTextCase{"SpacesOnly", "G2 X5 Y5 I5", "", "   "},
        KeptTextCase{"LetterWithoutNumber", "N G2X5.I5.M", "", "N M"},
        KeptTextCase{"Comments", "G2X5.I5. ", "(A)(B)", " (A)(B)"}),
    NameOfCase{});

}  // namespace
}  // namespace drennix::testing
