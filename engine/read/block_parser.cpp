#include "block_parser.h"

#include "controller_profile.h"

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
      programEndWords_(settings.process.endAtProgramEnd != 0 || settings.process.subprograms != 0),
      turnWords_(settings.process.arcTurnsByP != 0),
      dialectWords_(settings.process.cannedCycles != 0 || settings.process.dwell != 0 ||
                    settings.process.workOffsets != 0 || settings.process.subprograms != 0),
      rotaryWords_(settings.process.rotaryAxes != 0),
      toolWords_(settings.process.toolChanges != 0),
      spindleStateWords_(profileOf(settings.machine).stopsAtSpindleChange),
      spindleWords_(toolWords_ || spindleStateWords_),
      subprogramWords_(settings.process.subprograms != 0),
      spacesInWords_(settings.process.spacesInWords != 0),
      expressionsNamed_(settings.process.expressionsNamed != 0),
      addresses_(settings.vocabulary, lowerCase_),
      gCodes_(settings.vocabulary, dialectCodesOf(settings.process)),
      comments_(settings.vocabulary.commentStart, settings.vocabulary.commentEnd,
                settings.process.semicolonComments != 0)
{
    for (std::size_t byte = 0; byte < wordStarts_.size(); ++byte) {
        switch (classifyCharacter(static_cast<unsigned char>(byte))) {
        case CharacterClass::Address:
            wordStarts_[byte] = static_cast<std::int8_t>(addresses_(static_cast<unsigned char>(byte)));
            break;
        case CharacterClass::Numeric: wordStarts_[byte] = numericByte; break;
        case CharacterClass::Invalid: wordStarts_[byte] = invalidByte; break;
        }
    }
    for (std::size_t m = 0; m < gEffects_.size(); ++m) {
        gEffects_[m] = effectOf(static_cast<GCodeMeaning>(m));
        if (settings.process.cannedCycles != 0 && gEffects_[m].field == ModalField::Motion) {
            gEffects_[m].field = ModalField::MotionEndingCycle;
        }
    }
}

Fault BlockParser::parse(std::string_view line, ParsedBlock& block)
{
    block.clear();
    CommentSplit split;
    if (const Fault fault = comments_.split(line, split)) {
        return fault;
    }
    const Fault fault = parseCode(split.codeText, split.commentText, block);
    if (subprogramWords_) takeCallRepeats(block);
    return fault;
}

Fault BlockParser::parseCommentFree(std::string_view line, ParsedBlock& block) const
{
    block.clear();
    const Fault fault = parseCode(line, {}, block);
    if (subprogramWords_) takeCallRepeats(block);
    return fault;
}

// The K of an M98 block counts its repeats: it is no centre word.
void BlockParser::takeCallRepeats(ParsedBlock& block)
{
    constexpr auto k = static_cast<std::size_t>(AddressKind::ArcK) - 1;
    if (block.dialectWords && block.callWords > 0 && block.wordCounts[k] > 0) {
        block.callRepeatsByK = true;
        block.callRepeats = block.rawK;
        block.wordCounts[k] = 0;
        block.values[k] = 0;
    }
}

Fault BlockParser::parseCode(std::string_view codeText, std::string_view commentText, ParsedBlock& block) const
{
    block.codeText = codeText;
    block.commentText = commentText;
    if (spacesInWords_ || expressionsNamed_) {
        return parseDialectCode(codeText, block);
    }
    block.blank = isBlankCode(codeText);
    if (block.blank) {
        return {};
    }
    return parseWords(codeText, block);
}

