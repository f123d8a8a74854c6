// The text of a number in a word: its grammar (which rule a malformed text
// breaks) and its value, as the C library's atof gives it, with the implied
// decimal places of axis, centre and radius words.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
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
// The same for the numeric bytes from text[start] on; the bytes of `text`
// before them may be read too (never any outside it), which lets a number at
// the end of a line be read eight bytes at a time.
inline SimpleNumber scanNumericRun(std::string_view text, std::size_t start, std::size_t& length);

// The common number of a word read exactly: a sign, then digits with perhaps
// one point among them, that end within the eight bytes after the sign.
// False for any other shape, and for a text of fewer than eight bytes;
// scanNumericRun reads those. Where true, and the byte after the number is
// no sign, point or digit (the caller tells, as it looks at that byte
// anyway), the length and value are scanNumericRun's (well formed, exact).
struct ShortValue {
    double value = 0;
    std::size_t length = 0;
    bool hasPoint = false;
};
inline bool scanShortValue(std::string_view text, std::size_t start, ShortValue& number);

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
namespace number_reading_detail {

inline constexpr std::uint64_t integerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// Eight bytes of text as one number, the first byte lowest.
inline std::uint64_t loadEight(const char* p)
{
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, p, sizeof bytes);
    return bytes;
}

// How many of the eight bytes are digits before the first other byte (8: all).
// A byte above '9' may carry into the next one, but only into bytes after the
// first non-digit, which do not count.
inline int leadingDigits(std::uint64_t bytes)
{
    const std::uint64_t values = bytes ^ 0x3030303030303030;
    const std::uint64_t nonDigits = ((values + 0x7676767676767676) | values) & 0x8080808080808080;
    return nonDigits == 0 ? 8 : std::countr_zero(nonDigits) / 8;
}

// The number that the first `count` (0 to 7) digit values (each byte a digit
// less '0') write: they are moved to the end of an eight-digit number whose
// other digits are zeros, which is read in three multiplications.
inline std::uint64_t digitValuesValue(std::uint64_t digitValues, int count)
{
    std::uint64_t v = (digitValues << (8 * (7 - count))) << 8;
    v = v * 10 + (v >> 8);
    constexpr std::uint64_t pairs = 0x000000FF000000FF;
    return (((v & pairs) * (100 + (std::uint64_t{1000000} << 32))) +
            (((v >> 16) & pairs) * (1 + (std::uint64_t{10000} << 32)))) >>
           32;
}

// The same for the bytes as text: each digit less '0' first.
inline std::uint64_t digitsValue(std::uint64_t bytes, int count)
{
    return digitValuesValue(bytes ^ 0x3030303030303030, count);
}

// "+" (0x2B), "-" (0x2D) and "." (0x2E): one bit each in a mask of the four
// bytes from 0x2B on, found with one subtraction and one shift.
inline bool isSignOrPoint(char c)
{
    const unsigned offset = static_cast<unsigned char>(c) - unsigned{'+'};
    return offset < 4 && ((0b1101U >> offset) & 1U) != 0;
}

// The eight bytes from `p`. Where fewer remain before `end`, those that do,
// followed by zero bytes (no digits): loaded as the eight bytes that end at
// `end`, which the text must hold. False when it does not.
inline bool loadWithin(const char* textBegin, const char* p, const char* end, std::uint64_t& bytes)
{
    const std::ptrdiff_t remaining = end - p;
    if (remaining >= 8) {
        bytes = loadEight(p);
        return true;
    }
    if (remaining == 0) {
        bytes = 0;
        return true;
    }
    if (end - textBegin < 8) {
        return false;
    }
    bytes = loadEight(end - 8) >> (8 * (8 - remaining));
    return true;
}

// The byte at `index` (0 to 7) of eight loaded bytes.
inline unsigned char byteAt(std::uint64_t bytes, int index)
{
    return static_cast<unsigned char>(bytes >> (8 * index));
}

