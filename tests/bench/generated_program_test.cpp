// The benchmark programs: exact size, the same bytes for the same seed, every
// line ending in CR LF, every kind of block, and accepted by the engine with
// its default settings; what a converting run writes reads back without the
// arcs it replaced.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "null_run_host.h"
#include "program_generator.h"
#include "run_driver.h"
#include "scratch_directory.h"
#include "vocabulary.h"

namespace drennix::bench {
namespace {

// An independent reading of a generated program that shares no code with the
// generator: it follows the modal state and the tool position from the text
// alone, counts the kinds of block and measures what the generator promises
// beyond the engine's acceptance.
struct Words {
    std::vector<double> g;
    std::array<bool, 26> present{};
    std::array<double, 26> value{};
    bool has(char letter) const { return present[letter - 'A']; }
    bool hasG(double code) const { return std::find(g.begin(), g.end(), code) != g.end(); }
    double operator[](char letter) const { return value[letter - 'A']; }
};

class Audit {
public:
    std::map<std::string, int> seen;
    double worstEndPointError = 0.0;  // of arcs by centre offsets
    double largestCoordinate = 0.0;   // the farthest the tool can reach

    explicit Audit(std::string_view text)
    {
        for (std::size_t p = 0; p < text.size(); p += 2) {
            const std::size_t end = std::min(text.find("\r\n", p), text.size());
            readLine(text.substr(p, end - p));
            p = end;
        }
    }

private:
    void readLine(std::string_view line)
    {
        std::string code;
        bool inComment = false;
        bool hadComment = false;
        bool nonAscii = false;
        for (const char c : line) {
            if (c == '(' || c == ')') {
                inComment = c == '(';
                hadComment = true;
            } else if (inComment) {
                nonAscii = nonAscii || c < 0x20 || c > 0x7e;
            } else {
                code += c;
            }
        }
        if (nonAscii) ++seen["non-ASCII comment"];
        if (code.find_first_not_of(' ') == std::string::npos)
            return void(++seen[hadComment ? "comment-only line" : "blank line"]);
        Words words;
        for (std::size_t i = 0, end = 0; i < code.size(); i = end) {
            end = std::min(code.find_first_not_of("+-.0123456789", i + 1), code.size());
            if (code[i] >= 'A' && code[i] <= 'Z') store(code[i], code.substr(i + 1, end - i - 1), words);
        }
        interpret(words);
    }

    // Axis, offset and radius numbers without a point carry three implied decimals.
    void store(char letter, const std::string& number, Words& words)
    {
        double value = std::strtod(number.c_str(), nullptr);
        if (std::string_view("XYZIJKR").find(letter) != std::string_view::npos &&
            number.find('.') == std::string::npos) {
            value = value / 10.0 / 10.0 / 10.0;
            ++seen["implied-decimal word"];
        }
        if (letter == 'N') ++seen["sequence number"];
        if (letter == 'G') words.g.push_back(value);
        words.present[letter - 'A'] = true;
        words.value[letter - 'A'] = value;
    }

    void interpret(const Words& words)
    {
        for (const double g : words.g) {
            if (g >= 0 && g <= 3) motion_ = static_cast<int>(g);
            if (g >= 17 && g <= 19) plane_ = static_cast<int>(g);
            if (g == 90 || g == 91) incremental_ = g == 91;
            if (g >= 40 && g <= 42) compensated_ = g != 40;
        }
        if (words.hasG(10)) return void(++seen["value set"]);
        if (words.hasG(92)) {
            ++seen["coordinate set"];
        } else if (motion_ >= 2) {
            return moveAlongArc(words);
        } else if (words.has('X') || words.has('Y') || words.has('Z')) {
            countMove(motion_ == 0 ? "rapid move" : "linear move");
        }
        reach(targetOf(words));
    }

    void moveAlongArc(const Words& words)
    {
        // Plane axes a, b and the normal (0 X, 1 Y, 2 Z); the offset of an axis is I, J or K.
        const auto [a, b, normal] = plane_ == 18   ? std::array{2, 0, 1}
                                    : plane_ == 19 ? std::array{1, 2, 0}
                                                   : std::array{0, 1, 2};
        const double offsetA = words[static_cast<char>('I' + a)];
        const double offsetB = words[static_cast<char>('I' + b)];
        const std::array<double, 3> target = targetOf(words);
        const double startA = position_[a];
        const double startB = position_[b];
        if (offsetA != 0.0 || offsetB != 0.0) {
            const double radius = std::hypot(offsetA, offsetB);
            const double error =
                std::abs(std::hypot(target[a] - (startA + offsetA), target[b] - (startB + offsetB)) - radius);
            worstEndPointError = std::max(worstEndPointError, error);
            reachAround(startA + offsetA, startB + offsetB, radius);
            if (target[a] == startA && target[b] == startB) ++seen["full circle"];
            ++seen["arc by offsets"];
        } else if (words.has('R')) {
            reachAround(startA, startB, 2.0 * std::abs(words['R']));
            ++seen["arc by radius"];
        } else {
            return;  // modal words alone
        }
        if (target[normal] != position_[normal]) ++seen["helical arc"];
        ++seen[motion_ == 2 ? "clockwise arc" : "counter-clockwise arc"];
        if (plane_ != 17) ++seen[plane_ == 18 ? "arc in ZX plane" : "arc in YZ plane"];
        countMove("arc");
        reach(target);
    }