// The code as LinuxCNC reads it: a parameter or an expression is named, and
// the words are cut from the code without its spaces and tabs.
Fault BlockParser::parseDialectCode(std::string_view codeText, ParsedBlock& block) const
{
    if (expressionsNamed_) {
        const std::size_t at = codeText.find_first_of("#[");
        if (at != npos) {
            return Fault{codeText[at] == '#' ? FaultId::ParameterNotRead : FaultId::ExpressionNotRead};
        }
    }
    if (spacesInWords_ && codeText.find_first_of(" \t") != npos) {
        compacted_.clear();
        for (const char c : codeText) {
            if (c != ' ' && c != '\t') compacted_ += c;
        }
        block.blank = compacted_.empty();
        return block.blank ? Fault{} : parseWords(compacted_, block);
    }
    block.blank = isBlankCode(codeText);
    return block.blank ? Fault{} : parseWords(codeText, block);
}

namespace {

// A space, or a letter outside the vocabulary: followed by another address,
// it opens an empty word that holds nothing.
bool opensEmptyWord(AddressKind address)
{
    // NoAddress (-1) and Other (9) in one comparison.
    return static_cast<unsigned>(address) > static_cast<unsigned>(AddressKind::Feed);
}

// A G word, an axis, centre or radius word: those that storeValue takes.
bool takesValue(AddressKind address)
{
    return static_cast<unsigned>(address) <= static_cast<unsigned>(AddressKind::Radius);
}

}  // namespace

// Each word's number is read in the pass that finds its end. The faults come
// in the order of the bytes: an invalid byte is found before the word it
// interrupts is checked, a word is checked when the next address begins.
Fault BlockParser::parseWords(std::string_view codeText, ParsedBlock& block) const
{
    const auto wordStart = [&](std::size_t at) { return wordStarts_[static_cast<unsigned char>(codeText[at])]; };
    // A sign, point or digit after a number that scanShortValue read: the
    // run goes on, in a shape the full reading decides.
    const auto continuesRun = [&](std::size_t at) { return at < codeText.size() && wordStart(at) == numericByte; };
    AddressKind address = AddressKind::NoAddress;
    const std::size_t n = codeText.size();
    std::size_t i = 0;
    for (;;) {
        while (opensEmptyWord(address) && i < n && wordStart(i) < numericByte) {
            address = static_cast<AddressKind>(wordStart(i));
            ++i;
        }
        std::size_t next = 0;
        ShortValue quick;
        if (address != AddressKind::NoAddress && scanShortValue(codeText, i, quick) &&
            !continuesRun(i + quick.length)) {
            // The common word: its value read at once, stored without the
            // checks it cannot fail.
            next = i + quick.length;
            if (next < n && wordStart(next) == invalidByte) {
                return Fault{FaultId::InvalidCharacter};
            }
            if (takesValue(address)) {
                storeValue(address, quick, block);
            } else {
                storeLetterValue(address, codeText[i - 1], quick.value, quick.hasPoint, block);
            }
        } else {
            std::size_t length = 0;
            const SimpleNumber number = scanNumericRun(codeText, i, length);
            next = i + length;
            // The run took every numeric byte: what follows opens the next
            // word or is invalid.
            if (next < n && wordStart(next) == invalidByte) {
                return Fault{FaultId::InvalidCharacter};
            }
            if (number.exact && address == AddressKind::GCode) {
                classifyGCode(number.value, block);
            } else if (const Fault fault = closeWord(address, i > 0 ? codeText[i - 1] : ' ', codeText.substr(i, length),
                                                     number, block)) {
                return fault;
            }
        }
        if (next == n) {
            return {};
        }
        address = static_cast<AddressKind>(wordStart(next));
        i = next + 1;
    }
}

// The code of a G word, or an axis, centre or radius value, read exactly by
// scanShortValue: what storeWord does with it, without the checks it cannot
// fail.
void BlockParser::storeValue(AddressKind address, const ShortValue& number, ParsedBlock& block) const
{
    if (address == AddressKind::GCode) {
        classifyGCode(number.value, block);
        return;
    }
    const auto index = static_cast<std::size_t>(address) - 1;
    block.count(block.wordCounts[index]);
    block.values[index] = number.hasPoint ? number.value : scaleAxisValue(number.value, false, impliedDecimals_);
    if (address == AddressKind::ArcK) {
        block.rawK = number.value;
        block.rawKPoint = number.hasPoint;
    }
}

