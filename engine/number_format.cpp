#include "number_format.h"

#include <charconv>
#include <cmath>
#include <memory>

namespace drennix {

void appendFixed(std::string& out, double value, int decimals)
{
    // The C library prints NaN as "nan" or "-nan" by its sign bit and the
    // infinities as "inf" and "-inf", whatever the precision.
    if (std::isnan(value)) {
        out += std::signbit(value) ? "-nan" : "nan";
        return;
    }
    // As in the C library, a negative precision counts as omitted.
    if (decimals < 0) {
        decimals = 6;
    }
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

std::string formatFixed(double value, int decimals)
{
    std::string out;
    appendFixed(out, value, decimals);
    return out;
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

}  // namespace drennix
