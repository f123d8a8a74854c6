// Words of a block: what an address letter stands for, the number grammar
// with its messages, the conversion of number text into values (implied
// decimal places for axis, centre and radius words) and the recording of each
// finished word into the block.
#pragma once

#include <array>
#include <string_view>

#include "vocabulary.h"

namespace drennix {

struct RunState;

enum class AddressKind : int {
    NoAddress = -1,
    GCode = 0,
    AxisX = 1,
    AxisY = 2,
    AxisZ = 3,
    ArcI = 4,
    ArcJ = 5,
    ArcK = 6,
    Radius = 7,
    Feed = 8,
    Other = 9,
};

// One word while it is read: the address and the numeric characters that
// followed it (a view into the block's code text).
struct NcWord {
    AddressKind address = AddressKind::NoAddress;
    std::string_view numericText;
};

// The kind of a one-character text: the vocabulary letters compared as whole,
// case-sensitive strings in the order G, X, Y, Z, I, J, K, R, F; a space is
// NoAddress; anything else is Other.
AddressKind classifyAddress(std::string_view character, const CommandVocabulary& vocabulary);

// The vocabulary letter of an address from GCode to Feed.
const std::string& letterOf(const CommandVocabulary& vocabulary, AddressKind kind);

// classifyAddress for every byte value, computed once per run.
class AddressTable {
public:
    explicit AddressTable(const CommandVocabulary& vocabulary);
    AddressKind operator()(unsigned char byte) const { return kinds_[byte]; }

private:
    std::array<AddressKind, 256> kinds_{};
};

// The message tail of the first number-grammar rule that `text` breaks, or an
// empty view when the text is a well-formed number.
std::string_view numberSyntaxFault(std::string_view text);

// The value of a well-formed number text, as the C library's atof gives it
// (numbers beyond the double range become infinities, tiny ones underflow).
double parseRawValue(std::string_view text);

// The value of an axis, centre or radius word: without a decimal point the
// raw value is divided by 10 once per decimal place.
double parseAxisValue(std::string_view text, int decimalPlaces);
double scaleAxisValue(double rawValue, bool hasPoint, int decimalPlaces);

// 0 when `text` obeys the number grammar; otherwise the run is rejected with
// the rule's line message and the result is 1.
int checkNumberSyntax(RunState& state, std::string_view text);

// Records a finished word into the block (or the modal state); 1 when the
// block is rejected.
int storeWord(RunState& state, const NcWord& word);

// 1 (after the message) when a vocabulary address has no number.
int checkAddressHasNumber(RunState& state, AddressKind address);

}  // namespace drennix
