// Fixed-point and integer formatting must equal the C library's "%.Nf" and
// "%d" for every value, whatever the locale.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "number_format.h"

namespace drennix {
namespace {

std::string printfFixed(double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

const double kValues[] = {
    0.0, -0.0, 1.0, -1.0, 0.5, 1.5, 2.5, -2.5, 0.0005, 0.0015, 0.0025, 2.675, 1.005,
    0.1, 0.2, 0.3, 1e-10, -1e-10, 9.9995, 9.99949999, 123456789.123456789, -98765.4321,
    1e15, 1e22, 1e300, DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 4503599627370495.5,
    11.65685424949238, 3.14159265358979, 15.707963267948966, -1.0e-3,
};

TEST(FormatFixed, MatchesPrintfForEveryDecimalCount) {
    for (int decimals = 0; decimals <= 9; ++decimals) {
        for (double v : kValues) {
            SCOPED_TRACE(printfFixed(v, 17) + " with " + std::to_string(decimals));
            EXPECT_EQ(formatFixed(v, decimals), printfFixed(v, decimals));
        }
    }
}

TEST(FormatFixed, InfinitiesAndNotANumberKeepTheirSign) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(formatFixed(inf, 3), "inf");
    EXPECT_EQ(formatFixed(-inf, 3), "-inf");
    EXPECT_EQ(formatFixed(std::copysign(nan, 1.0), 3), "nan");
    EXPECT_EQ(formatFixed(std::copysign(nan, -1.0), 3), "-nan");
}

TEST(FormatFixed, AppendKeepsWhatWasThere) {
    std::string text = "X";
    appendFixed(text, -12.3456, 2);
    EXPECT_EQ(text, "X-12.35");
    NumberFormat n{4};
    EXPECT_EQ(n(0.00005), printfFixed(0.00005, 4));
    n.append(text, 1.0);
    EXPECT_EQ(text, "X-12.351.0000");
}

TEST(FormatFixed, IgnoresTheLocalesDecimalSeparator) {
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (german == nullptr) german = std::setlocale(LC_NUMERIC, "de_DE");
    const std::string text = formatFixed(1.5, 3);
    std::setlocale(LC_NUMERIC, "C");
    if (german == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(text, "1.500");
}

TEST(FormatInteger, MatchesPrintf) {
    for (long long v : {0LL, 1LL, -1LL, 57LL, 100LL, 2147483647LL, -2147483648LL, LLONG_MAX, LLONG_MIN}) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%lld", v);
        EXPECT_EQ(formatInteger(v), buffer);
    }
    std::string text = "N";
    appendInteger(text, -7);
    EXPECT_EQ(text, "N-7");
}

}  // namespace
}  // namespace drennix
