#include "block_parser.h"

#include <utility>

namespace drennix {

namespace {

constexpr auto npos = std::string_view::npos;

void countCommand(ParsedBlock& block, CommandGroup group)
{
    block.count(block.commandCounts[static_cast<int>(group)]);
}

}  // namespace

AddressKind classifyAddress(std::string_view character, const CommandVocabulary& vocabulary)
{
    for (int kind = static_cast<int>(AddressKind::GCode); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        if (character == letterOf(vocabulary, static_cast<AddressKind>(kind))) {
            return static_cast<AddressKind>(kind);
        }
    }
    if (character == " ") {
        return AddressKind::NoAddress;
    }
    return AddressKind::Other;
}

AddressTable::AddressTable(const CommandVocabulary& vocabulary, bool lowerCase)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        kinds_[static_cast<std::size_t>(byte)] = classifyAddress(std::string_view(&c, 1), vocabulary);
    }
    if (!lowerCase) {
        return;
    }
    for (int kind = static_cast<int>(AddressKind::GCode); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        const std::string& letter = letterOf(vocabulary, static_cast<AddressKind>(kind));
        const auto upper = static_cast<unsigned char>(letter.front());
        if (letter.size() == 1 && upper >= 'A' && upper <= 'Z' && kinds_[upper + ('a' - 'A')] == AddressKind::Other) {
            kinds_[upper + ('a' - 'A')] = static_cast<AddressKind>(kind);
        }
    }
}

// A plain loop: a code text nearly always begins with its first word, and the
// library's search costs a call to find that.
bool isBlankCode(std::string_view codeText)
{
    for (const char c : codeText) {
        if (c != ' ') {
            return false;
        }
    }
    return true;
}

BlockParser::BlockParser(const Settings& settings)
    : impliedDecimals_(settings.process.calculatorDecimals != 0 ? 0 : settings.process.decimalPlaces),
      lowerCase_(settings.process.lowerCaseLetters != 0),
      programEndWords_(settings.process.endAtProgramEnd != 0),
      turnWords_(settings.process.arcTurnsByP != 0),
      addresses_(settings.vocabulary, lowerCase_),
      gCodes_(settings.vocabulary),
      comments_(settings.vocabulary.commentStart, settings.vocabulary.commentEnd,
                settings.process.semicolonComments != 0)
{}

Fault BlockParser::parse(std::string_view line, ParsedBlock& block)
{
    block.clear();
    CommentSplit split;
    if (const Fault fault = comments_.split(line, split)) {
        return fault;
    }
    return parseCode(split.codeText, split.commentText, block);
}

Fault BlockParser::parseCommentFree(std::string_view line, ParsedBlock& block) const
{
    block.clear();
    return parseCode(line, {}, block);
}

Fault BlockParser::parseCode(std::string_view codeText, std::string_view commentText, ParsedBlock& block) const
{
    block.codeText = codeText;
    block.commentText = commentText;
    block.blank = isBlankCode(codeText);
    if (block.blank) {
        return {};
    }
    return parseWords(codeText, block);
}

