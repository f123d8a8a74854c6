// Straight moves and their figures: the staged rapid path, the straight
// cutting length, time by feed and rapid speed, incremental and absolute
// targets, coordinate setting and the extents of the program.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "engine_run.h"
#include "motion.h"

namespace drennix::testing {
namespace {

double root(double v) { return std::pow(v, 0.5); }
double square(double v) { return std::pow(v, 2); }

struct RapidCase {
    std::string name;
    std::string block;
    double expected;  // the staged path length, built as the model builds it
    std::string shown;
};

class RapidModel : public EngineRunTestWithParam<RapidCase> {};

TEST_P(RapidModel, AddsDiagonalStagesThenTheStraightRest) {
    settings.process.decimalPlaces = 9;
    run(GetParam().block);
    EXPECT_EQ(field(ResultField::RapidDistance), fixed(GetParam().expected, 9));
    EXPECT_EQ(fixed(GetParam().expected, 3), GetParam().shown);
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(0, 9));
}

INSTANTIATE_TEST_SUITE_P(
    Travels, RapidModel,
    ::testing::Values(
        RapidCase{"TwoAxesThenOne", "G0X10.Y4.", root(square(4) + square(4)) + 6, "11.657"},
        RapidCase{"ThreeAxesThenTwoThenOne", "G0X2.Y5.Z3.", root(3 * square(2)) + root(square(1) + square(1)) + 2, "6.878"},
        RapidCase{"EqualOnAllAxes", "G0X-3.Y3.Z-3.", root(3 * square(3)), "5.196"},
        RapidCase{"ZSmallest", "G0X4.Y6.Z1.", root(3 * square(1)) + root(square(3) + square(3)) + 2, "7.975"},
        RapidCase{"YAndZ", "G0Y2.Z7.", root(square(2) + square(2)) + 5, "7.828"},
        RapidCase{"OneAxis", "G0Z-8.", 8, "8.000"},
        RapidCase{"NoTravel", "G0X0.", 0, "0.000"}),
    NameOfCase{});

TEST_F(EngineRunTest, LinearLengthIsTheStraightDistance) {
    settings.process.decimalPlaces = 9;
    run("G1X1.Y2.Z-2.F100.\nG1X4.Y6.");
    const double length = root(square(1) + square(2) + square(2)) + root(square(3) + square(4) + square(0));
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(length, 9));
    EXPECT_EQ(field(ResultField::RapidDistance), fixed(0, 9));
}

TEST_F(EngineRunTest, TimeIsDistanceOverFeedOrRapidSpeed) {
    settings.process.rapidSpeed = 10;
    run("G1X100.F200.\nG0X50.\nG0X100.");
    EXPECT_EQ(field(ResultField::MachiningTime), "10.5");
    EXPECT_EQ(field(ResultField::CuttingDistance), "100.000");
    EXPECT_EQ(field(ResultField::RapidDistance), "100.000");
}

TEST_F(EngineRunTest, TimeShowsOneDecimalWhateverTheDecimalPlaces) {
    settings.process.decimalPlaces = 0;
    run("G1X1000F3");
    EXPECT_EQ(field(ResultField::MachiningTime), fixed(1000.0 / 3, 1));
    EXPECT_EQ(field(ResultField::CuttingDistance), "1000");
}

TEST_F(EngineRunTest, DefaultRapidSpeedIs3000) {
    run("G0X50.\nG0X0.\nG0X50.\n");
    EXPECT_EQ(field(ResultField::MachiningTime), fixed(0 + 50.0 / 3000 + 50.0 / 3000 + 50.0 / 3000, 1));
    settings.process.decimalPlaces = 9;
    host = RecordingHost{};
    run("G0X3000.\nG0X0.\nG0X1500.\n");
    EXPECT_EQ(field(ResultField::MachiningTime), "2.5");
}

TEST_F(EngineRunTest, IncrementalMovesAddToThePosition) {
    run("G91G0X1.Y2.\nX1.Y2.\nG1Z-3.F100.\nG1", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.row(2).cells[2], "2.000");
    EXPECT_EQ(host.row(2).cells[3], "4.000");
    EXPECT_EQ(host.row(4).cells[4], "-3.000");
    EXPECT_EQ(host.row(4).cells[10], "0.000");
    EXPECT_EQ(field(ResultField::RapidDistance), fixed(2 * (root(square(1) + square(1)) + 1)));
    EXPECT_EQ(field(ResultField::CuttingDistance), "3.000");
}

