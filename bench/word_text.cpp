#include "word_text.h"

#include <charconv>
#include <cmath>

namespace drennix::bench {

namespace {

void appendDigits(std::string& out, long long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void appendFraction(std::string& out, int fraction, bool trimZeros)
{
    char digits[3] = {static_cast<char>('0' + fraction / 100), static_cast<char>('0' + fraction / 10 % 10),
                      static_cast<char>('0' + fraction % 10)};
    int length = 3;
    if (trimZeros) {
        while (length > 0 && digits[length - 1] == '0')
            --length;
    }
    out.append(digits, static_cast<std::size_t>(length));
}

}  // namespace

long long toThousandths(double value)
{
    return std::llround(value * 1000.0);
}

double wordValue(long long thousandths, NumberStyle style)
{
    const double raw = static_cast<double>(thousandths);
    if (style == NumberStyle::ImpliedDecimals) return raw / 10.0 / 10.0 / 10.0;
    // The exact quotient rounded once is the double nearest to the decimal text.
    return raw / 1000.0;
}

void appendCoordinateWord(std::string& out, char letter, long long thousandths, NumberStyle style)
{
    out += letter;
    if (style == NumberStyle::ImpliedDecimals) {
        appendDigits(out, thousandths);
        return;
    }
    if (thousandths < 0) {
        out += '-';
        thousandths = -thousandths;
    }
    appendDigits(out, thousandths / 1000);
    out += '.';
    appendFraction(out, static_cast<int>(thousandths % 1000), style == NumberStyle::TrimmedDecimals);
}

void appendIntegerWord(std::string& out, char letter, long long value)
{
    out += letter;
    appendDigits(out, value);
}

}  // namespace drennix::bench
