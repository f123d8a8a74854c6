// Arcs in the active plane, watched through whole runs: centre and angles of
// offset and radius arcs (shown in the absolute display in degrees), the
// full circle, the helical flag, arc length and extremes, the arc
// statistics and the messages of impossible arcs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "arc_geometry.h"
#include "engine_run.h"
#include "run_state.h"

namespace drennix::testing {
namespace {

double root(double v) { return std::pow(v, 0.5); }
double square(double v) { return std::pow(v, 2); }
double degrees(double radians) { return radians * 180 / piConstant; }

// Length of an arc that is not converted: r the start radius, R the same
// with its sign, s the swept angle, dH the travel along the helical axis.
double arcLength(double r, double R, double s, double dH) {
    const double twoPi = 2 * piConstant;
    if (s == twoPi) {
        const double b = root(square(R) + square(dH / 4));
        const double q = square((b - r) / (r + b));
        return piConstant * (r + b) * (1 + q / 4);
    }
    const double b = root(square(R) + square(piConstant * dH / (2 * s)));
    const double q = square((b - r) / (r + b));
    return piConstant * s * (r + b) * (1 + q / 4) / twoPi;
}

const std::string kEnd = "\n　変換はしていません。";

class ArcGeometry : public EngineRunTest {
protected:
    // Runs `source` in the absolute display and returns the row of `line`.
    AbsoluteRow arcRow(const std::string& source, int line = 1) {
        run(source, RunMode::AbsoluteDisplay);
        EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
        return host.row(line);
    }
    void expectExtents(const char* minX, const char* minY, const char* maxX, const char* maxY) {
        EXPECT_EQ(field(ResultField::MinX), minX);
        EXPECT_EQ(field(ResultField::MinY), minY);
        EXPECT_EQ(field(ResultField::MaxX), maxX);
        EXPECT_EQ(field(ResultField::MaxY), maxY);
    }
};

// ---- offset arcs -----------------------------------------------------------

// The start vector is -(I, J); a centre word that is absent or 0 turns into
// -0, whose angle is -0 and prints as "-0.000".
const char* const kMinusZero = "-0.000";

TEST_F(ArcGeometry, CounterClockwiseQuarterByOffsets) {
    options.initialX = 10;
    settings.process.decimalPlaces = 9;
    const auto row = arcRow("G3X0.Y10.I-10.F100.");
    EXPECT_EQ(row.cells[2], fixed(0, 9));
    EXPECT_EQ(row.cells[3], fixed(10, 9));
    EXPECT_EQ(row.cells[5], fixed(10, 9));
    EXPECT_EQ(row.cells[6], fixed(-0.0, 9));
    EXPECT_EQ(row.cells[7], fixed(degrees(piConstant / 2), 9));
    EXPECT_EQ(row.cells[8], fixed(0, 9));
    EXPECT_EQ(row.cells[9], "");
    EXPECT_EQ(row.cells[10], fixed(arcLength(10, 10, piConstant / 2, 0), 9));
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(arcLength(10, 10, piConstant / 2, 0), 9));
    EXPECT_EQ(field(ResultField::ArcCount), "1");
    EXPECT_EQ(field(ResultField::HelicalCount), "0");
    EXPECT_EQ(field(ResultField::MaxRadius), fixed(10, 9));
}

TEST_F(ArcGeometry, ClockwiseEndAngleGoesBelowTheStart) {
    options.initialX = 10;
    const auto row = arcRow("G2X0.Y10.I-10.F100.");
    EXPECT_EQ(row.cells[6], kMinusZero);
    EXPECT_EQ(row.cells[7], "-270.000");
    const double swept = 0 - (piConstant / 2 - 2 * piConstant);
    EXPECT_EQ(row.cells[10], fixed(arcLength(10, 10, swept, 0)));
    // Passing -270 (high Y), -180 (low X) and -90 (low Y).
    expectExtents("-10.000", "-10.000", "10.000", "10.000");
}

TEST_F(ArcGeometry, HalfCirclesWidenTheExtentsWithTheDirectionsTheyPass) {
    options.initialX = 10;
    arcRow("G3X-10.Y0.I-10.F100.");
    expectExtents("-10.000", "0.000", "10.000", "10.000");
    host = RecordingHost{};
    arcRow("G2X-10.Y0.I-10.F100.");
    expectExtents("-10.000", "-10.000", "10.000", "0.000");
}

TEST_F(ArcGeometry, TargetAtTheStartIsAFullCircle) {
    options.initialX = 10;
    const auto row = arcRow("G2I-10.F100.");
    EXPECT_EQ(row.cells[6], kMinusZero);
    EXPECT_EQ(row.cells[7], kMinusZero);  // the end angle is the start angle
    EXPECT_EQ(row.cells[10], fixed(arcLength(10, 10, 2 * piConstant, 0)));
    expectExtents("-10.000", "-10.000", "10.000", "10.000");
    EXPECT_EQ(field(ResultField::ArcCount), "1");
}

TEST_F(ArcGeometry, TargetAtTheStartIsAFullCircleWhateverTheRounding) {
    // The centre 0.1 + 0.2 is not exact, so the end vector differs from the
    // start vector in its last bits; the arc must still be a full circle.
    options.initialX = 0.1;
    options.initialY = 0.1;
    settings.process.decimalPlaces = 6;
    const auto row = arcRow("G2I0.2J0.7F100.");
    const double r = root(square(-0.2) + square(-0.7));
    EXPECT_EQ(row.cells[10], fixed(arcLength(r, r, 2 * piConstant, 0), 6));
    EXPECT_EQ(field(ResultField::MaxY), fixed((0.1 + 0.7) + r, 6));
    EXPECT_EQ(field(ResultField::MinX), fixed((0.1 + 0.2) - r, 6));
}

TEST_F(ArcGeometry, HelicalFullCircleLengthTakesAQuarterOfTheTravel) {
    options.initialX = 10;
    settings.process.decimalPlaces = 9;
    const auto row = arcRow("G2Z-4.I-10.F100.");
    EXPECT_EQ(row.cells[9], "ﾍﾘｶﾙ");
    EXPECT_EQ(row.cells[10], fixed(arcLength(10, 10, 2 * piConstant, -4), 9));
    EXPECT_EQ(field(ResultField::HelicalCount), "1");
    EXPECT_EQ(field(ResultField::ArcCount), "0");
}

TEST_F(ArcGeometry, HelicalQuarterLength) {
    options.initialX = 10;
    settings.process.decimalPlaces = 9;
    const auto row = arcRow("G3X0.Y10.Z-1.I-10.F100.");
    EXPECT_EQ(row.cells[4], fixed(-1, 9));
    EXPECT_EQ(row.cells[9], "ﾍﾘｶﾙ");
    EXPECT_EQ(row.cells[10], fixed(arcLength(10, 10, piConstant / 2, -1), 9));
    EXPECT_EQ(field(ResultField::MachiningTime), fixed(arcLength(10, 10, piConstant / 2, -1) / 100, 1));
}

TEST_F(ArcGeometry, AnUnchangedHelicalAxisWordIsNotHelical) {
    options.initialX = 10;
    options.initialZ = 2;
    const auto row = arcRow("G3X0.Y10.Z2.I-10.F100.");
    EXPECT_EQ(row.cells[9], "");
    EXPECT_EQ(field(ResultField::ArcCount), "1");
    EXPECT_EQ(field(ResultField::HelicalCount), "0");
}

TEST_F(ArcGeometry, ZxPlaneMeasuresFromZTowardsX) {
    options.initialZ = 10;
    const auto row = arcRow("G18G3X10.Z0.K-10.F100.");
    EXPECT_EQ(row.cells[6], kMinusZero);
    EXPECT_EQ(row.cells[7], "90.000");
    EXPECT_EQ(field(ResultField::MaxX), "10.000");
    EXPECT_EQ(field(ResultField::MaxZ), "10.000");
    EXPECT_EQ(field(ResultField::ArcCount), "1");
    host = RecordingHost{};
    const auto helical = arcRow("G18G3X10.Y3.Z0.K-10.F100.");
    EXPECT_EQ(helical.cells[9], "ﾍﾘｶﾙ");
}

TEST_F(ArcGeometry, YzPlaneMeasuresFromYTowardsZ) {
    options.initialY = 10;
    const auto row = arcRow("G19G3Y0.Z10.J-10.F100.");
    EXPECT_EQ(row.cells[6], kMinusZero);
    EXPECT_EQ(row.cells[7], "90.000");
    EXPECT_EQ(field(ResultField::MaxZ), "10.000");
}

TEST_F(ArcGeometry, IncrementalTargetAndOffsetsFromTheStart) {
    options.initialX = 10;
    const auto row = arcRow("G91G3X-10.Y10.I-10.F100.J0");
    EXPECT_EQ(row.cells[6], kMinusZero);
    EXPECT_EQ(row.cells[2], "0.000");
    EXPECT_EQ(row.cells[3], "10.000");
    EXPECT_EQ(row.cells[7], "90.000");
}

TEST_F(ArcGeometry, RadiusDifferenceWithinTheRecheckTolerance) {
    options.initialX = 10;
    // The second arc is larger but keeps its radius: each figure takes the
    // largest value of any arc.
    const auto row = arcRow("G3X0.Y10.001I-10.F100.\nG3X-22.Y10.001I-11.");
    EXPECT_EQ(row.cells[8], fixed(std::fabs(10 - root(square(0) + square(10.001)))));
    EXPECT_EQ(row.cells[8], "0.001");
    EXPECT_EQ(host.row(2).cells[8], "0.000");
    EXPECT_EQ(field(ResultField::RadiusDifference), "0.001");
    EXPECT_EQ(field(ResultField::MaxRadius), "11.000");
    EXPECT_EQ(field(ResultField::ArcCount), "2");
}

// ---- radius arcs -----------------------------------------------------------

struct RadiusArcCase {
    std::string name;
    std::string block;  // from (0, 0) to (10, 0)
    const char* radius;
    const char* startAngle;
    const char* endAngle;
    const char* minX;
    const char* minY;
    const char* maxX;
    const char* maxY;
};

class RadiusArc : public ArcGeometry, public ::testing::WithParamInterface<RadiusArcCase> {};

TEST_P(RadiusArc, PutsTheCentreOnTheSideTheSignAsks) {
    const auto& c = GetParam();
    const auto row = arcRow(c.block);
    EXPECT_EQ(row.cells[5], c.radius);
    EXPECT_EQ(row.cells[6], c.startAngle);
    EXPECT_EQ(row.cells[7], c.endAngle);
    EXPECT_EQ(row.cells[8], "0.000");
    expectExtents(c.minX, c.minY, c.maxX, c.maxY);
    EXPECT_EQ(field(ResultField::MaxRadius), "10.000");
}

// Centre (5, ±8.660): the extremes reached are 10 from it.
INSTANTIATE_TEST_SUITE_P(
    Sides, RadiusArc,
    ::testing::Values(
        RadiusArcCase{"ClockwisePositive", "G2X10.R10.F100.", "10.000", "120.000", "60.000",
                      "0.000", "0.000", "10.000", "1.340"},
        RadiusArcCase{"ClockwiseNegative", "G2X10.R-10.F100.", "-10.000", "240.000", "-60.000",
                      "-5.000", "0.000", "15.000", "18.660"},
        RadiusArcCase{"CounterClockwisePositive", "G3X10.R10.F100.", "10.000", "-120.000", "-60.000",
                      "0.000", "-1.340", "10.000", "0.000"},
        RadiusArcCase{"CounterClockwiseNegative", "G3X10.R-10.F100.", "-10.000", "-240.000", "60.000",
                      "-5.000", "-18.660", "15.000", "0.000"}),
    NameOfCase{});

TEST_F(ArcGeometry, RadiusOfHalfTheChordIsAHalfCircle) {
    settings.process.decimalPlaces = 9;
    const auto row = arcRow("G2X10.R5.F100.");
    EXPECT_EQ(row.cells[6], fixed(180, 9));
    EXPECT_EQ(row.cells[7], fixed(0, 9));
    EXPECT_EQ(row.cells[10], fixed(arcLength(5, 5, piConstant, 0), 9));
    EXPECT_EQ(field(ResultField::MaxY), fixed(5, 9));
}

// ---- impossible arcs ------------------------------------------------------

struct ImpossibleArcCase {
    std::string name;
    double initialX;
    int decimalPlaces;
    std::string source;
    std::string message;
};

class ImpossibleArc : public EngineRunTestWithParam<ImpossibleArcCase> {};

TEST_P(ImpossibleArc, StopsTheRunWithItsMessage) {
    options.initialX = GetParam().initialX;
    settings.process.decimalPlaces = GetParam().decimalPlaces;
    run(GetParam().source, RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.messages(), warningOnly(GetParam().message));
    EXPECT_EQ(host.shownResults(), std::nullopt);
}

using IA = ImpossibleArcCase;
INSTANTIATE_TEST_SUITE_P(
    Arcs, ImpossibleArc,
    ::testing::Values(
        IA{"TargetAtTheCentre", 10, 3, "G2X0.Y0.I-10.F100.",
           "元ﾌｧｲﾙの1行目の 左右廻円弧指令 中で終点での半径がｾﾞﾛに成りました。" + kEnd},
        IA{"RadiusArcEndingAtItsStart", 0, 3, "F100\nG2R5.",
           "元ﾌｧｲﾙの2行目の 左右廻円弧指令 中の 円弧半径指令 で始点と終点同じです。" + kEnd},
        IA{"RadiusArcEndingAboveItsStart", 0, 3, "G2Z-1.R5.F100.",
           "元ﾌｧｲﾙの1行目の 左右廻円弧指令 中の 円弧半径指令 で始点と終点同じです。" + kEnd},
        IA{"RadiusTooSmallForTheChord", 0, 3, "G2X10.R4.F100.",
           "元ﾌｧｲﾙの1行目の 右左廻円弧指令 中に始点の再計算で0.002超過の差が出ました。" + kEnd},
        IA{"EndRadiusDiffers", 10, 3, "G3X0.Y11.I-10.F100.",
           "元ﾌｧｲﾙの1行目の 右左廻円弧指令 中に終点の再計算で0.002超過の差が出ました。" + kEnd},
        IA{"RecheckToleranceFollowsTheDecimalPlaces", 10, 4, "G3X0.Y10.001I-10.F100.",
           "元ﾌｧｲﾙの1行目の 右左廻円弧指令 中に終点の再計算で0.0002超過の差が出ました。" + kEnd},
        IA{"RecheckToleranceWithNoDecimals", 10, 0, "G3X0.Y13.I-10.F100.",
           "元ﾌｧｲﾙの1行目の 右左廻円弧指令 中に終点の再計算で2超過の差が出ました。" + kEnd}),
    NameOfCase{});


// ---- the geometry functions -------------------------------------------------

TEST(DirectionAngle, CoversEveryQuadrantAndTheAxes) {
    EXPECT_EQ(directionAngle(0, 0), -piConstant / 2);
    EXPECT_EQ(directionAngle(0, 3), piConstant / 2);
    EXPECT_EQ(directionAngle(0, -3), -piConstant / 2);
    EXPECT_EQ(directionAngle(2, 0), 0.0);
    EXPECT_EQ(directionAngle(2, 2), std::atan(1.0));
    EXPECT_EQ(directionAngle(2, -2), std::atan(-1.0));
    EXPECT_EQ(directionAngle(-2, 0), piConstant);
    EXPECT_EQ(directionAngle(-2, -0.0), piConstant);
    EXPECT_EQ(directionAngle(-2, 2), std::atan(-1.0) + piConstant);
    EXPECT_EQ(directionAngle(-2, -2), std::atan(1.0) - piConstant);
    EXPECT_TRUE(std::signbit(directionAngle(10, -0.0)));
}

TEST(PerimeterApproximation, IsExactForACircle) {
    EXPECT_EQ(perimeterApproximation(10, 10), piConstant * (10 + 10) * (1 + 0.0 / 4));
    const double q = square((12.0 - 10) / (10 + 12.0));
    EXPECT_EQ(perimeterApproximation(10, 12), piConstant * (10 + 12.0) * (1 + q / 4));
}

// A run state positioned at `start` with one arc block, as the word scan
// leaves it.
struct ArcBlock {
    Settings settings;
    RunOptions options;
    RunState state{settings, options};