    void countMove(const std::string& kind)
    {
        ++seen[kind];
        if (incremental_) ++seen["incremental move"];
        if (compensated_) ++seen["compensated move"];
    }

    std::array<double, 3> targetOf(const Words& words) const
    {
        std::array<double, 3> target = position_;
        for (int axis = 0; axis < 3; ++axis) {
            const char letter = "XYZ"[axis];
            if (incremental_) target[axis] += words[letter];
            if (!incremental_ && words.has(letter)) target[axis] = words[letter];
        }
        return target;
    }

    void reach(const std::array<double, 3>& point)
    {
        position_ = point;
        for (const double c : point)
            largestCoordinate = std::max(largestCoordinate, std::abs(c));
    }

    void reachAround(double centreA, double centreB, double radius)
    {
        largestCoordinate = std::max({largestCoordinate, std::abs(centreA) + radius, std::abs(centreB) + radius});
    }

    int motion_ = 0;
    int plane_ = 17;
    bool incremental_ = false;
    bool compensated_ = false;
    std::array<double, 3> position_{};
};

// Every line ends in CR LF and no CR or LF stands alone; only a last line of
// spaces may go without.
bool endsEveryLineInCrLf(std::string_view text)
{
    if (text.substr(text.rfind('\n') + 1).find_first_not_of(' ') != std::string_view::npos) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] == '\n') != (i > 0 && text[i - 1] == '\r')) return false;
    }
    return true;
}

std::string generate(std::uint64_t bytes, std::uint64_t seed = 1)
{
    return generateProgramText({bytes, seed});
}

// Runs of the engine with its default settings; every run here must end well.
class EngineRun : public ::testing::Test {
protected:
    void SetUp() override { resetToDefaults(settings_); }

    NullRunHost run(const std::filesystem::path& source, RunMode mode)
    {
        NullRunHost host;
        RunDriver(settings_).execute({.sourcePath = source.string(), .runMode = mode}, host);
        EXPECT_TRUE(host.endedWell()) << host.lastMessage();
        return host;
    }

    NullRunHost runProgram(const std::string& program)
    {
        std::ofstream(source_, std::ios::binary) << program;
        return run(source_, RunMode::MachiningTime);
    }

    Settings settings_;
    testing::ScratchDirectory folder_{"drennix-bench-test-"};
    std::filesystem::path source_ = folder_.path() / "program.nc";
};

// The closing lines alone (blank lines below 9 bytes, odd counts with a
// space), the opening that just does or does not fit, and many 64 KiB chunks.
class GeneratedProgramSize : public EngineRun, public ::testing::WithParamInterface<std::uint64_t> {};

TEST_P(GeneratedProgramSize, IsExactWithCrLfLinesAndRuns)
{
    const std::string program = generate(GetParam());
    ASSERT_EQ(program.size(), GetParam());
    EXPECT_TRUE(endsEveryLineInCrLf(program));
    runProgram(program);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GeneratedProgramSize, ::testing::Values(0u, 1u, 7u, 8u, 9u, 121u, 122u, 200003u));

TEST(GeneratedProgram, SameSeedGivesSameBytes)
{
    EXPECT_EQ(generate(300000, 7), generate(300000, 7));
    EXPECT_NE(generate(300000, 7), generate(300000, 8));
}

TEST(GeneratedProgram, ChunksJoinToTheWholeProgramUntilTheSinkRefuses)
{
    std::string joined;
    int chunks = 0;
    ASSERT_TRUE(generateProgram({500000, 3}, [&](std::string_view chunk) {
        joined += chunk;
        return ++chunks > 0;
    }));
    EXPECT_GT(chunks, 1);
    EXPECT_EQ(joined, generate(500000, 3));

    chunks = 0;
    EXPECT_FALSE(generateProgram({500000, 3}, [&](std::string_view) { return ++chunks < 2; }));
    EXPECT_EQ(chunks, 2);
}

// A smaller program would not show every kind of block; 2 MB holds several
// hundred of the rarest. The engine counts the same arcs as the audit, and its
// absolute display run gives the same results as its machining-time run.
class GeneratedProgramSeed : public EngineRun, public ::testing::WithParamInterface<std::uint64_t> {};

