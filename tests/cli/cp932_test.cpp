// Decoding source lines from code page 932 and cleaning up text that is not
// UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "cp932.h"

namespace drennix::text {
namespace {

const std::string fffd(replacementCharacter);

struct TextCase {
    std::string name;
    std::string input;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

std::string caseName(const testing::TestParamInfo<TextCase>& info) { return info.param.name; }

class Cp932DecodeTest : public testing::TestWithParam<TextCase> {};

TEST_P(Cp932DecodeTest, decodes_with_one_replacement_per_bad_byte)
{
    EXPECT_EQ(decodeCp932ToUtf8(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    cp932, Cp932DecodeTest,
    testing::Values(
        TextCase{"empty", "", ""}, TextCase{"ascii", "G01 X10.(ROUGH) Y-5.", "G01 X10.(ROUGH) Y-5."},
        // In code page 932 the bytes 0x5C and 0x7E stay the ASCII characters.
        TextCase{"backslash_and_tilde", "\\~", "\\~"},
        TextCase{"halfwidth_katakana", "(\xB1\xD9\xD0)", "(\xEF\xBD\xB1\xEF\xBE\x99\xEF\xBE\x90)"},  // (ｱﾙﾐ)
        TextCase{"kanji_pair", "(\x8A\xBF\x8E\x9A)", "(\xE6\xBC\xA2\xE5\xAD\x97)"},                // (漢字)
        TextCase{"nec_circled_digit", "\x87\x40", "\xE2\x91\xA0"},                                      // ①
        TextCase{"lead_byte_cut_at_the_end", "X1.\x8A", "X1." + fffd},
        TextCase{"undefined_single_bytes", "A\x80" "B\xA0" "C\xFD\xFE\xFF", "A" + fffd + "B" + fffd + "C" + fffd + fffd + fffd},
        TextCase{"lead_byte_with_bad_trail_byte", "\x81 X", fffd + " X"},
        TextCase{"decoding_goes_on_after_a_bad_byte", "\x80\x8A\xBF", fffd + "\xE6\xBC\xA2"},
        TextCase{"nul_byte_kept", std::string("A\0B", 3), std::string("A\0B", 3)}),
    caseName);

class SanitizeUtf8Test : public testing::TestWithParam<TextCase> {};

TEST_P(SanitizeUtf8Test, keeps_valid_utf8_and_replaces_each_bad_byte)
{
    EXPECT_EQ(sanitizeUtf8(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    cp932, SanitizeUtf8Test,
    testing::Values(TextCase{"ascii", "part_con.nc", "part_con.nc"},
                    TextCase{"valid_multibyte", "\xE5\x85\x83\xEF\xBE\x8C\xF0\x9F\x98\x80", "\xE5\x85\x83\xEF\xBE\x8C\xF0\x9F\x98\x80"},
                    TextCase{"cp932_bytes_in_a_path", "dir/\x8A\xBF.nc", "dir/" + fffd + fffd + ".nc"},
                    TextCase{"lone_continuation_byte", "a\x80z", "a" + fffd + "z"},
                    TextCase{"overlong_slash", "\xC0\xAF", fffd + fffd},
                    TextCase{"overlong_three_bytes", "\xE0\x80\xAF", fffd + fffd + fffd},
                    TextCase{"surrogate", "\xED\xA0\x80", fffd + fffd + fffd},
                    TextCase{"beyond_unicode", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},
                    TextCase{"truncated_at_the_end", "ok\xE3\x81", "ok" + fffd + fffd},
                    TextCase{"truncated_before_ascii", "\xE3\x81" "A", fffd + fffd + "A"},
                    TextCase{"invalid_lead_bytes", "\xF5\xFF", fffd + fffd}),
    caseName);

}  // namespace
}  // namespace drennix::text
