// The fast paths of the read and interpret stages against the straightforward
// code they replace, on random inputs: the one-pass word reading against
// cutting the line first and reading each word after, the eight-byte number
// reader against the byte loop and strtod, the table of G-word effects
// against the meanings applied one by one, and the squares and
// square roots taken without the power function against std::pow, bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "block_parser.h"
#include "number_reading.h"
#include "numerics.h"

namespace drennix {
namespace {

std::uint64_t bitsOf(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

// Texts of numeric bytes: numbers of the usual shape of any length, or
// digits mixed with signs and points; then bytes that are not numeric, short
// or long enough to be read eight at a time.
std::string randomNumericText(std::mt19937_64& random)
{
    static const std::string numeric = "0123456789+-.";
    static const std::string tails[] = {"", "X", " ", "\t", "G1", " X1.5 Y-2.25 Z0.", "Y12345678 AB", "JJJJJJJJJJ"};
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
        return text;
    };
    std::string text;
    if (random() % 2 == 0) {
        text = std::string(random() % 4 == 0 ? "-" : random() % 8 == 0 ? "+" : "") + digits(random() % 10);
        if (random() % 4 != 0) {
            text += '.' + digits(random() % 10);
        }
    } else {
        const int length = static_cast<int>(random() % 26);
        for (int i = 0; i < length; ++i) {
            const bool digit = random() % 8 != 0;
            text += digit ? static_cast<char>('0' + random() % 10) : numeric[10 + random() % 3];
        }
    }
    return text + tails[random() % std::size(tails)];
}

TEST(NumericRun, ReadsWhatTheSeparateScanReads)
{
    std::mt19937_64 random(11);
    for (int trial = 0; trial < 300000; ++trial) {
        const std::string text = randomNumericText(random);
        std::size_t length = 0;
        // Letters before the run may be read with it, never bytes outside the
        // text: the run often ends the text.
        const std::string prefix(random() % 12, 'X');
        const std::string whole = prefix + text;
        const SimpleNumber run =
            random() % 2 == 0 ? scanNumericRun(text, length) : scanNumericRun(whole, prefix.size(), length);
        const std::size_t expectedLength = text.find_first_not_of("0123456789+-.");
        ASSERT_EQ(length, expectedLength == std::string::npos ? text.size() : expectedLength) << text;
        const SimpleNumber separate = scanSimpleNumber(std::string_view(text).substr(0, length));
        ASSERT_EQ(run.wellFormed, separate.wellFormed) << text;
        ASSERT_EQ(run.exact, separate.exact) << text;
        ASSERT_EQ(run.hasPoint, separate.hasPoint) << text;
        ASSERT_EQ(bitsOf(run.value), bitsOf(separate.value)) << text;
    }
}

// The word reader's quick path takes a number, where no sign, point or digit
// follows it, only where the full reading gives the same length and value,
// exact and well formed; and it does take the usual numbers of a program, or
// the parser would quietly lose its speed.
TEST(NumericRun, ShortValuesAreTheFullReadingsWhereTaken)
{
    std::mt19937_64 random(23);
    int usualTaken = 0;
    int usual = 0;
    for (int trial = 0; trial < 300000; ++trial) {
        const std::string prefix(random() % 12, 'X');
        const std::string text = prefix + randomNumericText(random);
        ShortValue quick;
        const auto followedByRun = [&] {
            const std::size_t after = prefix.size() + quick.length;
            return after < text.size() && std::string_view("0123456789+-.").find(text[after]) != std::string::npos;
        };
        if (scanShortValue(text, prefix.size(), quick) && !followedByRun()) {
            std::size_t length = 0;
            const SimpleNumber full = scanNumericRun(text, prefix.size(), length);
            ASSERT_TRUE(full.wellFormed && full.exact) << text;
            ASSERT_EQ(quick.length, length) << text;
            ASSERT_EQ(quick.hasPoint, full.hasPoint) << text;
            ASSERT_EQ(bitsOf(quick.value), bitsOf(full.value)) << text;
        }
        // A sign, one to six digits around a point or up to six without,
        // then the next word, in a line of eight bytes or more.
        std::string digitText;
        const int digits = 1 + static_cast<int>(random() % 6);
        for (int k = 0; k < digits; ++k) {
            digitText += static_cast<char>('0' + random() % 10);
        }
        std::string number = random() % 2 == 0 ? "-" : "";
        const std::size_t point = random() % 3 != 0 ? random() % (digitText.size() + 1) : digitText.size();
        number.append(digitText, 0, point);
        if (point < digitText.size() || random() % 2 == 0) {
            number += '.';
        }
        number.append(digitText, point);
        // Appends rather than a sum: GCC 12 warns wrongly about the sum.
        std::string line = "G1X";
        line.append(number).append(random() % 2 == 0 ? "Y1.5" : " M08");
        ++usual;
        usualTaken += scanShortValue(line, 3, quick) ? 1 : 0;
    }
    EXPECT_EQ(usualTaken, usual);
}

// What the parser gives for a line without comments, worked out the plain
// way: the line cut into words byte by byte first, each word read after.
struct ExpectedBlock {
    Fault fault;
    std::array<double, 7> values{};
    std::array<int, 8> counts{};
    double feed = 0;
};

ExpectedBlock cutThenRead(std::string_view line, const AddressTable& addresses, int decimals)
{
    struct Word {
        AddressKind address;
        std::string_view text;
    };
    ExpectedBlock expected;
    std::vector<Word> words;
    AddressKind address = AddressKind::NoAddress;
    std::size_t start = 0;
    // A word is read when the next address begins; an invalid byte stops
    // the line before the word it interrupts is read.
    const auto readWord = [&](std::string_view text) {
        if (text.empty()) {
            if (address != AddressKind::NoAddress && address != AddressKind::Other) {
                expected.fault = Fault{FaultId::AddressWithoutNumber, address};
            }
            return;
        }
        if (const FaultId syntax = numberSyntaxFault(text); syntax != FaultId::None) {
            expected.fault = Fault{syntax};
            return;
        }
        if (address == AddressKind::NoAddress) {
            expected.fault = Fault{FaultId::NumberWithoutAddress};
            return;
        }
        if (address == AddressKind::Feed) {
            ++expected.counts[7];
            expected.feed = parseRawValue(text);
        } else if (address != AddressKind::GCode && address != AddressKind::Other) {
            const auto index = static_cast<std::size_t>(address) - 1;
            ++expected.counts[index];
            expected.values[index] = parseAxisValue(text, decimals);
        }
    };
    for (std::size_t i = 0; i < line.size() && !expected.fault; ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (classifyCharacter(byte) == CharacterClass::Invalid) {
            expected.fault = Fault{FaultId::InvalidCharacter};
        } else if (classifyCharacter(byte) == CharacterClass::Address) {
            readWord(line.substr(start, i - start));
            address = addresses(byte);
            start = i + 1;
        }
    }
    if (!expected.fault) {
        readWord(line.substr(start));
    }
    return expected;
}

std::string randomLine(std::mt19937_64& random)
{
    static const std::string letters = "GXYZIJKRFNMS ";
    std::string line;
    const int words = static_cast<int>(random() % 7);
    for (int w = 0; w < words; ++w) {
        if (random() % 10 != 0) {
            line += letters[random() % letters.size()];
        }
        line += randomNumericText(random);
    }
    return line;
}

TEST(BlockParser, ReadsEachLineAsCuttingItFirstDoes)
{
    Settings settings;
    std::mt19937_64 random(5);
    for (const int decimals : {3, 0, 4}) {
        settings.process.decimalPlaces = decimals;
        BlockParser parser(settings);
        for (int trial = 0; trial < 100000; ++trial) {
            const std::string line = randomLine(random);
            ParsedBlock block;
            const Fault fault = parser.parse(line, block);
            const ExpectedBlock expected = cutThenRead(line, parser.addresses(), decimals);
            ASSERT_EQ(fault, expected.fault) << line;
            if (fault || block.blank) {
                continue;
            }
            for (std::size_t i = 0; i < expected.values.size(); ++i) {
                ASSERT_EQ(std::min(expected.counts[i], 2), block.wordCounts[i]) << line;
                ASSERT_EQ(bitsOf(block.values[i]), bitsOf(expected.values[i])) << line;
            }
            ASSERT_EQ(std::min(expected.counts[7], 2), block.wordCounts[7]) << line;
            if (expected.counts[7] > 0) {
                ASSERT_EQ(bitsOf(block.feed), bitsOf(expected.feed)) << line;
            }
        }
    }
}

// The words a dialect reads outside the vocabulary (M2 and M30 that end the
// program, the P word of arc turns) and the feed, read by the quick path (in
// a line of eight bytes or more) and by the full reading (a shorter line):
// the same block.
TEST(BlockParser, DialectWordsReadTheSameByEitherPath)
{
    Settings settings;
    settings.process.endAtProgramEnd = 1;
    settings.process.arcTurnsByP = 1;
    settings.process.lowerCaseLetters = 1;
    const BlockParser parser(settings);
    for (const std::string word : {"M2",  "M30",  "M02", "M30.", "M3",   "M29.9", "m30",   "m2",   "M-30", "P3", "P0",
                                   "P-2", "P2.5", "p4",  "F120", "F0.5", "F-1",   "S8000", "N120", "T1",   "M6"}) {
        ParsedBlock shortLine;
        ParsedBlock longLine;
        const Fault shortFault = parser.parseCommentFree(word, shortLine);
        const Fault longFault = parser.parseCommentFree(word + std::string(8, ' '), longLine);
        ASSERT_EQ(shortFault, longFault) << word;
        ASSERT_EQ(shortLine.programEnd, longLine.programEnd) << word;
        ASSERT_EQ(shortLine.turnWords, longLine.turnWords) << word;
        ASSERT_EQ(bitsOf(shortLine.turns), bitsOf(longLine.turns)) << word;
        ASSERT_EQ(shortLine.wordCounts, longLine.wordCounts) << word;
        ASSERT_EQ(bitsOf(shortLine.feed), bitsOf(longLine.feed)) << word;
    }
    ParsedBlock block;
    ASSERT_EQ(parser.parseCommentFree("G1 X1.5 M30  ", block), Fault{});
    EXPECT_TRUE(block.programEnd);
    ASSERT_EQ(parser.parseCommentFree("G2 X1. R2. P3  ", block), Fault{});
    EXPECT_EQ(block.turnWords, 1);
    EXPECT_EQ(block.turns, 3.0);
}

// The values the formulas square: coordinates of up to 9 decimal places, their
// differences and sums of squares, at every scale, and doubles of any bits.
std::vector<double> valuesToSquare()
{
    std::mt19937_64 random(3);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  2.0,
                                  0.5,
                                  3.0,
                                  1e-300,
                                  1e300,
                                  -1.5,
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::nextafter(1.0, 2.0),
                                  std::nextafter(1.0, 0.0),
                                  std::nextafter(4.0, 0.0)};
    for (int trial = 0; trial < 400000; ++trial) {
        const int places = static_cast<int>(random() % 10);
        const auto scale = static_cast<double>(std::uint64_t{1} << (random() % 40));
        const auto a = static_cast<double>(static_cast<std::int64_t>(random() % 2000000) - 1000000) * scale;
        const auto b = static_cast<double>(static_cast<std::int64_t>(random() % 2000000) - 1000000);
        double x = a, y = b;
        for (int p = 0; p < places; ++p) {
            x = x / 10.0;
            y = y / 10.0;
        }
        values.push_back(x - y);
        values.push_back(x * x + y * y);
        values.push_back(std::bit_cast<double>(random()));
    }
    return values;
}

TEST(PowerShortcut, SquaresAndRootsAreThePowerFunctions)
{
    for (const double v : valuesToSquare()) {
        ASSERT_EQ(bitsOf(square(v)), bitsOf(std::pow(v, 2))) << v;
        ASSERT_EQ(bitsOf(squareRoot(v)), bitsOf(std::pow(v, 0.5))) << v;
        ASSERT_EQ(bitsOf(squareRoot(std::fabs(v))), bitsOf(std::pow(std::fabs(v), 0.5))) << v;
    }
}

// Roots whose exact value lies between 0.40 and 0.4375 units of the last
// place from the nearest double: the edge of the band the root takes
// without the power function, met many times over.
TEST(PowerShortcut, RootsNearTheEdgeOfTheShortcutAreThePowerFunctions)
{
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> spread(-30, 30);
    int nearEdge = 0;
    for (int trial = 0; trial < 3000000 && nearEdge < 100000; ++trial) {
        const double v = std::exp2(spread(random)) * (1 + std::ldexp(static_cast<double>(random() >> 12), -52));
        const double root = std::sqrt(v);
        const double unit = std::ldexp(1.0, std::ilogb(root) - 52);
        const double residual = std::fabs(std::fma(-root, root, v)) / (unit * root);
        if (residual <= 0.8 || residual > 0.875) {
            continue;
        }
        ++nearEdge;
        ASSERT_EQ(bitsOf(squareRoot(v)), bitsOf(std::pow(v, 0.5))) << v;
    }
    EXPECT_GT(nearEdge, 10000);
}

TEST(PowerShortcut, RecheckToleranceIsTheSameCall)
{
    // glibc's pow is correctly rounded: the run gives the same figures as
    // the call it always made. MinGW's pow is a few units of the last place
    // off for some exponents; there the figures are glibc's all the same.
    for (int decimals = -3; decimals <= 15; ++decimals) {
        const volatile int exponent = -decimals;  // the C library's pow, not a folded constant
#if defined(__GLIBC__)
        EXPECT_EQ(bitsOf(recheckTolerance(decimals)), bitsOf(2 * std::pow(10, exponent))) << decimals;
#else
        if (decimals >= 0 && decimals <= 9) {
            EXPECT_EQ(recheckTolerance(decimals), 2 * std::strtod(("1e-" + std::to_string(decimals)).c_str(), nullptr))
                << decimals;
        } else {
            EXPECT_EQ(bitsOf(recheckTolerance(decimals)), bitsOf(2 * std::pow(10, exponent))) << decimals;
        }
#endif
    }
}

}  // namespace
}  // namespace drennix

