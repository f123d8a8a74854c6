// Fixed-point and integer formatting with results identical to the C library's
// "%.Nf" and "%d", independent of the locale.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Appends `value` as printf("%d", value) would print it.
void appendInteger(std::string& out, long long value);
std::string formatInteger(long long value);

// A time in seconds as h:mm:ss, rounded to the nearest second ("0:00:07",
// "12:03:45"); hours are not limited.
std::string formatClock(double seconds);

}  // namespace drennix
