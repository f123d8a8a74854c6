#include "vocabulary.h"

#include <array>
#include <utility>

namespace drennix {

namespace {

using V = CommandVocabulary;
using P = ProcessSettings;

SettingField letterField(std::string_view name, std::string_view messageName, std::string V::*member)
{
    SettingField f{name, messageName, SettingKind::Letter};
    f.letter = member;
    return f;
}

SettingField codeField(std::string_view name, std::string_view messageName, double V::*member)
{
    SettingField f{name, messageName, SettingKind::GCode};
    f.code = member;
    return f;
}

SettingField integerField(std::string_view name, std::string_view messageName, int P::*member, bool hasLimits,
                          int minimum, int maximum)
{
    SettingField f{name, messageName, SettingKind::Integer};
    f.integer = member;
    f.hasLimits = hasLimits;
    f.minimum = minimum;
    f.maximum = maximum;
    return f;
}

// Letters and G-codes in validation order, then the process settings.
const std::array<SettingField, 53> fields = {
    letterField("commentStart", "注釈開始指令", &V::commentStart),
    letterField("commentEnd", "注釈終了指令", &V::commentEnd),
    letterField("gCodeLetter", "動作指令", &V::gCodeLetter),
    letterField("xAxisLetter", "X軸指令", &V::xAxisLetter),
    letterField("yAxisLetter", "Y軸指令", &V::yAxisLetter),
    letterField("zAxisLetter", "Z軸指令", &V::zAxisLetter),
    letterField("arcILetter", "円弧I指令", &V::arcILetter),
    letterField("arcJLetter", "円弧J指令", &V::arcJLetter),
    letterField("arcKLetter", "円弧K指令", &V::arcKLetter),
    letterField("radiusLetter", "円弧半径指令", &V::radiusLetter),
    letterField("feedLetter", "速度指令", &V::feedLetter),
    codeField("rapidCode", "早送指令", &V::rapidCode),
    codeField("linearCode", "直線切削指令", &V::linearCode),
    codeField("cwArcCode", "右廻円弧指令", &V::cwArcCode),
    codeField("ccwArcCode", "左廻円弧指令", &V::ccwArcCode),
    codeField("valueSetCode", "値設定指令", &V::valueSetCode),
    codeField("xyPlaneCode", "XY平面指令", &V::xyPlaneCode),
    codeField("zxPlaneCode", "ZX平面指令", &V::zxPlaneCode),
    codeField("yzPlaneCode", "YZ平面指令", &V::yzPlaneCode),
    codeField("absoluteCode", "ｱﾌﾞｿ指令", &V::absoluteCode),
    codeField("incrementalCode", "ｲﾝｸ指令", &V::incrementalCode),
    codeField("coordinateSetCode", "座標設定指令", &V::coordinateSetCode),
    codeField("compCancelCode", "径補正解除指令", &V::compCancelCode),
    codeField("compLeftCode", "左径補正指令", &V::compLeftCode),
    codeField("compRightCode", "右径補正指令", &V::compRightCode),
    integerField("rapidSpeed", "早送速度", &P::rapidSpeed, false, 0, 0),
    integerField("decimalPlaces", "小数点位置", &P::decimalPlaces, true, 0, 9),
    integerField("absoluteDisplayRows", "ｱﾌﾞｿ表示行数", &P::absoluteDisplayRows, true, 99, 99999),
    integerField("initialMotion", "初期移動指令", &P::initialMotion, true, 0, 3),
    integerField("initialPlane", "初期平面指令", &P::initialPlane, true, 4, 6),
    integerField("initialCoordinate", "初期座標指令", &P::initialCoordinate, true, 7, 8),
    integerField("copyItems", "複写項目", &P::copyItems, true, 0, 2),
    integerField("calculatorDecimals", "電卓型小数点入力", &P::calculatorDecimals, true, 0, 1),
    integerField("lowerCaseLetters", "小文字の指令", &P::lowerCaseLetters, true, 0, 1),
    integerField("semicolonComments", "ｾﾐｺﾛﾝ注釈", &P::semicolonComments, true, 0, 1),
    integerField("endAtProgramEnd", "M2･M30で終了", &P::endAtProgramEnd, true, 0, 1),
    integerField("arcTurnsByP", "Pで円弧の周回数", &P::arcTurnsByP, true, 0, 1),
    integerField("cannedCycles", "固定ｻｲｸﾙ", &P::cannedCycles, true, 0, 1),
    integerField("dwell", "G4ﾄﾞｳｪﾙ", &P::dwell, true, 0, 1),
    integerField("linuxcncCycles", "LinuxCNC式ｻｲｸﾙ", &P::linuxcncCycles, true, 0, 1),
    integerField("expandCycles", "固定ｻｲｸﾙを展開", &P::expandCycles, true, 0, 1),
    integerField("toleranceIncludesRounding", "許容値に丸めを含める", &P::toleranceIncludesRounding, true, 0, 1),
    integerField("referenceReturn", "G28･G30･G53", &P::referenceReturn, true, 0, 1),
    integerField("inchUnits", "G20･G21ｲﾝﾁ", &P::inchUnits, true, 0, 1),
    integerField("workOffsets", "G54～G59･G10ｵﾌｾｯﾄ", &P::workOffsets, true, 0, 1),
    integerField("spacesInWords", "語中の空白･ﾀﾌﾞ", &P::spacesInWords, true, 0, 1),
    integerField("partialCoordinateSet", "G92の一部の軸", &P::partialCoordinateSet, true, 0, 1),
    integerField("rotaryAxes", "回転軸A･B･C", &P::rotaryAxes, true, 0, 1),
    integerField("rapidUnderCompensation", "径補正中のG0", &P::rapidUnderCompensation, true, 0, 1),
    integerField("expressionsNamed", "式･ﾊﾟﾗﾒｰﾀの指摘", &P::expressionsNamed, true, 0, 1),
    integerField("toolChanges", "工具交換", &P::toolChanges, true, 0, 1),
    integerField("subprograms", "ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ", &P::subprograms, true, 0, 1),
    integerField("expandSubprograms", "ｻﾌﾞﾌﾟﾛｸﾞﾗﾑを展開", &P::expandSubprograms, true, 0, 1),
};

constexpr std::size_t letterCount = 11;
constexpr std::size_t codeCount = 14;

std::span<const SettingField> letterFields()
{
    return std::span(fields).subspan(0, letterCount);
}
std::span<const SettingField> codeFields()
{
    return std::span(fields).subspan(letterCount, codeCount);
}

std::string sameValueMessage(const SettingField& first, const SettingField& second)
{
    std::string text(first.messageName);
    text += " と ";
    text += second.messageName;
    text += " が同じの為に入力し直して下さい。";
    return text;
}

const std::string CommandVocabulary::*const addressLetters[] = {
    &CommandVocabulary::gCodeLetter, &CommandVocabulary::xAxisLetter,  &CommandVocabulary::yAxisLetter,
    &CommandVocabulary::zAxisLetter, &CommandVocabulary::arcILetter,   &CommandVocabulary::arcJLetter,
    &CommandVocabulary::arcKLetter,  &CommandVocabulary::radiusLetter, &CommandVocabulary::feedLetter,
};

}  // namespace

const std::string& letterOf(const CommandVocabulary& vocabulary, AddressKind kind)
{
    return vocabulary.*addressLetters[static_cast<int>(kind)];
}

void resetToDefaults(Settings& settings)
{
    settings = Settings{};
}

void applyDialect(ProcessSettings& process, Dialect dialect)
{
    const int linuxcnc = dialect == Dialect::LinuxCnc ? 1 : 0;
    const int cycles = dialect == Dialect::Standard ? 0 : 1;
    process.calculatorDecimals = linuxcnc;
    process.lowerCaseLetters = linuxcnc;
    process.semicolonComments = linuxcnc;
    process.endAtProgramEnd = linuxcnc;
    process.arcTurnsByP = linuxcnc;
    process.cannedCycles = cycles;
    process.dwell = cycles;
    process.linuxcncCycles = linuxcnc;
    process.referenceReturn = cycles;
    process.inchUnits = cycles;
    process.workOffsets = cycles;
    process.spacesInWords = linuxcnc;
    process.partialCoordinateSet = linuxcnc;
    process.rotaryAxes = linuxcnc;
    process.rapidUnderCompensation = linuxcnc;
    process.expressionsNamed = linuxcnc;
    process.toolChanges = cycles;
    process.subprograms = cycles;
}

int classifyFirstCharacter(std::string_view text)
{
    if (text.empty()) {
        return 2;
    }
    const auto c = static_cast<signed char>(text.front());
    if (c < 0x21 || c > 0x7E) {
        return 2;
    }
    if (c < 0x2B || c > 0x39) {
        return 0;
    }
    if (c == ',' || c == '/') {
        return 0;
    }
    return 1;
}

std::optional<VocabularyFault> findVocabularyFault(const Settings& settings)
{
    const CommandVocabulary& v = settings.vocabulary;

    for (const SettingField& f : letterFields()) {
        if ((v.*f.letter).empty()) {
            return VocabularyFault{std::string(f.messageName) + " を入力して下さい。", f.name, {}};
        }
    }
    if (settings.process.rapidSpeed < 10) {
        return VocabularyFault{"早送り速度 には10以上を入力して下さい。", "rapidSpeed", {}};
    }
    for (const SettingField& f : letterFields()) {
        if (classifyFirstCharacter(v.*f.letter) != 0) {
            return VocabularyFault{std::string(f.messageName) + " が英字以外の為に入力し直して下さい。", f.name, {}};
        }
    }
    const auto letters = letterFields();
    for (std::size_t i = 0; i + 1 < letters.size(); ++i) {
        for (std::size_t j = i + 1; j < letters.size(); ++j) {
            if (v.*letters[i].letter == v.*letters[j].letter) {
                return VocabularyFault{sameValueMessage(letters[i], letters[j]), letters[i].name, letters[j].name};
            }
        }
    }
    const auto codes = codeFields();
    for (std::size_t i = 0; i + 1 < codes.size(); ++i) {
        for (std::size_t j = i + 1; j < codes.size(); ++j) {
            if (v.*codes[i].code == v.*codes[j].code) {
                return VocabularyFault{sameValueMessage(codes[i], codes[j]), codes[i].name, codes[j].name};
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> validateVocabulary(const Settings& settings)
{
    std::optional<VocabularyFault> fault = findVocabularyFault(settings);
    if (!fault) {
        return std::nullopt;
    }
    return std::move(fault->message);
}

std::span<const SettingField> settingFields()
{
    return fields;
}

const SettingField* findSettingField(std::string_view name)
{
    for (const SettingField& f : fields) {
        if (f.name == name) {
            return &f;
        }
    }
    return nullptr;
}

}  // namespace drennix
