// Fixed-point and integer formatting equal the C library's "%.Nf" and "%d"
// for every value, whatever the locale.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "number_format.h"

namespace drennix {
namespace {

std::string printfFixed(double value, int decimals)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

TEST(FormatFixed, MatchesPrintfForEveryDecimalCount)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             1.5,
                             2.5,
                             -2.5,
                             0.0005,
                             0.0015,
                             2.675,
                             1.005,
                             0.1,
                             1e-10,
                             -1e-10,
                             9.9995,
                             123456789.123456789,
                             1e22,
                             1e300,
                             DBL_MAX,
                             -DBL_MAX,
                             DBL_MIN,
                             DBL_TRUE_MIN,
                             4503599627370495.5,
                             11.65685424949238,
                             inf,
                             -inf,
                             std::copysign(nan, 1.0)};
    for (int decimals = 0; decimals <= 9; ++decimals)
        for (double v : values)
            EXPECT_EQ(formatFixed(v, decimals), printfFixed(v, decimals)) << printfFixed(v, 17);
    EXPECT_EQ(formatFixed(std::copysign(nan, 1.0), 3), "nan");
    EXPECT_EQ(formatFixed(std::copysign(nan, -1.0), 3), "-nan");

    std::string text = "X";
    appendFixed(text, -12.3456, 2);
    appendFixed(text, 1.0, 4);
    EXPECT_EQ(text, "X-12.351.0000");
}

// Random doubles of every magnitude, and exact binary ties: the fast integer
// path and the general conversion must both agree with printf, and reading
// the text back must give what roundToDecimals gives without the text.
TEST(FormatFixed, MatchesPrintfAndReadsBackForRandomValues)
{
    std::mt19937_64 random(42);
    int general = 0;
    for (int trial = 0; trial < 200000; ++trial) {
        const std::uint64_t bits = random();
        double v = trial % 2 ? std::bit_cast<double>(bits)
                             : std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 90) - 80);
        if (!std::isfinite(v)) continue;
        const int decimals = static_cast<int>(random() % 10);
        const std::string expected = printfFixed(v, decimals);
        ASSERT_EQ(formatFixed(v, decimals), expected) << printfFixed(v, 17);
        char text[fixedTextCapacity];
        if (const char* end = writeFixed(text, v, decimals)) {
            ASSERT_EQ(std::string(static_cast<const char*>(text), end), expected);
        } else {
            ++general;
        }
        const double readBack = std::strtod(expected.c_str(), nullptr), rounded = roundToDecimals(v, decimals);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(rounded), std::bit_cast<std::uint64_t>(readBack)) << expected;
    }
    // In place where the units fit in 64 bits; the rest (huge and random
    // bit patterns) goes through the general conversion, which writeFixed
    // leaves alone.
    EXPECT_GT(general, 10000);
    EXPECT_LT(general, 100000);
    char text[fixedTextCapacity];
    for (const double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300})
        EXPECT_EQ(writeFixed(text, v, 3), nullptr);
    EXPECT_EQ(writeFixed(text, 1.0, 10), nullptr);
    EXPECT_EQ(writeFixed(text, 1.0, -1), nullptr);
}

// Every value that lies exactly halfway between two texts of N places (an odd
// multiple of 2^-(N+1): times 10^N it is an odd multiple of 5^N / 2), its
// neighbours one unit in the last place away, and coordinates as programs
// and conversions hold them (whole units of the last place, read back), for
// every place count: the text is printf's, ties to even included.
TEST(FormatFixed, RoundsTiesTheirNeighboursAndCoordinatesAsPrintf)
{
    std::mt19937_64 random(7);
    for (int decimals = 0; decimals <= 9; ++decimals) {
        for (int trial = 0; trial < 20000; ++trial) {
            const auto odd = static_cast<double>((random() >> (11 + random() % 50)) | 1);
            const double tie = std::ldexp(trial % 2 ? -odd : odd, -(decimals + 1));
            for (const double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 2 * tie)})
                ASSERT_EQ(formatFixed(v, decimals), printfFixed(v, decimals)) << printfFixed(v, 20);
            const auto units = static_cast<long long>(random() % 2000000000) - 1000000000;
            const double coordinate =
                std::strtod((std::to_string(units) + "e-" + std::to_string(decimals)).c_str(), nullptr);
            ASSERT_EQ(formatFixed(coordinate, decimals), printfFixed(coordinate, decimals)) << units;
            ASSERT_EQ(roundToDecimals(coordinate, decimals), coordinate) << units;
        }
    }
}

