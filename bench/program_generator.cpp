#include "program_generator.h"

#include "block_generator.h"

namespace drennix::bench {

namespace {

constexpr std::size_t chunkSize = 1 << 16;

// The closing lines: "M30" and a comment of dashes that fills the program to
// exactly `length` bytes. Fewer than 9 bytes cannot hold both and are filled
// with blank lines (and one space when the count is odd).
constexpr std::uint64_t closingMinimum = 9;

void appendClosing(std::string& out, std::uint64_t length)
{
    if (length >= closingMinimum) {
        out += "M30\r\n(";
        out.append(length - closingMinimum, '-');
        out += ")\r\n";
        return;
    }
    if (length % 2 == 1) {
        out += length == 1 ? " " : " \r\n";
        length -= length == 1 ? 1 : 3;
    }
    for (; length > 0; length -= 2)
        out += "\r\n";
}

}  // namespace

bool generateProgram(const GeneratorOptions& options, const ChunkSink& sink)
{
    BlockGenerator blocks(options.seed, options.decimalPoints);
    std::string buffer;
    buffer.reserve(chunkSize + 1024);
    std::uint64_t written = 0;
    for (;;) {
        const std::string& lines = blocks.next();
        if (written + lines.size() + closingMinimum > options.bytes) break;
        buffer += lines;
        written += lines.size();
        if (buffer.size() >= chunkSize) {
            if (!sink(buffer)) return false;
            buffer.clear();
        }
    }
    appendClosing(buffer, options.bytes - written);
    return sink(buffer);
}

std::string generateProgramText(const GeneratorOptions& options)
{
    std::string text;
    text.reserve(options.bytes);
    generateProgram(options, [&text](std::string_view chunk) {
        text += chunk;
        return true;
    });
    return text;
}

}  // namespace drennix::bench
