#include "source_line_text.h"

#include <iconv.h>

#include "cp932.h"

#include <cerrno>

namespace {

constexpr char codePage932[] = "CP932";

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

    // Converts `input`; nothing when a character cannot be converted.
    std::optional<std::string> convert(std::string_view input) {
        std::string output;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[256];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ (no code page 932 form) or EINVAL (a character cut off).
            return std::nullopt;
        }
        return output;
    }

private:
    iconv_t handle_;
};

}  // namespace

QString decodeSourceLine(std::string_view bytes) {
    return QString::fromStdString(drennix::text::decodeCp932ToUtf8(bytes));
}

std::optional<std::string> encodeCodePage932(const QString& text) {
    const std::string utf8 = text.toStdString();
    if (utf8.empty()) return std::string();
    Converter converter(codePage932, "UTF-8");
    if (!converter.valid()) return std::nullopt;
    return converter.convert(utf8);
}