// Values a few ulps either side of a tie between two texts and of a text's
// own value, from one digit to beyond the 2^50 units where the quick check
// in doubles stops: each side is rounded as printf rounds it. Rounding to
// decimals hands on the units of its result's text below 2^52 units only,
// and they write as printf writes that result.
TEST(FormatFixed, RoundsNearTiesAsPrintfAndHandsOnTheUnitsOfItsText)
{
    std::mt19937_64 random(11);
    int handedOn = 0, withheld = 0;
    for (int decimals = 0; decimals <= 9; ++decimals) {
        for (int trial = 0; trial < 4000; ++trial) {
            const auto digits = static_cast<int>(1 + random() % 17);
            const std::uint64_t units = random() % static_cast<std::uint64_t>(std::pow(10.0, digits));
            const std::string sign = trial % 2 ? "-" : "";
            for (const char* half : {"", ".5"}) {
                const std::string decimal = sign + std::to_string(units) + half + "e-" + std::to_string(decimals);
                double v = std::strtod(decimal.c_str(), nullptr);
                for (int step = 0; step < 3; ++step)
                    v = std::nextafter(v, -v);
                for (int step = 0; step < 7; ++step, v = std::nextafter(v, v < 0 ? -INFINITY : INFINITY)) {
                    const std::string expected = printfFixed(v, decimals);
                    ASSERT_EQ(formatFixed(v, decimals), expected) << printfFixed(v, 20);
                    std::optional<FixedUnits> shown;
                    const double rounded = roundToDecimals(v, decimals, shown);
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(rounded),
                              std::bit_cast<std::uint64_t>(std::strtod(expected.c_str(), nullptr)))
                        << expected;
                    if (!shown) {
                        ++withheld;
                        continue;
                    }
                    ++handedOn;
                    ASSERT_LT(shown->units, std::uint64_t{1} << 52) << expected;
                    char text[fixedTextCapacity];
                    const char* end = writeFixedUnits(text, *shown, decimals);
                    ASSERT_EQ(std::string(static_cast<const char*>(text), end), printfFixed(rounded, decimals));
                }
            }
        }
    }
    EXPECT_GT(handedOn, withheld);
    EXPECT_GT(withheld, 0);
    // The limit itself: below 2^52 units they are handed on, from it not.
    std::optional<FixedUnits> shown;
    EXPECT_EQ(roundToDecimals(0x1p52 - 1, 0, shown), 0x1p52 - 1);
    EXPECT_TRUE(shown.has_value());
    EXPECT_EQ(roundToDecimals(0x1p52, 0, shown), 0x1p52);
    EXPECT_FALSE(shown.has_value());
    EXPECT_EQ(roundToDecimals(1.5, 10, shown), 1.5);  // beyond the in-place formats
    EXPECT_FALSE(shown.has_value());
}

