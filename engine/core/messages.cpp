#include "messages.h"

#include "number_format.h"
#include "numerics.h"

namespace drennix::messages {

namespace {

std::string join(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (std::string_view p : pieces) {
        text += p;
    }
    return text;
}

}  // namespace

std::string commentWithoutEnd(std::string_view s, std::string_view e)
{
    return join({"行目で ", s, " の対の ", e, " が有りません。", notConverted});
}

std::string commentEndBeforeStart(std::string_view s, std::string_view e)
{
    return join({"行目で ", s, " の前に ", e, " が有ります。", notConverted});
}

std::string secondCommentStart(std::string_view s, std::string_view e)
{
    return join({"行目で2つの ", s, " の前に ", e, " が有りません。", notConverted});
}

std::string commentFollowedByNumber(std::string_view e)
{
    return join({"行目で ", e, " の次の文字が英字以外です。", notConverted});
}

std::string commentEndWithoutStart(std::string_view s, std::string_view e)
{
    return join({"行目で ", e, " の対の ", s, " が有りません。", notConverted});
}

std::string addressWithoutNumber(std::string_view letter)
{
    return join({"行目の ", letter, " に数値が有りません。", notConverted});
}

std::string duplicateWord(std::string_view letter)
{
    return join({"行目に ", letter, " が複数有ります。", notConverted});
}

std::string machineValueOutOfRange(const MachineField& field)
{
    if (field.isChoice()) {
        std::string names;
        for (const std::string_view name : field.names) {
            names += names.empty() ? "" : " か ";
            names += name;
        }
        return join({field.caption, " には ", names, " を入力して下さい。"});
    }
    const std::string low = formatInteger(static_cast<long long>(field.minimum));
    const std::string high = formatInteger(static_cast<long long>(field.maximum));
    return join({field.caption, " には ", low, field.minimumAllowed ? " 以上 " : " 超過 ", high, " までの",
                 field.isInteger() ? "整数" : "数値", "を入力して下さい。"});
}

}  // namespace drennix::messages

