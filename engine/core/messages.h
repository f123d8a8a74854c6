// Every text a run shows, in one place: the messages, the captions of the
// result fields and the column titles of the absolute display list. Line
// messages are completed by composeLineMessage: "元ﾌｧｲﾙの" + line number +
// the text below.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "fault.h"
#include "vocabulary.h"

namespace drennix {

enum class MessageKind { Warning, Information };

// "元ﾌｧｲﾙの" + lineNumber ("%d") + text.
std::string composeLineMessage(long long lineNumber, std::string_view text);

// The whole message of a fault: a line fault names `line`; the recheck faults
// show their tolerance in the number format of the settings; OutputExists
// names `outputPath`.
// A line of another file than the program (a subprogram's) is named with
// that file: "ﾌｧｲﾙ " + otherFile + " の" + line + text.
std::string faultMessage(const Fault& fault, long long line, const Settings& settings, std::string_view outputPath = {},
                         std::string_view otherFile = {});

// The message of the first field of the machine model out of its range, or
// nothing when every value is allowed.
std::optional<std::string> validateMachineModel(const MachineModel& model);

}  // namespace drennix

namespace drennix::messages {

// The captions of the 14 result fields, in the order of ResultField.
inline constexpr std::array<std::string_view, 14> resultCaptions = {
    "行数：",  "早送距離：", "切削距離：", "最小X：",  "最小Y：",      "最小Z：", "最大X：",
    "最大Y：", "最大Z：",    "時間：",     "円弧数：", "ﾍﾘｶﾙ切削数：", "R差：",   "最大R：",
};

// The column titles of the absolute display list. Ｘ, Ｙ, Ｚ and Ｒ are
// full-width; the tenth title is one space.
inline constexpr std::array<std::string_view, 11> absoluteColumnTitles = {
    "行", "データ", "Ｘ", "Ｙ", "Ｚ", "半径", "始角", "終角", "Ｒ差", " ", "移動距離",
};
// The captions of the check of a conversion: converted arcs, the lines
// written for them, the largest deviation, its source line and the largest
// end error.
inline constexpr std::array<std::string_view, 5> verificationCaptions = {
    "変換円弧数：", "変換後行数：", "最大偏差：", "最大偏差行：", "最大終点誤差：",
};
inline constexpr std::string_view startRowTitle = "開始位置";
inline constexpr std::string_view helicalMark = "ﾍﾘｶﾙ";

// After "\n" comes the ideographic space U+3000.
inline constexpr std::string_view notConverted = "\n　変換はしていません。";

// Input checks of a run.
inline constexpr std::string_view toleranceOutOfRange = "許容値 は 0 超過 1 までの数字を入力して下さい。";
inline constexpr std::string_view noSourceSelected = "元ﾌｧｲﾙ が選択されていません。\n　変換はしていません。";
inline constexpr std::string_view noSuffix = "作成ﾌｧｲﾙ追加文字 が指定されていません。\n　変換はしていません。";
inline constexpr std::string_view sourceMissing = "元ﾌｧｲﾙ が有りません。\n　変換はしていません。";
inline constexpr std::string_view sourceOpenFailed = "元ﾌｧｲﾙ を開くのに失敗しました。\n　変換はしていません。";

// The read loop and the end of the input.
inline constexpr std::string_view escapeWhileReading = "ESCｷｰにより処理を中止します。\n　変換はしていません。";
inline constexpr std::string_view readError = "行目でﾌｧｲﾙの読込みｴﾗｰが発生しました。\n　変換はしていません。";
inline constexpr std::string_view sourceCloseFailedOnAbort = "元ﾌｧｲﾙを閉じるのに失敗しました。";
inline constexpr std::string_view sourceCloseFailed = "元ﾌｧｲﾙを閉じるのに失敗しました。\n　変換はしていません。";
inline constexpr std::string_view calculated = "計算しました。";
inline constexpr std::string_view nothingConverted = "変換が有りませんでした。\n　変換はしていません。";

// Words and numbers.
inline constexpr std::string_view invalidCharacter = "行目で英数字以外の文字が有ります。\n　変換はしていません。";
inline constexpr std::string_view plusInsideNumber = "行目で数値の途中にﾌﾟﾗｽが有ります。\n　変換はしていません。";
inline constexpr std::string_view plusOnly = "行目でﾌﾟﾗｽのみが有ります。\n　変換はしていません。";
inline constexpr std::string_view minusInsideNumber = "行目で数値の途中にﾏｲﾅｽが有ります。\n　変換はしていません。";
inline constexpr std::string_view plusAndPointOnly = "行目でﾌﾟﾗｽと少数点のみが有ります。\n　変換はしていません。";
inline constexpr std::string_view minusOnly = "行目でﾏｲﾅｽのみが有ります。\n　変換はしていません。";
inline constexpr std::string_view minusAndPointOnly = "行目でﾏｲﾅｽと少数点のみが有ります。\n　変換はしていません。";
inline constexpr std::string_view pointOnly = "行目で少数点のみが有ります。\n　変換はしていません。";
inline constexpr std::string_view twoPoints = "行目で数値に少数点が2つ以上有ります。\n　変換はしていません。";
inline constexpr std::string_view numberWithoutAddress =
    "行目で数値のみで英字の無い文字が有ります。\n　変換はしていません。";

// Block rules.
inline constexpr std::string_view duplicateMotion = "行目に 移動指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view duplicatePlane = "行目に 平面指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view duplicateCoordinateMode = "行目に 座標指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view duplicateCoordinateSet =
    "行目に 座標設定指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view duplicateCompensation = "行目に 径補正指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view duplicateValueSet = "行目に 値設定指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view threeCentreWords = "行目に3軸の 円弧中心指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view radiusWithCentre =
    "行目に 円弧半径指令 が有り 円弧中心指令 が有ります。\n　変換はしていません。";

inline constexpr std::string_view coordinateSetIncremental =
    "行目の 座標設定指令 が ｲﾝｸ指令 中です。\n　変換はしていません。";
inline constexpr std::string_view coordinateSetNotRapid =
    "行目の 座標設定指令 が 直線切削指令 中か 右廻円弧指令 中か 左廻円弧指令 中です。\n　変換はしていません。";
inline constexpr std::string_view coordinateSetCompensation =
    "行目の 座標設定指令 が 左径補正指令 中か 右径補正指令 中です。\n　変換はしていません。";
inline constexpr std::string_view coordinateSetArcWords =
    "行目の 座標設定指令 に 円弧中心指令 か 円弧半径指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view coordinateSetMissingAxis =
    "行目の 座標設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有りません。\n　変換はしていません。";
inline constexpr std::string_view coordinateSetValueSet =
    "行目の 座標設定指令 に 値設定指令 が有ります。\n　変換はしていません。";

inline constexpr std::string_view valueSetCompensation =
    "行目の 値設定指令 が 左径補正指令 中か 右径補正指令 中です。\n　変換はしていません。";
inline constexpr std::string_view valueSetCentreWords =
    "行目の 値設定指令 に 円弧中心指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view valueSetAxisWords =
    "行目の 値設定指令 に X軸指令 か Y軸指令 か Z軸指令 が有ります。\n　変換はしていません。";

inline constexpr std::string_view rapidCompensation =
    "行目の 早送指令 中が 左径補正指令 中か 右径補正指令 中です。\n　変換はしていません。";
inline constexpr std::string_view rapidArcWords =
    "行目の 早送指令 中に 円弧中心指令 か 円弧半径指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view linearArcWords =
    "行目の 直線切削指令 中に 円弧中心指令 か 円弧半径指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view linearFeed =
    "行目の 直線切削指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。\n　変換はしていません。";
inline constexpr std::string_view arcFeed =
    "行目の 左右廻円弧指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。\n　変換はしていません。";
inline constexpr std::string_view arcKInXyPlane =
    "行目の 左右廻円弧指令 中で XY平面指令 中に 円弧K指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view arcIInYzPlane =
    "行目の 左右廻円弧指令 中で YZ平面指令 中に 円弧I指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view arcJInZxPlane =
    "行目の 左右廻円弧指令 中で ZX平面指令 中に 円弧J指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view arcWithoutCentreOrRadius =
    "行目の 左右廻円弧指令 中に 円弧中心指令 も 円弧半径指令 も有りません。\n　変換はしていません。";

// Motion and arcs.
inline constexpr std::string_view rapidDistanceUnexpected =
    "行目の 早送指令 中で移動距離の算出が想定外です。\n　変換はしていません。";
inline constexpr std::string_view endRadiusZero =
    "行目の 左右廻円弧指令 中で終点での半径がｾﾞﾛに成りました。\n　変換はしていません。";
inline constexpr std::string_view radiusStartEqualsEnd =
    "行目の 左右廻円弧指令 中の 円弧半径指令 で始点と終点同じです。\n　変換はしていません。";
inline constexpr std::string_view cwEndAboveStart =
    "行目の 右廻円弧指令 中に始角より終角が大きく成りました。\n　変換はしていません。";
inline constexpr std::string_view cwOver360 =
    "行目の 右廻円弧指令 中に始角と終角の差が360°を超えました。\n　変換はしていません。";
inline constexpr std::string_view ccwEndBelowStart =
    "行目の 左廻円弧指令 中に始角より終角が小さく成りました。\n　変換はしていません。";
inline constexpr std::string_view ccwOver360 =
    "行目の 左廻円弧指令 中に始角と終角の差が360°を超えました。\n　変換はしていません。";
// Followed by the recheck tolerance in the number format, then recheckTail.
inline constexpr std::string_view startRecheckHead = "行目の 右左廻円弧指令 中に始点の再計算で";
inline constexpr std::string_view endRecheckHead = "行目の 右左廻円弧指令 中に終点の再計算で";
inline constexpr std::string_view recheckTail = "超過の差が出ました。\n　変換はしていません。";
inline constexpr std::string_view arcTurnsNotWhole =
    "行目の 左右廻円弧指令 中の P が1以上の整数では有りません。\n　変換はしていません。";
// Canned cycles and dwells.
inline constexpr std::string_view cycleWithoutBottom =
    "行目の 固定ｻｲｸﾙ指令 の最初のﾌﾞﾛｯｸに穴底の位置が有りません。\n　変換はしていません。";
inline constexpr std::string_view cycleWithoutRLevel =
    "行目の 固定ｻｲｸﾙ指令 の最初のﾌﾞﾛｯｸにR点の位置が有りません。\n　変換はしていません。";
inline constexpr std::string_view cycleCompensation =
    "行目の 固定ｻｲｸﾙ指令 が 左径補正指令 中か 右径補正指令 中です。\n　変換はしていません。";
inline constexpr std::string_view cycleCentreWords =
    "行目の 固定ｻｲｸﾙ指令 中に 円弧中心指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view cycleFeed =
    "行目の 固定ｻｲｸﾙ指令 中で 速度指令 がｾﾞﾛ未満か 速度指令 が有りません。\n　変換はしていません。";
inline constexpr std::string_view cycleRLevelBeyondBottom =
    "行目の 固定ｻｲｸﾙ指令 中でR点が穴底の先に有ります。\n　変換はしていません。";
inline constexpr std::string_view cyclePeck =
    "行目の 固定ｻｲｸﾙ指令 中で Q の切込み量がｾﾞﾛ以下か Q が有りません。\n　変換はしていません。";
inline constexpr std::string_view cycleTooManyPecks =
    "行目の 固定ｻｲｸﾙ指令 中で Q の切込み回数が多過ぎます。\n　変換はしていません。";
inline constexpr std::string_view cycleWithoutDwell =
    "行目の 固定ｻｲｸﾙ指令 に穴底のﾄﾞｳｪﾙ時間 P が有りません。\n　変換はしていません。";
inline constexpr std::string_view cycleRepeatsInvalid =
    "行目の 固定ｻｲｸﾙ指令 中の繰返し回数が範囲内の整数では有りません。\n　変換はしていません。";
inline constexpr std::string_view cycleNotRead =
    "行目の 固定ｻｲｸﾙ指令 はこの制御では穴加工ｻｲｸﾙでは有りません。\n　変換はしていません。";
inline constexpr std::string_view dwellWithoutTime = "行目の ﾄﾞｳｪﾙ指令 に時間が有りません。\n　変換はしていません。";
inline constexpr std::string_view dwellTimeInvalid =
    "行目の ﾄﾞｳｪﾙ指令 の時間がｾﾞﾛ未満か 整数のﾐﾘ秒では有りません。\n　変換はしていません。";
inline constexpr std::string_view dwellAxisWords = "行目の ﾄﾞｳｪﾙ指令 に移動の指令が有ります。\n　変換はしていません。";
// Reference returns, machine coordinates, work offsets and units.
inline constexpr std::string_view parameterNotRead =
    "行目の # のﾊﾟﾗﾒｰﾀは読めません(ﾊﾟﾗﾒｰﾀと式は対象外です)。\n　変換はしていません。";
inline constexpr std::string_view expressionNotRead =
    "行目の [ ] の式は読めません(ﾊﾟﾗﾒｰﾀと式は対象外です)。\n　変換はしていません。";
inline constexpr std::string_view duplicateUnit = "行目に ｲﾝﾁ･ﾐﾘ指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view duplicateWorkSystem = "行目に ﾜｰｸ座標系指令 が複数有ります。\n　変換はしていません。";
inline constexpr std::string_view machineMoveConflict =
    "行目に 原点復帰指令 か 機械座標指令 が他の非ﾓｰﾀﾞﾙ指令と共に有ります。\n　変換はしていません。";
inline constexpr std::string_view machineMoveCompensation =
    "行目の 原点復帰指令 か 機械座標指令 が 左径補正指令 中か 右径補正指令 中です。\n　変換はしていません。";
inline constexpr std::string_view machineMoveArcWords =
    "行目の 原点復帰指令 か 機械座標指令 中に 円弧中心指令 か 円弧半径指令 が有ります。\n　変換はしていません。";
inline constexpr std::string_view machineMoveMotion =
    "行目の 機械座標指令 が 早送指令 か 直線切削指令 の中では有りません。\n　変換はしていません。";
inline constexpr std::string_view workOffsetSystemInvalid =
    "行目の ｵﾌｾｯﾄ設定 の P が0から9の整数では有りません。\n　変換はしていません。";
inline constexpr std::string_view toolChangeWithoutTool =
    "行目の 工具交換指令 M6 の前に 工具番号 T が有りません。\n　変換はしていません。";
inline constexpr std::string_view toolNumberInvalid =
    "行目の 工具番号 T が0以上の整数では有りません。\n　変換はしていません。";
inline constexpr std::string_view lengthOffsetInvalid =
    "行目の 工具長補正番号 H が0以上の整数では有りません。\n　変換はしていません。";
// Followed by the number, then a tail: a subprogram that cannot be run.
inline constexpr std::string_view subprogramHead = "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ O";
inline constexpr std::string_view subprogramMissingTail = " が有りません。\n　変換はしていません。";
inline constexpr std::string_view subprogramRecursionTail = " の呼出しが再帰に成っています。\n　変換はしていません。";
inline constexpr std::string_view subprogramTooDeepTail = " の呼出しが4重を超えました。\n　変換はしていません。";
inline constexpr std::string_view subprogramWithoutEndTail =
    " に終わり(M99･endsub･endrepeat)が有りません。\n　変換はしていません。";
inline constexpr std::string_view subprogramCallInvalid =
    "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ呼出し M98 の P か繰返し回数が正しく有りません。\n　変換はしていません。";
inline constexpr std::string_view subprogramControlNotRead =
    "行目の o指令 は引数の無い call･sub･endsub と 回数が数値の repeat･endrepeat "
    "だけを読みます(ﾊﾟﾗﾒｰﾀと式は対象外です)。\n　変換はしていません。";
// A converting run that keeps the subprograms as they stand: what it cannot
// write so (each says how it can be converted).
inline constexpr std::string_view subprogramConversion =
    "行目の o指令 の呼出しと繰返しは ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ のままでは変換出来ません"
    "(ｻﾌﾞﾌﾟﾛｸﾞﾗﾑを展開 で変換して下さい)。\n　変換はしていません。";
inline constexpr std::string_view subprogramConversionElsewhere =
    "行目の 円弧 は別ﾌｧｲﾙの ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ に有るので変換出来ません"
    "(ｻﾌﾞﾌﾟﾛｸﾞﾗﾑを展開 で変換して下さい)。\n　変換はしていません。";
inline constexpr std::string_view subprogramConversionDiffers =
    "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ の行の変換が呼出し毎に違います"
    "(ｻﾌﾞﾌﾟﾛｸﾞﾗﾑを展開 で変換して下さい)。\n　変換はしていません。";
// A line of a subprogram's own file: "ﾌｧｲﾙ " + its name + " の" + line + text.
inline constexpr std::string_view otherFileHead = "ﾌｧｲﾙ ";
inline constexpr std::string_view otherFileTail = " の";
inline constexpr std::string_view notFinite = "行目で計算結果が数値の範囲を超えました。\n　変換はしていません。";
inline constexpr std::string_view tooManySegments =
    "行目の 左右廻円弧指令 中で分割数が多過ぎます。\n　変換はしていません。";

// Output file.
inline constexpr std::string_view outputExistsHead = "作成ﾌｧｲﾙ ";
inline constexpr std::string_view outputExistsTail = "\n　が既に有ります。変換はしていません。";
inline constexpr std::string_view outputOpenFailed = "新規に 作成ﾌｧｲﾙ を開くのに失敗しました。\n　変換はしていません。";
inline constexpr std::string_view writeError =
    "新規の作成ﾌｧｲﾙの書込みでｴﾗｰが発生しました。\n　変換は完成していません。";
inline constexpr std::string_view outputCloseFailed =
    "新規の作成ﾌｧｲﾙを閉じるのに失敗しました。\n　変換は完成していません。";
inline constexpr std::string_view outputCreatedTail = "\n　を作成しました。";

// The notes after the results, where the dialect reads inch programs or
// rotary axes.
inline constexpr std::string_view unitMillimetre = "単位：mm";
inline constexpr std::string_view unitInch = "単位：inch";
inline constexpr std::string_view rotaryIgnored = "回転軸 A･B･C の指令は移動距離と時間に含めていません。";

// Tool changes and the figures per tool.
inline constexpr std::string_view toolChangesCaption = "工具交換数：";
inline constexpr std::string_view toolAtStart = "開始時";
inline constexpr std::string_view toolTotalTail = " 計";
inline constexpr std::string_view toolsTotal = "合計";
inline constexpr std::array<std::string_view, 10> toolColumnTitles = {
    "工具", "H", "行", "切削距離", "早送距離", "時間", "推定時間", "最低Z", "送り速度", "主軸回転数",
};

// The estimate of the running time.
inline constexpr std::string_view estimateCaption = "推定時間：";
// "X軸加速度 には 0 超過 1000000 までの数値を入力して下さい。": the range of
// a field of the machine model; "以上" where the minimum itself is allowed,
// "整数" for the integer field.
std::string machineValueOutOfRange(const MachineField& field);

// Comment pairing: S and E are the texts of the comment delimiters.
std::string commentWithoutEnd(std::string_view s, std::string_view e);       // A
std::string commentEndBeforeStart(std::string_view s, std::string_view e);   // B
std::string secondCommentStart(std::string_view s, std::string_view e);      // C
std::string commentFollowedByNumber(std::string_view e);                     // D
std::string commentEndWithoutStart(std::string_view s, std::string_view e);  // E

// "行目の " + letter + " に数値が有りません。" and "行目に " + letter + " が複数有ります。"
std::string addressWithoutNumber(std::string_view letter);
std::string duplicateWord(std::string_view letter);

}  // namespace drennix::messages