// Reads a run that the eight bytes from `p` hold whole: digits, perhaps a
// point and digits, and the byte after them (bytes past the text's end load
// as zeros, which end a run). With the point taken out, the digits on both
// sides of it are read at once. False when the run reaches the eighth byte.
inline bool scanRunInEight(std::uint64_t bytes, int wholeDigits, std::uint64_t& mantissa, int& fractionDigits,
                           int& runLength, bool& hasPoint)
{
    hasPoint = byteAt(bytes, wholeDigits) == '.';
    if (!hasPoint) {
        mantissa = digitsValue(bytes, wholeDigits);
        fractionDigits = 0;
        runLength = wholeDigits;
        return true;
    }
    const std::uint64_t wholeBytes = (std::uint64_t{1} << (8 * wholeDigits)) - 1;
    const std::uint64_t joined = (bytes & wholeBytes) | ((bytes >> 8) & ~wholeBytes);
    // The top byte of `joined` is zero: at most seven digits.
    const int digits = leadingDigits(joined);
    if (digits == 7) {
        return false;
    }
    fractionDigits = digits - wholeDigits;
    runLength = digits + 1;
    mantissa = digitsValue(joined, digits);
    return true;
}

// A run of at most seven digits, a point and at most seven digits, read
// eight bytes at a time (a branch per byte costs more in mispredictions than
// the arithmetic). False when the run is of another shape or the text too
// short; `p` is past the sign.
inline bool scanShortRun(const char* textBegin, const char* begin, const char* p, const char* end, bool negative,
                         SimpleNumber& result, std::size_t& length)
{
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    }
    std::uint64_t whole = 0;
    if (!loadWithin(textBegin, p, end, whole)) {
        return false;
    }
    const int wholeDigits = leadingDigits(whole);
    if (wholeDigits == 8) {
        return false;
    }
    std::uint64_t mantissa = 0;
    int fractionDigits = 0;
    int runLength = 0;
    const char* stop = nullptr;
    if (scanRunInEight(whole, wholeDigits, mantissa, fractionDigits, runLength, result.hasPoint)) {
        // The byte after the run is in the eight too.
        if (isSignOrPoint(static_cast<char>(byteAt(whole, runLength)))) {
            return false;
        }
        stop = p + runLength;
    } else {
        // A fraction that goes on past the eight bytes: read from the point.
        const char* const fraction = p + wholeDigits + 1;
        std::uint64_t bytes = 0;
        if (!loadWithin(textBegin, fraction, end, bytes)) {
            return false;
        }
        fractionDigits = leadingDigits(bytes);
        if (fractionDigits == 8) {
            return false;
        }
        mantissa =
            digitsValue(whole, wholeDigits) * integerPowersOfTen[fractionDigits] + digitsValue(bytes, fractionDigits);
        stop = fraction + fractionDigits;
        if (stop != end && isSignOrPoint(*stop)) {
            return false;
        }
    }
    length = static_cast<std::size_t>(stop - begin);
    result.wellFormed = wholeDigits + fractionDigits > 0;
    if (result.wellFormed) {
        const double magnitude = static_cast<double>(mantissa) / exactPowersOfTen[fractionDigits];
        result.value = negative ? -magnitude : magnitude;
        result.exact = true;
    }
    return true;
}

// The top bit of each byte of `digitValues` (the bytes less '0' each) that
// is no digit. Exact up to the first non-digit other than "." and through
// the digits after a point: only a byte above '9' carries into the next.
inline std::uint64_t nonDigitBits(std::uint64_t digitValues)
{
    return ((digitValues + 0x7676767676767676) | digitValues) & 0x8080808080808080;
}

// loadWithin in one form for any number of remaining bytes: the eight bytes
// that end at `end` where fewer than eight remain, moved down to begin at
// `p`. False only for a text shorter than eight bytes.
inline bool loadTail(const char* textBegin, const char* p, const char* end, std::uint64_t& bytes)
{
    if (end - textBegin < 8) {
        return false;
    }
    const char* const from = end - p < 8 ? end - 8 : p;
    const auto skipped = static_cast<unsigned>(p - from) * 8;
    const std::uint64_t loaded = loadEight(from);
    bytes = skipped < 64 ? loaded >> skipped : 0;
    return true;
}