// The feed, or a word outside the vocabulary that a dialect may read.
void BlockParser::storeLetterValue(AddressKind address, char letter, double value, bool hasPoint,
                                   ParsedBlock& block) const
{
    if (address == AddressKind::Feed) {
        block.count(block.wordCounts[static_cast<int>(AddressKind::Feed) - 1]);
        block.feed = value;
    } else if (programEndWords_ || turnWords_ || dialectWords_ || rotaryWords_ || spindleWords_ || subprogramWords_) {
        storeOtherWord(letter, value, hasPoint, block);
    }
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
    const bool hasPoint = number.wellFormed ? number.hasPoint : numericText.find('.') != npos;
    switch (address) {
    case AddressKind::NoAddress: return Fault{FaultId::NumberWithoutAddress};
    case AddressKind::GCode: classifyGCode(rawValue(), block); return {};
    case AddressKind::Feed:
    case AddressKind::Other: storeLetterValue(address, letter, rawValue(), hasPoint, block); return {};
    default: {
        const int index = static_cast<int>(address) - 1;
        block.count(block.wordCounts[static_cast<std::size_t>(index)]);
        const double raw = rawValue();
        block.values[static_cast<std::size_t>(index)] = scaleAxisValue(raw, hasPoint, impliedDecimals_);
        if (address == AddressKind::ArcK) {
            block.rawK = raw;
            block.rawKPoint = hasPoint;
        }
        return {};
    }
    }
}

// The M, P, Q, L and U words that dialect settings read, in upper case, or
// in lower case too when lower-case letters are read.
void BlockParser::storeOtherWord(char letter, double value, bool hasPoint, ParsedBlock& block) const
{
    const char upper = lowerCase_ && letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - ('a' - 'A')) : letter;
    if (upper == 'M' && programEndWords_ && (value == 2 || value == 30)) {
        block.programEnd = true;
        return;
    }
    if (upper == 'P' && turnWords_) {
        block.count(block.turnWords);
        block.turns = value;
    }
    if (rotaryWords_ && upper >= 'A' && upper <= 'C') {
        block.openDialectWords();
        block.count(block.rotaryWords);
        return;
    }
    if (toolWords_ && storeToolWord(upper, value, block)) {
        return;
    }
    if (spindleWords_ && storeSpindleWord(upper, value, block)) {
        return;
    }
    if (subprogramWords_ && storeSubprogramWord(upper, value, block)) {
        return;
    }
    if (!dialectWords_) {
        return;
    }
    ParsedBlock::ExtraLetter extra = ParsedBlock::extraLetterCount;
    switch (upper) {
    case 'P': extra = ParsedBlock::LetterP; break;
    case 'Q': extra = ParsedBlock::LetterQ; break;
    case 'L': extra = ParsedBlock::LetterL; break;
    case 'U': extra = ParsedBlock::LetterU; break;
    default: return;
    }
    block.openDialectWords();
    ParsedBlock::ExtraWord& word = block.extra[static_cast<std::size_t>(extra)];
    block.count(word.count);
    word.value = value;
    word.point = hasPoint;
}

// T, M6, H and S, where tool changes are read.
bool BlockParser::storeToolWord(char upper, double value, ParsedBlock& block) const
{
    WordCount* counter = nullptr;
    double* stored = nullptr;
    switch (upper) {
    case 'T': counter = &block.toolWords, stored = &block.tool; break;
    case 'H': counter = &block.lengthOffsetWords, stored = &block.lengthOffset; break;
    case 'M':
        if (value != 6) return false;
        block.openDialectWords();
        block.count(block.toolChangeWords);
        return true;
    default: return false;
    }
    block.openDialectWords();
    block.count(*counter);
    *stored = value;
    return true;
}

