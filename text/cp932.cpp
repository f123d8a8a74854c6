#include "cp932.h"

#include <iconv.h>

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

// Converts as far as possible; a byte that iconv refuses (an undefined byte,
// a lead byte with a bad trail byte, a lead byte cut off at the end) becomes
// one U+FFFD and the conversion resumes after it.
std::string decodeReplacingRefusedBytes(Cp932Converter& converter, std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    while (!converter.convert(bytes, out)) {
        out += replacementCharacter;
        bytes.remove_prefix(1);
        converter.reset();
    }
    return out;
}

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
    Cp932Converter converter(Cp932Converter::Direction::ToUtf8);
    if (!converter.isOpen()) return decodeAsciiOnly(bytes);
    return decodeReplacingRefusedBytes(converter, bytes);
}

std::optional<std::string> encodeUtf8ToCp932(std::string_view text)
{
    // ASCII is the same in both, also without a converter.
    if (isAscii(text)) return std::string(text);
    Cp932Converter converter(Cp932Converter::Direction::FromUtf8);
    std::string out;
    if (!converter.isOpen() || !converter.convert(text, out)) return std::nullopt;
    return out;
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
