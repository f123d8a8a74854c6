// The number grammar of the command line: what -t, -x, -y, -z and the
// numeric settings accept.
#pragma once

#include <optional>
#include <string_view>

namespace drennix::cli {

// A finite decimal number: an optional sign, digits with at most one point
// (at least one digit), and an optional exponent ("e" or "E", an optional
// sign, digits). "nan", "inf", hexadecimal and values beyond the range of a
// double give nothing.
std::optional<double> parseDecimalNumber(std::string_view text);

// A decimal integer with an optional sign that fits a 32-bit int.
std::optional<int> parseInteger(std::string_view text);

}  // namespace drennix::cli