namespace drennix {

namespace {

using namespace messages;

// The text after the line number of a line fault with a fixed text.
std::string_view fixedLineText(FaultId id)
{
    switch (id) {
    case FaultId::ReadError: return readError;
    case FaultId::InvalidCharacter: return invalidCharacter;
    case FaultId::PlusInsideNumber: return plusInsideNumber;
    case FaultId::PlusOnly: return plusOnly;
    case FaultId::MinusInsideNumber: return minusInsideNumber;
    case FaultId::PlusAndPointOnly: return plusAndPointOnly;
    case FaultId::MinusOnly: return minusOnly;
    case FaultId::MinusAndPointOnly: return minusAndPointOnly;
    case FaultId::PointOnly: return pointOnly;
    case FaultId::TwoPoints: return twoPoints;
    case FaultId::NumberWithoutAddress: return numberWithoutAddress;
    case FaultId::DuplicateMotion: return duplicateMotion;
    case FaultId::DuplicatePlane: return duplicatePlane;
    case FaultId::DuplicateCoordinateMode: return duplicateCoordinateMode;
    case FaultId::DuplicateCoordinateSet: return duplicateCoordinateSet;
    case FaultId::DuplicateCompensation: return duplicateCompensation;
    case FaultId::DuplicateValueSet: return duplicateValueSet;
    case FaultId::ThreeCentreWords: return threeCentreWords;
    case FaultId::RadiusWithCentre: return radiusWithCentre;
    case FaultId::CoordinateSetIncremental: return coordinateSetIncremental;
    case FaultId::CoordinateSetNotRapid: return coordinateSetNotRapid;
    case FaultId::CoordinateSetCompensation: return coordinateSetCompensation;
    case FaultId::CoordinateSetArcWords: return coordinateSetArcWords;
    case FaultId::CoordinateSetMissingAxis: return coordinateSetMissingAxis;
    case FaultId::CoordinateSetValueSet: return coordinateSetValueSet;
    case FaultId::ValueSetCompensation: return valueSetCompensation;
    case FaultId::ValueSetCentreWords: return valueSetCentreWords;
    case FaultId::ValueSetAxisWords: return valueSetAxisWords;
    case FaultId::RapidCompensation: return rapidCompensation;
    case FaultId::RapidArcWords: return rapidArcWords;
    case FaultId::LinearArcWords: return linearArcWords;
    case FaultId::LinearFeed: return linearFeed;
    case FaultId::ArcFeed: return arcFeed;
    case FaultId::ArcKInXyPlane: return arcKInXyPlane;
    case FaultId::ArcIInYzPlane: return arcIInYzPlane;
    case FaultId::ArcJInZxPlane: return arcJInZxPlane;
    case FaultId::ArcWithoutCentreOrRadius: return arcWithoutCentreOrRadius;
    case FaultId::RapidDistanceUnexpected: return rapidDistanceUnexpected;
    case FaultId::EndRadiusZero: return endRadiusZero;
    case FaultId::RadiusStartEqualsEnd: return radiusStartEqualsEnd;
    case FaultId::ClockwiseEndAboveStart: return cwEndAboveStart;
    case FaultId::ClockwiseOver360: return cwOver360;
    case FaultId::CounterClockwiseEndBelowStart: return ccwEndBelowStart;
    case FaultId::CounterClockwiseOver360: return ccwOver360;
    case FaultId::TooManySegments: return tooManySegments;
    case FaultId::ArcTurnsNotWhole: return arcTurnsNotWhole;
    case FaultId::CycleWithoutBottom: return cycleWithoutBottom;
    case FaultId::CycleWithoutRLevel: return cycleWithoutRLevel;
    case FaultId::CycleCompensation: return cycleCompensation;
    case FaultId::CycleCentreWords: return cycleCentreWords;
    case FaultId::CycleFeed: return cycleFeed;
    case FaultId::CycleRLevelBeyondBottom: return cycleRLevelBeyondBottom;
    case FaultId::CyclePeck: return cyclePeck;
    case FaultId::CycleTooManyPecks: return cycleTooManyPecks;
    case FaultId::CycleRepeatsInvalid: return cycleRepeatsInvalid;
    case FaultId::CycleWithoutDwell: return cycleWithoutDwell;
    case FaultId::CycleNotRead: return cycleNotRead;
    case FaultId::DwellWithoutTime: return dwellWithoutTime;
    case FaultId::DwellTimeInvalid: return dwellTimeInvalid;
    case FaultId::DwellAxisWords: return dwellAxisWords;
    case FaultId::ParameterNotRead: return parameterNotRead;
    case FaultId::ExpressionNotRead: return expressionNotRead;
    case FaultId::DuplicateUnit: return duplicateUnit;
    case FaultId::DuplicateWorkSystem: return duplicateWorkSystem;
    case FaultId::MachineMoveConflict: return machineMoveConflict;
    case FaultId::MachineMoveCompensation: return machineMoveCompensation;
    case FaultId::MachineMoveArcWords: return machineMoveArcWords;
    case FaultId::MachineMoveMotion: return machineMoveMotion;
    case FaultId::WorkOffsetSystemInvalid: return workOffsetSystemInvalid;
    case FaultId::ToolChangeWithoutTool: return toolChangeWithoutTool;
    case FaultId::ToolNumberInvalid: return toolNumberInvalid;
    case FaultId::LengthOffsetInvalid: return lengthOffsetInvalid;
    case FaultId::SubprogramCallInvalid: return subprogramCallInvalid;
    case FaultId::SubprogramControlNotRead: return subprogramControlNotRead;
    case FaultId::SubprogramConversion: return subprogramConversion;
    case FaultId::SubprogramConversionElsewhere: return subprogramConversionElsewhere;
    case FaultId::SubprogramConversionDiffers: return subprogramConversionDiffers;
    case FaultId::NotFinite: return notFinite;
    default: return {};
    }
}

// The text after the line number of a line fault whose text is composed.
std::string composedLineText(const Fault& fault, const Settings& settings)
{
    const CommandVocabulary& v = settings.vocabulary;
    switch (fault.id) {
    case FaultId::CommentWithoutEnd: return commentWithoutEnd(v.commentStart, v.commentEnd);
    case FaultId::CommentEndBeforeStart: return commentEndBeforeStart(v.commentStart, v.commentEnd);
    case FaultId::SecondCommentStart: return secondCommentStart(v.commentStart, v.commentEnd);
    case FaultId::CommentFollowedByNumber: return commentFollowedByNumber(v.commentEnd);
    case FaultId::CommentEndWithoutStart: return commentEndWithoutStart(v.commentStart, v.commentEnd);
    case FaultId::AddressWithoutNumber: return addressWithoutNumber(letterOf(v, fault.address));
    case FaultId::DuplicateWord: return duplicateWord(letterOf(v, fault.address));
    case FaultId::SubprogramMissing:
    case FaultId::SubprogramRecursion:
    case FaultId::SubprogramTooDeep:
    case FaultId::SubprogramWithoutEnd: {
        std::string text(subprogramHead);
        appendInteger(text, fault.number);
        text += fault.id == FaultId::SubprogramMissing     ? subprogramMissingTail
                : fault.id == FaultId::SubprogramRecursion ? subprogramRecursionTail
                : fault.id == FaultId::SubprogramTooDeep   ? subprogramTooDeepTail
                                                           : subprogramWithoutEndTail;
        return text;
    }
    case FaultId::StartRecheck:
    case FaultId::EndRecheck: {
        const int decimals = settings.process.decimalPlaces;
        std::string text(fault.id == FaultId::StartRecheck ? startRecheckHead : endRecheckHead);
        appendFixed(text, recheckTolerance(decimals), decimals);
        text += recheckTail;
        return text;
    }
    default: return std::string(fixedLineText(fault.id));
    }
}

// The message of a fault that names no line.
std::string runFaultText(const Fault& fault, const Settings& settings, std::string_view outputPath)
{
    switch (fault.id) {
    case FaultId::InvalidSettings: return validateVocabulary(settings).value_or(std::string());
    case FaultId::InvalidMachineModel: return validateMachineModel(settings.machine).value_or(std::string());
    case FaultId::ToleranceOutOfRange: return std::string(toleranceOutOfRange);
    case FaultId::NoSourceSelected: return std::string(noSourceSelected);
    case FaultId::NoSuffix: return std::string(noSuffix);
    case FaultId::SourceMissing: return std::string(sourceMissing);
    case FaultId::SourceOpenFailed: return std::string(sourceOpenFailed);
    case FaultId::StoppedWhileReading: return std::string(escapeWhileReading);
    case FaultId::SourceCloseFailed: return std::string(sourceCloseFailed);
    case FaultId::OutputExists: {
        std::string text(outputExistsHead);
        text += outputPath;
        text += outputExistsTail;
        return text;
    }
    case FaultId::OutputOpenFailed: return std::string(outputOpenFailed);
    case FaultId::WriteError: return std::string(writeError);
    case FaultId::OutputCloseFailed: return std::string(outputCloseFailed);
    default: return {};
    }
}

}  // namespace

std::string composeLineMessage(long long lineNumber, std::string_view text)
{
    std::string message = "元ﾌｧｲﾙの";
    appendInteger(message, lineNumber);
    message += text;
    return message;
}

std::optional<std::string> validateMachineModel(const MachineModel& model)
{
    if (const MachineField* field = fieldOutOfRange(model)) return messages::machineValueOutOfRange(*field);
    return std::nullopt;
}

std::string faultMessage(const Fault& fault, long long line, const Settings& settings, std::string_view outputPath,
                         std::string_view otherFile)
{
    if (isLineFault(fault.id) && !otherFile.empty()) {
        std::string message(otherFileHead);
        message += otherFile;
        message += otherFileTail;
        appendInteger(message, line);
        return message + composedLineText(fault, settings);
    }
    if (isLineFault(fault.id)) {
        return composeLineMessage(line, composedLineText(fault, settings));
    }
    return runFaultText(fault, settings, outputPath);
}

}  // namespace drennix
