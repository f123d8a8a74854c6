// Arcs in the active plane: centre and angles of offset and radius arcs (the
// absolute display shows the angles in degrees), the full circle, the
// helical flag, arc length and extremes, the arc statistics and the messages
// of impossible arcs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "arc_geometry.h"
#include "rejected_source.h"

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

// Length of an arc that is not converted: r the start radius, s the swept
// angle, dH the travel along the helical axis.
double arcLength(double r, double s, double dH)
{
    const double twoPi = 2 * piConstant;
    const double b =
        s == twoPi ? root(square(r) + square(dH / 4)) : root(square(r) + square(piConstant * dH / (2 * s)));
    const double q = square((b - r) / (r + b));
    return s == twoPi ? piConstant * (r + b) * (1 + q / 4) : piConstant * s * (r + b) * (1 + q / 4) / twoPi;
}

TEST(DirectionAngle, CoversEveryQuadrantAndTheAxes)
{
    EXPECT_EQ(directionAngle(0, 0), -piConstant / 2);
    EXPECT_EQ(directionAngle(0, 3), piConstant / 2);
    EXPECT_EQ(directionAngle(2, 2), std::atan(1.0));
    EXPECT_EQ(directionAngle(-2, 0), piConstant);
    EXPECT_EQ(directionAngle(-2, -0.0), piConstant);
    EXPECT_EQ(directionAngle(-2, 2), std::atan(-1.0) + piConstant);
    EXPECT_EQ(directionAngle(-2, -2), std::atan(1.0) - piConstant);
    EXPECT_TRUE(std::signbit(directionAngle(10, -0.0)));
}

struct ArcCase {
    std::string name;
    double x, y, z;       // the start
    std::string source;   // one arc block
    std::string cells;    // radius, start and end angle, radius difference, helical mark
    std::string extents;  // min X, min Y, max X, max Y
    double length;
};

class ArcRow : public EngineRunTestWithParam<ArcCase> {};

TEST_P(ArcRow, ShowsTheArcAndWidensTheExtents)
{
    const auto& c = GetParam();
    options.initialX = c.x, options.initialY = c.y, options.initialZ = c.z;
    run(c.source, RunMode::AbsoluteDisplay);
    ASSERT_EQ(host.messages, kCalculated);
    const auto& cells = host.rows[1].cells;
    EXPECT_EQ(cells[5] + " " + cells[6] + " " + cells[7] + " " + cells[8] + " " + cells[9], c.cells);
    EXPECT_EQ(field(ResultField::MinX) + " " + field(ResultField::MinY) + " " + field(ResultField::MaxX) + " " +
                  field(ResultField::MaxY),
              c.extents);
    EXPECT_EQ(cells[10], fixed(c.length));
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(c.length));
}