namespace drennix {
namespace {

// The table of whole G numbers against comparing code by code, for the
// standard codes and for vocabularies with fractional, large, repeated and
// negative codes.
TEST(GCodeTable, MeansWhatTheCodesSay)
{
    std::mt19937_64 random(3);
    std::vector<CommandVocabulary> vocabularies(4);
    vocabularies[1].rapidCode = 0.5;
    vocabularies[1].linearCode = 127;
    vocabularies[1].cwArcCode = 128;
    vocabularies[2].xyPlaneCode = 1;  // the linear code wins: it comes first
    vocabularies[2].compLeftCode = -0.0;
    vocabularies[3].absoluteCode = -90;
    vocabularies[3].incrementalCode = 1e300;
    const double fixed[] = {0,
                            -0.0,
                            0.5,
                            1,
                            2,
                            3,
                            17,
                            90,
                            91,
                            126,
                            127,
                            128,
                            129,
                            -1,
                            -90,
                            1e300,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()};
    for (const CommandVocabulary& vocabulary : vocabularies) {
        const GCodeTable table(vocabulary);
        for (const double value : fixed) {
            EXPECT_EQ(table(value), meaningOfGCode(value, vocabulary)) << value;
        }
        for (int trial = 0; trial < 20000; ++trial) {
            const double value = random() % 2 == 0 ? static_cast<double>(static_cast<int>(random() % 300) - 50)
                                                   : static_cast<double>(random() % 3000) / 10.0 - 50.0;
            ASSERT_EQ(table(value), meaningOfGCode(value, vocabulary)) << value;
        }
    }
}

}  // namespace
}  // namespace drennix

