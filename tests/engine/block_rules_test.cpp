// What a block may hold: duplicate commands and words, the coordinate-set,
// value-set, rapid, linear and arc rules with their messages, the order in
// which they are tried, and the modal state as each G word leaves it.
#include <gtest/gtest.h>

#include <string>

#include "engine_run.h"

namespace drennix::testing {
namespace {

struct RuleCase {
    std::string name;
    std::string source;
    int line;
    std::string message;  // after "元ﾌｧｲﾙの" + line
};

class BlockRule : public EngineRunTestWithParam<RuleCase> {};

TEST_P(BlockRule, RejectsTheBlockWithItsMessage) {
    run(GetParam().source);
    EXPECT_EQ(host.messages(), warningOnly(lineMessage(GetParam().line, GetParam().message)));
    EXPECT_EQ(field(ResultField::LineCount), std::to_string(GetParam().line));
}

const std::string kEnd = "\n　変換はしていません。";
using C = RuleCase;

INSTANTIATE_TEST_SUITE_P(
    DuplicateCommands, BlockRule,
    ::testing::Values(
        C{"TwoMotionCodes", "G00G01X10.", 1, "行目に 移動指令 が複数有ります。" + kEnd},
        C{"SameMotionThreeWays", "G0G00G0.0", 1, "行目に 移動指令 が複数有ります。" + kEnd},
        C{"TwoPlanes", "G17G18", 1, "行目に 平面指令 が複数有ります。" + kEnd},
        C{"TwoCoordinateModes", "G90 G91", 1, "行目に 座標指令 が複数有ります。" + kEnd},
        C{"TwoCoordinateSets", "G92G92X0.Y0.Z0.", 1, "行目に 座標設定指令 が複数有ります。" + kEnd},
        C{"TwoCompensations", "G41G42", 1, "行目に 径補正指令 が複数有ります。" + kEnd},
        C{"TwoValueSets", "G10G10", 1, "行目に 値設定指令 が複数有ります。" + kEnd},
        C{"MotionBeforePlane", "G18G17G1G0", 1, "行目に 移動指令 が複数有ります。" + kEnd},
        C{"ValueSetLastOfTheCommands", "G10G10G40G40", 1, "行目に 径補正指令 が複数有ります。" + kEnd},
        C{"CommandsBeforeWords", "X1.X2.G90G91", 1, "行目に 座標指令 が複数有ります。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    DuplicateWords, BlockRule,
    ::testing::Values(
        C{"X", "G0X1X2", 1, "行目に X が複数有ります。" + kEnd},
        C{"Y", "G0X1.\nY1.Y1.", 2, "行目に Y が複数有ります。" + kEnd},
        C{"Z", "Z1.Z2.", 1, "行目に Z が複数有ります。" + kEnd},
        C{"I", "G2I1.I2.", 1, "行目に I が複数有ります。" + kEnd},
        C{"J", "G2J1.J2.", 1, "行目に J が複数有ります。" + kEnd},
        C{"K", "G2K1.K2.", 1, "行目に K が複数有ります。" + kEnd},
        C{"R", "G2R1.R2.", 1, "行目に R が複数有ります。" + kEnd},
        C{"F", "F100F200", 1, "行目に F が複数有ります。" + kEnd},
        C{"XBeforeF", "F1.F2.X1.X2.", 1, "行目に X が複数有ります。" + kEnd},
        C{"ZBeforeI", "I1.I2.Z1.Z2.", 1, "行目に Z が複数有ります。" + kEnd},
        C{"DuplicateBeforeThreeCentres", "I1.I1.J1.K1.", 1, "行目に I が複数有ります。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    ArcWordCombinations, BlockRule,
    ::testing::Values(
        C{"ThreeCentreWords", "G2X10.I5.J5.K5.", 1, "行目に3軸の 円弧中心指令 が有ります。" + kEnd},
        C{"ThreeCentresBeforeRadius", "R1.I1.J1.K1.", 1, "行目に3軸の 円弧中心指令 が有ります。" + kEnd},
        C{"RadiusWithCentre", "G2X10.R5.I5.", 1, "行目に 円弧半径指令 が有り 円弧中心指令 が有ります。" + kEnd},
        C{"RadiusWithZeroCentreWord", "G2X10.R5.K0", 1, "行目に 円弧半径指令 が有り 円弧中心指令 が有ります。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    CoordinateSet, BlockRule,
    ::testing::Values(
        C{"C1Incremental", "G91G92X0.Y0.Z0.", 1, "行目の 座標設定指令 が ｲﾝｸ指令 中です。" + kEnd},
        C{"C1BeforeC5", "G91 G92 X0.", 1, "行目の 座標設定指令 が ｲﾝｸ指令 中です。" + kEnd},
        C{"C2AfterLinear", "G01X5.F100.\nG92X0.Y0.Z0.", 2,
          "行目の 座標設定指令 が 直線切削指令 中か 右廻円弧指令 中か 左廻円弧指令 中です。" + kEnd},
        C{"C2Arc", "G3G92X0.Y0.Z0.", 1,
          "行目の 座標設定指令 が 直線切削指令 中か 右廻円弧指令 中か 左廻円弧指令 中です。" + kEnd},
        C{"C3Compensation", "G0G41G92X0.Y0.Z0.", 1,
          "行目の 座標設定指令 が 左径補正指令 中か 右径補正指令 中です。" + kEnd},
        C{"C4Radius", "G92X0.Y0.Z0.R1.", 1, "行目の 座標設定指令 に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"C4ZeroCentreWord", "G92X0.Y0.Z0.J0", 1, "行目の 座標設定指令 に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"C5MissingZ", "G92X0.Y0.", 1, "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。" + kEnd},
        C{"C5BeforeC6", "G92G10X0.", 1, "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。" + kEnd},
        C{"C6ValueSet", "G92G10X0.Y0.Z0.", 1, "行目の 座標設定指令 に 値設定指令 が有ります。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    ValueSet, BlockRule,
    ::testing::Values(
        C{"V1Compensation", "G41 G10 R5", 1, "行目の 値設定指令 が 左径補正指令 中か 右径補正指令 中です。" + kEnd},
        C{"V2Centre", "G10I1.", 1, "行目の 値設定指令 に 円弧中心指令 が有ります。" + kEnd},
        C{"V2ZeroCentreWord", "G10P1K0", 1, "行目の 値設定指令 に 円弧中心指令 が有ります。" + kEnd},
        C{"V3Axis", "G10X1", 1, "行目の 値設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有ります。" + kEnd},
        C{"V2BeforeV3", "G10Z1.J1.", 1, "行目の 値設定指令 に 円弧中心指令 が有ります。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    Rapid, BlockRule,
    ::testing::Values(
        C{"Q1CompensationOnItsOwn", "G41", 1, "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。" + kEnd},
        C{"Q1AfterCompensatedCut", "G1G41X1.F100.\nM05\nG0X2.", 3,
          "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。" + kEnd},
        C{"Q1RightCompensation", "G1G42X1.F100.\nG0", 2,
          "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。" + kEnd},
        C{"Q2Radius", "G0X1.R1.", 1, "行目の 早送指令 中に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"Q2ZeroCentreWord", "G0X1.I0", 1, "行目の 早送指令 中に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"Q1BeforeQ2", "G1G41X1.F100.\nG0R1.", 2,
          "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    Linear, BlockRule,
    ::testing::Values(
        C{"L1Centre", "G1X1.J1.F100.", 1, "行目の 直線切削指令 中に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"L1BeforeL2", "G1X1.R1.", 1, "行目の 直線切削指令 中に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"L2NoFeedYet", "G01X10", 1, "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd},
        C{"L2ZeroFeed", "G01X10F0", 1, "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd},
        C{"L2NegativeFeed", "G01X10F-5", 1, "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd},
        C{"L2FeedTakenAwayLater", "G1X1.F100.\nF0\n", 2,
          "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    Arc, BlockRule,
    ::testing::Values(
        C{"A1NoFeed", "G2X10.I5.", 1, "行目の 左右廻円弧指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd},
        C{"A1BeforeA2", "G2X10.K5.", 1, "行目の 左右廻円弧指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd},
        C{"A1BeforeA5", "G3X10.F-1.", 1, "行目の 左右廻円弧指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd},
        C{"A2KInXyPlane", "F100\nG2X10.Y10.K5.", 2,
          "行目の 左右廻円弧指令 中で XY平面指令 中に 円弧K指令 が有ります。" + kEnd},
        C{"A3IInYzPlane", "F100\nG19G2Y10.Z10.I5.", 2,
          "行目の 左右廻円弧指令 中で YZ平面指令 中に 円弧I指令 が有ります。" + kEnd},
        C{"A4JInZxPlane", "F100\nG18G2X10.Z10.J5.", 2,
          "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。" + kEnd},
        C{"A5NoCentreNoRadius", "F100\nG2X10.", 2,
          "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。" + kEnd},
        C{"A5ZeroCentreWords", "F100\nG02 X10 Y0 I0 J0", 2,
          "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。" + kEnd},
        C{"A5ZeroRadius", "F100\nG3Z1.R0", 2,
          "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。" + kEnd}),
    NameOfCase{});

INSTANTIATE_TEST_SUITE_P(
    ModalStateAsTheBlockLeavesIt, BlockRule,
    ::testing::Values(
        C{"MotionSetLaterInTheBlock", "X1.R1.G1", 1,
          "行目の 直線切削指令 中に 円弧中心指令 か 円弧半径指令 が有ります。" + kEnd},
        C{"PlaneCarriesOver", "F100\nG18\nG2X1.Z1.J1.", 3,
          "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。" + kEnd},
        C{"IncrementalCarriesOver", "G91\nG92X0.Y0.Z0.", 2, "行目の 座標設定指令 が ｲﾝｸ指令 中です。" + kEnd}),
    NameOfCase{});

TEST_F(EngineRunTest, RulesUseCommandNumbersNotConfiguredCodes) {
    settings.vocabulary.zxPlaneCode = 19;
    settings.vocabulary.yzPlaneCode = 18;
    run("F100\nG19G2X10.Z10.J5.");
    EXPECT_EQ(host.messages(), warningOnly(lineMessage(2, "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。" + kEnd)));
}

TEST_F(EngineRunTest, ConfiguredLettersNameTheDuplicate) {
    settings.vocabulary.xAxisLetter = "U";
    run("G0U1.U2.");
    EXPECT_EQ(host.messages(), warningOnly(lineMessage(1, "行目に U が複数有ります。" + kEnd)));
}

TEST_F(EngineRunTest, StartUpModalStateComesFromTheSettings) {
    settings.process.initialMotion = 1;
    run("X1.");
    EXPECT_EQ(host.lastMessage(), lineMessage(1, "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。" + kEnd));

    host = RecordingHost{};
    settings.process.initialMotion = 0;
    settings.process.initialPlane = 5;
    run("F100\nG2X10.Z10.J5.");
    EXPECT_EQ(host.lastMessage(), lineMessage(2, "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。" + kEnd));

    host = RecordingHost{};
    settings.process.initialPlane = 4;
    settings.process.initialCoordinate = 8;
    run("G0X1.\nG0X1.");
    EXPECT_EQ(field(ResultField::MaxX), "2.000");
}

struct AcceptedCase {
    std::string name;
    std::string source;
};

class AcceptedBlock : public EngineRunTestWithParam<AcceptedCase> {};

TEST_P(AcceptedBlock, PassesEveryRule) {
    run(GetParam().source);
    EXPECT_EQ(host.messages(), informationOnly("計算しました。"));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, AcceptedBlock,
    ::testing::Values(
        AcceptedCase{"OneWordOfEachGroup", "G01 G17 G90 G40 X10 F100"},
        AcceptedCase{"UnknownCodesAreNeverDuplicates", "G04G65\nG00G04X1."},
        AcceptedCase{"CompensationCancelledInTheRapidBlock", "G1G41X1.F100.\nG40G00X10."},
        AcceptedCase{"CompensationAllowsLinearAndArcs", "G1G41X10.F100.\nG2X0.I-5.\nM05\nG3G42X10.R5."},
        AcceptedCase{"CoordinateSet", "G92X0.Y0.Z0."},
        AcceptedCase{"ValueSetWithOtherWords", "G10P1R5.L2"},
        AcceptedCase{"ValueSetChangesTheFeed", "G10F100\nG1X1."},
        AcceptedCase{"ArcOnlyChangingTheFeed", "G1X1.F100.\nG2F200"},
        AcceptedCase{"ArcWithZeroKInXyPlane", "G2X10.I5.K0F100."},
        AcceptedCase{"ArcWithCentreWordsAndNoAxis", "F100\nG3I-5."}),
    NameOfCase{});

}  // namespace
}  // namespace drennix::testing