TEST_F(EngineRunTest, AbsoluteAxisWithoutWordKeepsItsPosition) {
    run("G0X5.Y5.\nG0X7.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.row(2).cells[2], "7.000");
    EXPECT_EQ(host.row(2).cells[3], "5.000");
    EXPECT_EQ(host.row(2).cells[10], "2.000");
}

TEST_F(EngineRunTest, CoordinateSetMovesWithoutDistanceOrTime) {
    run("G92X-5.Y6.Z7.\nG0X0.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.row(1).cells[10], "0.000");
    EXPECT_EQ(field(ResultField::MinX), "-5.000");
    EXPECT_EQ(field(ResultField::MaxY), "6.000");
    EXPECT_EQ(field(ResultField::MaxZ), "7.000");
    EXPECT_EQ(field(ResultField::MinY), "0.000");
    EXPECT_EQ(field(ResultField::RapidDistance), "5.000");
}

TEST_F(EngineRunTest, ExtentsStartAtTheInitialPosition) {
    options.initialX = 1;
    options.initialY = -2;
    options.initialZ = 3.5;
    run("M30\n");
    const ResultField fields[] = {ResultField::MinX, ResultField::MinY, ResultField::MinZ,
                                  ResultField::MaxX, ResultField::MaxY, ResultField::MaxZ};
    const char* expected[] = {"1.000", "-2.000", "3.500", "1.000", "-2.000", "3.500"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(field(fields[i]), expected[i]);
}

TEST_F(EngineRunTest, ExtentsFollowEveryPositionReached) {
    run("G0X5.Y-1.\nG0X-2.Z4.\nG1Y3.Z-6.F100.\nG0X0.Y0.Z0.");
    const ResultField fields[] = {ResultField::MinX, ResultField::MinY, ResultField::MinZ,
                                  ResultField::MaxX, ResultField::MaxY, ResultField::MaxZ};
    const char* expected[] = {"-2.000", "-1.000", "-6.000", "5.000", "3.000", "4.000"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(field(fields[i]), expected[i]);
}

TEST_F(EngineRunTest, AllResultFieldsOfAStraightProgram) {
    run("G0X10.Y4.\nG1X13.Y8.F50.\n", RunMode::MachiningTime);
    ResultTexts expected;
    const double rapid = root(square(4) + square(4)) + 6;
    expected[ResultField::LineCount] = "3";
    expected[ResultField::RapidDistance] = fixed(rapid);
    expected[ResultField::CuttingDistance] = "5.000";
    expected[ResultField::MinX] = "0.000";
    expected[ResultField::MinY] = "0.000";
    expected[ResultField::MinZ] = "0.000";
    expected[ResultField::MaxX] = "13.000";
    expected[ResultField::MaxY] = "8.000";
    expected[ResultField::MaxZ] = "0.000";
    expected[ResultField::MachiningTime] = fixed(0 + rapid / 3000 + 5.0 / 50, 1);
    expected[ResultField::ArcCount] = "0";
    expected[ResultField::HelicalCount] = "0";
    expected[ResultField::RadiusDifference] = "0.000";
    expected[ResultField::MaxRadius] = "0.000";
    EXPECT_EQ(host.shownResults(), expected);
}

TEST_F(EngineRunTest, RapidTravelThatIsNotANumberStopsTheRun) {
    // A word too long for a double becomes infinite; moving from infinity to
    // infinity leaves a travel that is not a number.
    const std::string huge = "1" + std::string(400, '0') + ".";
    run("G0X" + huge + "\nG0X" + huge + "\nG0X0.");
    EXPECT_EQ(host.messages(),
              warningOnly("元ﾌｧｲﾙの2行目の 早送指令 中で移動距離の算出が想定外です。\n　変換はしていません。"));
}


TEST(RapidPathLength, StagesAsDocumented) {
    EXPECT_EQ(rapidPathLength(10, 4, 0), root(square(4) + square(4)) + 6);
    EXPECT_EQ(rapidPathLength(2, 5, 3), root(3 * square(2)) + root(square(1) + square(1)) + 2);
    EXPECT_EQ(rapidPathLength(7, 7, 7), root(3 * square(7)));
    EXPECT_EQ(rapidPathLength(0, 0, 0), 0.0);
    EXPECT_EQ(rapidPathLength(0, 0, 2.5), 2.5);
}

TEST(RapidPathLength, TravelThatIsNotANumberHasNoLength) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(rapidPathLength(nan, 0, 0), std::nullopt);
    EXPECT_EQ(rapidPathLength(1, nan, 2), std::nullopt);
}

TEST(StraightLength, IsTheRootOfTheSquares) {
    EXPECT_EQ(straightLength(3, 4, 0), 5.0);
    EXPECT_EQ(straightLength(1, 2, 2), root(square(1) + square(2) + square(2)));
}

TEST(Extents, WidenOnlyOnStrictComparison) {
    // -0 equals 0: a strict comparison keeps the +0 extents.
    RunStatistics statistics = RunStatistics::startingAt({0, 2, 3});
    ModalState state;
    state.position = {-0.0, 2, 4};
    widenExtents(state, statistics);
    EXPECT_FALSE(std::signbit(statistics.minimum[0]));
    EXPECT_FALSE(std::signbit(statistics.maximum[0]));
    EXPECT_EQ(statistics.minimum, (Point3{0, 2, 3}));
    EXPECT_EQ(statistics.maximum, (Point3{0, 2, 4}));
}

TEST_F(EngineRunTest, NegativeZeroPositionLeavesTheExtentsAtZero) {
    run("G0X-0.Y-0.");
    EXPECT_EQ(field(ResultField::MinX), "0.000");
    EXPECT_EQ(field(ResultField::MaxY), "0.000");
}


TEST_F(EngineRunTest, FiguresThatAreNotNumbersPrintAsNan) {
    // Cutting from infinity to infinity: the travel is not a number.
    const std::string huge = "1" + std::string(400, '0') + ".";
    run("G1X" + huge + "F100.\nG1X" + huge);
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
    EXPECT_EQ(field(ResultField::MaxX), "inf");
    for (ResultField f : {ResultField::CuttingDistance, ResultField::MachiningTime}) {
        const std::string& text = field(f);
        EXPECT_TRUE(text == "nan" || text == "-nan") << text;
    }
}

}  // namespace
}  // namespace drennix::testing
