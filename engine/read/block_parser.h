// The read stage: one source line in, its ParsedBlock or a fault out. The
// comments are split off, the code text is cut into words (an address byte
// followed by its numeric bytes), each number is checked against the number
// grammar and read, and each word is counted and kept in the block.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "comment_splitter.h"
#include "fault.h"
#include "number_reading.h"
#include "parsed_block.h"
#include "vocabulary.h"

namespace drennix {

// classifyAddress for every byte value, computed once per run; with
// `lowerCase` a letter's lower case stands for it too, unless it is a letter
// of the vocabulary itself.
class AddressTable {
public:
    explicit AddressTable(const CommandVocabulary& vocabulary, bool lowerCase = false);
    AddressKind operator()(unsigned char byte) const { return kinds_[byte]; }

private:
    std::array<AddressKind, 256> kinds_{};
};

// What the number of a G word stands for.
enum class GCodeMeaning : std::uint8_t {
    None,
    Rapid,
    Linear,
    ClockwiseArc,
    CounterClockwiseArc,
    XyPlane,
    ZxPlane,
    YzPlane,
    Absolute,
    Incremental,
    ValueSet,
    CoordinateSet,
    CompensationCancel,
    CompensationLeft,
    CompensationRight,
    // The codes of the dialect settings, fixed numbers that no setting
    // names: read only where their setting is on, and only where no code of
    // the vocabulary has the same number.
    Dwell,
    CycleCancel,
    CycleG73,
    CycleG74,
    CycleG76,
    CycleG81,
    CycleG82,
    CycleG83,
    CycleG84,
    CycleG85,
    CycleG86,
    CycleG87,
    CycleG88,
    CycleG89,
    ReturnInitial,
    ReturnR,
    UnitInch,
    UnitMillimetre,
    ReferenceReturn,
    SecondReferenceReturn,
    MachineCoordinates,
    // G54 to G59, G59.1 to G59.3, in order.
    WorkSystem1,
    WorkSystem9 = WorkSystem1 + workSystemCount - 1,
};
inline constexpr std::size_t gCodeMeaningCount = static_cast<std::size_t>(GCodeMeaning::WorkSystem9) + 1;

// Which of the dialect's fixed codes are read.
struct DialectCodes {
    bool cycles = false;
    bool dwell = false;
    bool units = false;
    bool machineMoves = false;
    bool workSystems = false;
};
DialectCodes dialectCodesOf(const ProcessSettings& process);

// The first configured code that `value` equals, in the order motion, plane,
// coordinate mode, value set, coordinate set, compensation; then the fixed
// codes of the dialect that are read.
GCodeMeaning meaningOfGCode(double value, const CommandVocabulary& vocabulary, DialectCodes dialect = {});

// meaningOfGCode of the whole numbers below 128, which nearly every G word
// is, computed once per run; any other number is compared code by code.
class GCodeTable {
public:
    explicit GCodeTable(const CommandVocabulary& vocabulary, DialectCodes dialect = {});
    GCodeMeaning operator()(double value) const
    {
        // In range, the int conversion is one instruction and exact for
        // whole numbers; a fraction does not convert back to the same value.
        if (value >= 0 && value < static_cast<double>(meanings_.size())) {
            const auto whole = static_cast<int>(value);
            if (static_cast<double>(whole) == value) {
                return meanings_[static_cast<std::size_t>(whole)];
            }
        }
        return meaningOfGCode(value, vocabulary_, dialect_);
    }

private:
    const CommandVocabulary& vocabulary_;
    const DialectCodes dialect_;
    std::array<GCodeMeaning, 128> meanings_{};
};

// The modal code of a block that a G word may set: those of the command
// groups, then the dialect's (the cycle of the motion group, a dwell, the
// return level), whose words count in no group but the motion's.
enum class ModalField : std::uint8_t {
    None,
    Motion,
    // G0 to G3 where the cycles are read: the motion, and no cycle.
    MotionEndingCycle,
    Plane,
    CoordinateMode,
    Compensation,
    Cycle,
    Dwell,
    CycleCancel,
    Return,
    Unit,
    MachineMove,
    WorkSystem,
};

// What a G word of one meaning does to its block, worked out once per run so
// that classifying a word needs no switch over fourteen meanings: the command
// group it counts (none for GCodeMeaning::None) and the modal code it sets,
// with the value. The block's modal codes are only written, never read: a
// reused block's old values may lie in memory the other thread last held.
struct GCodeEffect {
    bool counted = false;
    CommandGroup group = CommandGroup::Motion;
    ModalField field = ModalField::None;
    std::uint8_t code = 0;
};
GCodeEffect effectOf(GCodeMeaning meaning);

// The kind of a one-character text: the vocabulary letters compared as whole,
// case-sensitive strings in the order G, X, Y, Z, I, J, K, R, F; a space is
// NoAddress; anything else is Other.
AddressKind classifyAddress(std::string_view character, const CommandVocabulary& vocabulary);

// True when the code text holds nothing but spaces.
bool isBlankCode(std::string_view codeText);

class BlockParser {
public:
    explicit BlockParser(const Settings& settings);

