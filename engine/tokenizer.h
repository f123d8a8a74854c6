// Splitting a source line into its code text and its comments, and cutting
// the code text into words (an address byte followed by its numeric bytes).
#pragma once

#include <string>
#include <string_view>

#include "vocabulary.h"

namespace drennix {

struct RunState;

enum class CharacterClass : int { Invalid = 1, Numeric = -1, Address = 0 };

// Below 0x20 and above 0x7E: Invalid; "+", "-", "." and digits: Numeric;
// every other printable byte, the space included: Address.
CharacterClass classifyCharacter(unsigned char byte);

// The code text and the comments of one line. The views point into the line
// when it has no comment, otherwise into the splitter's own buffers.
struct CommentSplit {
    std::string_view codeText;
    std::string_view commentText;
};

class CommentSplitter {
public:
    // 0 with `out` filled, or 1 after the run was rejected with the line's
    // message (unpaired, nested or badly followed comment delimiters).
    int splitComments(RunState& state, std::string_view line, CommentSplit& out);

private:
    std::string code_;
    std::string comments_;
};

// True when the code text holds nothing but spaces.
bool isBlankCode(std::string_view codeText);

// Cuts the code text into words and hands each to the word stage; 1 when the
// block was rejected.
int tokenizeBlock(RunState& state, std::string_view codeText);

}  // namespace drennix