// S, where tool changes are read or the estimate stops at spindle changes;
// M3, M4 and M5 where it does.
bool BlockParser::storeSpindleWord(char upper, double value, ParsedBlock& block) const
{
    if (upper == 'S') {
        block.openDialectWords();
        block.count(block.spindleWords);
        block.spindleSpeed = value;
        return true;
    }
    if (!spindleStateWords_ || upper != 'M' || (value != 3 && value != 4 && value != 5)) return false;
    block.openDialectWords();
    block.count(block.spindleStateWords);
    block.spindleState = value == 3   ? SpindleState::Clockwise
                         : value == 4 ? SpindleState::CounterClockwise
                                      : SpindleState::Off;
    return true;
}

// M98, M99 and O, where subprograms are read.
bool BlockParser::storeSubprogramWord(char upper, double value, ParsedBlock& block) const
{
    if (upper == 'M' && (value == 98 || value == 99)) {
        block.openDialectWords();
        block.count(value == 98 ? block.callWords : block.subprogramEndWords);
        return true;
    }
    if (upper == 'O') {
        block.openDialectWords();
        block.count(block.programNumberWords);
        block.programNumber = value;
        return true;
    }
    return false;
}

DialectCodes dialectCodesOf(const ProcessSettings& process)
{
    return {process.cannedCycles != 0, process.dwell != 0, process.inchUnits != 0, process.referenceReturn != 0,
            process.workOffsets != 0};
}

// What a G word's number means: the first configured code it equals, in the
// order of the vocabulary's motion, plane, coordinate, value-set,
// coordinate-set and compensation codes.
GCodeMeaning meaningOfGCode(double value, const CommandVocabulary& v, DialectCodes dialect)
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
    if (dialect.dwell && value == 4) {
        return GCodeMeaning::Dwell;
    }
    if (dialect.units && (value == 20 || value == 21)) {
        return value == 20 ? GCodeMeaning::UnitInch : GCodeMeaning::UnitMillimetre;
    }
    if (dialect.machineMoves) {
        if (value == 28) return GCodeMeaning::ReferenceReturn;
        if (value == 30) return GCodeMeaning::SecondReferenceReturn;
        if (value == 53) return GCodeMeaning::MachineCoordinates;
    }
    if (dialect.workSystems) {
        constexpr std::array<double, workSystemCount> systems = {54, 55, 56, 57, 58, 59, 59.1, 59.2, 59.3};
        for (std::size_t k = 0; k < systems.size(); ++k) {
            if (value == systems[k]) {
                return static_cast<GCodeMeaning>(static_cast<std::size_t>(GCodeMeaning::WorkSystem1) + k);
            }
        }
    }
    if (dialect.cycles) {
        const std::pair<double, GCodeMeaning> cycles[] = {
            {80, GCodeMeaning::CycleCancel}, {73, GCodeMeaning::CycleG73},      {74, GCodeMeaning::CycleG74},
            {76, GCodeMeaning::CycleG76},    {81, GCodeMeaning::CycleG81},      {82, GCodeMeaning::CycleG82},
            {83, GCodeMeaning::CycleG83},    {84, GCodeMeaning::CycleG84},      {85, GCodeMeaning::CycleG85},
            {86, GCodeMeaning::CycleG86},    {87, GCodeMeaning::CycleG87},      {88, GCodeMeaning::CycleG88},
            {89, GCodeMeaning::CycleG89},    {98, GCodeMeaning::ReturnInitial}, {99, GCodeMeaning::ReturnR},
        };
        for (const auto& [code, meaning] : cycles) {
            if (value == code) {
                return meaning;
            }
        }
    }
    return GCodeMeaning::None;
}

GCodeTable::GCodeTable(const CommandVocabulary& vocabulary, DialectCodes dialect)
    : vocabulary_(vocabulary), dialect_(dialect)
{
    for (std::size_t k = 0; k < meanings_.size(); ++k) {
        meanings_[k] = meaningOfGCode(static_cast<double>(k), vocabulary, dialect);
    }
}

