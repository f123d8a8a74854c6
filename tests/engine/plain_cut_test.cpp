// The plain cut, the check's shortcut past the interpreter for lines of axis
// words only, against interpretBlock on random lines and states: it must
// take exactly the lines that hold nothing but X, Y and Z (and perhaps the
// linear motion's code) under a cutting motion with a feed, reach the
// interpreter's position and motion bit for bit, and leave every other line
// (other G words, F words, arc words, repeated words, dialect words, faults)
// to the interpreter untouched.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "block_interpreter.h"
#include "block_parser.h"
#include "plain_cut.h"

namespace drennix {
namespace {

std::uint64_t bitsOf(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

bool sameState(const ModalState& a, const ModalState& b)
{
    return a.motion == b.motion && a.plane == b.plane && a.coordinateMode == b.coordinateMode &&
           a.compensation == b.compensation && bitsOf(a.feed) == bitsOf(b.feed) &&
           bitsOf(a.position[0]) == bitsOf(b.position[0]) && bitsOf(a.position[1]) == bitsOf(b.position[1]) &&
           bitsOf(a.position[2]) == bitsOf(b.position[2]);
}

// Coordinates of every magnitude: signed zeros, the smallest and largest
// doubles, values where adding a written figure rounds, infinities, NaN.
double randomCoordinate(std::mt19937_64& random)
{
    static const double odd[] = {
        0.0,
        -0.0,
        std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::min(),
        std::numeric_limits<double>::max(),
        -std::numeric_limits<double>::max(),
        9007199254740993.0,
        -4503599627370495.5,
        1e300,
        0.1,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
    };
    if (random() % 4 == 0) {
        return odd[random() % std::size(odd)];
    }
    const double magnitude = std::pow(10.0, static_cast<double>(random() % 40) - 10);
    return std::uniform_real_distribution<double>(-magnitude, magnitude)(random);
}

// A written figure: the usual shapes, negative zero, long digit runs.
std::string randomFigure(std::mt19937_64& random)
{
    static const char* const odd[] = {"0",
                                      "-0",
                                      "-0.000",
                                      ".5",
                                      "-.001",
                                      "123456789012345678901234.5",
                                      "0.00000000000000000001",
                                      "9007199254740993",
                                      "4503599627370495.5"};
    if (random() % 6 == 0) {
        return odd[random() % std::size(odd)];
    }
    std::string figure = random() % 2 == 0 ? "-" : "";
    figure += std::to_string(random() % 100000);
    if (random() % 4 != 0) {
        // Two appends: GCC 12 warns wrongly about a string sum here (-Wrestrict).
        figure += '.';
        figure += std::to_string(random() % 1000);
    }
    return figure;
}

struct RandomLine {
    std::string text;
    // Nothing but axis words, each at most once.
    bool axisWordsOnly = true;
    // Its one word more is an M or P word, which only a dialect reads.
    char dialectLetter = 0;
    // Its one word more is the linear motion's code, in front or behind.
    bool linearCode = false;
};

// Lines of axis words, most of them plain, the others with one thing more
// that a plain cut must not have.
RandomLine randomLine(std::mt19937_64& random)
{
    RandomLine line;
    const auto add = [&](std::string word) {
        line.text += word;
        line.text += random() % 3 == 0 ? " " : "";
    };
    for (const char axis : {'X', 'Y', 'Z'}) {
        if (random() % 2 == 0) add(axis + randomFigure(random));
    }
    if (random() % 2 == 0) {
        return line;
    }
    static const char* const extras[] = {"G1",  "G01", "G1.", "G0",  "G2",  "G3",   "G90", "G91",  "G17",  "G18",
                                         "G19", "G41", "G40", "G92", "G10", "F100", "F0",  "I1.5", "J-2",  "K0",
                                         "R5",  "R0",  "X1",  "Y-0", "M2",  "M30",  "P2",  "G1G1", "G1G0", "F1F2"};
    const std::string extra = extras[random() % std::size(extras)];
    if (random() % 2 == 0) {
        add(extra);
    } else {
        line.text.insert(0, extra + (random() % 3 == 0 ? " " : ""));
    }
    line.linearCode = extra == "G1" || extra == "G01" || extra == "G1.";
    // A second axis word of its letter is a repeat, not an axis word alone.
    const bool repeatedAxis = (extra[0] == 'X' && line.text.find('X') != line.text.rfind('X')) ||
                              (extra[0] == 'Y' && line.text.find('Y') != line.text.rfind('Y'));
    const bool otherAxis = (extra[0] == 'X' || extra[0] == 'Y') && !repeatedAxis;
    line.axisWordsOnly = otherAxis;
    if (extra[0] == 'M' || extra[0] == 'P') {
        line.dialectLetter = extra[0];
    }
    return line;
}

ModalState randomState(std::mt19937_64& random)
{
    static const Motion motions[] = {Motion::Linear, Motion::Linear, Motion::Rapid, Motion::ClockwiseArc,
                                     Motion::CounterClockwiseArc};
    static const double feeds[] = {100, 100, 0.001, 0, -5, std::numeric_limits<double>::quiet_NaN()};
    ModalState state;
    state.motion = motions[random() % std::size(motions)];
    state.plane = static_cast<Plane>(random() % 3);
    state.coordinateMode = random() % 2 == 0 ? CoordinateMode::Absolute : CoordinateMode::Incremental;
    state.compensation = random() % 8 == 0 ? Compensation::Left : Compensation::Cancelled;
    state.feed = feeds[random() % std::size(feeds)];
    for (double& axis : state.position) {
        axis = randomCoordinate(random);
    }
    return state;
}

TEST(PlainCut, TakesExactlyTheAxisLinesAndReachesTheInterpretersPosition)
{
    std::mt19937_64 random(41);
    int taken = 0;
    int declined = 0;
    int faultsDeclined = 0;
    int codeTakenFromOtherMotion = 0;
    for (int dialect = 0; dialect < 4; ++dialect) {
        Settings settings;
        settings.process.decimalPlaces = 3;
        settings.process.endAtProgramEnd = dialect & 1;
        settings.process.arcTurnsByP = (dialect >> 1) & 1;
        settings.process.calculatorDecimals = dialect == 3;
        BlockParser parser(settings);
        for (int trial = 0; trial < 100000; ++trial) {
            const RandomLine line = randomLine(random);
            ParsedBlock block;
            if (parser.parse(line.text, block) || block.blank) {
                continue;
            }
            const ModalState before = randomState(random);
            Step step;
            interpretBlock(before, block, 3, 1, step, CuttingLength::NotNeeded);
            ModalState after = before;
            const bool plain = takePlainCut(after, block);

            // A word the dialect does not read is no word of the block.
            const bool unreadWord = (line.dialectLetter == 'M' && settings.process.endAtProgramEnd == 0) ||
                                    (line.dialectLetter == 'P' && settings.process.arcTurnsByP == 0);
            const bool expected =
                before.feed > 0 &&
                (line.linearCode || ((line.axisWordsOnly || unreadWord) && before.motion == Motion::Linear));
            ASSERT_EQ(plain, expected) << line.text;
            if (!plain) {
                ASSERT_TRUE(sameState(after, before)) << line.text;
                ++declined;
                faultsDeclined += step.fault ? 1 : 0;
                continue;
            }
            ++taken;
            codeTakenFromOtherMotion += line.linearCode && before.motion != Motion::Linear ? 1 : 0;
            ASSERT_FALSE(step.fault) << line.text;
            ASSERT_EQ(step.kind, BlockKind::Motion) << line.text;
            ASSERT_EQ(step.move.kind, MoveKind::Linear) << line.text;
            ASSERT_TRUE(sameState(after, step.modal)) << line.text;
        }
    }
    // Both sides, and the interpreter's faults, come up often; so do the
    // lines with the linear code taken from another motion.
    EXPECT_GT(taken, 30000);
    EXPECT_GT(codeTakenFromOtherMotion, 2000);
    EXPECT_GT(declined, 100000);
    EXPECT_GT(faultsDeclined, 10000);
}

// The sums of incremental mode as the interpreter takes them: an axis
// without a word still adds 0, which turns a negative zero positive.
TEST(PlainCut, AddsZeroOnAnAxisWithoutAWordInIncrementalMode)
{
    Settings settings;
    BlockParser parser(settings);
    ParsedBlock block;
    ASSERT_FALSE(parser.parse("X1.", block));
    ModalState state;
    state.motion = Motion::Linear;
    state.feed = 10;
    state.coordinateMode = CoordinateMode::Incremental;
    state.position = {0.5, -0.0, -0.0};
    ASSERT_TRUE(takePlainCut(state, block));
    EXPECT_EQ(state.position[0], 1.5);
    EXPECT_FALSE(std::signbit(state.position[1]));
    EXPECT_FALSE(std::signbit(state.position[2]));

    state.coordinateMode = CoordinateMode::Absolute;
    state.position = {0.5, -0.0, -0.0};
    ASSERT_TRUE(takePlainCut(state, block));
    EXPECT_TRUE(std::signbit(state.position[1]));
}

}  // namespace
}  // namespace drennix