// The units' text as the definition spells it: the whole units, the point
// and the decimals with their leading zeros.
std::string unitsText(FixedUnits units, int decimals)
{
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    // Appended piece by piece: GCC 12 warns wrongly about overlapping copies
    // in a chain of string sums (-Wrestrict).
    std::string text = units.negative ? "-" : "";
    text += std::to_string(units.units / scale);
    if (decimals > 0) {
        const std::string fraction = std::to_string(units.units % scale);
        text += '.';
        text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

// The in-place texts of units (a word's digits at once below 10^8, each
// part from a table below 1000 whole units) against the text spelt out,
// over every count of decimals and every length of number, their edges
// included; the tables' limit against printf too.
TEST(FormatFixed, WritesUnitsAsTheirDigitsSpeltOut)
{
    std::mt19937_64 random(5);
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const FixedText fixedText(decimals);
        std::vector<std::uint64_t> units = {
            0,         1, 9, 10, 99, 100, 999, 1000, 999999, 1000000, 99999999, 100000000, (std::uint64_t{1} << 52) - 1,
            UINT64_MAX};
        for (int trial = 0; trial < 40000; ++trial)
            units.push_back(random() % static_cast<std::uint64_t>(std::pow(10.0, 1 + trial % 19)));
        for (const std::uint64_t u : units) {
            for (const bool negative : {false, true}) {
                const FixedUnits fixed{u, negative};
                const std::string expected = unitsText(fixed, decimals);
                char text[fixedTextCapacity];
                const char* end = writeFixedUnits(text, fixed, decimals);
                ASSERT_EQ(std::string(static_cast<const char*>(text), end), expected);
                char other[fixedTextCapacity];
                end = fixedText.write(other, fixed);
                ASSERT_EQ(std::string(static_cast<const char*>(other), end), expected);
            }
        }
    }
    for (const double v : {999.9995, 999.9994999, -999.9996, 0.0004, -0.0004, 12.3456})
        for (int decimals = 1; decimals <= 3; ++decimals) {
            std::optional<FixedUnits> shown;
            const double rounded = roundToDecimals(v, decimals, shown);
            ASSERT_TRUE(shown.has_value());
            char text[fixedTextCapacity];
            const char* end = FixedText(decimals).write(text, *shown);
            EXPECT_EQ(std::string(static_cast<const char*>(text), end), printfFixed(rounded, decimals)) << v;
        }
}

// The inline rounding of a converted arc's values against roundToDecimals:
// the same double, bit for bit, and the same units handed on, for random
// values, values at and beside ties, and counts of decimals it leaves to
// roundToDecimals (negative, above 9).
TEST(FormatFixed, InlineRoundingIsRoundToDecimals)
{
    std::mt19937_64 random(17);
    for (int decimals = -1; decimals <= 11; ++decimals) {
        const DecimalRounding round(decimals);
        for (int trial = 0; trial < 20000; ++trial) {
            const std::uint64_t bits = random();
            double v = trial % 3 == 0 ? std::bit_cast<double>(bits)
                                      : std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 70) - 60);
            if (trial % 3 == 2)  // a tie of the last place, or beside it
                v = std::nextafter(std::ldexp(std::round(std::ldexp(v, 8)) + 0.5, -8), v);
            std::optional<FixedUnits> expectedShown, shown;
            const double expected = roundToDecimals(v, decimals, expectedShown);
            const double rounded = round(v, shown);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(rounded), std::bit_cast<std::uint64_t>(expected)) << v;
            ASSERT_EQ(shown.has_value(), expectedShown.has_value()) << v;
            if (shown) {
                ASSERT_EQ(shown->units, expectedShown->units) << v;
                ASSERT_EQ(shown->negative, expectedShown->negative) << v;
            }
        }
    }
}

TEST(FormatFixed, IgnoresTheLocalesDecimalSeparator)
{
    // The name on Linux, and the names the C library of Windows knows.
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "German_Germany.1252", "German"})
        if (comma == nullptr) comma = std::setlocale(LC_NUMERIC, name);
    const std::string text = formatFixed(1.5, 3);
    std::setlocale(LC_NUMERIC, "C");
    if (comma == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(text, "1.500");
}

TEST(FormatInteger, MatchesPrintf)
{
    for (long long v : {0LL, -1LL, 57LL, 2147483647LL, -2147483648LL, LLONG_MAX, LLONG_MIN}) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%lld", v);
        EXPECT_EQ(formatInteger(v), buffer);
    }
}

}  // namespace
}  // namespace drennix