// The start vector is -(I, J): an absent or zero centre word becomes -0,
// whose angle prints as "-0.000".
const double kPi = piConstant;
INSTANTIATE_TEST_SUITE_P(
    Arcs, ArcRow,
    ::testing::Values(
        ArcCase{"CounterClockwiseQuarter", 10, 0, 0, "G3X0.Y10.I-10.F100.", "10.000 -0.000 90.000 0.000 ",
                "0.000 0.000 10.000 10.000", arcLength(10, kPi / 2, 0)},
        ArcCase{"ClockwiseThreeQuarters", 10, 0, 0, "G2X0.Y10.I-10.F100.", "10.000 -0.000 -270.000 0.000 ",
                "-10.000 -10.000 10.000 10.000", arcLength(10, 0 - (kPi / 2 - 2 * kPi), 0)},
        ArcCase{"FullCircle", 10, 0, 0, "G2I-10.F100.", "10.000 -0.000 -0.000 0.000 ", "-10.000 -10.000 10.000 10.000",
                arcLength(10, 2 * kPi, 0)},
        ArcCase{"HelicalQuarter", 10, 0, 0, "G3X0.Y10.Z-1.I-10.F100.", "10.000 -0.000 90.000 0.000 ﾍﾘｶﾙ",
                "0.000 0.000 10.000 10.000", arcLength(10, kPi / 2, -1)},
        ArcCase{"UnchangedZWordIsNotHelical", 10, 0, 2, "G3X0.Y10.Z2.I-10.F100.", "10.000 -0.000 90.000 0.000 ",
                "0.000 0.000 10.000 10.000", arcLength(10, kPi / 2, 0)},
        ArcCase{"ZxPlaneFromZTowardsX", 0, 0, 10, "G18G3X10.Y3.Z0.K-10.F100.", "10.000 -0.000 90.000 0.000 ﾍﾘｶﾙ",
                "0.000 0.000 10.000 3.000", arcLength(10, kPi / 2, 3)},
        // From (0, 0) to (10, 0): centre (5, ±8.660), ψ = ±π/2, β = asin(0.5).
        ArcCase{"RadiusClockwise", 0, 0, 0, "G2X10.R10.F100.", "10.000 120.000 60.000 0.000 ",
                "0.000 0.000 10.000 1.340", arcLength(10, 2 * std::asin(0.5), 0)},
        ArcCase{"NegativeRadiusClockwise", 0, 0, 0, "G2X10.R-10.F100.", "-10.000 240.000 -60.000 0.000 ",
                "-5.000 0.000 15.000 18.660", arcLength(10, 2 * kPi - 2 * std::asin(0.5), 0)},
        ArcCase{"RadiusCounterClockwise", 0, 0, 0, "G3X10.R10.F100.", "10.000 -120.000 -60.000 0.000 ",
                "0.000 -1.340 10.000 0.000", arcLength(10, 2 * std::asin(0.5), 0)},
        ArcCase{"NegativeRadiusCounterClockwise", 0, 0, 0, "G3X10.R-10.F100.", "-10.000 -240.000 60.000 0.000 ",
                "-5.000 -18.660 15.000 0.000", arcLength(10, 2 * kPi - 2 * std::asin(0.5), 0)},
        ArcCase{"RadiusOfHalfTheChord", 0, 0, 0, "G2X10.R5.F100.", "5.000 180.000 0.000 0.000 ",
                "0.000 0.000 10.000 5.000", arcLength(5, kPi, 0)},
        // Half circles whose end lies straight above the start: the chord has
        // no X part, by centre offset and by radius.
        ArcCase{"CentreSemicircleEndingAboveItsStart", 0, 0, 0, "G17G02X0.Y10.J5.F100.",
                "5.000 -90.000 -270.000 0.000 ", "-5.000 0.000 0.000 10.000", arcLength(5, kPi, 0)},
        ArcCase{"RadiusSemicircleEndingAboveItsStart", 0, 0, 0, "G17G02X0.Y10.R5.F100.", "5.000 270.000 90.000 0.000 ",
                "-5.000 0.000 0.000 10.000", arcLength(5, kPi, 0)},
        // From 180° round to 150° + 360°: the sweep crosses 270°, 360° and
        // 450°, so every extent reaches the circle, the top one last.
        ArcCase{"CounterClockwisePast450Degrees", -10, 0, 0, "G17G03X-8.66Y5.I10.J0F100.",
                "10.000 180.000 509.999 0.000 ", "-10.000 -10.000 10.000 10.000",
                arcLength(10, std::atan2(5, -8.66) + kPi, 0)},
        // The same downwards: from -150° to -120° - 360°, the bottom reached
        // only at -450°.
        ArcCase{"ClockwisePastMinus450Degrees", -8.66, -5, 0, "G17G02X-5.Y-8.66I8.66J5.F100.",
                "10.000 -149.999 -480.001 0.000 ", "-10.000 -10.000 10.000 10.000",
                arcLength(root(square(8.66) + square(5)), std::atan2(-5, -8.66) - std::atan2(-8.66, -5) + 2 * kPi, 0)}),
    NameOfCase{});

TEST_F(EngineRunTest, ArcLengthIsExactToTheLastDigit)
{
    options.initialX = 10;
    settings.process.decimalPlaces = 9;
    run("G3X0.Y10.Z-1.I-10.F100.\nG2Z-5.I-10.");
    EXPECT_EQ(field(ResultField::CuttingDistance),
              fixed(0 + arcLength(10, piConstant / 2, -1) + arcLength(10, 2 * piConstant, -4), 9));
    EXPECT_EQ(field(ResultField::HelicalCount) + " " + field(ResultField::ArcCount), "2 0");
}

