#include "machine_model.h"

#include <array>

namespace drennix {

namespace {

using M = MachineModel;

// Rates and accelerations above these are typing errors, not machines.
constexpr double highestRate = 1'000'000;          // mm/min
constexpr double highestAcceleration = 1'000'000;  // mm/s²

MachineField axisField(std::string_view name, std::string_view caption, std::string_view unit,
                       std::array<double, 3> M::*numbers, int axis, double maximum)
{
    MachineField f{name, caption, unit};
    f.axisNumbers = numbers;
    f.axis = axis;
    f.maximum = maximum;
    return f;
}

MachineField numberField(std::string_view name, std::string_view caption, std::string_view unit, double M::*number,
                         bool zeroAllowed, double maximum)
{
    MachineField f{name, caption, unit};
    f.number = number;
    f.minimumAllowed = zeroAllowed;
    f.maximum = maximum;
    return f;
}

MachineField integerField(std::string_view name, std::string_view caption, int M::*integer, int minimum, int maximum)
{
    MachineField f{name, caption, ""};
    f.integer = integer;
    f.minimum = minimum;
    f.minimumAllowed = true;
    f.maximum = maximum;
    return f;
}

// A position on the machine: anywhere within these (mm).
constexpr double farthestPosition = 1'000'000;

MachineField positionField(std::string_view name, std::string_view caption, std::array<double, 3> M::*numbers, int axis)
{
    MachineField f = axisField(name, caption, "mm", numbers, axis, farthestPosition);
    f.minimum = -farthestPosition;
    f.minimumAllowed = true;
    return f;
}

MachineField choiceField(std::string_view name, std::string_view caption, int M::*integer,
                         std::span<const std::string_view> names)
{
    MachineField f = integerField(name, caption, integer, 0, static_cast<int>(names.size()) - 1);
    f.names = names;
    return f;
}

constexpr double mostStepsPerMm = 1'000'000;

const std::array<MachineField, 30> fields = {
    axisField("maxFeedX", "X軸最大送り速度", "mm/min", &M::maxFeed, 0, highestRate),
    axisField("maxFeedY", "Y軸最大送り速度", "mm/min", &M::maxFeed, 1, highestRate),
    axisField("maxFeedZ", "Z軸最大送り速度", "mm/min", &M::maxFeed, 2, highestRate),
    axisField("rapidRateX", "X軸早送り速度", "mm/min", &M::rapidRate, 0, highestRate),
    axisField("rapidRateY", "Y軸早送り速度", "mm/min", &M::rapidRate, 1, highestRate),
    axisField("rapidRateZ", "Z軸早送り速度", "mm/min", &M::rapidRate, 2, highestRate),
    axisField("accelerationX", "X軸加速度", "mm/s²", &M::acceleration, 0, highestAcceleration),
    axisField("accelerationY", "Y軸加速度", "mm/s²", &M::acceleration, 1, highestAcceleration),
    axisField("accelerationZ", "Z軸加速度", "mm/s²", &M::acceleration, 2, highestAcceleration),
    numberField("junctionDeviation", "ｺｰﾅｰ許容偏差", "mm", &M::junctionDeviation, true, 10),
    integerField("lookAhead", "先読みﾌﾞﾛｯｸ数", &M::lookAhead, 1, 1000),
    numberField("blockTime", "最小ﾌﾞﾛｯｸ時間", "ms", &M::blockTime, true, 1000),
    numberField("peckRetract", "G73戻り量", "mm", &M::peckRetract, true, 100),
    numberField("peckClearance", "G83逃げ量", "mm", &M::peckClearance, true, 100),
    numberField("toolChangeTime", "工具交換時間", "s", &M::toolChangeTime, true, 3600),
    positionField("referenceX", "G28原点X", &M::referencePosition, 0),
    positionField("referenceY", "G28原点Y", &M::referencePosition, 1),
    positionField("referenceZ", "G28原点Z", &M::referencePosition, 2),
    positionField("secondReferenceX", "G30原点X", &M::secondReference, 0),
    positionField("secondReferenceY", "G30原点Y", &M::secondReference, 1),
    positionField("secondReferenceZ", "G30原点Z", &M::secondReference, 2),
    positionField("workOffsetX", "G54ｵﾌｾｯﾄX", &M::workOffset, 0),
    positionField("workOffsetY", "G54ｵﾌｾｯﾄY", &M::workOffset, 1),
    positionField("workOffsetZ", "G54ｵﾌｾｯﾄZ", &M::workOffset, 2),
    choiceField("controller", "ｺﾝﾄﾛｰﾗ", &M::controller, controllerNames),
    numberField("arcTolerance", "円弧許容誤差", "mm", &M::arcTolerance, false, 10),
    axisField("stepsPerMmX", "X軸ｽﾃｯﾌﾟ数", "/mm", &M::stepsPerMm, 0, mostStepsPerMm),
    axisField("stepsPerMmY", "Y軸ｽﾃｯﾌﾟ数", "/mm", &M::stepsPerMm, 1, mostStepsPerMm),
    axisField("stepsPerMmZ", "Z軸ｽﾃｯﾌﾟ数", "/mm", &M::stepsPerMm, 2, mostStepsPerMm),
    numberField("spindleChangeTime", "主軸変更時間", "s", &M::spindleChangeTime, true, 3600),
};

bool inRange(const MachineField& f, double value)
{
    const bool aboveMinimum = f.minimumAllowed ? value >= f.minimum : value > f.minimum;
    return aboveMinimum && value <= f.maximum;
}

}  // namespace

double MachineField::value(const MachineModel& model) const
{
    if (integer != nullptr) return model.*integer;
    if (number != nullptr) return model.*number;
    return (model.*axisNumbers)[static_cast<std::size_t>(axis)];
}

void MachineField::assign(MachineModel& model, double v) const
{
    if (integer != nullptr) {
        model.*integer = static_cast<int>(v);
    } else if (number != nullptr) {
        model.*number = v;
    } else {
        (model.*axisNumbers)[static_cast<std::size_t>(axis)] = v;
    }
}

std::optional<int> MachineField::choiceOf(std::string_view text) const
{
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (names[k] == text) return static_cast<int>(k);
    }
    return std::nullopt;
}

std::span<const MachineField> machineFields()
{
    return fields;
}

const MachineField* findMachineField(std::string_view name)
{
    for (const MachineField& f : fields) {
        if (f.name == name) return &f;
    }
    return nullptr;
}

const MachineField* fieldOutOfRange(const MachineModel& model)
{
    for (const MachineField& f : fields) {
        if (!inRange(f, f.value(model))) return &f;
    }
    return nullptr;
}

}  // namespace drennix
