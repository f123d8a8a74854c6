// Decoding source lines from code page 932 and cleaning up text that is not
// UTF-8: one U+FFFD per bad byte, and everything after it goes on. Encoding
// back to code page 932 refuses what the table does not have.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
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
        // Windows' own table has characters for these single bytes (U+0080
        // and private-use ones); iconv has none. Neither is code page 932.
        {"bytes_outside_code_page_932_between_kanji", "\x8A\xBF\x80\x8A\xBF\xA0\xFD\xFE\xFF\x8A\xBF",
         "\xE6\xBC\xA2" + fffd + "\xE6\xBC\xA2" + fffd + fffd + fffd + fffd + "\xE6\xBC\xA2"},
        {"undefined_double_byte_code", "\x85\x40", fffd + "@"},
        {"user_defined_area_is_private_use", "\xF0\x40", "\xEE\x80\x80"},  // U+E000
        {"ibm_extension", "\xFA\x40", "\xE2\x85\xB0"},                     // ⅰ
        {"nec_selected_ibm_extension", "\xED\x40", "\xE7\xBA\x8A"},        // 纊
        {"fullwidth_reverse_solidus", "\x81\x5F", "\xEF\xBC\xBC"},         // ＼
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
        // Three codes decode to ￢; the encoding is the first of them.
        {"not_sign_with_three_codes", "\xEF\xBF\xA2", "\x81\xCA"},
        {"nec_selected_ibm_kanji_takes_the_ibm_code", "\xE7\xBA\x8A", "\xFA\x5C"},
        {"private_use_of_the_user_defined_area", "\xEE\x80\x80", "\xF0\x40"},
        // No look-alikes: ¥ and ¬ have no code of their own.
        {"yen_sign", "\xC2\xA5", std::nullopt},
        {"latin_not_sign", "\xC2\xAC", std::nullopt},
        {"replacement_character", "\xEF\xBF\xBD", std::nullopt},
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

// FNV-1a, 64 bits, continued from `hash`.
std::uint64_t digest(std::string_view bytes, std::uint64_t hash)
{
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return hash;
}

// For one first byte: its text alone, and for a byte from 0x80 on the text
// of it followed by each of the 256 bytes and what that text encodes to.
std::uint64_t tableDigest(int first)
{
    const char byte = static_cast<char>(first);
    std::uint64_t hash = digest(decodeCp932ToUtf8(std::string(1, byte)), 0xCBF29CE484222325u);
    if (first < 0x80) return hash;
    for (int second = 0; second < 256; ++second) {
        const std::string text = decodeCp932ToUtf8(std::string{byte, static_cast<char>(second)});
        const std::optional<std::string> encoded = encodeUtf8ToCp932(text);
        hash = digest(text + '|' + encoded.value_or("none") + '|', hash);
    }
    return hash;
}