// Each word's number is read in the pass that finds its end. The faults come
// in the order of the bytes: an invalid byte is found before the word it
// interrupts is checked, a word is checked when the next address begins.
Fault BlockParser::parseWords(std::string_view codeText, ParsedBlock& block) const
{
    AddressKind address = AddressKind::NoAddress;
    char letter = ' ';
    const std::size_t n = codeText.size();
    std::size_t i = 0;
    for (;;) {
        // A space or a letter outside the vocabulary followed by another
        // address opens an empty word that holds nothing: the next one opens.
        while (i < n && (address == AddressKind::NoAddress || address == AddressKind::Other) &&
               classifyCharacter(static_cast<unsigned char>(codeText[i])) == CharacterClass::Address) {
            address = addresses_(static_cast<unsigned char>(codeText[i]));
            letter = codeText[i];
            ++i;
        }
        std::size_t length = 0;
        const SimpleNumber number = scanNumericRun(codeText, i, length);
        const std::size_t next = i + length;
        if (next < n && classifyCharacter(static_cast<unsigned char>(codeText[next])) == CharacterClass::Invalid) {
            return Fault{FaultId::InvalidCharacter};
        }
        if (number.exact && address >= AddressKind::AxisX && address <= AddressKind::Radius) {
            storeExactValue(address, number, block);
        } else if (number.exact && address == AddressKind::GCode) {
            classifyGCode(number.value, block);
        } else if (const Fault fault = closeWord(address, letter, codeText.substr(i, length), number, block)) {
            return fault;
        }
        if (next == n) {
            return {};
        }
        address = addresses_(static_cast<unsigned char>(codeText[next]));
        letter = codeText[next];
        i = next + 1;
    }
}

// The common word, an axis, centre or radius value read exactly: what
// storeWord does with it, without the checks it cannot fail.
void BlockParser::storeExactValue(AddressKind address, const SimpleNumber& number, ParsedBlock& block) const
{
    const auto index = static_cast<std::size_t>(address) - 1;
    block.count(block.wordCounts[index]);
    block.values[index] = number.hasPoint ? number.value : scaleAxisValue(number.value, false, impliedDecimals_);
}

// A word with numeric text is stored; an address of the vocabulary without
// one is a fault.
Fault BlockParser::closeWord(AddressKind address, char letter, std::string_view numericText, const SimpleNumber& number,
                             ParsedBlock& block) const
{
    if (!numericText.empty()) {
        return storeWord(address, letter, numericText, number, block);
    }
    if (address == AddressKind::NoAddress || address == AddressKind::Other) {
        return {};
    }
    return Fault{FaultId::AddressWithoutNumber, address};
}

Fault BlockParser::storeWord(AddressKind address, char letter, std::string_view numericText, const SimpleNumber& number,
                             ParsedBlock& block) const
{
    if (!number.wellFormed) {
        if (const FaultId syntax = numberSyntaxFault(numericText); syntax != FaultId::None) {
            return Fault{syntax};
        }
    }
    const auto rawValue = [&] { return number.exact ? number.value : parseRawValue(numericText); };
    switch (address) {
    case AddressKind::NoAddress: return Fault{FaultId::NumberWithoutAddress};
    case AddressKind::GCode: classifyGCode(rawValue(), block); return {};
    case AddressKind::Feed:
        block.count(block.wordCounts[static_cast<int>(AddressKind::Feed) - 1]);
        block.feed = rawValue();
        return {};
    case AddressKind::Other:
        if (programEndWords_ || turnWords_) storeOtherWord(letter, rawValue(), block);
        return {};
    default: {
        const int index = static_cast<int>(address) - 1;
        block.count(block.wordCounts[static_cast<std::size_t>(index)]);
        const bool hasPoint = number.wellFormed ? number.hasPoint : numericText.find('.') != npos;
        block.values[static_cast<std::size_t>(index)] = scaleAxisValue(rawValue(), hasPoint, impliedDecimals_);
        return {};
    }
    }
}

// The M and P words that dialect settings read, in upper case, or in lower
// case too when lower-case letters are read.
void BlockParser::storeOtherWord(char letter, double value, ParsedBlock& block) const
{
    const char upper = lowerCase_ && letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - ('a' - 'A')) : letter;
    if (upper == 'M' && programEndWords_ && (value == 2 || value == 30)) {
        block.programEnd = true;
    } else if (upper == 'P' && turnWords_) {
        block.count(block.turnWords);
        block.turns = value;
    }
}

