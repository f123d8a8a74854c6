// The value the read stage hands on for one source line: its code and comment
// text and the words of its code, counted per address and per command group,
// with the value of each group's and address's last word.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "modal_codes.h"
#include "vocabulary.h"

namespace drennix {

// The groups of G-codes that a block may state at most once.
enum class CommandGroup : std::uint8_t { Motion, Plane, CoordinateMode, CoordinateSet, Compensation, ValueSet };
inline constexpr int commandGroupCount = 6;

// Word counts only need to tell none, one and several apart, so they stop at
// two and cannot overflow on any line length.
using WordCount = std::uint8_t;

struct ParsedBlock {
    // The line without its comments, and the comments themselves. The views
    // stay valid until the next line is read.
    std::string_view codeText;
    std::string_view commentText;
    // Nothing but spaces outside the comments: the line has no block.
    bool blank = true;

    std::array<WordCount, commandGroupCount> commandCounts{};
    // Word counts of X, Y, Z, I, J, K, R and F, indexed by AddressKind - 1.
    std::array<WordCount, 8> wordCounts{};
    // Value of the last X, Y, Z, I, J, K and R word; 0 without one.
    std::array<double, 7> values{};

    // The modal codes and the feed the block states (its last word of each);
    // each holds only when its group or the feed has a word.
    Motion motion = Motion::Rapid;
    Plane plane = Plane::XY;
    CoordinateMode coordinateMode = CoordinateMode::Absolute;
    Compensation compensation = Compensation::Cancelled;
    double feed = 0;

    // Words outside the vocabulary that dialect settings read: an M word
    // that ends the program (M2, M30), and the P word of arc turns.
    bool programEnd = false;
    WordCount turnWords = 0;
    double turns = 0;

    // The canned cycle the block's motion word names (None for G0 to G3);
    // it holds only when the motion group has a word. G80 counts in no
    // group (see cancelWords).
    CycleCode cycle = CycleCode::None;
    // Where the canned cycles, the dwell or the machine's coordinates are
    // read: the block has a word of theirs (a G4, G98 or G99, a unit, machine
    // move or work system code, or a P, Q, L, U, A, B or C word); the fields
    // below hold only while it is set.
    bool dialectWords = false;
    WordCount dwellWords = 0;
    // G80: the cycles end, beside any motion word of the block.
    WordCount cancelWords = 0;
    WordCount returnWords = 0;
    ReturnLevel returnLevel = ReturnLevel::Initial;
    // The P, Q, L and U words: the last value as written (not scaled) and
    // whether it had a point.
    enum ExtraLetter : int { LetterP, LetterQ, LetterL, LetterU, extraLetterCount };
    struct ExtraWord {
        WordCount count = 0;
        double value = 0;
        bool point = false;
    };
    std::array<ExtraWord, extraLetterCount> extra{};
    // Where the dialect reads them: G20 or G21, G28, G30 or G53, a work
    // system's code, and rotary A, B or C words (only counted).
    WordCount unitWords = 0;
    LengthUnit unit = LengthUnit::Millimetre;
    WordCount machineMoveWords = 0;
    MachineMove machineMove = MachineMove::None;
    WordCount workSystemWords = 0;
    std::uint8_t workSystem = 0;
    WordCount rotaryWords = 0;
    // Where tool changes are read: T (the tool selected), M6, H (the length
    // offset) and S (the spindle speed), each with the last value.
    WordCount toolWords = 0;
    double tool = 0;
    WordCount toolChangeWords = 0;
    WordCount lengthOffsetWords = 0;
    double lengthOffset = 0;
    WordCount spindleWords = 0;
    double spindleSpeed = 0;
    // Where the estimate stops at spindle changes: M3, M4 or M5.
    WordCount spindleStateWords = 0;
    SpindleState spindleState = SpindleState::Off;
    // Where subprograms are read: M98 (a call), M99 (its end) and O (a
    // program's number), with the O word's value.
    WordCount callWords = 0;
    WordCount subprogramEndWords = 0;
    WordCount programNumberWords = 0;
    double programNumber = 0;
    // The K of an M98 block, as written: its repeats, not a centre word.
    bool callRepeatsByK = false;
    double callRepeats = 0;
    // The last K word as written (not scaled) and whether it had a point: a
    // canned cycle's repeats.
    double rawK = 0;
    bool rawKPoint = false;

    // Every count and value back to none, field by field: cheaper per line
    // than assigning a new block.
    void clear()
    {
        commandCounts = {};
        wordCounts = {};
        values = {};
        programEnd = false;
        turnWords = 0;
        dialectWords = false;
    }

    // The first word of the dialect's own in this block: the others start
    // from none.
    void openDialectWords()
    {
        if (!dialectWords) {
            dialectWords = true;
            dwellWords = 0;
            cancelWords = 0;
            returnWords = 0;
            unitWords = 0;
            machineMoveWords = 0;
            workSystemWords = 0;
            rotaryWords = 0;
            toolWords = 0;
            toolChangeWords = 0;
            lengthOffsetWords = 0;
            spindleWords = 0;
            spindleStateWords = 0;
            callWords = 0;
            subprogramEndWords = 0;
            programNumberWords = 0;
            callRepeatsByK = false;
            extra = {};
        }
    }
    const ExtraWord& extraWord(ExtraLetter letter) const { return extra[static_cast<std::size_t>(letter)]; }

    static void count(WordCount& counter) { counter = static_cast<WordCount>(counter + (counter < 2)); }

    // Some command group or address has more than one word: a count of two.
    // Told from the counts once a block rather than noted once a word.
    bool repeated() const
    {
        // Loads of whole counts' widths: the copy of six bytes into a wider
        // word would go through memory.
        std::uint64_t words = 0;
        std::uint32_t commands = 0;
        std::uint16_t lastCommands = 0;
        static_assert(sizeof words == sizeof wordCounts &&
                      sizeof commands + sizeof lastCommands == sizeof commandCounts);
        std::memcpy(&words, wordCounts.data(), sizeof words);
        std::memcpy(&commands, commandCounts.data(), sizeof commands);
        std::memcpy(&lastCommands, commandCounts.data() + sizeof commands, sizeof lastCommands);
        return ((words | commands | lastCommands) & 0xFEFEFEFEFEFEFEFE) != 0 || turnWords > 1;
    }

    int count(CommandGroup group) const { return commandCounts[static_cast<int>(group)]; }
    bool has(CommandGroup group) const { return count(group) > 0; }
    int count(AddressKind kind) const { return wordCounts[static_cast<int>(kind) - 1]; }
    bool has(AddressKind kind) const { return count(kind) > 0; }
    double value(AddressKind kind) const { return values[static_cast<int>(kind) - 1]; }

    bool hasAxis(int axis) const { return wordCounts[static_cast<std::size_t>(axis)] > 0; }
    double axisValue(int axis) const { return values[static_cast<std::size_t>(axis)]; }
    bool hasAnyAxisWord() const
    {
        return has(AddressKind::AxisX) || has(AddressKind::AxisY) || has(AddressKind::AxisZ);
    }
    bool hasAnyCentreWord() const { return has(AddressKind::ArcI) || has(AddressKind::ArcJ) || has(AddressKind::ArcK); }
};

}  // namespace drennix
