#include "program_writer.h"

#include <cmath>
#include <cstring>

#include "comment_splitter.h"
#include "number_format.h"
#include "number_reading.h"

namespace drennix {

namespace {

struct KeptWord {
    bool open = false;
    char address = 0;
    AddressKind kind = AddressKind::NoAddress;
};

bool isLetter(const KeptWord& word, char upper)
{
    return word.kind == AddressKind::Other && (word.address == upper || word.address == upper + ('a' - 'A'));
}

bool isProgramEnd(const KeptWord& word, std::string_view number)
{
    if (!isLetter(word, 'M')) return false;
    const double value = parseRawValue(number);
    return value == 2 || value == 30;
}

// A G-code other than the arc codes, the feed and letters outside the
// vocabulary are kept; axis, centre and radius words are not, nor the P
// word of arc turns where that is read. The program's end waits in `held`
// where the rules say so.
void closeKeptWord(std::string& out, const KeptWord& word, std::string_view number, const CommandVocabulary& v,
                   KeptWordRules rules, std::string* held)
{
    if (!word.open || (rules.dropTurns && !number.empty() && isLetter(word, 'P'))) {
        return;
    }
    if (rules.holdProgramEnd && held != nullptr && !number.empty() && isProgramEnd(word, number)) {
        *held += word.address;
        *held += number;
        return;
    }
    if (number.empty()) {
        out += word.address;
        return;
    }
    switch (word.kind) {
    case AddressKind::GCode: {
        const double value = parseRawValue(number);
        if (value == v.cwArcCode || value == v.ccwArcCode) {
            return;
        }
        break;
    }
    case AddressKind::Feed:
    case AddressKind::Other: break;
    default: return;
    }
    out += word.address;
    out += number;
}

// The words of a subprogram's call or return: M98, M99 and the call's P, L
// and K.
bool isCallWord(const KeptWord& word, std::string_view number)
{
    if (isLetter(word, 'M')) {
        const double value = parseRawValue(number);
        return value == 98 || value == 99;
    }
    return isLetter(word, 'P') || isLetter(word, 'L') || word.kind == AddressKind::ArcK;
}

// Hands each word of `codeText` to `close` in order, with where it begins
// (its letter; the text before the first letter comes as a word not open)
// and ends: a character that is not numeric begins the next word.
template <class Close>
void forEachWord(std::string_view codeText, const AddressTable& addresses, Close close)
{
    KeptWord word;
    std::size_t start = 0;
    for (std::size_t i = 0; i < codeText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(codeText[i]);
        if (classifyCharacter(byte) == CharacterClass::Numeric) {
            continue;
        }
        close(word, start, i);
        word = KeptWord{true, codeText[i], addresses(byte)};
        start = i;
    }
    close(word, start, codeText.size());
}

}  // namespace

void appendKeptText(std::string& out, std::string_view codeText, std::string_view commentText,
                    const CommandVocabulary& vocabulary, const AddressTable& addresses, KeptWordRules rules,
                    std::string* held)
{
    forEachWord(codeText, addresses, [&](const KeptWord& word, std::size_t start, std::size_t end) {
        if (word.open) closeKeptWord(out, word, codeText.substr(start + 1, end - start - 1), vocabulary, rules, held);
    });
    out += commentText;
}

void appendWithoutCall(std::string& out, std::string_view codeText, std::string_view commentText,
                       const AddressTable& addresses)
{
    forEachWord(codeText, addresses, [&](const KeptWord& word, std::size_t start, std::size_t end) {
        const std::string_view text = codeText.substr(start, end - start);
        if (!word.open || !isCallWord(word, text.substr(1))) out += text;
    });
    out += commentText;
}

void appendCodeNumber(std::string& out, double code, int decimals)
{
    if (std::trunc(code) == code) {
        // "%d" of the whole number; beyond the int range its exact digits.
        if (std::fabs(code) <= 2147483647.0) {
            appendInteger(out, static_cast<long long>(code));
        } else {
            appendFixed(out, code, 0);
        }
    } else {
        appendFixed(out, code, decimals);
    }
}

ProgramWriter::ProgramWriter(const Settings& settings, const AddressTable& addresses, LineSink& sink)
    : vocabulary_(settings.vocabulary),
      addresses_(addresses),
      decimals_(settings.process.decimalPlaces),
      fixedText_(decimals_),
      rules_{settings.process.arcTurnsByP != 0, settings.process.endAtProgramEnd != 0},
      dwellInSeconds_(settings.process.linuxcncCycles != 0),
      axisLetters_{letterOf(vocabulary_, AddressKind::AxisX), letterOf(vocabulary_, AddressKind::AxisY),
                   letterOf(vocabulary_, AddressKind::AxisZ)},
      sink_(&sink),
      lettersFit_(axisLetters_[AxisIndexX].size() <= maximumLetterLength &&
                  axisLetters_[AxisIndexY].size() <= maximumLetterLength &&
                  axisLetters_[AxisIndexZ].size() <= maximumLetterLength),
      paddedLetters_(padLetters(axisLetters_))
{}

std::array<ProgramWriter::PaddedLetter, 3> ProgramWriter::padLetters(const std::array<std::string, 3>& letters)
{
    std::array<PaddedLetter, 3> padded{};
    for (std::size_t axis = 0; axis < letters.size(); ++axis) {
        if (letters[axis].size() <= maximumLetterLength) {
            std::memcpy(padded[axis].text.data(), letters[axis].data(), letters[axis].size());
            padded[axis].size = letters[axis].size();
        }
    }
    return padded;
}

void ProgramWriter::beginLine()
{
    if (previousConverted_) {
        reinsertion_ = ArcCodeReinsertion::Armed;
        previousConverted_ = false;
    }
}

void ProgramWriter::noteBlock(const ParsedBlock& block)
{
    if (block.has(CommandGroup::Motion)) {
        reinsertion_ = ArcCodeReinsertion::None;
    } else if (reinsertion_ != ArcCodeReinsertion::None) {
        reinsertion_ = ArcCodeReinsertion::Needed;
    }
}

void ProgramWriter::writeSourceLine(std::string_view line, Motion modalMotion)
{
    // Most kept lines go as read, straight into the sink's room.
    if (reinsertion_ != ArcCodeReinsertion::Needed) {
        if (char* room = sink_->lineRoom(line.size())) {
            if (!line.empty()) {
                std::memcpy(room, line.data(), line.size());
            }
            sink_->endLineAt(room + line.size());
            return;
        }
    }
    line_.clear();
    if (reinsertion_ == ArcCodeReinsertion::Needed) {
        line_ += vocabulary_.gCodeLetter;
        appendCodeNumber(line_, motionCode(modalMotion), decimals_);
        reinsertion_ = ArcCodeReinsertion::None;
    }
    sink_->append(line_, line);
}

double ProgramWriter::motionCode(Motion motion) const
{
    switch (motion) {
    case Motion::Rapid: return vocabulary_.rapidCode;
    case Motion::Linear: return vocabulary_.linearCode;
    case Motion::ClockwiseArc: return vocabulary_.cwArcCode;
    case Motion::CounterClockwiseArc: break;
    }
    return vocabulary_.ccwArcCode;
}

void ProgramWriter::writeCodeLine(double code)
{
    line_.clear();
    line_ += vocabulary_.gCodeLetter;
    appendCodeNumber(line_, code, decimals_);
    sink_->append({}, line_);
}

void ProgramWriter::beginExpansion(bool incremental)
{
    if (incremental) {
        writeCodeLine(vocabulary_.absoluteCode);
    }
}

void ProgramWriter::writeExpandedMove(const Move& move)
{
    line_.clear();
    line_ += vocabulary_.gCodeLetter;
    appendCodeNumber(line_, move.isRapid() ? vocabulary_.rapidCode : vocabulary_.linearCode, decimals_);
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        line_ += axisLetters_[axis];
        appendFixed(line_, move.end[axis], decimals_);
    }
    if (!move.isRapid()) {
        line_ += vocabulary_.feedLetter;
        appendCodeNumber(line_, move.feed, decimals_);
    }
    sink_->append({}, line_);
    if (move.dwell > 0) {
        line_.clear();
        line_ += vocabulary_.gCodeLetter;
        line_ += "4P";
        if (dwellInSeconds_) {
            appendFixed(line_, move.dwell, decimals_);
        } else {
            appendInteger(line_, std::llround(move.dwell * 1000));
        }
        sink_->append({}, line_);
    }
}

