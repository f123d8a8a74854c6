#include "number_text.h"

#include <charconv>
#include <cmath>

namespace drennix::cli {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSign(char c)
{
    return c == '+' || c == '-';
}

// Advances `pos` over a run of digits; returns how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& pos)
{
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos - start;
}

// True when `text` is sign? (digits [. digits?] | . digits) ([eE] sign? digits)?
bool isDecimalNumberText(std::string_view text)
{
    std::size_t pos = 0;
    if (pos < text.size() && isSign(text[pos])) ++pos;
    std::size_t mantissaDigits = skipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        mantissaDigits += skipDigits(text, pos);
    }
    if (mantissaDigits == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && isSign(text[pos])) ++pos;
        if (skipDigits(text, pos) == 0) return false;
    }
    return pos == text.size();
}

// std::from_chars accepts a leading "-" but not a leading "+".
std::string_view withoutPlus(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return text;
}

}  // namespace

std::optional<double> parseDecimalNumber(std::string_view text)
{
    if (!isDecimalNumberText(text)) return std::nullopt;
    const std::string_view digits = withoutPlus(text);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> parseInteger(std::string_view text)
{
    std::string_view digits = withoutPlus(text);
    if (digits.size() != text.size() && !digits.empty() && digits.front() == '-') return std::nullopt;  // "+-5"
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

}  // namespace drennix::cli
