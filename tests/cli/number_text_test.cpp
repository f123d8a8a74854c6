// The number grammar of -t, -x, -y, -z and the G-code settings, and the
// integers of the integer settings.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "number_text.h"

namespace drennix::cli {
namespace {

TEST(number_text, decimal_numbers_are_finite_and_plain)
{
    const std::vector<std::pair<std::string, double>> accepted{{"0.01", 0.01},   {"5.", 5.0},        {".5", 0.5},
                                                               {"-.5", -0.5},    {"+2.5", 2.5},      {"1e3", 1000.0},
                                                               {"2.5E-1", 0.25}, {"-1.e+2", -100.0}, {"007", 7.0}};
    for (const auto& [text, value] : accepted)
        EXPECT_EQ(parseDecimalNumber(text), value) << "'" << text << "'";
    for (const std::string text : {"", ".", "+.", "1.2.3", "+-1", "1-", "1e", "1e+", "e5", "1e2.5", "nan", "inf",
                                   "0x10", " 1", "1 ", "1,5", "1e999"})
        EXPECT_EQ(parseDecimalNumber(text), std::nullopt) << "'" << text << "'";
}

TEST(number_text, integers_are_32_bit_and_decimal)
{
    const std::vector<std::pair<std::string, int>> accepted{
        {"+7", 7}, {"-3", -3}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
    for (const auto& [text, value] : accepted)
        EXPECT_EQ(parseInteger(text), value) << "'" << text << "'";
    for (const std::string text : {"2147483648", "-2147483649", "", "+", "+-1", "1.0", " 1", "12a"})
        EXPECT_EQ(parseInteger(text), std::nullopt) << "'" << text << "'";
}

}  // namespace
}  // namespace drennix::cli