void ProgramWriter::endExpansion(bool incremental)
{
    if (incremental) {
        writeCodeLine(vocabulary_.incrementalCode);
    }
    previousConverted_ = true;
}

// Nothing usable is written where a letter is too long for its room or a
// number needs the general conversion. A number whose units the cut brings
// is not converted again.
char* ProgramWriter::writeAxisWords(const Cut& cut, char* out) const
{
    if (!lettersFit_) {
        return nullptr;
    }
    const bool unitsFit = cut.shownDecimals == decimals_;
    char* p = out;
    for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
        if (!cut.hasWord[axis]) {
            continue;
        }
        const PaddedLetter& letter = paddedLetters_[axis];
        std::memcpy(p, letter.text.data(), maximumLetterLength);  // each axis has room for the padding
        p += letter.size;
        const std::optional<FixedUnits>& shown = cut.shown[axis];
        if (unitsFit && shown) {
            p = fixedText_.write(p, *shown);
            continue;
        }
        p = writeFixed(p, cut.words[axis], decimals_);
        if (p == nullptr) {
            return nullptr;
        }
    }
    return p;
}

void ProgramWriter::writeCut(const Cut& cut, const ParsedBlock& block)
{
    // Most cuts are only their axis words, written straight into the sink
    // where it has room.
    if (!cut.first && !cut.last) {
        if (char* room = sink_->lineRoom(words_.size())) {
            if (char* end = writeAxisWords(cut, room)) {
                sink_->endLineAt(end);
                return;
            }
        }
    }
    char* const wordsEnd = writeAxisWords(cut, words_.data());
    const bool written = wordsEnd != nullptr;
    const std::string_view words(words_.data(), written ? static_cast<std::size_t>(wordsEnd - words_.data()) : 0);
    if (written && !cut.first && !cut.last) {
        sink_->append({}, words);
        return;
    }
    line_.clear();
    if (cut.first) {
        line_ += vocabulary_.gCodeLetter;
        appendCodeNumber(line_, vocabulary_.linearCode, decimals_);
    }
    if (written) {
        line_ += words;
    } else {
        for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
            if (cut.hasWord[axis]) {
                line_ += axisLetters_[axis];
                appendFixed(line_, cut.words[axis], decimals_);
            }
        }
    }
    if (cut.first) {
        held_.clear();
        appendKeptText(line_, block.codeText, block.commentText, vocabulary_, addresses_, rules_, &held_);
    }
    if (cut.last) {
        line_ += held_;
    }
    sink_->append({}, line_);
}

}  // namespace drennix