TEST_P(GeneratedProgramSeed, MixesEveryKindOfBlockWithinItsPromisesAndRuns)
{
    const std::string program = generate(2'000'000, GetParam());
    Audit audit(program);
    EXPECT_TRUE(endsEveryLineInCrLf(program));
    EXPECT_LE(audit.worstEndPointError, 0.0005);
    EXPECT_LT(audit.largestCoordinate, 250.0);
    EXPECT_GT(audit.seen["linear move"], audit.seen["rapid move"]);
    for (const char* kind : {"rapid move", "arc by offsets", "arc by radius", "full circle", "helical arc",
                             "clockwise arc", "counter-clockwise arc", "arc in ZX plane", "arc in YZ plane",
                             "incremental move", "compensated move", "coordinate set", "value set", "sequence number",
                             "implied-decimal word", "non-ASCII comment", "comment-only line", "blank line"}) {
        EXPECT_GT(audit.seen[kind], 0) << kind;
    }
    const NullRunHost time = runProgram(program);
    EXPECT_EQ(time.lastMessage(), "計算しました。");
    EXPECT_EQ(time.results()[ResultField::ArcCount], std::to_string(audit.seen["arc"] - audit.seen["helical arc"]));
    EXPECT_EQ(time.results()[ResultField::HelicalCount], std::to_string(audit.seen["helical arc"]));
    EXPECT_EQ(run(source_, RunMode::AbsoluteDisplay).results(), time.results());
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedProgramSeed, ::testing::Values(1u, 2u, 12345u));

// For readers without implied decimals: a program of the same size with a
// point in every coordinate, which the engine reads to its end like the other.
TEST_F(EngineRun, DecimalPointsLeaveNoImpliedDecimals)
{
    const std::string plain = generate(2'000'000, 1);
    const std::string pointed = generateProgramText({.bytes = 2'000'000, .seed = 1, .decimalPoints = true});
    ASSERT_EQ(pointed.size(), plain.size());
    EXPECT_TRUE(endsEveryLineInCrLf(pointed));
    EXPECT_GT(Audit(plain).seen["implied-decimal word"], 0);
    Audit audit(pointed);
    EXPECT_EQ(audit.seen["implied-decimal word"], 0);
    EXPECT_LE(audit.worstEndPointError, 0.0005);
    EXPECT_EQ(runProgram(pointed).results()[ResultField::ArcCount],
              std::to_string(audit.seen["arc"] - audit.seen["helical arc"]));
}

TEST(ProgramAudit, CountsKindsAndMeasuresEndPointsAndReach)
{
    const Audit audit(
        "(\xb1)\r\n\r\nN10 G1 X0 F100.\r\nG2 X10.001 Y0. I5. J0.\r\nG18 G91 G3 X0 Y1. I5. K0.\r\n"
        "G19 G2 Y-2. Z2. R150.\r\nG90 G17 G41 G1 X1. Y2.\r\nG40 G0 G92 X3. Y0. Z0.\r\nG0 Z5.\r\nG10 L1 P1 R5.\r\n");
    EXPECT_NEAR(audit.worstEndPointError, 0.001, 1e-9);
    EXPECT_EQ(audit.largestCoordinate, 301.0);
    EXPECT_EQ(audit.seen, (std::map<std::string, int>{{"non-ASCII comment", 1},
                                                      {"comment-only line", 1},
                                                      {"blank line", 1},
                                                      {"sequence number", 1},
                                                      {"implied-decimal word", 2},
                                                      {"linear move", 2},
                                                      {"arc", 3},
                                                      {"arc by offsets", 2},
                                                      {"arc by radius", 1},
                                                      {"full circle", 1},
                                                      {"helical arc", 1},
                                                      {"clockwise arc", 2},
                                                      {"counter-clockwise arc", 1},
                                                      {"arc in ZX plane", 1},
                                                      {"arc in YZ plane", 1},
                                                      {"incremental move", 2},
                                                      {"rapid move", 1},
                                                      {"compensated move", 1},
                                                      {"coordinate set", 1},
                                                      {"value set", 1}}));
}

// Converting helicals leaves the plain arcs, converting arcs leaves none; the
// rapid moves stay as they were.
TEST_F(EngineRun, ConvertedOutputReadsBackWithoutTheReplacedArcs)
{
    const ResultTexts original = runProgram(generate(1'000'000, 5)).results();
    for (const auto& [mode, arcsLeft] : {std::pair{RunMode::ConvertHelical, original[ResultField::ArcCount]},
                                         std::pair{RunMode::ConvertArcs, std::string("0")}}) {
        const NullRunHost conversion = run(source_, mode);
        ASSERT_TRUE(std::filesystem::exists(conversion.outputPath()));
        const ResultTexts converted = run(conversion.outputPath(), RunMode::MachiningTime).results();
        EXPECT_EQ(converted[ResultField::ArcCount], arcsLeft);
        EXPECT_EQ(converted[ResultField::HelicalCount], "0");
        EXPECT_EQ(converted[ResultField::RapidDistance], original[ResultField::RapidDistance]);
        std::filesystem::remove(conversion.outputPath());  // both modes write the same name
    }
}

}  // namespace
}  // namespace drennix::bench
