#include "setting_assignment.h"

#include "number_format.h"
#include "number_text.h"

namespace drennix::cli {
namespace {

std::string quoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    out += text;
    out += '\'';
    return out;
}

std::string refusal(std::string_view name, std::string_view reason)
{
    return "--set " + std::string(name) + ": " + std::string(reason);
}

std::optional<std::string> assignLetter(Settings& settings, const SettingField& field, std::string_view value)
{
    if (value.size() > 1) return refusal(field.name, "a letter is one byte, got " + quoted(value));
    settings.vocabulary.*field.letter = std::string(value);
    return std::nullopt;
}

std::optional<std::string> assignCode(Settings& settings, const SettingField& field, std::string_view value)
{
    const std::optional<double> number = parseDecimalNumber(value);
    if (!number) return refusal(field.name, quoted(value) + " is not a finite decimal number");
    settings.vocabulary.*field.code = *number;
    return std::nullopt;
}

std::optional<std::string> assignInteger(Settings& settings, const SettingField& field, std::string_view value)
{
    const std::optional<int> number = parseInteger(value);
    if (!number) return refusal(field.name, quoted(value) + " is not a decimal integer in the 32-bit range");
    if (field.hasLimits && (*number < field.minimum || *number > field.maximum)) {
        return refusal(field.name, formatInteger(*number) + " is outside " + formatInteger(field.minimum) + " to " +
                                       formatInteger(field.maximum));
    }
    settings.process.*field.integer = *number;
    return std::nullopt;
}

std::optional<std::string> assignMachine(Settings& settings, const MachineField& field, std::string_view value)
{
    if (field.isChoice()) {
        const std::optional<int> choice = field.choiceOf(value);
        if (!choice) return refusal(field.name, quoted(value) + " is not a name of its values");
        field.assign(settings.machine, *choice);
        return std::nullopt;
    }
    if (field.isInteger()) {
        const std::optional<int> number = parseInteger(value);
        if (!number) return refusal(field.name, quoted(value) + " is not a decimal integer in the 32-bit range");
        field.assign(settings.machine, *number);
        return std::nullopt;
    }
    const std::optional<double> number = parseDecimalNumber(value);
    if (!number) return refusal(field.name, quoted(value) + " is not a finite decimal number");
    field.assign(settings.machine, *number);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> applySettingAssignment(Settings& settings, std::string_view assignment)
{
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) return "--set expects NAME=VALUE, got " + quoted(assignment);
    const std::string_view name = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);
    const SettingField* field = findSettingField(name);
    if (field == nullptr) {
        if (const MachineField* machine = findMachineField(name)) return assignMachine(settings, *machine, value);
    }
    if (field == nullptr) return "--set: unknown setting " + quoted(name) + " (see --help for the names)";
    switch (field->kind) {
    case SettingKind::Letter: return assignLetter(settings, *field, value);
    case SettingKind::GCode: return assignCode(settings, *field, value);
    case SettingKind::Integer: return assignInteger(settings, *field, value);
    }
    return refusal(name, "cannot be set");
}

}  // namespace drennix::cli
