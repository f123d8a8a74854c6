// Decoding source lines from code page 932 and cleaning up text that is not
// UTF-8: one U+FFFD per bad byte, and everything after it goes on. Encoding
// back to code page 932 refuses what the table does not have.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cp932.h"

namespace drennix::text {
namespace {

const std::string fffd(replacementCharacter);

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

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
        {"kanji_pair", "(\x8A\xBF\x8E\x9A)", "(\xE6\xBC\xA2\xE5\xAD\x97)"},                  // (漢字)
        {"nec_circled_digit", "\x87\x40", "\xE2\x91\xA0"},                                   // ①
        {"lead_byte_cut_at_the_end", "X1.\x8A", "X1." + fffd},
        {"undefined_single_bytes",
         "A\x80\x8A\xBF"
         "B\xA0"
         "C\xFD\xFE\xFF",
         "A" + fffd +
             "\xE6\xBC\xA2"
             "B" +
             fffd + "C" + fffd + fffd + fffd},
        {"lead_byte_with_bad_trail_byte", "\x81 X", fffd + " X"},
        {"nul_byte_kept", std::string("A\0B", 3), std::string("A\0B", 3)},
        // Longer than the converter's output buffer, with a bad byte beyond it.
        {"long_line_with_a_late_bad_byte", repeated("\x8A\xBF", 400) + "\xA0" + "Z",
         repeated("\xE6\xBC\xA2", 400) + fffd + "Z"}};
    for (const TextCase& c : cases)
        EXPECT_EQ(decodeCp932ToUtf8(c.input), c.expected) << c.name;
}

TEST(cp932, encodes_what_the_table_has_and_refuses_the_rest)
{
    struct EncodeCase {
        std::string name;
        std::string input;
        std::optional<std::string> expected;
    };
    const std::vector<EncodeCase> cases{
        {"ascii_with_backslash_and_tilde", "X\\~", "X\\~"},
        {"empty", "", ""},
        {"halfwidth_katakana_is_one_byte", "\xEF\xBD\xB1", "\xB1"},          // ｱ
        {"kanji_pair", "(\xE6\xBC\xA2\xE5\xAD\x97)", "(\x8A\xBF\x8E\x9A)"},  // (漢字)
        {"nec_circled_digit", "\xE2\x91\xA0", "\x87\x40"},                   // ①
        {"fullwidth_tilde", "\xEF\xBD\x9E", "\x81\x60"},                     // ～
        {"longer_than_the_output_buffer", repeated("\xE6\xBC\xA2", 400), repeated("\x8A\xBF", 400)},
        {"emoji", "\xF0\x9F\x98\x80", std::nullopt},
        {"latin1_letter_after_ascii", "A\xC3\xBF", std::nullopt},  // Aÿ
        {"invalid_utf8", "A\xFF", std::nullopt},
        {"utf8_cut_at_the_end", "\xE6\xBC", std::nullopt}};
    for (const EncodeCase& c : cases)
        EXPECT_EQ(encodeUtf8ToCp932(c.input), c.expected) << c.name;
}

// Every double-byte character the table decodes encodes to bytes that decode
// to the same character (a few characters have two codes, so the bytes may
// differ from the ones decoded).
TEST(cp932, every_decoded_double_byte_character_encodes_back)
{
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;  // half-width katakana, single bytes
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = decodeCp932ToUtf8(bytes);
            if (text.find(fffd) != std::string::npos) continue;
            ++characters;
            const std::optional<std::string> encoded = encodeUtf8ToCp932(text);
            ASSERT_TRUE(encoded.has_value()) << std::hex << lead << ' ' << trail;
            EXPECT_EQ(decodeCp932ToUtf8(*encoded), text) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(characters, 7000);
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
        {"truncated_before_ascii",
         "\xE3\x81"
         "A",
         fffd + fffd + "A"},
        {"invalid_lead_bytes", "\xF5\xFF", fffd + fffd}};
    for (const TextCase& c : cases)
        EXPECT_EQ(sanitizeUtf8(c.input), c.expected) << c.name;
}

}  // namespace
}  // namespace drennix::text
