// A sink that keeps the lines written to it, each ended by CR LF as the new
// program ends them: a subprogram's line as the new program will hold it,
// kept until it is written where the subprogram stands.
#pragma once

#include <string>
#include <string_view>

#include "program_writer.h"

namespace drennix {

class LineCapture final : public LineSink {
public:
    void append(std::string_view prefix, std::string_view line) override
    {
        text_ += prefix;
        text_ += line;
        text_ += "\r\n";
    }
    const std::string& text() const { return text_; }
    void clear() { text_.clear(); }

private:
    std::string text_;
};

}  // namespace drennix