namespace {

// The effect of a word that counts in `group` and sets the modal `field` to
// `code`.
template <typename Code>
GCodeEffect settingEffect(CommandGroup group, ModalField field, Code code)
{
    return {true, group, field, static_cast<std::uint8_t>(code)};
}

GCodeEffect countingEffect(CommandGroup group)
{
    return {true, group, ModalField::None, 0};
}

GCodeEffect cycleEffect(CycleCode code)
{
    return settingEffect(CommandGroup::Motion, ModalField::Cycle, code);
}

// A word of the dialect that counts in no command group.
GCodeEffect dialectEffect(ModalField field, std::uint8_t code = 0)
{
    return {false, CommandGroup::Motion, field, code};
}

}  // namespace

GCodeEffect effectOf(GCodeMeaning meaning)
{
    switch (meaning) {
    case GCodeMeaning::None: return {};
    case GCodeMeaning::Rapid: return settingEffect(CommandGroup::Motion, ModalField::Motion, Motion::Rapid);
    case GCodeMeaning::Linear: return settingEffect(CommandGroup::Motion, ModalField::Motion, Motion::Linear);
    case GCodeMeaning::ClockwiseArc:
        return settingEffect(CommandGroup::Motion, ModalField::Motion, Motion::ClockwiseArc);
    case GCodeMeaning::CounterClockwiseArc:
        return settingEffect(CommandGroup::Motion, ModalField::Motion, Motion::CounterClockwiseArc);
    case GCodeMeaning::XyPlane: return settingEffect(CommandGroup::Plane, ModalField::Plane, Plane::XY);
    case GCodeMeaning::ZxPlane: return settingEffect(CommandGroup::Plane, ModalField::Plane, Plane::ZX);
    case GCodeMeaning::YzPlane: return settingEffect(CommandGroup::Plane, ModalField::Plane, Plane::YZ);
    case GCodeMeaning::Absolute:
        return settingEffect(CommandGroup::CoordinateMode, ModalField::CoordinateMode, CoordinateMode::Absolute);
    case GCodeMeaning::Incremental:
        return settingEffect(CommandGroup::CoordinateMode, ModalField::CoordinateMode, CoordinateMode::Incremental);
    case GCodeMeaning::ValueSet: return countingEffect(CommandGroup::ValueSet);
    case GCodeMeaning::CoordinateSet: return countingEffect(CommandGroup::CoordinateSet);
    case GCodeMeaning::CompensationCancel:
        return settingEffect(CommandGroup::Compensation, ModalField::Compensation, Compensation::Cancelled);
    case GCodeMeaning::CompensationLeft:
        return settingEffect(CommandGroup::Compensation, ModalField::Compensation, Compensation::Left);
    case GCodeMeaning::CompensationRight:
        return settingEffect(CommandGroup::Compensation, ModalField::Compensation, Compensation::Right);
    case GCodeMeaning::Dwell: return dialectEffect(ModalField::Dwell);
    case GCodeMeaning::CycleCancel: return dialectEffect(ModalField::CycleCancel);
    case GCodeMeaning::CycleG73: return cycleEffect(CycleCode::G73);
    case GCodeMeaning::CycleG74: return cycleEffect(CycleCode::G74);
    case GCodeMeaning::CycleG76: return cycleEffect(CycleCode::G76);
    case GCodeMeaning::CycleG81: return cycleEffect(CycleCode::G81);
    case GCodeMeaning::CycleG82: return cycleEffect(CycleCode::G82);
    case GCodeMeaning::CycleG83: return cycleEffect(CycleCode::G83);
    case GCodeMeaning::CycleG84: return cycleEffect(CycleCode::G84);
    case GCodeMeaning::CycleG85: return cycleEffect(CycleCode::G85);
    case GCodeMeaning::CycleG86: return cycleEffect(CycleCode::G86);
    case GCodeMeaning::CycleG87: return cycleEffect(CycleCode::G87);
    case GCodeMeaning::CycleG88: return cycleEffect(CycleCode::G88);
    case GCodeMeaning::CycleG89: return cycleEffect(CycleCode::G89);
    case GCodeMeaning::ReturnInitial:
        return dialectEffect(ModalField::Return, static_cast<std::uint8_t>(ReturnLevel::Initial));
    case GCodeMeaning::ReturnR:
        return dialectEffect(ModalField::Return, static_cast<std::uint8_t>(ReturnLevel::RLevel));
    case GCodeMeaning::UnitInch: return dialectEffect(ModalField::Unit, static_cast<std::uint8_t>(LengthUnit::Inch));
    case GCodeMeaning::UnitMillimetre:
        return dialectEffect(ModalField::Unit, static_cast<std::uint8_t>(LengthUnit::Millimetre));
    case GCodeMeaning::ReferenceReturn:
        return dialectEffect(ModalField::MachineMove, static_cast<std::uint8_t>(MachineMove::Reference));
    case GCodeMeaning::SecondReferenceReturn:
        return dialectEffect(ModalField::MachineMove, static_cast<std::uint8_t>(MachineMove::SecondReference));
    case GCodeMeaning::MachineCoordinates:
        return dialectEffect(ModalField::MachineMove, static_cast<std::uint8_t>(MachineMove::MachineCoordinates));
    default: break;
    }
    if (meaning >= GCodeMeaning::WorkSystem1 && meaning <= GCodeMeaning::WorkSystem9) {
        const auto system = static_cast<int>(meaning) - static_cast<int>(GCodeMeaning::WorkSystem1);
        return dialectEffect(ModalField::WorkSystem, static_cast<std::uint8_t>(system));
    }
    return {};
}

