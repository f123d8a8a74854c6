// Straight moves and their figures: the staged rapid path, the cutting
// length, time by feed and rapid speed, incremental and absolute targets,
// coordinate setting and the extents of the program.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

#include "block_interpreter.h"
#include "block_parser.h"
#include "engine_run.h"
#include "motion.h"

namespace drennix::testing {
namespace {

double root(double v)
{
    return std::pow(v, 0.5);
}
double square(double v)
{
    return std::pow(v, 2);
}

TEST(RapidPathLength, DiagonalStagesThenTheStraightRest)
{
    EXPECT_EQ(rapidPathLength(10, 4, 0), root(square(4) + square(4)) + 6);                       // 11.657
    EXPECT_EQ(rapidPathLength(2, 5, 3), root(3 * square(2)) + root(square(1) + square(1)) + 2);  // 6.878
    EXPECT_EQ(rapidPathLength(4, 6, 1), root(3 * square(1)) + root(square(3) + square(3)) + 2);
    EXPECT_EQ(rapidPathLength(0, 2, 7), root(square(2) + square(2)) + 5);
    EXPECT_EQ(rapidPathLength(7, 7, 7), root(3 * square(7)));
    EXPECT_EQ(rapidPathLength(0, 0, 0), 0.0);
    EXPECT_EQ(rapidPathLength(std::numeric_limits<double>::quiet_NaN(), 0, 0), std::nullopt);
    EXPECT_EQ(straightLength(1, 2, 2), root(square(1) + square(2) + square(2)));
}

TEST_F(EngineRunTest, AllResultFieldsOfAStraightProgram)
{
    settings.process.decimalPlaces = 9;
    run("G0X10.Y4.Z-1.\nG1X13.Y8.F50.\nG91G0Z3.\n");
    const double rapid = root(3 * square(1)) + root(square(3) + square(3)) + 6;
    ResultTexts expected;
    expected.texts = {"4",          fixed(0 + rapid + 3, 9),
                      fixed(5, 9),  fixed(0, 9),
                      fixed(0, 9),  fixed(-1, 9),
                      fixed(13, 9), fixed(8, 9),
                      fixed(2, 9),  fixed(0 + rapid / 3000 + 5.0 / 50 + 3.0 / 3000, 1),
                      "0",          "0",
                      fixed(0, 9),  fixed(0, 9)};
    EXPECT_EQ(host.results, expected);
}

TEST_F(EngineRunTest, TimeIsDistanceOverFeedOrRapidSpeed)
{
    settings.process.rapidSpeed = 10;
    run("G1X100.F200.\nG0X50.\nG0X100.");
    EXPECT_EQ(field(ResultField::MachiningTime), "10.5");
    settings = {};
    resetToDefaults(settings);
    settings.process.decimalPlaces = 0;
    run("G1X1000F3\nG0X4000\nG0X1000");
    EXPECT_EQ(field(ResultField::MachiningTime), fixed(0 + 1000.0 / 3 + 3000.0 / 3000 + 3000.0 / 3000, 1));
    EXPECT_EQ(field(ResultField::CuttingDistance), "1000");
}

TEST_F(EngineRunTest, IncrementalAndAbsoluteTargets)
{
    run("G91G0X1.Y2.\nX1.Y2.\nG1Z-3.F100.\nG1\nG90G0X7.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.rows[2].cells[2] + " " + host.rows[2].cells[3], "2.000 4.000");
    EXPECT_EQ(host.rows[4].cells[4] + " " + host.rows[4].cells[10], "-3.000 0.000");  // no words, no travel
    EXPECT_EQ(host.rows[5].cells[3] + " " + host.rows[5].cells[10], "4.000 5.000");   // Y keeps its place
    EXPECT_EQ(field(ResultField::RapidDistance), fixed(2 * (root(square(1) + square(1)) + 1) + 5));
}

TEST_F(EngineRunTest, CoordinateSetMovesWithoutDistanceOrTime)
{
    options.initialY = -2;
    run("G92X-5.Y6.Z7.\nG0X0.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.rows[1].cells[10], "0.000");
    EXPECT_EQ(field(ResultField::MinX) + " " + field(ResultField::MinY) + " " + field(ResultField::MaxZ),
              "-5.000 -2.000 7.000");
    EXPECT_EQ(field(ResultField::RapidDistance), "5.000");
}

TEST_F(EngineRunTest, ExtentsAreStrictAndStartAtTheInitialPosition)
{
    // -0 equals 0, so a strict comparison keeps "0.000".
    options.initialZ = 3.5;
    run("M30\nG0X-0.Y-0.");
    EXPECT_EQ(field(ResultField::MinX) + " " + field(ResultField::MaxY) + " " + field(ResultField::MinZ),
              "0.000 0.000 3.500");
}

struct NotFiniteCase {
    std::string name;
    std::string program;
    RunMode mode;
    int line;
};

class NotFiniteValue : public EngineRunTestWithParam<NotFiniteCase> {};

// A figure beyond the range of a double rejects its block: nothing that is
// not a number is shown, listed, written or told as a move, and the moves
// told are those of the blocks before it.
TEST_P(NotFiniteValue, RejectsTheBlock)
{
    host.listensToMoves = true;
    run(GetParam().program, GetParam().mode);
    EXPECT_EQ(host.messages, warningOnly(lineMessage(GetParam().line, "行目で計算結果が数値の範囲を超えました。")));
    EXPECT_FALSE(host.results.has_value());
    EXPECT_FALSE(std::filesystem::exists(outputPath()));
    for (const auto& [line, row] : host.rows) {
        for (const std::string& cell : row.cells)
            EXPECT_EQ(cell.find("inf"), std::string::npos) << cell;
    }
    ASSERT_EQ(host.moves.size(), static_cast<std::size_t>(GetParam().line - 1));
    for (const Move& move : host.moves) {
        EXPECT_LT(move.line, GetParam().line);
        EXPECT_TRUE(std::isfinite(move.length)) << move.line;
    }
}

const std::string kHuge = "1" + std::string(400, '0') + ".";   // beyond the double range: infinite
const std::string kLarge = "1" + std::string(308, '0') + ".";  // 1e308: twice is beyond it

INSTANTIATE_TEST_SUITE_P(
    Cases, NotFiniteValue,
    ::testing::Values(
        NotFiniteCase{"HugeWord", "G0X1.\nG0X" + kHuge + "\nG0X0.", RunMode::MachiningTime, 2},
        NotFiniteCase{"HugeWordListed", "G1X" + kHuge + "F100.", RunMode::AbsoluteDisplay, 1},
        NotFiniteCase{"IncrementalSum", "G91G0X" + kLarge + "\nX" + kLarge + "\nX1.", RunMode::MachiningTime, 2},
        NotFiniteCase{"TravelBetweenExtremes", "G0X" + kLarge + "\nG0X-" + kLarge, RunMode::MachiningTime, 2},
        // Both ends are numbers; the length between them is not.
        NotFiniteCase{"CutLengthAlone", "G1X1.F100.\nG1X1" + std::string(200, '0') + ".", RunMode::AbsoluteDisplay, 2},
        // After straight moves that were checked, one figure alone overflows.
        NotFiniteCase{"OnlyTheRapidDistance", "G0X" + kLarge + "\nG0X0.", RunMode::MachiningTime, 2},
        NotFiniteCase{"OnlyTheTime", "G1X1.F100.\nG1X1" + std::string(150, '0') + ".F0." + std::string(199, '0') + "1",
                      RunMode::MachiningTime, 2},
        // The radius of offsets of 1e-300 underflows to 0: its length is not a number.
        NotFiniteCase{"TinyFullCircle", "G2I0." + std::string(299, '0') + "1F100.", RunMode::MachiningTime, 1},
        NotFiniteCase{"ConvertedHelixToInfinity", "G0X10.\nG2X10.I-5.Z" + kHuge + "F100.", RunMode::ConvertArcs, 2}),
    NameOfCase{});

// A start beyond the range: the extents hold it until the first move, whose
// end is a number, is checked.
TEST_F(EngineRunTest, AStartBeyondTheRangeRejectsTheFirstMove)
{
    options.initialY = std::numeric_limits<double>::infinity();
    run("G1X1.Y0.F100.\nG1X2.");
    EXPECT_EQ(host.messages, warningOnly(lineMessage(1, "行目で計算結果が数値の範囲を超えました。")));
}

}  // namespace
}  // namespace drennix::testing

namespace drennix::testing {
namespace {

// A reader that follows only positions gets every step the run gets, faults
// included, apart from the lengths of cutting moves, which it leaves 0.
TEST(CuttingLength, NotNeededChangesNothingButTheCuttingLengths)
{
    const Settings settings;
    BlockParser parser(settings);
    const char* const program[] = {
        "G0X10.Y5.",     "G1X20.F100.",      "G2X30.Y15.I10.",   "G3X20.Y5.R10.Z-2.", "G1G91X1.Y1.Z1.", "G90",
        "G2X25.I2.5",    "G1X0Y0Z0",         "G2X10.Y10.R3.",    "G3X1.I1.J1.K1.",    "G1X5.I1.",       "G0Z5.",
        "G17G2X5.Y5.R0", "G18G3X0Z0I-2.5K0", "G19G2Y8.Z3.J4.K0", "G1X1.E5",           "G92X0Y0Z0",      "G0X1.G1",
    };
    ModalState measuredState = startingState(settings, Point3{});
    ModalState positionsState = measuredState;
    Step measured;
    Step positions;
    long long line = 0;
    for (const char* text : program) {
        ++line;
        SCOPED_TRACE(text);
        ParsedBlock block;
        if (parser.parse(text, block) || block.blank) {
            continue;
        }
        interpretBlock(measuredState, block, 3, line, measured);
        interpretBlock(positionsState, block, 3, line, positions, CuttingLength::NotNeeded);
        ASSERT_EQ(measured.fault, positions.fault);
        if (measured.fault) {
            continue;
        }
        EXPECT_EQ(measured.kind, positions.kind);
        EXPECT_EQ(measured.modal.position, positions.modal.position);
        EXPECT_EQ(measured.modal.motion, positions.modal.motion);
        EXPECT_EQ(measured.modal.plane, positions.modal.plane);
        EXPECT_EQ(measured.move.kind, positions.move.kind);
        EXPECT_EQ(measured.move.end, positions.move.end);
        if (measured.kind == BlockKind::Motion) {
            EXPECT_EQ(positions.move.length, measured.move.kind == MoveKind::Rapid ? measured.move.length : 0.0);
        }
        measuredState = measured.modal;
        positionsState = positions.modal;
    }
}

}  // namespace
}  // namespace drennix::testing
