#include "number_reading.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <locale.h>

namespace drennix {

namespace {

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

}  // namespace

// The value is exact when the digits fit in 53 bits and at most 22 follow
// the point: one correctly rounded division, the same double as atof.
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
    const double magnitude = static_cast<double>(mantissa) / number_reading_detail::exactPowersOfTen[fractionDigits];
    result.value = negative ? -magnitude : magnitude;
    result.exact = true;
    return result;
}

FaultId numberSyntaxFault(std::string_view text)
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
        case '.': ++points; break;
        default: break;
        }
    }
    const bool hasPoint = points > 0;
    if (hasPlus) {
        if (text.front() != '+') return FaultId::PlusInsideNumber;
        if (n == 1) return FaultId::PlusOnly;
        if (plusAfterFirst) return FaultId::PlusInsideNumber;
        if (hasMinus) return FaultId::MinusInsideNumber;
        if (n < 3 && hasPoint) return FaultId::PlusAndPointOnly;
    } else if (hasMinus) {
        if (text.front() != '-') return FaultId::MinusInsideNumber;
        if (n == 1) return FaultId::MinusOnly;
        if (minusAfterFirst) return FaultId::MinusInsideNumber;
        if (n < 3 && hasPoint) return FaultId::MinusAndPointOnly;
    }
    if (hasPoint && n == 1) return FaultId::PointOnly;
    if (points > 1) return FaultId::TwoPoints;
    return FaultId::None;
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

}  // namespace drennix
