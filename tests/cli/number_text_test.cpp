// The number grammar of -t, -x, -y, -z and the G-code settings, and the
// integers of the integer settings.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "number_text.h"

namespace drennix::cli {
namespace {

struct NumberCase {
    std::string text;
    std::optional<double> value;
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << "'" << c.text << "'"; }

class DecimalNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(DecimalNumberTest, accepts_finite_decimals_only)
{
    const NumberCase& c = GetParam();
    const std::optional<double> parsed = parseDecimalNumber(c.text);
    ASSERT_EQ(parsed.has_value(), c.value.has_value()) << "'" << c.text << "'";
    if (c.value) {
        EXPECT_EQ(*parsed, *c.value) << "'" << c.text << "'";
    }
}

INSTANTIATE_TEST_SUITE_P(number_text, DecimalNumberTest,
                         testing::Values(NumberCase{"0", 0.0}, NumberCase{"0.01", 0.01}, NumberCase{"5.", 5.0},
                                         NumberCase{".5", 0.5}, NumberCase{"-.5", -0.5}, NumberCase{"+2.5", 2.5},
                                         NumberCase{"-12.25", -12.25}, NumberCase{"1e3", 1000.0},
                                         NumberCase{"2.5E-1", 0.25}, NumberCase{"-1.e+2", -100.0},
                                         NumberCase{"007", 7.0},
                                         // Rejected:
                                         NumberCase{"", std::nullopt}, NumberCase{".", std::nullopt},
                                         NumberCase{"-", std::nullopt}, NumberCase{"+.", std::nullopt},
                                         NumberCase{"1.2.3", std::nullopt}, NumberCase{"--1", std::nullopt},
                                         NumberCase{"+-1", std::nullopt}, NumberCase{"1-", std::nullopt},
                                         NumberCase{"1e", std::nullopt}, NumberCase{"1e+", std::nullopt},
                                         NumberCase{"e5", std::nullopt}, NumberCase{"1e2.5", std::nullopt},
                                         NumberCase{"nan", std::nullopt}, NumberCase{"NaN", std::nullopt},
                                         NumberCase{"inf", std::nullopt}, NumberCase{"-infinity", std::nullopt},
                                         NumberCase{"0x10", std::nullopt}, NumberCase{"0x1p3", std::nullopt},
                                         NumberCase{" 1", std::nullopt}, NumberCase{"1 ", std::nullopt},
                                         NumberCase{"1,5", std::nullopt}, NumberCase{"1e999", std::nullopt},
                                         NumberCase{"-1e400", std::nullopt}));

struct IntegerCase {
    std::string text;
    std::optional<int> value;
};

void PrintTo(const IntegerCase& c, std::ostream* out) { *out << "'" << c.text << "'"; }

class IntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTest, accepts_32_bit_decimal_integers_only)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(parseInteger(c.text), c.value) << "'" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(number_text, IntegerTest,
                         testing::Values(IntegerCase{"0", 0}, IntegerCase{"+7", 7}, IntegerCase{"-3", -3},
                                         IntegerCase{"2147483647", 2147483647},
                                         IntegerCase{"-2147483648", -2147483647 - 1},
                                         IntegerCase{"2147483648", std::nullopt},
                                         IntegerCase{"-2147483649", std::nullopt}, IntegerCase{"", std::nullopt},
                                         IntegerCase{"+", std::nullopt}, IntegerCase{"-", std::nullopt},
                                         IntegerCase{"+-1", std::nullopt}, IntegerCase{"1.0", std::nullopt},
                                         IntegerCase{"1e3", std::nullopt}, IntegerCase{"0x10", std::nullopt},
                                         IntegerCase{" 1", std::nullopt}, IntegerCase{"12a", std::nullopt}));

}  // namespace
}  // namespace drennix::cli
