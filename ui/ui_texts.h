// Every text the desktop program shows of its own, in one place: window
// titles, captions, menu items and the messages of its windows. The texts of a
// run (its messages, the result captions, the list's column titles) are the
// engine's (messages.h). All are UTF-8; `text()` makes a QString of one.
#pragma once

#include <string_view>

#include <QString>

namespace texts {

inline QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The program's name: the caption of the main window and of every message box.
inline constexpr const char* applicationName = "Drennix";

// The main window.
inline constexpr const char* sourceLabel = "元ﾌｧｲﾙ：";
inline constexpr const char* browseButton = "参照(&F)...";
inline constexpr const char* suffixLabel = "作成ﾌｧｲﾙ追加文字(&T)：";
inline constexpr const char* toleranceLabel = "許容値(&A)：";
inline constexpr const char* executeButton = "実行";
inline constexpr const char* exitButton = "終了";
inline constexpr const char* initialXLabel = "初期X位置(&X)：";
inline constexpr const char* initialYLabel = "初期Y位置(&Y)：";
inline constexpr const char* initialZLabel = "初期Z位置(&Z)：";
inline constexpr const char* runModeFrame = "実行項目";
inline constexpr const char* machiningTimeMode = "加工時間(&W)";
inline constexpr const char* absoluteDisplayMode = "アブソ表示(&B)";
inline constexpr const char* convertHelicalMode = "ﾍﾘｶﾙを変換(&C)";
inline constexpr const char* convertArcsMode = "円弧も変換(&R)";
inline constexpr const char* settingsButton = "設定(&S)...";
inline constexpr const char* helpButton = "ﾍﾙﾌﾟ(&H)";
// Opens the toolpath of the last finished run (also in the absolute display
// and the tools window).
inline constexpr const char* toolpathButton = "ﾂｰﾙﾊﾟｽ(&P)";
// Opens the figures per tool of the last run that read tool changes.
inline constexpr const char* toolTableButton = "工具別(&K)";

inline constexpr const char* exitQuestion = "Drennix を終了します。";
inline constexpr const char* initialXNotNumber = "初期X位置 には数値を入力して下さい。";
inline constexpr const char* initialYNotNumber = "初期Y位置 には数値を入力して下さい。";
inline constexpr const char* initialZNotNumber = "初期Z位置 には数値を入力して下さい。";
inline constexpr const char* toleranceNotNumber = "許容値 には数値を入力して下さい。";
inline constexpr const char* toleranceOutsideRange = "許容値 には 0 から 1 までの数値を入力して下さい。";
// After "\n" comes the ideographic space U+3000, as in the run's messages.
inline constexpr const char* runFailedUnexpectedly = "処理中に予期しないｴﾗｰが発生しました。\n　変換はしていません。";
inline constexpr const char* settingsFileUnreadable = "設定ﾌｧｲﾙを読めませんでした。\n　既定値を使います。";

// The file dialog of 参照.
inline constexpr const char* browseTitle = "元ﾌｧｲﾙを指定";
// The filter the dialog opens with, for the usual names of NC programs: %1
// their extensions as the dialog shows them (".nc .ngc ..."), %2 the patterns
// ("*.nc *.ngc ...").
inline constexpr const char* ncProgramsFilter = "NCﾌﾟﾛｸﾞﾗﾑ(%1) (%2)";
inline constexpr const char* ncFilesFilter = "NCﾌｧｲﾙ(.nc*) (*.nc*)";
inline constexpr const char* allFilesFilter = "全てのﾌｧｲﾙ(*.*) (*)";
// The types in its list: a folder, a file named as an NC program, and any
// other file (%1 its extension in capitals; without one, fileType alone).
inline constexpr const char* folderType = "ﾌｫﾙﾀﾞ";
inline constexpr const char* ncProgramType = "NCﾌﾟﾛｸﾞﾗﾑ";
inline constexpr const char* extensionFileType = "%1 ﾌｧｲﾙ";
inline constexpr const char* fileType = "ﾌｧｲﾙ";

// The settings dialog.
inline constexpr const char* settingsTitle = "Drennixの設定";
inline constexpr const char* copyItemsFrame = "複写項目";
inline constexpr const char* copyItemsXY = "XY(&;)";
inline constexpr const char* copyItemsXYZ = "XYZ(&:)";
inline constexpr const char* copyItemsAll = "全項目(&,)";
inline constexpr const char* closeButton = "閉じる";
inline constexpr const char* defaultsButton = "既定値(&D)";
// The tabs of the pages.
inline constexpr const char* firstPageTitle = "基本";
inline constexpr const char* dialectPageTitle = "他の制御装置";
inline constexpr const char* dialectStandard = "標準(&S)";
inline constexpr const char* dialectLinuxCnc = "LinuxCNC(&L)";
inline constexpr const char* dialectFanuc = "FANUC(&F)";
inline constexpr const char* dialectPageNote = "LinuxCNC や grbl の機械向けに書かれたプログラムを読むための設定です。";
// The machine of the estimate, on the same page.
inline constexpr const char* machineFrame = "推定時間の機械";
inline constexpr const char* estimateCheck = "推定時間も計算する(&E)";
inline constexpr const char* machineAxisX = "X軸";
inline constexpr const char* machineAxisY = "Y軸";
inline constexpr const char* machineAxisZ = "Z軸";
// The rows of the machine's fields: three per-axis rows, then one per field.
inline constexpr const char* machineRows[] = {
    "最大送り速度 (mm/min)：", "早送り速度 (mm/min)：", "加速度 (mm/s²)：", "ｺｰﾅｰ許容偏差 (mm)：",
    "先読みﾌﾞﾛｯｸ数：",         "最小ﾌﾞﾛｯｸ時間 (ms)：",  "G73戻り量 (mm)：", "G83逃げ量 (mm)：",
    "工具交換時間 (s)：",      "G28原点 (mm)：",        "G30原点 (mm)：",   "G54ｵﾌｾｯﾄ (mm)：",
    "ｺﾝﾄﾛｰﾗ (generic･grbl)：", "円弧許容誤差 (mm)：",   "ｽﾃｯﾌﾟ数 (/mm)：",  "主軸変更時間 (s)：",
};

// The caption of each edit of the settings dialog, by the field's code name.
// The mnemonic digits 0 to 8 of the motion, plane and coordinate codes are
// their command numbers. Without the mnemonic and the colon, a caption is the
// name the entry messages use.
struct SettingCaption {
    std::string_view field;
    const char* caption;
};

inline constexpr SettingCaption settingCaptions[] = {
    {"rapidSpeed", "早送速度(&-)："},
    {"decimalPlaces", "小数点位置(&^)："},
    {"absoluteDisplayRows", "ｱﾌﾞｿ表示行数(&@)："},
    {"initialMotion", "初期移動指令(&M)："},
    {"initialPlane", "初期平面指令(&P)："},
    {"initialCoordinate", "初期座標指令(&C)："},
    {"commentStart", "注釈開始指令(&S)："},
    {"commentEnd", "注釈終了指令(&E)："},
    {"gCodeLetter", "動作指令(&A)："},
    {"xAxisLetter", "X軸指令(&X)："},
    {"yAxisLetter", "Y軸指令(&Y)："},
    {"zAxisLetter", "Z軸指令(&Z)："},
    {"arcILetter", "円弧I指令(&I)："},
    {"arcJLetter", "円弧J指令(&J)："},
    {"arcKLetter", "円弧K指令(&K)："},
    {"radiusLetter", "円弧半径指令(&R)："},
    {"feedLetter", "速度指令(&F)："},
    {"rapidCode", "早送指令(&0)："},
    {"linearCode", "直線切削指令(&1)："},
    {"cwArcCode", "右廻円弧指令(&2)："},
    {"ccwArcCode", "左廻円弧指令(&3)："},
    {"xyPlaneCode", "XY平面指令(&4)："},
    {"zxPlaneCode", "ZX平面指令(&5)："},
    {"yzPlaneCode", "YZ平面指令(&6)："},
    {"absoluteCode", "ｱﾌﾞｿ指令(&7)："},
    {"incrementalCode", "ｲﾝｸ指令(&8)："},
    {"coordinateSetCode", "座標設定指令(&9)："},
    {"compCancelCode", "径補正解除指令(&[)："},
    {"compLeftCode", "左径補正指令(&])："},
    {"compRightCode", "右径補正指令(&/)："},
    {"valueSetCode", "値設定指令(&.)："},
    {"calculatorDecimals", "電卓型小数点入力(&1)"},
    {"lowerCaseLetters", "小文字の指令(&2)"},
    {"semicolonComments", "ｾﾐｺﾛﾝ注釈(&3)"},
    {"endAtProgramEnd", "M2･M30で終了(&4)"},
    {"arcTurnsByP", "Pで円弧の周回数(&5)"},
    {"cannedCycles", "固定ｻｲｸﾙ G73～G89(&6)"},
    {"dwell", "ﾄﾞｳｪﾙ G4(&7)"},
    {"linuxcncCycles", "LinuxCNC式 (P秒･L回数)(&8)"},
    {"expandCycles", "変換で固定ｻｲｸﾙを展開(&9)"},
    {"toleranceIncludesRounding", "許容値に数値の丸めを含める(&0)"},
    {"referenceReturn", "原点復帰 G28･G30･機械座標 G53(&G)"},
    {"inchUnits", "ｲﾝﾁ G20･ﾐﾘ G21(&N)"},
    {"workOffsets", "ﾜｰｸ座標系 G54～G59･G10 L2(&O)"},
    {"spacesInWords", "語中の空白･ﾀﾌﾞを無視(&V)"},
    {"partialCoordinateSet", "G92で一部の軸を設定(&J)"},
    {"rotaryAxes", "回転軸 A･B･C を読む(&K)"},
    {"rapidUnderCompensation", "径補正中の早送 G0(&B)"},
    {"expressionsNamed", "ﾊﾟﾗﾒｰﾀ･式を指摘(&M)"},
    {"toolChanges", "工具交換 T･M6と工具別の数値(&P)"},
    {"subprograms", "ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ M98･M99･o call(&Z)"},
    {"expandSubprograms", "ｻﾌﾞﾌﾟﾛｸﾞﾗﾑを展開して変換(&Q)"},
};

// The entry messages of the settings dialog follow the field's name.
inline constexpr const char* letterTooLong = " には半角の1文字を入力して下さい。";
inline constexpr const char* notAnInteger = " には整数を入力して下さい。";
inline constexpr const char* notANumber = " には数値を入力して下さい。";
// %1 and %2 are the limits.
inline constexpr const char* outsideLimits = " には %1 から %2 までの整数を入力して下さい。";

// The absolute display.
inline constexpr const char* absoluteDisplayTitle = "Drennixのｱﾌﾞｿ表示";
inline constexpr const char* copyMenuItem = "ｺﾋﾟｰ(&C)\tCtrl+C";
inline constexpr const char* helpMenuItem = "ﾍﾙﾌﾟ(&H)\tF1";
inline constexpr const char* noSelection = "行番号を選択して下さい。\n　ｺﾋﾟｰしていません。";

// The tools window; its copy and help items are those of the absolute display.
inline constexpr const char* toolTableTitle = "Drennixの工具別";
// The summary of several programs: its title, and "%1" of "%2" programs done.
inline constexpr const char* summaryTitle = "Drennixの一覧";
inline constexpr const char* summaryProgress = "%2本の内 %1本が終わりました（ESCｷｰで中止）";
inline constexpr const char* noToolSelection = "工具の行を選択して下さい。\n　ｺﾋﾟｰしていません。";

// The toolpath window.
inline constexpr const char* toolpathTitle = "Drennixのﾂｰﾙﾊﾟｽ";
inline constexpr const char* viewXY = "XY(&1)";
inline constexpr const char* viewXZ = "XZ(&2)";
inline constexpr const char* viewYZ = "YZ(&3)";
inline constexpr const char* viewIsometric = "等角(&4)";
inline constexpr const char* fitAllButton = "全体表示(&A)";
inline constexpr const char* showWrittenBox = "変換後の直線(&L)";
// Before the bands of deviation: within the tolerance, within it and the
// rounding of the written numbers, beyond (a fault).
inline constexpr const char* legendTitle = "偏差：";
inline constexpr const char* legendBands[] = {"許容値以内", "数値の丸め分以内", "丸め分を超過"};
// The moves coloured by the speed the estimate planned for them.
inline constexpr const char* showSpeedsBox = "速度で色分け(&S)";
inline constexpr const char* speedLegendTitle = "到達速度/指令速度：";
inline constexpr const char* speedLegendBands[] = {"90%以上", "50%以上", "25%以上", "25%未満"};
// In a corner of the picture while the picture of the view is being drawn.
inline constexpr const char* drawingNote = "描画中…";
inline constexpr const char* clickHint = "移動をｸﾘｯｸすると、その行を表示します。";
// %1 is the source line's number, %2 its text.
inline constexpr const char* clickedLine = "%1行目：%2";
inline constexpr const char* verificationUnreadable = "作成ﾌｧｲﾙを読み返せませんでした。";
inline constexpr const char* verificationMismatch = "作成ﾌｧｲﾙの%1行目が変換結果と合いません。";

// The manual's window; %1 is the version.
inline constexpr const char* helpTitle = "Drennix %1 ﾍﾙﾌﾟ";

}  // namespace texts