// The whole table on every platform, as iconv gives it on Linux (where these
// digests were recorded) and MultiByteToWideChar on Windows: one digest per
// first byte, so that a difference names the lead byte.
TEST(cp932, the_whole_table_is_the_same_on_every_platform)
{
    // clang-format off
    const std::array<std::uint64_t, 256> expected{
        0xAF63BD4C8601B7DFu, 0xAF63BC4C8601B62Cu, 0xAF63BF4C8601BB45u, 0xAF63BE4C8601B992u,
        0xAF63B94C8601B113u, 0xAF63B84C8601AF60u, 0xAF63BB4C8601B479u, 0xAF63BA4C8601B2C6u,
        0xAF63C54C8601C577u, 0xAF63C44C8601C3C4u, 0xAF63C74C8601C8DDu, 0xAF63C64C8601C72Au,
        0xAF63C14C8601BEABu, 0xAF63C04C8601BCF8u, 0xAF63C34C8601C211u, 0xAF63C24C8601C05Eu,
        0xAF63CD4C8601D30Fu, 0xAF63CC4C8601D15Cu, 0xAF63CF4C8601D675u, 0xAF63CE4C8601D4C2u,
        0xAF63C94C8601CC43u, 0xAF63C84C8601CA90u, 0xAF63CB4C8601CFA9u, 0xAF63CA4C8601CDF6u,
        0xAF63D54C8601E0A7u, 0xAF63D44C8601DEF4u, 0xAF63D74C8601E40Du, 0xAF63D64C8601E25Au,
        0xAF63D14C8601D9DBu, 0xAF63D04C8601D828u, 0xAF63D34C8601DD41u, 0xAF63D24C8601DB8Eu,
        0xAF639D4C8601817Fu, 0xAF639C4C86017FCCu, 0xAF639F4C860184E5u, 0xAF639E4C86018332u,
        0xAF63994C86017AB3u, 0xAF63984C86017900u, 0xAF639B4C86017E19u, 0xAF639A4C86017C66u,
        0xAF63A54C86018F17u, 0xAF63A44C86018D64u, 0xAF63A74C8601927Du, 0xAF63A64C860190CAu,
        0xAF63A14C8601884Bu, 0xAF63A04C86018698u, 0xAF63A34C86018BB1u, 0xAF63A24C860189FEu,
        0xAF63AD4C86019CAFu, 0xAF63AC4C86019AFCu, 0xAF63AF4C8601A015u, 0xAF63AE4C86019E62u,
        0xAF63A94C860195E3u, 0xAF63A84C86019430u, 0xAF63AB4C86019949u, 0xAF63AA4C86019796u,
        0xAF63B54C8601AA47u, 0xAF63B44C8601A894u, 0xAF63B74C8601ADADu, 0xAF63B64C8601ABFAu,
        0xAF63B14C8601A37Bu, 0xAF63B04C8601A1C8u, 0xAF63B34C8601A6E1u, 0xAF63B24C8601A52Eu,
        0xAF63FD4C8602249Fu, 0xAF63FC4C860222ECu, 0xAF63FF4C86022805u, 0xAF63FE4C86022652u,
        0xAF63F94C86021DD3u, 0xAF63F84C86021C20u, 0xAF63FB4C86022139u, 0xAF63FA4C86021F86u,
        0xAF64054C86023237u, 0xAF64044C86023084u, 0xAF64074C8602359Du, 0xAF64064C860233EAu,
        0xAF64014C86022B6Bu, 0xAF64004C860229B8u, 0xAF64034C86022ED1u, 0xAF64024C86022D1Eu,
        0xAF640D4C86023FCFu, 0xAF640C4C86023E1Cu, 0xAF640F4C86024335u, 0xAF640E4C86024182u,
        0xAF64094C86023903u, 0xAF64084C86023750u, 0xAF640B4C86023C69u, 0xAF640A4C86023AB6u,
        0xAF64154C86024D67u, 0xAF64144C86024BB4u, 0xAF64174C860250CDu, 0xAF64164C86024F1Au,
        0xAF64114C8602469Bu, 0xAF64104C860244E8u, 0xAF64134C86024A01u, 0xAF64124C8602484Eu,
        0xAF63DD4C8601EE3Fu, 0xAF63DC4C8601EC8Cu, 0xAF63DF4C8601F1A5u, 0xAF63DE4C8601EFF2u,
        0xAF63D94C8601E773u, 0xAF63D84C8601E5C0u, 0xAF63DB4C8601EAD9u, 0xAF63DA4C8601E926u,
        0xAF63E54C8601FBD7u, 0xAF63E44C8601FA24u, 0xAF63E74C8601FF3Du, 0xAF63E64C8601FD8Au,
        0xAF63E14C8601F50Bu, 0xAF63E04C8601F358u, 0xAF63E34C8601F871u, 0xAF63E24C8601F6BEu,
        0xAF63ED4C8602096Fu, 0xAF63EC4C860207BCu, 0xAF63EF4C86020CD5u, 0xAF63EE4C86020B22u,
        0xAF63E94C860202A3u, 0xAF63E84C860200F0u, 0xAF63EB4C86020609u, 0xAF63EA4C86020456u,
        0xAF63F54C86021707u, 0xAF63F44C86021554u, 0xAF63F74C86021A6Du, 0xAF63F64C860218BAu,
        0xAF63F14C8602103Bu, 0xAF63F04C86020E88u, 0xAF63F34C860213A1u, 0xAF63F24C860211EEu,
        0xE7F64AEFCD809677u, 0x818905E22C19B18Bu, 0xCEAE5CEE4D59A7BEu, 0x21030037D0073BD2u,
        0xB2D787A25FD48796u, 0xE7F64AEFCD809677u, 0xE7F64AEFCD809677u, 0x18B1043D7131F58Eu,
        0x0A010FACB491742Fu, 0x96D9BBC030AB3302u, 0xF57342C667AF78D4u, 0x4C165C455D54E07Fu,
        0x392979622ABA59DEu, 0x419F5F1DAAD79B29u, 0x9CE5FAF2A852EFE1u, 0x59E652B9E3F06449u,
        0xDD444670A40B00DAu, 0x0D057C9754FF4620u, 0x2661452AA17A7B26u, 0xDCE9ED013EE9C68Eu,
        0xB624FF749947E3F8u, 0xD1E05A0E705DE911u, 0x2F939B3E610A5AF0u, 0xAB9049FF0E22C33Eu,
        0x20F641E13D099E7Eu, 0xE196E6AE07908519u, 0x2E24D85750794E1Fu, 0xEC28DBFE8E09A647u,
        0x6AD00AB195606C9Du, 0x3A0B0CDC01142991u, 0xB4A93DC7C1598987u, 0x36CF7467473BBF91u,
        0xE7F64AEFCD809677u, 0x00F958932CCDAA3Cu, 0x21CA1A2904460E8Cu, 0xF73383C5930D4A30u,
        0x81CF6B852E047EC8u, 0xB3630FB648CF299Cu, 0xD2A1ED5A345B76D4u, 0xA902DCD4672A14A8u,
        0x0B2BC2A8751B7578u, 0xDADE228C0B25F0FCu, 0xA980FD99388828ACu, 0x9833EED162D24DE0u,
        0x20DFDB1C4CC4FDA8u, 0xEF602532BBAFF5BCu, 0xD7EF9610BF756544u, 0xE13E582A9D268068u,
        0xA741C68A808101F8u, 0xCA63165767D3421Cu, 0xAC86A6134FC0806Cu, 0x07E080D15376FD10u,
        0xF52CD5BF11DF0588u, 0x57A38881F7FDF81Cu, 0x20F3B1950B6F89D4u, 0x8560754758A98348u,
        0xCC134146023ECC38u, 0x2F169F21A8221ADCu, 0xA502C41BA4A9A04Cu, 0x5CFEEED75250CF20u,
        0xBFBF929C56BEE1E8u, 0xC4D9C901DCEE337Cu, 0x6AAA2FCAD215FD24u, 0x9D5550AA50558908u,
        0x1E2B5E2396EDA2EBu, 0x550183C9E4ABD577u, 0x3BF70E298A4261BFu, 0x2FFE51743FFE587Bu,
        0xE18E7F5B0879AAEBu, 0xA50E54BEC5E646D7u, 0x1E516ABB344F5C57u, 0x882ABAC5ACD629A3u,
        0xFAD4386BD595526Bu, 0x42E8DCD5AFDD2197u, 0xEDD92480A134F5FFu, 0x92C729D3B154F71Bu,
        0x5B697B9CC6CDF5ABu, 0x9B81DB271CBE5B77u, 0x4D3236E7072413A7u, 0xFFB31DECCA1A8653u,
        0x68808D489B4497ABu, 0x0ECEC7CD2DC9C0D7u, 0xA43DE51FFB5C2DBFu, 0x503712F7E3E5E9FBu,
        0x4F16E84FA593430Bu, 0xC8A09E4963199837u, 0x1053004899286657u, 0xD5AB28D99FBCB5A3u,
        0xC9ACCDF5309A5AABu, 0x0B166926752ADBB7u, 0xEDAD7D0079A43F3Fu, 0x29FEB36DABF69E9Bu,
        0x893579CF9E5BE80Bu, 0x1626A862D2A6A817u, 0xA52AE037E6DAC187u, 0xD80C3C1B7336FB33u,
        0xEEF89EC3C984E343u, 0x92AAB9D5608809A1u, 0x4BF0B6BCE6DB467Au, 0xD5552D0BBAD65411u,
        0x4943C7BC16F6FFA6u, 0x155DAEC5D526E77Du, 0x6F9B68ECE0E264EAu, 0x21DE30650380A0FBu,
        0xB616B85FD60F8FEEu, 0x9D170B26FD91672Cu, 0xA478D59AC10EE83Cu, 0xE7F64AEFCD809677u,
        0xE7F64AEFCD809677u, 0xC6700F2CED15A2D1u, 0xA5A18AF1A72AECADu, 0xE7F64AEFCD809677u,
        0x65573BB848F1FC51u, 0x1275631A22290659u, 0xB837C25359DA07F9u, 0x2A7F49AF83C6B211u,
        0x1D6E99A58ADBEDB9u, 0x9158632FC069A3F1u, 0xC0D10DBB450B1A31u, 0x92CD69D597AC3F79u,
        0x9818C364C351C951u, 0x87D9F6191CF26519u, 0xFE599065A55B2127u, 0xBFA962AE58208DF5u,
        0x99F8C808B06B6027u, 0xE7F64AEFCD809677u, 0xE7F64AEFCD809677u, 0xE7F64AEFCD809677u
    };
    // clang-format on
    for (int first = 0; first < 256; ++first) {
        char name[8];
        std::snprintf(name, sizeof name, "0x%02X", first);
        EXPECT_EQ(tableDigest(first), expected[static_cast<std::size_t>(first)]) << name;
    }
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
