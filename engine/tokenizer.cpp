#include "tokenizer.h"

#include <array>

#include "messages.h"
#include "run_state.h"
#include "words.h"

namespace drennix {

namespace {

constexpr std::array<CharacterClass, 256> characterClasses = [] {
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

constexpr auto npos = std::string_view::npos;

// Closes the open word: a word with numeric text is stored, an address
// without one is checked for a missing number.
int closeWord(RunState& state, AddressKind address, std::string_view numericText)
{
    if (!numericText.empty()) {
        return storeWord(state, NcWord{address, numericText});
    }
    return checkAddressHasNumber(state, address);
}

}  // namespace

CharacterClass classifyCharacter(unsigned char byte)
{
    return characterClasses[byte];
}

int CommentSplitter::splitComments(RunState& state, std::string_view line, CommentSplit& out)
{
    const std::string_view start = state.vocabulary().commentStart;
    const std::string_view end = state.vocabulary().commentEnd;
    const std::size_t n = line.size();

    std::size_t s = line.find(start);
    std::size_t e = line.find(end);
    if (s == npos && e == npos) {
        out = CommentSplit{line, {}};
        return 0;
    }

    code_.clear();
    comments_.clear();
    std::size_t p = 0;
    while (p < n) {
        s = line.find(start, p);
        e = line.find(end, p);
        if (s == npos) {
            if (e != npos) {
                return state.reject(messages::commentEndWithoutStart(start, end));
            }
            code_.append(line.substr(p));
            break;
        }
        const std::size_t s2 = line.find(start, s + 1);
        if (e == npos) {
            return state.reject(messages::commentWithoutEnd(start, end));
        }
        if (s > e) {
            return state.reject(messages::commentEndBeforeStart(start, end));
        }
        if (s2 != npos && e > s2) {
            return state.reject(messages::secondCommentStart(start, end));
        }
        const std::size_t afterEnd = e + end.size();
        if (afterEnd < n && classifyCharacter(static_cast<unsigned char>(line[afterEnd])) != CharacterClass::Address) {
            return state.reject(messages::commentFollowedByNumber(end));
        }
        code_.append(line.substr(p, s - p));
        comments_.append(line.substr(s, afterEnd - s));
        p = afterEnd;
    }
    out = CommentSplit{code_, comments_};
    return 0;
}

bool isBlankCode(std::string_view codeText)
{
    return codeText.find_first_not_of(' ') == npos;
}

int tokenizeBlock(RunState& state, std::string_view codeText)
{
    AddressKind address = AddressKind::NoAddress;
    std::size_t numberStart = 0;
    const std::size_t n = codeText.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(codeText[i]);
        switch (characterClasses[byte]) {
        case CharacterClass::Invalid:
            return state.reject(messages::invalidCharacter);
        case CharacterClass::Numeric:
            break;
        case CharacterClass::Address:
            if (closeWord(state, address, codeText.substr(numberStart, i - numberStart)) != 0) {
                return 1;
            }
            address = state.addresses(byte);
            numberStart = i + 1;
            break;
        }
    }
    return closeWord(state, address, codeText.substr(numberStart));
}

}  // namespace drennix