    // Fills `block` from `line`; the block's views stay valid until the next
    // call. On a fault the block is incomplete.
    Fault parse(std::string_view line, ParsedBlock& block);
    // The same for a line known to hold none of the comment splitter's lead
    // bytes (and it does not split every line): its text is all code.
    Fault parseCommentFree(std::string_view line, ParsedBlock& block) const;

    const CommentSplitter& comments() const { return comments_; }

    const AddressTable& addresses() const { return addresses_; }

private:
    Fault parseCode(std::string_view codeText, std::string_view commentText, ParsedBlock& block) const;
    Fault parseWords(std::string_view codeText, ParsedBlock& block) const;
    Fault parseDialectCode(std::string_view codeText, ParsedBlock& block) const;
    Fault closeWord(AddressKind address, char letter, std::string_view numericText, const SimpleNumber& number,
                    ParsedBlock& block) const;
    Fault storeWord(AddressKind address, char letter, std::string_view numericText, const SimpleNumber& number,
                    ParsedBlock& block) const;
    void storeValue(AddressKind address, const ShortValue& number, ParsedBlock& block) const;
    void storeLetterValue(AddressKind address, char letter, double value, bool hasPoint, ParsedBlock& block) const;
    void classifyGCode(double value, ParsedBlock& block) const;
    void storeDialectCode(const GCodeEffect& effect, ParsedBlock& block) const;
    void storeOtherWord(char letter, double value, bool hasPoint, ParsedBlock& block) const;
    bool storeToolWord(char upper, double value, ParsedBlock& block) const;
    bool storeSpindleWord(char upper, double value, ParsedBlock& block) const;
    bool storeSubprogramWord(char upper, double value, ParsedBlock& block) const;
    static void takeCallRepeats(ParsedBlock& block);

    // The implied decimal places of a number without "." (0: as written).
    const int impliedDecimals_;
    const bool lowerCase_;
    const bool programEndWords_;
    const bool turnWords_;
    // P, Q, L and U words are read for the canned cycles, the dwell and the
    // work offsets; A, B and C words are counted.
    const bool dialectWords_;
    const bool rotaryWords_;
    // T, M6, H and S words are read.
    const bool toolWords_;
    const bool spindleStateWords_;
    const bool spindleWords_;
    // M98, M99 and O words are read.
    const bool subprogramWords_;
    // Spaces and tabs are dropped from the code before its words are cut
    // (into `compacted_`, this parser's own); "#" and "[" are refused.
    const bool spacesInWords_;
    const bool expressionsNamed_;
    mutable std::string compacted_;
    const AddressTable addresses_;
    const GCodeTable gCodes_;
    // What each byte does where a word may begin: the AddressKind of the word
    // it opens (an address byte), or numericByte, or invalidByte (a fault);
    // one lookup tells what the address table and the character classes do.
    static constexpr std::int8_t numericByte = 10;
    static constexpr std::int8_t invalidByte = 11;
    std::array<std::int8_t, 256> wordStarts_{};
    // effectOf each GCodeMeaning, indexed by its value.
    std::array<GCodeEffect, gCodeMeaningCount> gEffects_{};
    CommentSplitter comments_;
};

}  // namespace drennix
