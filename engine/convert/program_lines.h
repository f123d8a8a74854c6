// The output lines of a converting run, held compactly: the bytes of all lines
// in a few large chunks, each line followed by a line feed. Every line is
// placed right after the line placed last, so the list only grows at its end.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "program_writer.h"

namespace drennix {

class ProgramLines final : public LineSink {
public:
    // Places a line made of `prefix` followed by `line` right after the line
    // placed last (at the head when empty).
    void append(std::string_view prefix, std::string_view line) override;
    void clear();

    // Visits every line in order; stops early when `visit` returns false.
    template <typename Visitor>
    void forEach(Visitor&& visit) const;

private:
    char* reserve(std::size_t bytes);

    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    std::vector<Chunk> chunks_;
};

template <typename Visitor>
void ProgramLines::forEach(Visitor&& visit) const
{
    for (const Chunk& chunk : chunks_) {
        const char* p = chunk.bytes.get();
        const char* end = p + chunk.used;
        while (p < end) {
            const char* lineEnd =
                static_cast<const char*>(std::char_traits<char>::find(p, static_cast<std::size_t>(end - p), '\n'));
            if (!visit(std::string_view(p, static_cast<std::size_t>(lineEnd - p)))) {
                return;
            }
            p = lineEnd + 1;
        }
    }
}

}  // namespace drennix
