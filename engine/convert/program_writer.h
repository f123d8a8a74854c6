// The lines of the new program of a converting run: each source line that is
// not converted, as read (with the arc's G-code in front when it relies on
// the modal arc motion of a converted block), and the lines of each cut of a
// converted arc. The lines go to a LineSink.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "block_parser.h"
#include "number_format.h"
#include "parsed_block.h"
#include "segmentation.h"
#include "vocabulary.h"

namespace drennix {

class LineSink {
public:
    virtual ~LineSink() = default;
    // One line made of `prefix` followed by `line`, without its line end.
    virtual void append(std::string_view prefix, std::string_view line) = 0;

    // Where a line of up to `size` bytes may be written in place, in a sink
    // that buffers its bytes, so that a short line is not copied on its way;
    // nullptr where there is no such room (then the line goes to append).
    char* lineRoom(std::size_t size) const
    {
        return roomLines_ > 0 && size + 2 <= static_cast<std::size_t>(roomEnd_ - room_) ? room_ : nullptr;
    }
    // The line written at lineRoom ends at `end`, where CR LF end it (the
    // line end of every sink that gives room).
    void endLineAt(char* end)
    {
        end[0] = '\r';
        end[1] = '\n';
        room_ = end + 2;
        --roomLines_;
    }

protected:
    // The room a buffering sink gives: from room_ to roomEnd_, for at most
    // roomLines_ more lines.
    char* room_ = nullptr;
    char* roomEnd_ = nullptr;
    long long roomLines_ = 0;
};

// What the dialect settings change in the words a converted arc keeps.
struct KeptWordRules {
    // The P word of arc turns belongs to the arc's geometry.
    bool dropTurns = false;
    // M2 and M30 end the program, so they go on the arc's last line, not its
    // first.
    bool holdProgramEnd = false;
};

// The block's own words other than the arc's geometry and its arc G-code,
// spaces kept, followed by the comments; words that `rules` hold back go to
// `held` instead.
void appendKeptText(std::string& out, std::string_view codeText, std::string_view commentText,
                    const CommandVocabulary& vocabulary, const AddressTable& addresses, KeptWordRules rules = {},
                    std::string* held = nullptr);

// The line of a subprogram's call or return, written where the subprograms
// are expanded: every word but M98, M99 and the call's P, L and K, spaces
// and comments kept.
void appendWithoutCall(std::string& out, std::string_view codeText, std::string_view commentText,
                       const AddressTable& addresses);

// A G-code number as the program writes it: "%d" when it is whole, else the
// number format.
void appendCodeNumber(std::string& out, double code, int decimals);

class ProgramWriter {
public:
    ProgramWriter(const Settings& settings, const AddressTable& addresses, LineSink& sink);

    // A new source line begins (before its block is interpreted).
    void beginLine();
    // The line's block passed its checks; `block` tells whether it states a
    // motion code.
    void noteBlock(const ParsedBlock& block);
    // The line is kept: the source line as read, after the arc's G-code when
    // the block relies on the modal arc motion of a converted block.
    void writeSourceLine(std::string_view line, Motion modalMotion);
    // One cut of the converted arc of `block`.
    void writeCut(const Cut& cut, const ParsedBlock& block);
    // The lines from now on go to `sink` (a subprogram's lines, say, kept
    // apart until they are written where the subprogram stands).
    void setSink(LineSink& sink) { sink_ = &sink; }
    // The line's arc was converted: its cuts stand in its place.
    void endConvertedBlock() { previousConverted_ = true; }

    // A canned cycle written as its expansion: in incremental mode between
    // a G90 and a G91 line, each move as a G0 or G1 line of its absolute X,
    // Y and Z (a move at the feed with its F), a dwell where it ends as a
    // G4 line; the next kept line that relies on the modal motion gets the
    // motion's code.
    void beginExpansion(bool incremental);
    void writeExpandedMove(const Move& move);
    void endExpansion(bool incremental);

private:
    // The axis words of a cut from `out` on (room for words_'s size); their
    // end, or nullptr where they need the general way.
    // Inline in writeCut, once or twice a cut.
    [[gnu::always_inline]] inline char* writeAxisWords(const Cut& cut, char* out) const;
    // The vocabulary's code of a motion.
    double motionCode(Motion motion) const;
    // A line of one G code.
    void writeCodeLine(double code);

    // 0 nothing pending; Armed: the previous block was converted (an arc or
    // an expanded cycle); Needed: this block relies on the modal motion and
    // needs its code.
    enum class ArcCodeReinsertion { None, Armed, Needed };

    const CommandVocabulary& vocabulary_;
    const AddressTable& addresses_;
    const int decimals_;
    const FixedText fixedText_;
    const KeptWordRules rules_;
    // G4's P in seconds (LinuxCNC's reading), else whole milliseconds.
    const bool dwellInSeconds_;
    // The letters of the X, Y and Z words.
    const std::array<std::string, 3> axisLetters_;
    LineSink* sink_;
    ArcCodeReinsertion reinsertion_ = ArcCodeReinsertion::None;
    bool previousConverted_ = false;
    // The axis words of a cut, written in place: a letter of up to this many
    // characters and a number for each axis.
    static constexpr std::size_t maximumLetterLength = 8;
    // An axis letter padded to the full length, copied whole in one move.
    struct PaddedLetter {
        std::array<char, maximumLetterLength> text{};
        std::size_t size = 0;
    };
    static std::array<PaddedLetter, 3> padLetters(const std::array<std::string, 3>& letters);
    // Every letter fits its room (else the cut's words take the general way).
    const bool lettersFit_;
    const std::array<PaddedLetter, 3> paddedLetters_;
    std::array<char, 3 * (maximumLetterLength + fixedTextCapacity)> words_{};
    // Reused for every other generated line, so that a cut allocates nothing.
    std::string line_;
    // The words of an arc's block that wait for its last line.
    std::string held_;
};

}  // namespace drennix
