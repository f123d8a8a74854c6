#include "source_line_text.h"

#include <iconv.h>

#include <cerrno>

namespace {

constexpr char codePage932[] = "CP932";
constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// One iconv conversion descriptor for the length of one conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `input`; an unconvertible byte is replaced by `replacement`
    // (then skipped) or, when `replacement` is empty, ends the conversion with
    // a failure.
    std::optional<std::string> convert(std::string_view input, std::string_view replacement) {
        std::string output;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[256];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ (a byte that starts no character) or EINVAL (a character
            // cut off at the end of the input).
            if (replacement.empty()) return std::nullopt;
            output.append(replacement);
            ++in;
            --inLeft;
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        return output;
    }

private:
    iconv_t handle_;
};

}  // namespace

QString decodeSourceLine(std::string_view bytes) {
    if (bytes.empty()) return QString();
    Converter converter("UTF-8", codePage932);
    if (!converter.valid()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::optional<std::string> utf8 = converter.convert(bytes, replacementCharacter);
    return QString::fromStdString(utf8.value_or(std::string()));
}

std::optional<std::string> encodeCodePage932(const QString& text) {
    const std::string utf8 = text.toStdString();
    if (utf8.empty()) return std::string();
    Converter converter(codePage932, "UTF-8");
    if (!converter.valid()) return std::nullopt;
    return converter.convert(utf8, std::string_view());
}