// What a G word's number means: the first configured code it equals, in the
// order of the vocabulary's motion, plane, coordinate, value-set,
// coordinate-set and compensation codes.
GCodeMeaning meaningOfGCode(double value, const CommandVocabulary& v)
{
    const std::pair<double, GCodeMeaning> codes[] = {
        {v.rapidCode, GCodeMeaning::Rapid},
        {v.linearCode, GCodeMeaning::Linear},
        {v.cwArcCode, GCodeMeaning::ClockwiseArc},
        {v.ccwArcCode, GCodeMeaning::CounterClockwiseArc},
        {v.xyPlaneCode, GCodeMeaning::XyPlane},
        {v.zxPlaneCode, GCodeMeaning::ZxPlane},
        {v.yzPlaneCode, GCodeMeaning::YzPlane},
        {v.absoluteCode, GCodeMeaning::Absolute},
        {v.incrementalCode, GCodeMeaning::Incremental},
        {v.valueSetCode, GCodeMeaning::ValueSet},
        {v.coordinateSetCode, GCodeMeaning::CoordinateSet},
        {v.compCancelCode, GCodeMeaning::CompensationCancel},
        {v.compLeftCode, GCodeMeaning::CompensationLeft},
        {v.compRightCode, GCodeMeaning::CompensationRight},
    };
    for (const auto& [code, meaning] : codes) {
        if (value == code) {
            return meaning;
        }
    }
    return GCodeMeaning::None;
}

GCodeTable::GCodeTable(const CommandVocabulary& vocabulary) : vocabulary_(vocabulary)
{
    for (std::size_t k = 0; k < meanings_.size(); ++k) {
        meanings_[k] = meaningOfGCode(static_cast<double>(k), vocabulary);
    }
}

// Counts a G word in its command group and keeps its modal code; a number
// that matches no configured code is ignored.
void BlockParser::classifyGCode(double value, ParsedBlock& b) const
{
    switch (gCodes_(value)) {
    case GCodeMeaning::None: return;
    case GCodeMeaning::Rapid:
        countCommand(b, CommandGroup::Motion);
        b.motion = Motion::Rapid;
        return;
    case GCodeMeaning::Linear:
        countCommand(b, CommandGroup::Motion);
        b.motion = Motion::Linear;
        return;
    case GCodeMeaning::ClockwiseArc:
        countCommand(b, CommandGroup::Motion);
        b.motion = Motion::ClockwiseArc;
        return;
    case GCodeMeaning::CounterClockwiseArc:
        countCommand(b, CommandGroup::Motion);
        b.motion = Motion::CounterClockwiseArc;
        return;
    case GCodeMeaning::XyPlane:
        countCommand(b, CommandGroup::Plane);
        b.plane = Plane::XY;
        return;
    case GCodeMeaning::ZxPlane:
        countCommand(b, CommandGroup::Plane);
        b.plane = Plane::ZX;
        return;
    case GCodeMeaning::YzPlane:
        countCommand(b, CommandGroup::Plane);
        b.plane = Plane::YZ;
        return;
    case GCodeMeaning::Absolute:
        countCommand(b, CommandGroup::CoordinateMode);
        b.coordinateMode = CoordinateMode::Absolute;
        return;
    case GCodeMeaning::Incremental:
        countCommand(b, CommandGroup::CoordinateMode);
        b.coordinateMode = CoordinateMode::Incremental;
        return;
    case GCodeMeaning::ValueSet: countCommand(b, CommandGroup::ValueSet); return;
    case GCodeMeaning::CoordinateSet: countCommand(b, CommandGroup::CoordinateSet); return;
    case GCodeMeaning::CompensationCancel:
        countCommand(b, CommandGroup::Compensation);
        b.compensation = Compensation::Cancelled;
        return;
    case GCodeMeaning::CompensationLeft:
        countCommand(b, CommandGroup::Compensation);
        b.compensation = Compensation::Left;
        return;
    case GCodeMeaning::CompensationRight:
        countCommand(b, CommandGroup::Compensation);
        b.compensation = Compensation::Right;
        return;
    }
}

}  // namespace drennix
