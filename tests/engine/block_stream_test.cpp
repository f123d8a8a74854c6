// The read stage's stream against reading and parsing one line at a time:
// the same lines, texts, blocks and faults in the same order, whether the
// batches are read on the caller's thread or on the stream's own, however
// small the batches, with comments split off, CR LF, the end-of-input byte
// and lines longer than a batch.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "block_stream.h"
#include "scratch_directory.h"

namespace drennix {
namespace {

struct ExpectedLine {
    std::string text;
    Fault fault;
    ParsedBlock block;
    std::string code;
    std::string comment;
};

std::vector<ExpectedLine> readOneByOne(std::string_view bytes, const Settings& settings)
{
    SourceReader reader;
    reader.openBytes(bytes);
    BlockParser parser(settings);
    std::vector<ExpectedLine> lines;
    while (!reader.atEnd()) {
        ExpectedLine line;
        line.text = reader.readSourceLine();
        line.fault = parser.parse(line.text, line.block);
        line.code = line.block.codeText;
        line.comment = line.block.commentText;
        lines.push_back(line);
    }
    return lines;
}

void expectSameBlock(const ParsedBlock& a, const ParsedBlock& b, std::size_t line)
{
    SCOPED_TRACE(line);
    EXPECT_EQ(a.blank, b.blank);
    EXPECT_EQ(a.commandCounts, b.commandCounts);
    EXPECT_EQ(a.wordCounts, b.wordCounts);
    EXPECT_EQ(a.values, b.values);
    EXPECT_EQ(a.repeated(), b.repeated());
    // The modal codes and the feed hold only where their words are.
    if (a.has(CommandGroup::Motion)) {
        EXPECT_EQ(a.motion, b.motion);
    }
    if (a.has(CommandGroup::Plane)) {
        EXPECT_EQ(a.plane, b.plane);
    }
    if (a.has(CommandGroup::CoordinateMode)) {
        EXPECT_EQ(a.coordinateMode, b.coordinateMode);
    }
    if (a.has(CommandGroup::Compensation)) {
        EXPECT_EQ(a.compensation, b.compensation);
    }
    if (a.has(AddressKind::Feed)) {
        EXPECT_EQ(a.feed, b.feed);
    }
    EXPECT_EQ(a.programEnd, b.programEnd);
    EXPECT_EQ(a.turnWords, b.turnWords);
    if (a.turnWords > 0) {
        EXPECT_EQ(a.turns, b.turns);
    }
}

// Every line the stream hands on, its block's texts compared after the whole
// stream was read: they must stay valid as long as their batch.
void expectStreamReads(std::string_view bytes, const Settings& settings, BlockStream::Options options,
                       const std::string& path = {})
{
    const std::vector<ExpectedLine> expected = readOneByOne(bytes, settings);
    SourceReader reader;
    if (path.empty()) {
        reader.openBytes(bytes);
    } else {
        ASSERT_EQ(reader.open(path), SourceReader::OpenResult::Opened);
    }
    BlockStream stream(reader, settings, options);
    std::size_t index = 0;
    while (!stream.atEnd()) {
        const SourceLine& line = stream.next();
        ASSERT_LT(index, expected.size());
        const ExpectedLine& want = expected[index];
        EXPECT_FALSE(line.readFailed);
        EXPECT_EQ(line.text, want.text) << "line " << index + 1;
        EXPECT_EQ(line.fault, want.fault) << "line " << index + 1;
        if (!want.fault) {
            expectSameBlock(line.block, want.block, index + 1);
            EXPECT_EQ(line.block.codeText, want.code) << "line " << index + 1;
            EXPECT_EQ(line.block.commentText, want.comment) << "line " << index + 1;
        }
        ++index;
    }
    EXPECT_EQ(index, expected.size());
}

std::string randomProgram(std::mt19937& random, int lines)
{
    static const char* const pieces[] = {
        "G1X1.5Y-2.25",  "G0 X10. Y20.", "(COMMENT)", "G2X5.Y5.I2.5J0.", " ", "X1.(MID)Y2.", "G1X1..",
        "(UNCLOSED",     "X12345678.9",  "G91",       "F1000.",          "",  "G3 X1 Y1 R5", "A)",
        "N10 G1 Z-1.5 ", "\r",           "X+.5",      "(A)(B)",          "%", "Y-0.001",     "G17G90"};
    std::string program;
    for (int i = 0; i < lines; ++i) {
        const int words = static_cast<int>(random() % 4);
        for (int w = 0; w < words; ++w) {
            program += pieces[random() % std::size(pieces)];
        }
        program += random() % 10 == 0 ? "\r\n" : "\n";
    }
    return program;
}

TEST(BlockStream, HandsOnWhatLineByLineReadingGives)
{
    Settings settings;
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        const std::string program = randomProgram(random, 1 + static_cast<int>(random() % 3000));
        for (const std::size_t batchBytes :
             {std::size_t{1}, std::size_t{37}, std::size_t{4096}, std::size_t{1} << 20}) {
            for (const bool concurrent : {false, true}) {
                SCOPED_TRACE(::testing::Message()
                             << "round " << round << " batch " << batchBytes << " concurrent " << concurrent);
                expectStreamReads(program, settings, {batchBytes, concurrent});
            }
        }
    }
}

// Every address's value, the feed and the turns in any combination, each
// word present or not, once or twice: a batch keeps only the values of the
// words a line has, so a value must come back in its own place.
TEST(BlockStream, HandsOnEachWordsValueInItsPlace)
{
    Settings settings;
    settings.process.endAtProgramEnd = 1;
    settings.process.arcTurnsByP = 1;
    static const char* const words[] = {"X", "Y", "Z", "I", "J", "K", "R", "F", "P", "M"};
    std::mt19937 random(11);
    std::string program;
    for (int i = 0; i < 4000; ++i) {
        if (random() % 5 == 0) {
            program += random() % 2 == 0 ? "G2" : "(NOTE)";
        }
        for (const char* word : words) {
            for (int repeat = static_cast<int>(random() % 4) - 1; repeat > 0; --repeat) {
                program += word;
                program += word[0] == 'M' ? (random() % 2 == 0 ? "30" : "5") : std::to_string(random() % 2000 - 1000);
                program += random() % 3 == 0 ? "." : "";
            }
        }
        program += '\n';
    }
    for (const std::size_t batchBytes : {std::size_t{64}, std::size_t{8192}}) {
        for (const bool concurrent : {false, true}) {
            expectStreamReads(program, settings, {batchBytes, concurrent});
        }
    }
}

// The lines of `bytes` by the text-mode rules, byte by byte: CR LF and LF
// end a line, 0x1A ends the input, a final line end gives one more line.
std::vector<std::string> splitPlainly(std::string_view bytes)
{
    std::vector<std::string> lines(1);
    for (const char c : bytes) {
        if (c == '\x1a') {
            break;
        }
        if (c == '\n') {
            if (!lines.back().empty() && lines.back().back() == '\r') {
                lines.back().pop_back();
            }
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

TEST(SourceReader, FindsEachLineEndAndTheEndOfInput)
{
    std::mt19937 random(21);
    const char alphabet[] = {'G', '1', ' ', '\n', '\r', '\x1a', '(', 'X', '.', '\x80'};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 80, ' ');
        for (char& c : bytes) {
            c = alphabet[random() % (round % 2 == 0 ? std::size(alphabet) - 1 : std::size(alphabet))];
            if (c == '\x1a' && random() % 4 != 0) {
                c = 'Y';
            }
        }
        SourceReader reader;
        reader.openBytes(bytes);
        std::vector<std::string> lines;
        while (!reader.atEnd()) {
            lines.emplace_back(reader.readSourceLine());
        }
        ASSERT_EQ(lines, splitPlainly(bytes)) << ::testing::PrintToString(bytes);
    }
}

TEST(BlockStream, KeepsTheLineEndRules)
{
    Settings settings;
    const std::string longLine = "G1X1." + std::string(200000, ' ') + "Y2.";
    for (const std::string& program :
         {std::string(), std::string("\n"), std::string("G1X1.\r\nG1X2.\r\n"), std::string("G1X1.\nX2.\x1aX3.\nX4.\n"),
          std::string("X1.\rY2.\n"), longLine + "\n(A)\n" + longLine}) {
        for (const bool concurrent : {false, true}) {
            expectStreamReads(program, settings, {16, concurrent});
        }
    }
}

// A file is read in blocks of a megabyte: lines, and CR LF pairs, that
// span two blocks come whole, whether the stream copies whole lines or a
// line at a time.
TEST(BlockStream, ReadsFilesAcrossTheReadersBlocks)
{
    Settings settings;
    std::mt19937 random(17);
    std::string program = randomProgram(random, 250000);
    const std::size_t block = std::size_t{1} << 20;
    program.replace(block - 1, 2, "\r\n");
    program.replace(2 * block - 3, 6, "(C)\r\nX");
    program += std::string(block + 100, 'X') + "\r\nG1X1.";
    const testing::ScratchDirectory scratch;
    const std::string path = scratch.write("program.nc", program).string();
    for (const std::size_t batchBytes : {std::size_t{100}, std::size_t{64} << 10}) {
        expectStreamReads(program, settings, {batchBytes, true}, path);
    }
}

TEST(BlockStream, StopsPartWayWithoutReadingOn)
{
    Settings settings;
    std::mt19937 random(9);
    const std::string program = randomProgram(random, 20000);
    SourceReader reader;
    reader.openBytes(program);
    BlockStream stream(reader, settings, {64, true});
    for (int i = 0; i < 100 && !stream.atEnd(); ++i) {
        stream.next();
    }
    stream.stop();
    EXPECT_TRUE(stream.atEnd());
    EXPECT_TRUE(reader.close());
}

TEST(BlockStream, SplitsTheCommentsOfEachDialect)
{
    Settings settings;
    applyDialect(settings.process, Dialect::LinuxCnc);
    settings.vocabulary.commentStart = "[[";
    settings.vocabulary.commentEnd = "]]";
    std::string program;
    for (int i = 0; i < 2000; ++i) {
        program += "g1x" + std::to_string(i) + " [[C" + std::to_string(i) + "]] y2 ; tail " + std::to_string(i) + "\n";
    }
    expectStreamReads(program, settings, {100, true});
}

// Lines that hold a delimiter's first byte, or a ";", or none, in any order:
// the stream tells the lines with comments from those without per batch.
TEST(BlockStream, FindsTheCommentsOfEachDialectInRandomLines)
{
    static const char* const pieces[] = {"g1x1.5", " [[C]] ", "[", "]", "]]", " ; tail", ";", "y-2", "(A)", "x[[b]]1"};
    struct Delimiters {
        const char* start;
        const char* end;
    };
    for (const Delimiters delimiters : {Delimiters{"[[", "]]"}, Delimiters{"[", "]"}, Delimiters{"", "]"}}) {
        Settings settings;
        applyDialect(settings.process, Dialect::LinuxCnc);
        settings.vocabulary.commentStart = delimiters.start;
        settings.vocabulary.commentEnd = delimiters.end;
        std::mt19937 random(9);
        std::string program;
        for (int i = 0; i < 3000; ++i) {
            for (int w = static_cast<int>(random() % 3); w > 0; --w) {
                program += pieces[random() % std::size(pieces)];
            }
            program += '\n';
        }
        SCOPED_TRACE(::testing::Message() << "delimiters " << delimiters.start << " " << delimiters.end);
        expectStreamReads(program, settings, {512, true});
    }
}

}  // namespace
}  // namespace drennix