TEST_F(EngineRunTest, TargetAtTheStartIsAFullCircleWhateverTheRounding)
{
    // The centre 0.1 + 0.2 is inexact, so the end vector differs from the
    // start vector in its last bits; the arc is still a full circle.
    options.initialX = 0.1, options.initialY = 0.1;
    settings.process.decimalPlaces = 6;
    run("G2I0.2J0.7F100.");
    const double r = root(square(-0.2) + square(-0.7));
    EXPECT_EQ(field(ResultField::CuttingDistance), fixed(arcLength(r, 2 * piConstant, 0), 6));
    EXPECT_EQ(field(ResultField::MaxY), fixed((0.1 + 0.7) + r, 6));
}

TEST_F(EngineRunTest, ArcStatisticsTakeTheLargestOfAnyArc)
{
    options.initialX = 10;
    run("G3X0.Y10.001I-10.F100.\nG3X-22.Y10.001I-11.", RunMode::AbsoluteDisplay);
    EXPECT_EQ(host.rows[1].cells[8], fixed(std::fabs(10 - root(square(0) + square(10.001)))));
    EXPECT_EQ(host.rows[2].cells[8], "0.000");
    EXPECT_EQ(
        field(ResultField::RadiusDifference) + " " + field(ResultField::MaxRadius) + " " + field(ResultField::ArcCount),
        "0.001 11.000 2");
}

INSTANTIATE_TEST_SUITE_P(
    ImpossibleArcs, RejectedSource,
    ::testing::Values(rejected("TargetAtTheCentre", "G0X10.\nG2X0.Y0.I-10.F100.", 2,
                               "行目の 左右廻円弧指令 中で終点での半径がｾﾞﾛに成りました。"),
                      rejected("RadiusArcEndingAtItsStart", "F100\nG2R5.", 2,
                               "行目の 左右廻円弧指令 中の 円弧半径指令 で始点と終点同じです。"),
                      rejected("RadiusArcEndingAboveItsStart", "G2Z-1.R5.F100.", 1,
                               "行目の 左右廻円弧指令 中の 円弧半径指令 で始点と終点同じです。"),
                      rejected("RadiusTooSmallForTheChord", "G2X10.R4.F100.", 1,
                               "行目の 右左廻円弧指令 中に始点の再計算で0.002超過の差が出ました。"),
                      rejected("EndRadiusDiffers", "G0X10.\nG3X0.Y11.I-10.F100.", 2,
                               "行目の 右左廻円弧指令 中に終点の再計算で0.002超過の差が出ました。"),
                      // End and start direction differ in the last binary digit only; with
                      // the full turn added, the difference rounds to just over 360°
                      // instead of just under it.
                      rejected("ClockwiseSweepRoundedOver360", "G2X.00000000000001Y.000000000000005I5.228J7.434F100.",
                               1, "行目の 右廻円弧指令 中に始角と終角の差が360°を超えました。"),
                      rejected("CounterClockwiseSweepRoundedOver360", "G3X0.Y.000000000000001I2.582J-3.105F100.", 1,
                               "行目の 左廻円弧指令 中に始角と終角の差が360°を超えました。")),
    NameOfCase{});

TEST_F(EngineRunTest, RecheckToleranceFollowsTheDecimalPlaces)
{
    options.initialX = 10;
    settings.process.decimalPlaces = 4;
    run("G3X0.Y10.001I-10.F100.");
    EXPECT_EQ(host.messages,
              warningOnly(lineMessage(1, "行目の 右左廻円弧指令 中に終点の再計算で0.0002超過の差が出ました。")));
    settings.process.decimalPlaces = 0;
    run("G3X0.Y13.I-10.F100.");
    EXPECT_EQ(host.messages,
              warningOnly(lineMessage(1, "行目の 右左廻円弧指令 中に終点の再計算で2超過の差が出ました。")));
}

}  // namespace
}  // namespace drennix::testing