    ArcBlock(int motion, Point3 start) {
        resetToDefaults(settings);
        state.modal.motion = motion;
        state.modal.feed = 100;
        state.modal.position = start;
    }
    ArcBlock& axis(int index, double value) {
        state.block.axisValue(index) = value;
        state.block.axisWordCount(index) += 1;
        return *this;
    }
    ArcBlock& radius(double r) {
        state.block.r = r;
        state.block.wordCount(AddressKind::Radius) += 1;
        return *this;
    }
};

TEST(ResolveArcByOffsets, QuarterCircleAroundTheOrigin) {
    ArcBlock arc(CounterClockwiseArc, {10, 0, 0});
    arc.axis(AxisIndexX, 0).axis(AxisIndexY, 10);
    arc.state.block.i = -10;
    arc.state.block.wordCount(AddressKind::ArcI) += 1;
    ASSERT_EQ(resolveArcByOffsets(arc.state), 0);
    EXPECT_EQ(arc.state.arc.centreA, 0.0);
    EXPECT_EQ(arc.state.arc.centreB, 0.0);
    EXPECT_EQ(arc.state.block.r, 10.0);
    EXPECT_EQ(arc.state.arc.endRadius, 10.0);
    EXPECT_EQ(arc.state.arc.startAngle, 0.0);
    EXPECT_EQ(arc.state.arc.endAngle, piConstant / 2);
    EXPECT_FALSE(arc.state.block.helical);
}

TEST(ResolveArcByOffsets, EndingAtTheStartGivesEqualAngles) {
    ArcBlock arc(ClockwiseArc, {0.1, 0.1, 0});
    arc.state.block.i = 0.2;
    arc.state.block.j = 0.7;
    arc.state.block.wordCount(AddressKind::ArcI) += 1;
    arc.state.block.wordCount(AddressKind::ArcJ) += 1;
    ASSERT_EQ(resolveArcByOffsets(arc.state), 0);
    EXPECT_EQ(arc.state.arc.endAngle, arc.state.arc.startAngle);
}

struct RadiusCentreCase {
    std::string name;
    int motion;
    double r;
    double centreB;
    double startAngle;
    double endAngle;
};

class ResolveArcByRadius : public ::testing::TestWithParam<RadiusCentreCase> {};

// From (0, 0) to (10, 0): ψ is ±π/2, β = asin(0.5).
TEST_P(ResolveArcByRadius, PlacesTheCentreAndTheAngles) {
    const auto& c = GetParam();
    ArcBlock arc(c.motion, {0, 0, 0});
    arc.axis(AxisIndexX, 10).radius(c.r);
    ASSERT_EQ(resolveArcByRadius(arc.state), 0);
    EXPECT_NEAR(arc.state.arc.centreA, 5, 1e-12);
    EXPECT_NEAR(arc.state.arc.centreB, c.centreB, 1e-12);
    EXPECT_EQ(arc.state.arc.startAngle, c.startAngle);
    EXPECT_EQ(arc.state.arc.endAngle, c.endAngle);
    EXPECT_EQ(arc.state.arc.endRadius, c.r);
    EXPECT_EQ(arc.state.block.r, c.r);
}

const double kHalfPi = piConstant / 2;
const double kBeta = std::asin(0.5);
const double kRise = 10 * std::cos(std::asin(0.5));

INSTANTIATE_TEST_SUITE_P(
    Sides, ResolveArcByRadius,
    ::testing::Values(
        RadiusCentreCase{"ClockwisePositive", ClockwiseArc, 10, -kRise, kHalfPi + kBeta, kHalfPi - kBeta},
        RadiusCentreCase{"ClockwiseNegative", ClockwiseArc, -10, kRise, (-kHalfPi + 2 * piConstant) - kBeta,
                         (-kHalfPi + 2 * piConstant) + kBeta - 2 * piConstant},
        RadiusCentreCase{"CounterClockwisePositive", CounterClockwiseArc, 10, kRise, -kHalfPi - kBeta, -kHalfPi + kBeta},
        RadiusCentreCase{"CounterClockwiseNegative", CounterClockwiseArc, -10, -kRise,
                         (kHalfPi - 2 * piConstant) + kBeta, (kHalfPi - 2 * piConstant) - kBeta + 2 * piConstant}),
    NameOfCase{});

TEST(ResolveArcByRadiusShortRadius, CentreAtTheChordMiddleAndHalfChordEndRadius) {
    ArcBlock arc(ClockwiseArc, {0, 0, 0});
    arc.axis(AxisIndexX, 10).radius(4);
    ASSERT_EQ(resolveArcByRadius(arc.state), 0);
    EXPECT_NEAR(arc.state.arc.centreA, 5, 1e-12);
    EXPECT_NEAR(arc.state.arc.centreB, 0, 1e-12);
    EXPECT_EQ(arc.state.arc.endRadius, 5.0);
    EXPECT_EQ(arc.state.arc.startAngle - arc.state.arc.endAngle, piConstant);
}

}  // namespace
}  // namespace drennix::testing
