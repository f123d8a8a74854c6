#include "number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "number_reading.h"

namespace drennix {

namespace {

constexpr std::uint64_t powersOfTen[] = {
    1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL, 100000000ULL, 1000000000ULL,
};
constexpr int fastDecimals = 9;
// The same powers as doubles (exact), up to fastDecimals.
constexpr double scalesOfDecimals[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Units below this, turned into a double by roundToDecimals, come back from
// fixedDigits unchanged: the double is within half an ulp, at most 2^-53 of
// it, of units / 10^N, so times 10^N it is within units * 2^-53 < 1/2 of
// the units, never at a tie.
constexpr std::uint64_t roundTripUnits = std::uint64_t{1} << 52;

// The 128-bit product of two 64-bit numbers, as (high, low): one multiply
// where the compiler has 128-bit integers, four halves where not.
void multiply(std::uint64_t a, std::uint64_t b, std::uint64_t& high, std::uint64_t& low)
{
#if defined(__SIZEOF_INT128__)
    __extension__ using Product = unsigned __int128;
    const Product product = static_cast<Product>(a) * b;
    high = static_cast<std::uint64_t>(product >> 64);
    low = static_cast<std::uint64_t>(product);
#else
    const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const std::uint64_t ll = aLow * bLow;
    const std::uint64_t lh = aLow * bHigh;
    const std::uint64_t hl = aHigh * bLow;
    const std::uint64_t hh = aHigh * bHigh;
    const std::uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    low = (middle << 32) | (ll & 0xFFFFFFFFu);
    high = hh + (lh >> 32) + (hl >> 32) + (middle >> 32);
#endif
}

// (high, low) >> shift, rounded to the nearest with ties to even; false
// when the result does not fit in 64 bits.
bool shiftRounded(std::uint64_t high, std::uint64_t low, int shift, std::uint64_t& units)
{
    if (shift >= 128) {
        units = 0;  // far below half a unit
        return true;
    }
    // quotient = (high, low) >> shift; the remainder decides the rounding.
    std::uint64_t quotientHigh = 0;
    std::uint64_t quotient = 0;
    bool above = false;
    bool half = false;
    if (shift >= 64) {
        quotient = shift == 64 ? high : high >> (shift - 64);
        const int s = shift - 64;
        const std::uint64_t remainderHigh = s == 0 ? 0 : high & ((std::uint64_t{1} << s) - 1);
        // The remainder is (remainderHigh, low) against half = 2^(shift-1).
        if (s == 0) {
            half = low == (std::uint64_t{1} << 63);
            above = low > (std::uint64_t{1} << 63);
        } else {
            const std::uint64_t halfHigh = std::uint64_t{1} << (s - 1);
            half = remainderHigh == halfHigh && low == 0;
            above = remainderHigh > halfHigh || (remainderHigh == halfHigh && low != 0);
        }
    } else {
        quotient = (low >> shift) | (shift == 0 ? 0 : high << (64 - shift));
        quotientHigh = high >> shift;
        const std::uint64_t remainder = low & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t halfUnit = std::uint64_t{1} << (shift - 1);
        half = remainder == halfUnit;
        above = remainder > halfUnit;
    }
    if (quotientHigh != 0) {
        return false;
    }
    if (above || (half && (quotient & 1) != 0)) {
        if (quotient == UINT64_MAX) {
            return false;
        }
        ++quotient;
    }
    units = quotient;
    return true;
}

// A value rounded to `decimals` places as an integer count of units of the
// last place, exactly as "%.Nf" rounds the exact binary value (ties to
// even). Found only when the count fits in 64 bits; the sign is separate.
bool fixedDigits(double value, int decimals, FixedUnits& digits)
{
    if (decimals < 0 || decimals > fastDecimals) {
        return false;
    }
    // Most values are far from a tie between two texts; only near one does
    // the exact product decide.
    if (std::int64_t units = 0; unitsAwayFromTie(value, scalesOfDecimals[decimals], units)) {
        digits.units = static_cast<std::uint64_t>(units);
        digits.negative = std::signbit(value);
        return true;
    }
    // value = sign * mantissa * 2^exponent exactly, mantissa below 2^53.
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0x7FF) {
        return false;  // not finite
    }
    digits.negative = (bits >> 63) != 0;
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = (biased == 0 ? 1 : biased) - 1075;
    const std::uint64_t scale = powersOfTen[decimals];
    if (mantissa == 0) {
        digits.units = 0;
        return true;
    }
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    multiply(mantissa, scale, high, low);  // magnitude * 10^decimals = (high, low) * 2^exponent
    if (exponent >= 0) {
        if (high != 0 || exponent >= 64 || (exponent > 0 && (low >> (64 - exponent)) != 0)) {
            return false;
        }
        digits.units = low << exponent;
        return true;
    }
    return shiftRounded(high, low, -exponent, digits.units);
}

// "00" to "99": the digits of a number two at a time.
constexpr std::array<char, 200> digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the last two digits of `units` before `p`.
template <typename Unsigned>
char* writePair(char* p, Unsigned& units)
{
    const auto pair = static_cast<std::size_t>(units % 100);
    units /= 100;
    p -= 2;
    std::memcpy(p, &digitPairs[2 * pair], 2);
    return p;
}

// The text is written backwards, from the last place, so that the zeros
// after the point and the point itself fall into place; `end` is where it
// ends, the start is returned. At most fixedTextCapacity characters. Units
// that fit in 32 bits are divided as 32-bit numbers, which costs less, and
// each count of decimals has its own copy, its loops unrolled.
template <int Decimals, typename Unsigned>
char* writeDigitsBefore(char* end, Unsigned units, bool negative)
{
    char* p = end;
    for (int place = 0; place + 2 <= Decimals; place += 2) {
        p = writePair(p, units);
    }
    if constexpr (Decimals % 2 != 0) {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if constexpr (Decimals > 0) {
        *--p = '.';
    }
    while (units >= 100) {
        p = writePair(p, units);
    }
    if (units >= 10) {
        p = writePair(p, units);
    } else {
        *--p = static_cast<char>('0' + units);
    }
    if (negative) {
        *--p = '-';
    }
    return p;
}

template <int Decimals>
char* writeUnitsBefore(char* end, FixedUnits units)
{
    if (units.units <= UINT32_MAX) {
        return writeDigitsBefore<Decimals>(end, static_cast<std::uint32_t>(units.units), units.negative);
    }
    return writeDigitsBefore<Decimals>(end, units.units, units.negative);
}

void appendFixedSlowly(std::string& out, double value, int decimals)
{
    // Large enough for the 309 integer digits of the largest double, a sign
    // and a point, beside the decimals.
    const std::size_t size = 320 + static_cast<std::size_t>(decimals);
    char small[400];
    std::unique_ptr<char[]> large;
    char* buffer = small;
    if (size > sizeof small) {
        large.reset(new char[size]);
        buffer = large.get();
    }
    const auto result = std::to_chars(buffer, buffer + size, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

// Units below 10^8 with 1 to 7 decimals, most coordinates: their eight
// digits found together in the bytes of one word, most significant first.
constexpr std::uint64_t wordUnits = 100000000;
constexpr int wordDecimals = 7;

// Two halves of four digits in 32-bit lanes, each into two pairs in 16-bit
// lanes, each pair into two bytes; the divisions by 100 and 10 are
// multiplications that are exact for the lanes' ranges (below 10^4 and 100).
std::uint64_t digitBytes(std::uint32_t units)
{
    const std::uint64_t halves = (units / 10000) | (std::uint64_t{units % 10000} << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
    return tens | ((pairs - tens * 10) << 8);
}

// The word's digits without their leading zeros (one kept before the
// point), then the point and the decimals stored over what follows them:
// two stores of eight bytes, within fixedTextCapacity. The bytes of the
// word go to memory lowest first, so this needs a little-endian machine.
char* writeWordUnits(char* out, FixedUnits units, int decimals)
{
    *out = '-';
    out += units.negative ? 1 : 0;
    const std::uint64_t digits = digitBytes(static_cast<std::uint32_t>(units.units));
    const int zeros = digits == 0 ? 8 : std::countr_zero(digits) / 8;
    const int leading = std::min(zeros, wordDecimals - decimals);
    const int whole = 8 - decimals - leading;
    const std::uint64_t text = digits + 0x3030303030303030ULL;
    const std::uint64_t front = text >> (8 * leading);
    std::memcpy(out, &front, sizeof front);
    out[whole] = '.';
    const std::uint64_t fraction = text >> (8 * (8 - decimals));
    std::memcpy(out + whole + 1, &fraction, sizeof fraction);
    return out + whole + 1 + decimals;
}

}  // namespace

char* writeFixedUnits(char* out, FixedUnits units, int decimals)
{
    if constexpr (std::endian::native == std::endian::little) {
        if (units.units < wordUnits && decimals >= 1 && decimals <= wordDecimals) {
            return writeWordUnits(out, units, decimals);
        }
    }
    // Written backwards into scratch room and moved out whole: a copy of a
    // fixed size costs less than a copy of the text's length.
    char text[2 * fixedTextCapacity] = {};
    char* const end = text + fixedTextCapacity;
    const char* start = nullptr;
    switch (decimals) {
    case 0: start = writeUnitsBefore<0>(end, units); break;
    case 1: start = writeUnitsBefore<1>(end, units); break;
    case 2: start = writeUnitsBefore<2>(end, units); break;
    case 3: start = writeUnitsBefore<3>(end, units); break;
    case 4: start = writeUnitsBefore<4>(end, units); break;
    case 5: start = writeUnitsBefore<5>(end, units); break;
    case 6: start = writeUnitsBefore<6>(end, units); break;
    case 7: start = writeUnitsBefore<7>(end, units); break;
    case 8: start = writeUnitsBefore<8>(end, units); break;
    default: start = writeUnitsBefore<9>(end, units); break;
    }
    std::memcpy(out, start, fixedTextCapacity);
    return out + (end - start);
}

char* writeFixed(char* out, double value, int decimals)
{
    FixedUnits digits;
    if (!fixedDigits(value, decimals, digits)) {
        return nullptr;
    }
    return writeFixedUnits(out, digits, decimals);
}

void appendFixed(std::string& out, double value, int decimals)
{
    char text[fixedTextCapacity];
    if (const char* end = writeFixed(text, value, decimals)) {
        out.append(text, static_cast<std::size_t>(end - text));
        return;
    }
    // The C library prints NaN as "nan" or "-nan" by its sign bit and the
    // infinities as "inf" and "-inf", whatever the precision.
    if (std::isnan(value)) {
        out += std::signbit(value) ? "-nan" : "nan";
        return;
    }
    // As in the C library, a negative precision counts as omitted.
    if (decimals < 0) {
        decimals = 6;
        if (const char* end = writeFixed(text, value, decimals)) {
            out.append(text, static_cast<std::size_t>(end - text));
            return;
        }
    }
    appendFixedSlowly(out, value, decimals);
}

std::string formatFixed(double value, int decimals)
{
    std::string out;
    appendFixed(out, value, decimals);
    return out;
}

double roundToDecimals(double value, int decimals, std::optional<FixedUnits>& shown)
{
    FixedUnits digits;
    if (fixedDigits(value, decimals, digits) && digits.units <= (std::uint64_t{1} << 53)) {
        // Both numbers are exact doubles, so the one division is correctly
        // rounded: the same double as reading the text back.
        const double magnitude = static_cast<double>(digits.units) / scalesOfDecimals[decimals];
        if (digits.units < roundTripUnits) {
            shown = digits;
        } else {
            shown.reset();
        }
        return digits.negative ? -magnitude : magnitude;
    }
    shown.reset();
    std::string text;
    appendFixed(text, value, decimals);
    return parseRawValue(text);
}

const std::array<FourBytes, 1000> wholeDigitTexts = [] {
    std::array<FourBytes, 1000> texts{};
    for (int i = 0; i < 1000; ++i) {
        const int count = i >= 100 ? 3 : i >= 10 ? 2 : 1;
        for (int place = count - 1, rest = i; place >= 0; --place, rest /= 10) {
            texts[i][place] = static_cast<char>('0' + rest % 10);
        }
        texts[i][3] = static_cast<char>(count);
    }
    return texts;
}();

const std::array<FourBytes, 1000> decimalTexts = [] {
    std::array<FourBytes, 1000> texts{};
    for (int i = 0; i < 1000; ++i) {
        texts[i] = {'.', static_cast<char>('0' + i / 100), static_cast<char>('0' + i / 10 % 10),
                    static_cast<char>('0' + i % 10)};
    }
    return texts;
}();

FixedText::FixedText(int decimals) : decimals_(decimals)
{
    if (decimals >= 1 && decimals <= 3) {
        scale_ = powersOfTen[decimals];
        reciprocal_ = ((std::uint64_t{1} << 40) + scale_ - 1) / scale_;
        spread_ = powersOfTen[3 - decimals];
        limit_ = 1000 * scale_;
    }
}

DecimalRounding::DecimalRounding(int decimals)
    : decimals_(decimals),
      scale_(decimals >= 0 && decimals <= fastDecimals ? scalesOfDecimals[decimals]
                                                       : std::numeric_limits<double>::quiet_NaN())
{}

double roundToDecimals(double value, int decimals)
{
    std::optional<FixedUnits> shown;
    return roundToDecimals(value, decimals, shown);
}

void appendInteger(std::string& out, long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string formatInteger(long long value)
{
    std::string out;
    appendInteger(out, value);
    return out;
}

std::string formatClock(double seconds)
{
    const long long total = std::llround(seconds);
    std::string out = formatInteger(total / 3600);
    const long long minutes = total / 60 % 60;
    const long long rest = total % 60;
    out += minutes < 10 ? ":0" : ":";
    appendInteger(out, minutes);
    out += rest < 10 ? ":0" : ":";
    appendInteger(out, rest);
    return out;
}

}  // namespace drennix