namespace drennix {
namespace {

// Numbers of the shapes the eight-byte reader takes and of those just beyond
// it, each ending its buffer (where no byte after it may be read) or followed
// by a word: what the byte loop reads, and the C library's value wherever the
// value is exact.
TEST(NumericRun, ShortShapesReadAsTheSlowPathAndStrtod)
{
    std::mt19937_64 random(17);
    const auto digits = [&](std::size_t count) {
        std::string text;
        for (std::size_t k = 0; k < count; ++k) {
            // Zeros often: leading and trailing zeros, and "-0".
            text += random() % 3 == 0 ? '0' : static_cast<char>('0' + random() % 10);
        }
        return text;
    };
    static const std::string signs[] = {"", "", "-", "+", "--", "-+"};
    static const std::string tails[] = {"", "", " ", "X1", "Y-2.5", ".", "-", "+3", "\x7F", "e5"};
    static const std::string heads[] = {"", "X", "G01 X", "N12345 G1 Y"};
    for (int trial = 0; trial < 400000; ++trial) {
        std::string number = signs[random() % std::size(signs)] + digits(random() % 10);
        if (random() % 3 != 0) {
            number += '.' + digits(random() % 10);
        }
        const std::string& head = heads[random() % std::size(heads)];
        const std::string text = head + number + tails[random() % std::size(tails)];
        // A buffer of exactly the text's bytes.
        const auto buffer = std::make_unique<char[]>(text.size());
        std::memcpy(buffer.get(), text.data(), text.size());
        const std::string_view view(buffer.get(), text.size());
        std::size_t length = 0;
        const SimpleNumber run = scanNumericRun(view, head.size(), length);
        const std::size_t stop = text.find_first_not_of("0123456789+-.", head.size());
        ASSERT_EQ(length, (stop == std::string::npos ? text.size() : stop) - head.size()) << text;
        const std::string_view runText = view.substr(head.size(), length);
        const SimpleNumber slow = scanSimpleNumber(runText);
        ASSERT_EQ(run.wellFormed, slow.wellFormed) << text;
        ASSERT_EQ(run.exact, slow.exact) << text;
        ASSERT_EQ(run.hasPoint, slow.hasPoint) << text;
        ASSERT_EQ(bitsOf(run.value), bitsOf(slow.value)) << text;
        if (run.exact) {
            ASSERT_EQ(bitsOf(run.value), bitsOf(std::strtod(std::string(runText).c_str(), nullptr))) << text;
        }
    }
}

// What the switch the effect table replaces did with a G word of a meaning.
void applyMeaning(GCodeMeaning meaning, ParsedBlock& b)
{
    const auto count = [&](CommandGroup group) { b.count(b.commandCounts[static_cast<std::size_t>(group)]); };
    switch (meaning) {
    case GCodeMeaning::None: break;
    case GCodeMeaning::Rapid: count(CommandGroup::Motion), b.motion = Motion::Rapid; break;
    case GCodeMeaning::Linear: count(CommandGroup::Motion), b.motion = Motion::Linear; break;
    case GCodeMeaning::ClockwiseArc: count(CommandGroup::Motion), b.motion = Motion::ClockwiseArc; break;
    case GCodeMeaning::CounterClockwiseArc: count(CommandGroup::Motion), b.motion = Motion::CounterClockwiseArc; break;
    case GCodeMeaning::XyPlane: count(CommandGroup::Plane), b.plane = Plane::XY; break;
    case GCodeMeaning::ZxPlane: count(CommandGroup::Plane), b.plane = Plane::ZX; break;
    case GCodeMeaning::YzPlane: count(CommandGroup::Plane), b.plane = Plane::YZ; break;
    case GCodeMeaning::Absolute:
        count(CommandGroup::CoordinateMode), b.coordinateMode = CoordinateMode::Absolute;
        break;
    case GCodeMeaning::Incremental:
        count(CommandGroup::CoordinateMode), b.coordinateMode = CoordinateMode::Incremental;
        break;
    case GCodeMeaning::ValueSet: count(CommandGroup::ValueSet); break;
    case GCodeMeaning::CoordinateSet: count(CommandGroup::CoordinateSet); break;
    case GCodeMeaning::CompensationCancel:
        count(CommandGroup::Compensation), b.compensation = Compensation::Cancelled;
        break;
    case GCodeMeaning::CompensationLeft: count(CommandGroup::Compensation), b.compensation = Compensation::Left; break;
    case GCodeMeaning::CompensationRight:
        count(CommandGroup::Compensation), b.compensation = Compensation::Right;
        break;
    default:
        // The dialect's own codes, which these vocabularies do not read.
        ADD_FAILURE() << "a dialect code was read";
        break;
    }
}

// The G words of a line, one to three of every configured code and of odd
// numbers (fractions near a code, zeros written many ways, large and
// negative numbers), against the meanings applied word by word: the counts,
// the repeat flag and all four modal codes, the ones a word leaves alone
// included.
TEST(GCodeEffects, LinesOfGWordsDoWhatTheirMeaningsSay)
{
    std::vector<CommandVocabulary> vocabularies(3);
    vocabularies[1].rapidCode = 0.5;
    vocabularies[1].linearCode = 127;
    vocabularies[1].cwArcCode = 128;
    vocabularies[1].xyPlaneCode = 1;  // never reached: the linear code comes first
    vocabularies[2].absoluteCode = -90;
    vocabularies[2].incrementalCode = 1e300;
    vocabularies[2].compLeftCode = -0.0;
    vocabularies[2].compCancelCode = 1.0000001;
    const std::vector<std::string> odd = {"1.0000001", "0.9999999", "-0",       "-0.0", "0.",
                                          ".0",        "000",       "+1",       "1.",   "01.000",
                                          "127",       "128",       "-90",      "90.",  "1" + std::string(300, '0'),
                                          "0.5",       ".5",        "99999999", "7"};
    std::mt19937_64 random(23);
    for (const CommandVocabulary& vocabulary : vocabularies) {
        Settings settings;
        settings.vocabulary = vocabulary;
        BlockParser parser(settings);
        std::vector<std::string> numbers = odd;
        for (const double code :
             {vocabulary.rapidCode, vocabulary.linearCode, vocabulary.cwArcCode, vocabulary.ccwArcCode,
              vocabulary.valueSetCode, vocabulary.xyPlaneCode, vocabulary.zxPlaneCode, vocabulary.yzPlaneCode,
              vocabulary.absoluteCode, vocabulary.incrementalCode, vocabulary.coordinateSetCode,
              vocabulary.compCancelCode, vocabulary.compLeftCode, vocabulary.compRightCode}) {
            char text[400];
            std::snprintf(text, sizeof text, "%.17g", code);
            if (std::string_view(text).find('e') == std::string_view::npos) {
                numbers.emplace_back(text);
            }
        }
        for (int trial = 0; trial < 20000; ++trial) {
            std::string line;
            ParsedBlock expected;
            expected.clear();
            // The modal fields hold values from before, as a reused block does.
            expected.motion = static_cast<Motion>(random() % 4);
            expected.plane = static_cast<Plane>(random() % 3);
            expected.coordinateMode = static_cast<CoordinateMode>(random() % 2);
            expected.compensation = static_cast<Compensation>(random() % 3);
            ParsedBlock block = expected;
            const int words = 1 + static_cast<int>(random() % 3);
            for (int w = 0; w < words; ++w) {
                const std::string& number = numbers[random() % numbers.size()];
                line += (w > 0 ? " G" : "G") + number;
                applyMeaning(meaningOfGCode(std::strtod(number.c_str(), nullptr), vocabulary), expected);
            }
            ASSERT_EQ(parser.parseCommentFree(line, block), Fault{}) << line;
            ASSERT_EQ(block.commandCounts, expected.commandCounts) << line;
            // Two words of one group: a count of two, nowhere else.
            const bool twice = std::find(expected.commandCounts.begin(), expected.commandCounts.end(), 2) !=
                               expected.commandCounts.end();
            ASSERT_EQ(block.repeated(), twice) << line;
            ASSERT_EQ(block.motion, expected.motion) << line;
            ASSERT_EQ(block.plane, expected.plane) << line;
            ASSERT_EQ(block.coordinateMode, expected.coordinateMode) << line;
            ASSERT_EQ(block.compensation, expected.compensation) << line;
        }
    }
}

}  // namespace
}  // namespace drennix
