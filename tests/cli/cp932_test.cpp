// Decoding source lines from code page 932 and cleaning up text that is not
// UTF-8: one U+FFFD per bad byte, and everything after it goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cp932.h"

namespace drennix::text {
namespace {

const std::string fffd(replacementCharacter);

struct TextCase {
    std::string name;
    std::string input;
    std::string expected;
};

TEST(cp932, decodes_code_page_932)
{
    const std::vector<TextCase> cases{
        {"ascii", "G01 X10.(ROUGH) Y-5.", "G01 X10.(ROUGH) Y-5."},
        {"backslash_and_tilde_stay_ascii", "\\~", "\\~"},
        {"halfwidth_katakana", "(\xB1\xD9\xD0)", "(\xEF\xBD\xB1\xEF\xBE\x99\xEF\xBE\x90)"},  // (ｱﾙﾐ)
        {"kanji_pair", "(\x8A\xBF\x8E\x9A)", "(\xE6\xBC\xA2\xE5\xAD\x97)"},                // (漢字)
        {"nec_circled_digit", "\x87\x40", "\xE2\x91\xA0"},                                  // ①
        {"lead_byte_cut_at_the_end", "X1.\x8A", "X1." + fffd},
        {"undefined_single_bytes", "A\x80\x8A\xBF" "B\xA0" "C\xFD\xFE\xFF",
         "A" + fffd + "\xE6\xBC\xA2" "B" + fffd + "C" + fffd + fffd + fffd},
        {"lead_byte_with_bad_trail_byte", "\x81 X", fffd + " X"},
        {"nul_byte_kept", std::string("A\0B", 3), std::string("A\0B", 3)}};
    for (const TextCase& c : cases)
        EXPECT_EQ(decodeCp932ToUtf8(c.input), c.expected) << c.name;
}

TEST(cp932, sanitize_keeps_valid_utf8_and_replaces_each_bad_byte)
{
    const std::vector<TextCase> cases{
        {"valid_multibyte", "\xE5\x85\x83\xEF\xBE\x8C\xF0\x9F\x98\x80", "\xE5\x85\x83\xEF\xBE\x8C\xF0\x9F\x98\x80"},
        {"cp932_bytes_in_a_path", "dir/\x8A\xBF.nc", "dir/" + fffd + fffd + ".nc"},
        {"lone_continuation_byte", "a\x80z", "a" + fffd + "z"},
        {"overlong_slash", "\xC0\xAF", fffd + fffd},
        {"overlong_three_bytes", "\xE0\x80\xAF", fffd + fffd + fffd},
        {"surrogate", "\xED\xA0\x80", fffd + fffd + fffd},
        {"beyond_unicode", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},
        {"truncated_at_the_end", "ok\xE3\x81", "ok" + fffd + fffd},
        {"truncated_before_ascii", "\xE3\x81" "A", fffd + fffd + "A"},
        {"invalid_lead_bytes", "\xF5\xFF", fffd + fffd}};
    for (const TextCase& c : cases)
        EXPECT_EQ(sanitizeUtf8(c.input), c.expected) << c.name;
}

}  // namespace
}  // namespace drennix::text
