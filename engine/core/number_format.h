// Fixed-point and integer formatting with results identical to the C library's
// "%.Nf" and "%d", independent of the locale.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace drennix {

// Appends `value` as printf("%.*f", decimals, value) would print it.
void appendFixed(std::string& out, double value, int decimals);

// Room for what writeFixed writes: a sign, up to 20 digits and a point.
inline constexpr std::size_t fixedTextCapacity = 32;
// Writes `value` as appendFixed would to `out` (room for fixedTextCapacity
// characters, all of which may be overwritten) and returns the end of the
// text, for 0 to 9 decimals and finite values whose units of the last place
// fit in 64 bits; nullptr, writing nothing, for the others.
char* writeFixed(char* out, double value, int decimals);
std::string formatFixed(double value, int decimals);

// A number's "%.Nf" text as a count of units of the last place and a sign.
struct FixedUnits {
    std::uint64_t units = 0;
    bool negative = false;
};
// Writes `units` as writeFixed writes a value with those units, for 0 to 9
// decimals; room as for writeFixed.
char* writeFixedUnits(char* out, FixedUnits units, int decimals);

// The value that "%.*f" text of `value` reads back as (atof of the text),
// without going through the text.
double roundToDecimals(double value, int decimals);
// The same, also giving the units that writeFixed finds for the result where
// they are known without converting it again; nothing where not.
double roundToDecimals(double value, int decimals, std::optional<FixedUnits>& shown);

// The count of units of the last place of `value` at `scale` (10^decimals,
// exact as a double), where the scaled value lies far enough from a tie
// between two texts: it is then within scaled * 2^-53 of the exact product,
// whose fraction lies on the same side of one half. False near a tie, from
// 2^50 units on, and for NaN and the infinities (or a scale that is NaN);
// the exact product decides there.
inline bool unitsAwayFromTie(double value, double scale, std::int64_t& units)
{
    const double scaled = std::fabs(value) * scale;
    if (!(scaled < 0x1p50)) {
        return false;
    }
    const auto whole = static_cast<std::int64_t>(scaled);
    const double fractional = scaled - static_cast<double>(whole);  // exact below 2^52
    if (!(std::fabs(fractional - 0.5) > scaled * 0x1p-52)) {
        return false;
    }
    units = whole + (fractional > 0.5 ? 1 : 0);
    return true;
}

// roundToDecimals for one count of decimals, the common case inline: the
// values of a converted arc's cuts are rounded three to a cut.
class DecimalRounding {
public:
    explicit DecimalRounding(int decimals);

    double operator()(double value, std::optional<FixedUnits>& shown) const
    {
        // As roundToDecimals finds the units far from a tie (a scale that is
        // not a number leaves the rest to it); the counts below 2^50 convert
        // as signed numbers, in one step.
        std::int64_t count = 0;
        if (unitsAwayFromTie(value, scale_, count)) {
            const double magnitude = static_cast<double>(count) / scale_;
            shown = FixedUnits{static_cast<std::uint64_t>(count), std::signbit(value)};
            return std::signbit(value) ? -magnitude : magnitude;
        }
        return roundToDecimals(value, decimals_, shown);
    }

private:
    int decimals_;
    double scale_;
};

// Text of four bytes for each number below 1000: its digits, then their
// count in the last byte; and the point with three decimals of each.
using FourBytes = std::array<char, 4>;
extern const std::array<FourBytes, 1000> wholeDigitTexts;
extern const std::array<FourBytes, 1000> decimalTexts;

// writeFixedUnits for one count of decimals, inline where the text is short
// (1 to 3 decimals, below 1000 whole units): each part from its table.
class FixedText {
public:
    explicit FixedText(int decimals);

    // Room as for writeFixedUnits.
    char* write(char* out, FixedUnits units) const
    {
        if (units.units >= limit_) {
            return writeFixedUnits(out, units, decimals_);
        }
        *out = '-';
        out += units.negative ? 1 : 0;
        // units / 10^decimals: the reciprocal's excess, below 2^-40 of
        // these units, never reaches the next whole.
        const std::uint64_t whole = (units.units * reciprocal_) >> 40;
        const std::uint64_t fraction = units.units - whole * scale_;
        const FourBytes& digits = wholeDigitTexts[whole];
        std::memcpy(out, digits.data(), digits.size());
        out += digits[3];
        std::memcpy(out, decimalTexts[fraction * spread_].data(), 4);
        return out + 1 + decimals_;
    }

private:
    int decimals_;
    std::uint64_t scale_ = 1;
    std::uint64_t reciprocal_ = 0;
    // The decimals' place in the table of three (10 for two, 100 for one).
    std::uint64_t spread_ = 1;
    // 0 where the tables do not serve.
    std::uint64_t limit_ = 0;
};

// Appends `value` as printf("%d", value) would print it.
void appendInteger(std::string& out, long long value);
std::string formatInteger(long long value);

// A time in seconds as h:mm:ss, rounded to the nearest second ("0:00:07",
// "12:03:45"); hours are not limited.
std::string formatClock(double seconds);

}  // namespace drennix