// Powers of ten with the sign of the value: dividing by -10^k rounds to the
// negated quotient (round to nearest is symmetric), the same double as
// dividing and negating, a zero included, without a branch on the sign.
inline constexpr double signedPowersOfTen[2][8] = {{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7},
                                                   {-1e0, -1e1, -1e2, -1e3, -1e4, -1e5, -1e6, -1e7}};

// The value of a short run read exactly: at most seven digits, whose signed
// conversion is exact and one instruction.
inline double shortRunValue(std::uint64_t mantissa, int fractionDigits, bool negative)
{
    return static_cast<double>(static_cast<std::int64_t>(mantissa)) /
           signedPowersOfTen[static_cast<int>(negative)][fractionDigits];
}

// The same for a run without a point: multiplying by 1 or -1 gives the
// quotient's bits (a zero's sign too) without the division's wait.
inline constexpr double unitSigns[2] = {1.0, -1.0};
inline double wholeRunValue(std::uint64_t mantissa, bool negative)
{
    return static_cast<double>(static_cast<std::int64_t>(mantissa)) * unitSigns[static_cast<int>(negative)];
}

}  // namespace number_reading_detail

inline bool scanShortValue(std::string_view text, std::size_t start, ShortValue& number)
{
    using namespace number_reading_detail;
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    }
    if (start >= text.size()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(text[start]);
    const bool negative = lead == '-';
    const std::size_t signLength = static_cast<std::size_t>(negative) | static_cast<std::size_t>(lead == '+');
    const char* const begin = text.data() + start;
    std::uint64_t bytes = 0;
    if (!loadTail(text.data(), begin + signLength, text.data() + text.size(), bytes)) {
        return false;
    }
    const std::uint64_t values = bytes ^ 0x3030303030303030;
    const std::uint64_t nonDigits = nonDigitBits(values);
    if (nonDigits == 0) {
        return false;
    }
    // Bit 7 of the byte that ends the digits, and that byte less '0'.
    const int firstBit = std::countr_zero(nonDigits);
    const int firstStop = firstBit / 8;
    if ((static_cast<unsigned>(values >> (firstBit - 7)) & 0xFFU) != unsigned{'.' ^ '0'}) {
        if (firstStop == 0) {
            return false;
        }
        number.length = signLength + static_cast<std::size_t>(firstStop);
        number.hasPoint = false;
        number.value = wholeRunValue(digitValuesValue(values, firstStop), negative);
        return true;
    }
    const std::uint64_t laterStops = nonDigits & (nonDigits - 1);
    if (laterStops == 0) {
        return false;
    }
    const int stop = std::countr_zero(laterStops) / 8;
    // A point alone.
    if (stop == 1) {
        return false;
    }
    // The point taken out, the digits on both sides are read at once.
    const std::uint64_t wholeBytes = (std::uint64_t{1} << (8 * firstStop)) - 1;
    const std::uint64_t joined = (values & wholeBytes) | ((values >> 8) & ~wholeBytes);
    number.length = signLength + static_cast<std::size_t>(stop);
    number.hasPoint = true;
    number.value = shortRunValue(digitValuesValue(joined, stop - 1), stop - firstStop - 1, negative);
    return true;
}

inline SimpleNumber scanNumericRun(std::string_view text, std::size_t& length)
{
    return scanNumericRun(text, 0, length);
}

inline SimpleNumber scanNumericRun(std::string_view text, std::size_t start, std::size_t& length)
{
    SimpleNumber result;
    const char* const begin = text.data() + start;
    const char* const end = text.data() + text.size();
    // The common shape first; where a sign or a point follows it, the run
    // goes on in another shape, which the paths below read.
    if (ShortValue quick;
        scanShortValue(text, start, quick) &&
        (start + quick.length == text.size() || !number_reading_detail::isSignOrPoint(text[start + quick.length]))) {
        length = quick.length;
        result.wellFormed = true;
        result.exact = true;
        result.hasPoint = quick.hasPoint;
        result.value = quick.value;
        return result;
    }
    const char* p = begin;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (number_reading_detail::scanShortRun(text.data(), begin, p, end, negative, result, length)) {
        return result;
    }
    result = SimpleNumber{};
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
