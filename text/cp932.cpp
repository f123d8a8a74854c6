#include "cp932.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

namespace drennix::text {
namespace {

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Without a code page 932 converter (a C library without it), keep what is
// certain: ASCII bytes stay, every other byte is shown as unreadable.
std::string decodeAsciiOnly(std::string_view bytes)
{
    std::string out;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80)
            out += c;
        else
            out += replacementCharacter;
    }
    return out;
}

// The shape of code page 932, checked before any table is asked: single
// bytes 0x00 to 0x7F and 0xA1 to 0xDF; lead bytes 0x81 to 0x9F and 0xE0 to
// 0xFC, each followed by a trail byte 0x40 to 0x7E or 0x80 to 0xFC. The
// length of the character that starts at `pos`, or 0 when no valid one does
// (0x80, 0xA0, 0xFD to 0xFF, a lead byte with a bad trail byte or cut off at
// the end). The system tables differ on the bytes this refuses: iconv
// refuses them, Windows maps them to U+0080 and private-use characters.
std::size_t cp932CharacterLength(std::string_view bytes, std::size_t pos)
{
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) return 1;
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    if (!lead || pos + 1 >= bytes.size()) return 0;
    const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
    return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC) ? 2 : 0;
}

#if defined(_WIN32)

// UTF-16 to UTF-8; the text comes from the system and is valid.
void appendUtf8(const wchar_t* wide, int length, std::string& out)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(size));
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, out.data() + start, size, nullptr, nullptr);
}

// Appends the character of code page 932 `character` (one or two bytes of
// valid shape) in UTF-8; false when the table has none.
bool appendDecoded(std::string_view character, std::string& out)
{
    wchar_t wide[2];
    const int length =
        ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, character.data(), static_cast<int>(character.size()), wide, 2);
    if (length <= 0) return false;
    appendUtf8(wide, length, out);
    return true;
}

// Code page 932 bytes of the valid UTF-8 `text`, or nothing when the table
// has no code for one of its characters (no best-fit substitutes).
std::optional<std::string> encodeWithTable(std::string_view text)
{
    const int size = static_cast<int>(text.size());
    const int wideSize = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (wideSize <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), wideSize);
    BOOL usedDefault = FALSE;
    const int outSize =
        ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0, nullptr, &usedDefault);
    if (outSize <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(outSize), '\0');
    ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, out.data(), outSize, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}

// The system's table is always there.
class Cp932Table {
public:
    bool isOpen() const { return true; }
    bool appendDecoded(std::string_view character, std::string& out) { return text::appendDecoded(character, out); }
    std::optional<std::string> encode(std::string_view text) { return encodeWithTable(text); }
};

#else

// One iconv conversion descriptor between code page 932 and UTF-8, closed
// when the object goes away.
class Cp932Converter {
public:
    enum class Direction { ToUtf8, FromUtf8 };

    explicit Cp932Converter(Direction direction)
    {
        // Two names for the same table; C libraries differ in which they know.
        for (const char* name : {"CP932", "WINDOWS-31J"}) {
            descriptor_ = direction == Direction::ToUtf8 ? iconv_open("UTF-8", name) : iconv_open(name, "UTF-8");
            if (isOpen()) return;
        }
    }
    ~Cp932Converter()
    {
        if (isOpen()) iconv_close(descriptor_);
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    bool isOpen() const { return descriptor_ != invalidDescriptor(); }

    // Converts the rest of `bytes` onto `out` until it is all done (true) or
    // iconv refuses the byte at its front (false): a character the target has
    // no form for, or one that is invalid or cut off in the source. After a
    // refusal `bytes` starts at that byte.
    bool convert(std::string_view& bytes, std::string& out)
    {
        char* in = const_cast<char*>(bytes.data());  // iconv's interface is not const-correct
        std::size_t inLeft = bytes.size();
        std::array<char, 512> buffer;
        bool refused = false;
        while (inLeft > 0 && !refused) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t result = iconv(descriptor_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
            refused = result == static_cast<std::size_t>(-1) && errno != E2BIG;
        }
        bytes.remove_prefix(bytes.size() - inLeft);
        return !refused;
    }

    // Forgets a partial character after a refusal.
    void reset() { iconv(descriptor_, nullptr, nullptr, nullptr, nullptr); }

private:
    static iconv_t invalidDescriptor() { return reinterpret_cast<iconv_t>(-1); }

    iconv_t descriptor_ = invalidDescriptor();
};

// The table of the C library's iconv, one descriptor for each direction,
// opened when first needed.
class Cp932Table {
public:
    bool isOpen() { return decoder().isOpen(); }

    bool appendDecoded(std::string_view character, std::string& out)
    {
        Cp932Converter& converter = decoder();
        if (converter.convert(character, out)) return true;
        converter.reset();
        return false;
    }

    std::optional<std::string> encode(std::string_view text)
    {
        Cp932Converter converter(Cp932Converter::Direction::FromUtf8);
        std::string out;
        if (!converter.isOpen() || !converter.convert(text, out)) return std::nullopt;
        return out;
    }

private:
    Cp932Converter& decoder()
    {
        if (!decoder_) decoder_.emplace(Cp932Converter::Direction::ToUtf8);
        return *decoder_;
    }

    std::optional<Cp932Converter> decoder_;
};

#endif

// Length of the valid, shortest-form UTF-8 sequence that starts at `pos`, or 0
// when the byte there does not start one. Surrogates and values above U+10FFFF
// are not valid.
std::size_t validSequenceLength(std::string_view bytes, std::size_t pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byteAt(pos);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondMin = 0xA0;  // shorter forms are overlong
        if (lead == 0xED) secondMax = 0x9F;  // U+D800 to U+DFFF are surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > bytes.size()) return 0;
    if (byteAt(pos + 1) < secondMin || byteAt(pos + 1) > secondMax) return 0;
    for (std::size_t i = pos + 2; i < pos + length; ++i) {
        if (byteAt(i) < 0x80 || byteAt(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string decodeCp932ToUtf8(std::string_view bytes)
{
    if (isAscii(bytes)) return std::string(bytes);
    Cp932Table table;
    if (!table.isOpen()) return decodeAsciiOnly(bytes);
    // A byte that does not start a character of valid shape, or one the
    // table does not have, becomes one U+FFFD and decoding goes on with the
    // next byte.
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            const auto ascii = std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.end(),
                                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
            const auto end = static_cast<std::size_t>(ascii - bytes.begin());
            out.append(bytes.substr(pos, end - pos));
            pos = end;
            continue;
        }
        const std::size_t length = cp932CharacterLength(bytes, pos);
        if (length == 0 || !table.appendDecoded(bytes.substr(pos, length), out)) {
            out += replacementCharacter;
            ++pos;
        } else {
            pos += length;
        }
    }
    return out;
}

std::optional<std::string> encodeUtf8ToCp932(std::string_view text)
{
    // ASCII is the same in both, also without a converter.
    if (isAscii(text)) return std::string(text);
    if (sanitizeUtf8(text) != text) return std::nullopt;
    Cp932Table table;
    std::optional<std::string> encoded = table.encode(text);
    // Only codes that decode to the same text: where a table would take a
    // look-alike (a best fit), there is no code.
    if (encoded && decodeCp932ToUtf8(*encoded) != text) return std::nullopt;
    return encoded;
}

std::string sanitizeUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = validSequenceLength(bytes, pos);
        if (length == 0) {
            out += replacementCharacter;
            ++pos;
        } else {
            out.append(bytes.substr(pos, length));
            pos += length;
        }
    }
    return out;
}

}  // namespace drennix::text
