// The text of a number in a word: its grammar (which rule a malformed text
// breaks) and its value, as the C library's atof gives it, with the implied
// decimal places of axis, centre and radius words.
#pragma once

#include <cstdint>
#include <string_view>

#include "fault.h"

namespace drennix {

// The first number-grammar rule that `text` breaks; FaultId::None when the
// text is a well-formed number.
FaultId numberSyntaxFault(std::string_view text);

// A number of the usual shape, an optional leading sign, digits and at most
// one point, with at least one digit, read in one pass. `exact` is false when
// its value needs the full conversion (parseRawValue).
struct SimpleNumber {
    bool wellFormed = false;
    bool exact = false;
    bool hasPoint = false;
    double value = 0;
};
SimpleNumber scanSimpleNumber(std::string_view text);

// The numeric bytes at the start of `text` ("+", "-", "." and digits) read in
// the same pass that finds where they end: `length` is their count and the
// result is scanSimpleNumber of text.substr(0, length). Inline: the parser
// calls it for every word.
inline SimpleNumber scanNumericRun(std::string_view text, std::size_t& length);

// The value of a well-formed number text, as the C library's atof gives it
// (numbers beyond the double range become infinities, tiny ones underflow).
double parseRawValue(std::string_view text);

// The value of an axis, centre or radius word: without a decimal point the
// raw value is divided by 10 once per decimal place.
double parseAxisValue(std::string_view text, int decimalPlaces);
double scaleAxisValue(double rawValue, bool hasPoint, int decimalPlaces);

namespace number_reading_detail {

// Powers of ten that a double holds exactly.
inline constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace number_reading_detail

// Up to 19 digits fit in 64 bits; beyond that the mantissa is only counted
// (it may wrap) and the value is never taken as exact.
inline SimpleNumber scanNumericRun(std::string_view text, std::size_t& length)
{
    SimpleNumber result;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digitsStart = p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    const char* point = nullptr;
    bool simple = true;
    for (; p != end; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        const unsigned digit = byte - unsigned{'0'};
        if (digit < 10) {
            ++digits;
            mantissa = mantissa * 10 + digit;
        } else if (byte == '.' && point == nullptr) {
            point = p;
        } else if (byte == '+' || byte == '-' || byte == '.') {
            simple = false;
        } else {
            break;
        }
    }
    length = static_cast<std::size_t>(p - begin);
    if (!simple) {
        return result;
    }
    result.hasPoint = point != nullptr;
    result.wellFormed = digits > 0;
    const auto fractionDigits = point == nullptr ? 0 : static_cast<int>(p - point - 1);
    if (!result.wellFormed || p - digitsStart > 19 || mantissa > (std::uint64_t{1} << 53) || fractionDigits > 22) {
        return result;
    }
    const double magnitude = static_cast<double>(mantissa) / number_reading_detail::exactPowersOfTen[fractionDigits];
    result.value = negative ? -magnitude : magnitude;
    result.exact = true;
    return result;
}

}  // namespace drennix
