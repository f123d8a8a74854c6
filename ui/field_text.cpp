#include "field_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The ASCII text of a field: surrounding blanks removed, full-width ASCII
// forms (as an input method may type them) folded to ASCII; nothing when a
// character outside ASCII remains.
std::optional<std::string> asciiText(const QString& text)
{
    const QString folded = text.normalized(QString::NormalizationForm_KC).trimmed();
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(folded.size()));
    for (const QChar c : folded) {
        if (c.unicode() > 0x7E) return std::nullopt;
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    return ascii;
}

// Length of the longest prefix of `s` from `pos` made of digits.
std::size_t digitRun(const std::string& s, std::size_t pos)
{
    std::size_t end = pos;
    while (end < s.size() && isDigit(s[end]))
        ++end;
    return end - pos;
}

// True when `s` is [sign] (digits [. digits] | . digits) [(e|E) [sign] digits].
bool isDecimalNumber(const std::string& s)
{
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
    const std::size_t whole = digitRun(s, pos);
    pos += whole;
    std::size_t fraction = 0;
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        fraction = digitRun(s, pos);
        pos += fraction;
    }
    if (whole == 0 && fraction == 0) return false;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        ++pos;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
        const std::size_t exponent = digitRun(s, pos);
        if (exponent == 0) return false;
        pos += exponent;
    }
    return pos == s.size();
}

}  // namespace

std::optional<int> parseInteger(const QString& text)
{
    std::optional<std::string> ascii = asciiText(text);
    if (!ascii || ascii->empty()) return std::nullopt;
    std::string digits = *ascii;
    const bool plus = digits.front() == '+';
    if (plus) digits.erase(0, 1);
    if (digits.empty() || (plus && !isDigit(digits.front()))) return std::nullopt;
    int value = 0;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

std::optional<double> parseNumber(const QString& text)
{
    std::optional<std::string> ascii = asciiText(text);
    if (!ascii || !isDecimalNumber(*ascii)) return std::nullopt;
    std::string number = *ascii;
    if (number.front() == '+') number.erase(0, 1);
    double value = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString formatNumber(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) return QString::number(value, 'g', 17);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(end - buffer));
}
