#include "words.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "block_rules.h"
#include "messages.h"
#include "run_state.h"

#include <locale.h>

namespace drennix {

namespace {

const std::string CommandVocabulary::*const addressLetters[] = {
    &CommandVocabulary::gCodeLetter, &CommandVocabulary::xAxisLetter, &CommandVocabulary::yAxisLetter,
    &CommandVocabulary::zAxisLetter, &CommandVocabulary::arcILetter,  &CommandVocabulary::arcJLetter,
    &CommandVocabulary::arcKLetter,  &CommandVocabulary::radiusLetter, &CommandVocabulary::feedLetter,
};

// strtod in the "C" locale, whatever locale the process runs in: the
// fallback for numbers outside the double range, where it gives the same
// infinities and underflowed values as atof.
double strtodInCLocale(const std::string& text)
{
#if defined(_WIN32)
    static const _locale_t cLocale = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text.c_str(), nullptr, cLocale);
#else
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text.c_str(), nullptr, cLocale);
#endif
}

// Powers of ten that a double holds exactly.
constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual shape of a number, an optional leading sign, digits and at most
// one point, with at least one digit, read in one pass. Its value is exact
// when the digits fit in 53 bits and at most 22 follow the point: one
// correctly rounded division, the same double as atof. `exact` is false
// when the value needs the full conversion.
struct SimpleNumber {
    bool wellFormed = false;
    bool exact = false;
    bool hasPoint = false;
    double value = 0;
};

SimpleNumber scanSimpleNumber(std::string_view text)
{
    SimpleNumber result;
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Up to 19 digits cannot overflow 64 bits; longer texts only count.
    const bool countOnly = end - p > 19;
    std::uint64_t mantissa = 0;
    int digits = 0;
    const char* point = nullptr;
    for (; p != end; ++p) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (digit < 10) {
            ++digits;
            if (!countOnly) {
                mantissa = mantissa * 10 + digit;
            }
        } else if (*p == '.' && point == nullptr) {
            point = p;
        } else {
            return result;
        }
    }
    result.hasPoint = point != nullptr;
    result.wellFormed = digits > 0;
    const auto fractionDigits = point == nullptr ? 0 : static_cast<int>(end - point - 1);
    if (!result.wellFormed || countOnly || mantissa > (std::uint64_t{1} << 53) || fractionDigits > 22) {
        return result;
    }
    const double magnitude = static_cast<double>(mantissa) / exactPowersOfTen[fractionDigits];
    result.value = negative ? -magnitude : magnitude;
    result.exact = true;
    return result;
}

}  // namespace

const std::string& letterOf(const CommandVocabulary& vocabulary, AddressKind kind)
{
    return vocabulary.*addressLetters[static_cast<int>(kind)];
}

AddressKind classifyAddress(std::string_view character, const CommandVocabulary& vocabulary)
{
    for (int kind = static_cast<int>(AddressKind::GCode); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        if (character == letterOf(vocabulary, static_cast<AddressKind>(kind))) {
            return static_cast<AddressKind>(kind);
        }
    }
    if (character == " ") {
        return AddressKind::NoAddress;
    }
    return AddressKind::Other;
}

AddressTable::AddressTable(const CommandVocabulary& vocabulary)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        kinds_[static_cast<std::size_t>(byte)] = classifyAddress(std::string_view(&c, 1), vocabulary);
    }
}

std::string_view numberSyntaxFault(std::string_view text)
{
    const std::size_t n = text.size();
    bool hasPlus = false;
    bool plusAfterFirst = false;
    bool hasMinus = false;
    bool minusAfterFirst = false;
    int points = 0;
    for (std::size_t i = 0; i < n; ++i) {
        switch (text[i]) {
        case '+':
            hasPlus = true;
            plusAfterFirst = plusAfterFirst || i > 0;
            break;
        case '-':
            hasMinus = true;
            minusAfterFirst = minusAfterFirst || i > 0;
            break;
        case '.':
            ++points;
            break;
        default:
            break;
        }
    }
    const bool hasPoint = points > 0;
    if (hasPlus) {
        if (text.front() != '+') return messages::plusInsideNumber;
        if (n == 1) return messages::plusOnly;
        if (plusAfterFirst) return messages::plusInsideNumber;
        if (hasMinus) return messages::minusInsideNumber;
        if (n < 3 && hasPoint) return messages::plusAndPointOnly;
    } else if (hasMinus) {
        if (text.front() != '-') return messages::minusInsideNumber;
        if (n == 1) return messages::minusOnly;
        if (minusAfterFirst) return messages::minusInsideNumber;
        if (n < 3 && hasPoint) return messages::minusAndPointOnly;
    }
    if (hasPoint && n == 1) return messages::pointOnly;
    if (points > 1) return messages::twoPoints;
    return {};
}

double parseRawValue(std::string_view text)
{
    const SimpleNumber number = scanSimpleNumber(text);
    if (number.exact) {
        return number.value;
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return strtodInCLocale(std::string(text));
    }
    return value;
}

double scaleAxisValue(double rawValue, bool hasPoint, int decimalPlaces)
{
    if (hasPoint) {
        return rawValue;
    }
    double value = rawValue;
    for (int i = 0; i < decimalPlaces; ++i) {
        value = value / 10.0;
    }
    return value;
}

double parseAxisValue(std::string_view text, int decimalPlaces)
{
    return scaleAxisValue(parseRawValue(text), text.find('.') != std::string_view::npos, decimalPlaces);
}

int checkNumberSyntax(RunState& state, std::string_view text)
{
    const std::string_view fault = numberSyntaxFault(text);
    return fault.empty() ? 0 : state.reject(fault);
}

int storeWord(RunState& state, const NcWord& word)
{
    const SimpleNumber number = scanSimpleNumber(word.numericText);
    if (!number.wellFormed && checkNumberSyntax(state, word.numericText) != 0) {
        return 1;
    }
    const auto rawValue = [&] { return number.exact ? number.value : parseRawValue(word.numericText); };
    NcBlock& block = state.block;
    switch (word.address) {
    case AddressKind::NoAddress:
        return state.reject(messages::numberWithoutAddress);
    case AddressKind::GCode:
        classifyGCode(state, rawValue());
        return 0;
    case AddressKind::AxisX:
    case AddressKind::AxisY:
    case AddressKind::AxisZ:
    case AddressKind::ArcI:
    case AddressKind::ArcJ:
    case AddressKind::ArcK:
    case AddressKind::Radius: {
        ++block.wordCount(word.address);
        const double value = scaleAxisValue(rawValue(), number.wellFormed ? number.hasPoint : word.numericText.find('.') != std::string_view::npos,
                                            state.decimalPlaces());
        switch (word.address) {
        case AddressKind::AxisX: block.x = value; break;
        case AddressKind::AxisY: block.y = value; break;
        case AddressKind::AxisZ: block.z = value; break;
        case AddressKind::ArcI: block.i = value; break;
        case AddressKind::ArcJ: block.j = value; break;
        case AddressKind::ArcK: block.k = value; break;
        default: block.r = value; break;
        }
        return 0;
    }
    case AddressKind::Feed:
        ++block.wordCount(AddressKind::Feed);
        state.modal.feed = rawValue();
        return 0;
    case AddressKind::Other:
        return 0;
    }
    return 0;
}

int checkAddressHasNumber(RunState& state, AddressKind address)
{
    if (address == AddressKind::NoAddress || address == AddressKind::Other) {
        return 0;
    }
    return state.reject(messages::addressWithoutNumber(letterOf(state.vocabulary(), address)));
}

}  // namespace drennix
