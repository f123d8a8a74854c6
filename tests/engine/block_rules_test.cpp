// What a block may hold: duplicate commands and words, the coordinate-set,
// value-set, rapid, linear and arc rules, the order in which they are tried,
// and the modal state as each G word leaves it.
#include <gtest/gtest.h>

#include <string>

#include "rejected_source.h"

namespace drennix::testing {
namespace {

INSTANTIATE_TEST_SUITE_P(
    Duplicates, RejectedSource,
    ::testing::Values(
        rejected("TwoMotionCodes", "G00G01X10.", 1, "行目に 移動指令 が複数有ります。"),
        rejected("SameMotionThreeWays", "G0G00G0.0", 1, "行目に 移動指令 が複数有ります。"),
        rejected("TwoPlanes", "G17G18", 1, "行目に 平面指令 が複数有ります。"),
        rejected("TwoCoordinateModes", "G90 G91", 1, "行目に 座標指令 が複数有ります。"),
        rejected("TwoCoordinateSets", "G92G92X0.Y0.Z0.", 1, "行目に 座標設定指令 が複数有ります。"),
        rejected("TwoCompensations", "G41G42", 1, "行目に 径補正指令 が複数有ります。"),
        rejected("TwoValueSets", "G10G10", 1, "行目に 値設定指令 が複数有ります。"),
        rejected("MotionBeforePlane", "G18G17G1G0", 1, "行目に 移動指令 が複数有ります。"),
        rejected("CompensationBeforeValueSet", "G10G10G40G40", 1, "行目に 径補正指令 が複数有ります。"),
        rejected("CommandsBeforeWords", "X1.X2.G90G91", 1, "行目に 座標指令 が複数有ります。"),
        rejected("X", "G0X1X2", 1, "行目に X が複数有ります。"),
        rejected("Y", "G0X1.\nY1.Y1.", 2, "行目に Y が複数有ります。"),
        rejected("Z", "Z1.Z2.", 1, "行目に Z が複数有ります。"),
        rejected("I", "G2I1.I2.", 1, "行目に I が複数有ります。"),
        rejected("J", "G2J1.J2.", 1, "行目に J が複数有ります。"),
        rejected("K", "G2K1.K2.", 1, "行目に K が複数有ります。"),
        rejected("R", "G2R1.R2.", 1, "行目に R が複数有ります。"),
        rejected("F", "F100F200", 1, "行目に F が複数有ります。"),
        rejected("XBeforeF", "F1.F2.X1.X2.", 1, "行目に X が複数有ります。"),
        rejected("DuplicateBeforeThreeCentres", "I1.I1.J1.K1.", 1, "行目に I が複数有ります。"),
        rejected("ThreeCentreWords", "G2X10.I5.J5.K5.", 1, "行目に3軸の 円弧中心指令 が有ります。"),
        rejected("ThreeCentresBeforeRadius", "R1.I1.J1.K1.", 1, "行目に3軸の 円弧中心指令 が有ります。"),
        rejected("RadiusWithCentre", "G2X10.R5.I5.", 1, "行目に 円弧半径指令 が有り 円弧中心指令 が有ります。"),
        rejected("RadiusWithZeroCentre", "G2X10.R5.K0", 1, "行目に 円弧半径指令 が有り 円弧中心指令 が有ります。")),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    CoordinateAndValueSet, RejectedSource,
    ::testing::Values(
        rejected("C1Incremental", "G91G92X0.Y0.Z0.", 1, "行目の 座標設定指令 が ｲﾝｸ指令 中です。"),
        rejected("C1BeforeC5", "G91\nG92 X0.", 2, "行目の 座標設定指令 が ｲﾝｸ指令 中です。"),
        rejected("C2AfterLinear", "G01X5.F100.\nG92X0.Y0.Z0.", 2,
                 "行目の 座標設定指令 が 直線切削指令 中か 右廻円弧指令 中か 左廻円弧指令 中です。"),
        rejected("C3Compensation", "G0G41G92X0.Y0.Z0.", 1,
                 "行目の 座標設定指令 が 左径補正指令 中か 右径補正指令 中です。"),
        rejected("C4ZeroCentreWord", "G92X0.Y0.Z0.J0", 1,
                 "行目の 座標設定指令 に 円弧中心指令 か 円弧半径指令 が有ります。"),
        rejected("C5MissingZ", "G92X0.Y0.", 1, "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。"),
        rejected("C6ValueSet", "G92G10X0.Y0.Z0.", 1, "行目の 座標設定指令 に 値設定指令 が有ります。"),
        rejected("V1Compensation", "G41 G10 R5", 1, "行目の 値設定指令 が 左径補正指令 中か 右径補正指令 中です。"),
        rejected("V2ZeroCentreWord", "G10P1K0", 1, "行目の 値設定指令 に 円弧中心指令 が有ります。"),
        rejected("V3Axis", "G10X1", 1, "行目の 値設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有ります。"),
        rejected("V2BeforeV3", "G10Z1.J1.", 1, "行目の 値設定指令 に 円弧中心指令 が有ります。")),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    Moves, RejectedSource,
    ::testing::Values(
        rejected("Q1CompensationAlone", "G41", 1, "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。"),
        rejected("Q1AfterCompensatedCut", "G1G42X1.F100.\nM05\nG0R1.", 3,
                 "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。"),
        rejected("Q2ZeroCentreWord", "G0X1.I0", 1, "行目の 早送指令 中に 円弧中心指令 か 円弧半径指令 が有ります。"),
        rejected("Q2RadiusWord", "G0X1.R1.", 1, "行目の 早送指令 中に 円弧中心指令 か 円弧半径指令 が有ります。"),
        rejected("L1BeforeL2", "G1X1.R1.", 1, "行目の 直線切削指令 中に 円弧中心指令 か 円弧半径指令 が有ります。"),
        rejected("L1MotionLaterInBlock", "X1.J1.G1", 1,
                 "行目の 直線切削指令 中に 円弧中心指令 か 円弧半径指令 が有ります。"),
        rejected("L2NoFeedYet", "G01X10", 1, "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。"),
        rejected("L2NegativeFeed", "G01X10F-5", 1,
                 "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。"),
        rejected("L2FeedTakenAway", "G1X1.F100.\nF0", 2,
                 "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。"),
        rejected("A1BeforeA2", "G2X10.K5.", 1,
                 "行目の 左右廻円弧指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。"),
        rejected("A1BeforeA5", "G3X10.F-1.", 1,
                 "行目の 左右廻円弧指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。"),
        rejected("A2KInXy", "F100\nG2X10.Y10.K5.", 2,
                 "行目の 左右廻円弧指令 中で XY平面指令 中に 円弧K指令 が有ります。"),
        rejected("A3IInYz", "F100\nG19G2Y10.Z10.I5.", 2,
                 "行目の 左右廻円弧指令 中で YZ平面指令 中に 円弧I指令 が有ります。"),
        rejected("A4JInZxCarriedOver", "F100\nG18\nG2X10.Z10.J5.", 3,
                 "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。"),
        rejected("A5NoCentreNoRadius", "F100\nG2X10.", 2,
                 "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。"),
        rejected("A5ZeroCentreWords", "F100\nG02 X10 Y0 I0 J0", 2,
                 "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。"),
        rejected("A5ZeroRadius", "F100\nG3Z1.R0", 2,
                 "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。")),
    NameOfCase{});

TEST_F(EngineRunTest, RulesUseCommandNumbersAndConfiguredLetters)
{
    settings.vocabulary.zxPlaneCode = 19;
    settings.vocabulary.yzPlaneCode = 18;
    settings.vocabulary.xAxisLetter = "U";
    run("F100\nG19G2U10.Z10.J5.");
    EXPECT_EQ(host.messages,
              warningOnly(lineMessage(2, "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。")));
    run("G0U1.U2.");
    EXPECT_EQ(host.messages, warningOnly(lineMessage(1, "行目に U が複数有ります。")));
}

TEST_F(EngineRunTest, StartUpModalStateComesFromTheSettings)
{
    settings.process.initialMotion = 1;
    run("X1.");
    EXPECT_EQ(host.messages,
              warningOnly(lineMessage(1, "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。")));
    settings.process = {};
    settings.process.initialPlane = 5;
    run("F100\nG2X10.Z10.J5.");
    EXPECT_EQ(host.messages,
              warningOnly(lineMessage(2, "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。")));
    settings.process = {};
    settings.process.initialCoordinate = 8;
    run("G0X1.\nG0X1.");
    EXPECT_EQ(field(ResultField::MaxX), "2.000");
}

TEST_F(EngineRunTest, BlocksThatPassEveryRule)
{
    for (const char* source :
         {"G01 G17 G90 G40 X10 F100", "G04G65\nG00G04X1.", "G1G41X1.F100.\nG40G00X10.",
          "G1G41X10.F100.\nG2X0.I-5.\nM05\nG3G42X10.R5.", "G92X0.Y0.Z0.", "G10P1R5.L2\nG10F100\nG1X1.",
          "G1X1.F100.\nG2F200", "G2X10.I5.K0F100.", "F100\nG3I-5."}) {
        run(source);
        EXPECT_EQ(host.messages, kCalculated) << source;
    }
}

}  // namespace
}  // namespace drennix::testing