// Counts a G word in its command group and keeps its modal code; a number
// that matches no configured code is ignored.
void BlockParser::classifyGCode(double value, ParsedBlock& b) const
{
    const GCodeEffect& effect = gEffects_[static_cast<std::size_t>(gCodes_(value))];
    if (!effect.counted) {
        if (effect.field != ModalField::None) {
            storeDialectCode(effect, b);
        }
        return;
    }
    countCommand(b, effect.group);
    // Nearly every G word sets the motion: this branch is well predicted.
    switch (effect.field) {
    case ModalField::None: return;
    case ModalField::Motion: b.motion = static_cast<Motion>(effect.code); return;
    case ModalField::MotionEndingCycle:
        b.motion = static_cast<Motion>(effect.code);
        b.cycle = CycleCode::None;
        return;
    case ModalField::Plane: b.plane = static_cast<Plane>(effect.code); return;
    case ModalField::CoordinateMode: b.coordinateMode = static_cast<CoordinateMode>(effect.code); return;
    case ModalField::Compensation: b.compensation = static_cast<Compensation>(effect.code); return;
    case ModalField::Cycle: b.cycle = static_cast<CycleCode>(effect.code); return;
    default: return;
    }
}

// G4, G80, G98 and G99, the units, machine moves and work systems, where
// the dialect reads them.
void BlockParser::storeDialectCode(const GCodeEffect& effect, ParsedBlock& b) const
{
    b.openDialectWords();
    switch (effect.field) {
    case ModalField::Dwell: b.count(b.dwellWords); return;
    case ModalField::CycleCancel: b.count(b.cancelWords); return;
    case ModalField::Unit:
        b.count(b.unitWords);
        b.unit = static_cast<LengthUnit>(effect.code);
        return;
    case ModalField::MachineMove:
        b.count(b.machineMoveWords);
        b.machineMove = static_cast<MachineMove>(effect.code);
        return;
    case ModalField::WorkSystem:
        b.count(b.workSystemWords);
        b.workSystem = effect.code;
        return;
    default:
        b.count(b.returnWords);
        b.returnLevel = static_cast<ReturnLevel>(effect.code);
        return;
    }
}

}  // namespace drennix
