// Splitting a source line into its code text and its comments.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "fault.h"

namespace drennix {

enum class CharacterClass : int { Invalid = 1, Numeric = -1, Address = 0 };

// Below 0x20 and above 0x7E: Invalid; "+", "-", "." and digits: Numeric;
// every other printable byte, the space included: Address.
inline constexpr std::array<CharacterClass, 256> characterClasses = [] {
    std::array<CharacterClass, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        if (b < 0x20 || b > 0x7E) {
            classes[b] = CharacterClass::Invalid;
        } else if ((b >= '0' && b <= '9') || b == '+' || b == '-' || b == '.') {
            classes[b] = CharacterClass::Numeric;
        } else {
            classes[b] = CharacterClass::Address;
        }
    }
    return classes;
}();

inline CharacterClass classifyCharacter(unsigned char byte)
{
    return characterClasses[byte];
}

// The code text and the comments of one line. The views point into the line
// when it has no comment or one at its start or end, otherwise into the
// splitter's own buffers.
struct CommentSplit {
    std::string_view codeText;
    std::string_view commentText;
};

class CommentSplitter {
public:
    // With `semicolon`, from a ";" outside a comment to the end of the line is
    // a comment too.
    CommentSplitter(std::string_view start, std::string_view end, bool semicolon = false);

    // The split, or the fault of unpaired, nested or badly followed comment
    // delimiters.
    Fault split(std::string_view line, CommentSplit& out);

    // The bytes that begin a delimiter (and ";" where it opens a comment),
    // each once: a line that holds none of them is all code, without a fault.
    // Unless every line is to be split (an empty delimiter is found anywhere).
    std::string_view leadBytes() const { return leadBytes_; }
    bool splitsEveryLine() const { return everyLine_; }

private:
    Fault splitDelimited(std::string_view line, CommentSplit& out);
    // True when the line's one comment, opening at `start`, was split off
    // without a copy; false sends the line to the general split.
    bool splitOneComment(std::string_view line, std::size_t start, CommentSplit& out) const;
    // Where a ";" comment begins: the first ";" outside the delimited
    // comments; the line's length when there is none.
    std::size_t semicolonStart(std::string_view line) const;

    std::string start_;
    std::string end_;
    bool semicolon_;
    std::string leadBytes_;
    bool everyLine_ = false;
    std::string tail_;
    std::string code_;
    std::string comments_;
};

}  // namespace drennix
