// The benchmark programs: exact size, the same bytes for the same seed, and
// every block acceptable to a reader with the default settings.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "program_audit.h"
#include "program_generator.h"

namespace drennix::bench {
namespace {

using testing::auditProgram;

std::string generate(std::uint64_t bytes, std::uint64_t seed = 1) { return generateProgramText({bytes, seed}); }

std::string describeFaults(const testing::ProgramAudit& audit) {
    std::string text;
    for (std::size_t i = 0; i < audit.faults.size() && i < 10; ++i) text += audit.faults[i] + "\n";
    return text;
}

// Sizes around the closing lines (9 bytes), around the opening, and across the
// generator's 64 KiB chunks.
class GeneratedProgramSize : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(GeneratedProgramSize, IsExactAndWellFormed) {
    const std::uint64_t bytes = GetParam();
    const std::string program = generate(bytes);
    ASSERT_EQ(program.size(), bytes);
    const auto audit = auditProgram(program);
    EXPECT_TRUE(audit.faults.empty()) << describeFaults(audit);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GeneratedProgramSize,
                         ::testing::Values(0u, 1u, 2u, 3u, 4u, 7u, 8u, 9u, 10u, 100u, 150u, 151u, 152u, 1000u,
                                           65535u, 65536u, 65537u, 200003u));

TEST(GeneratedProgram, SameSeedGivesSameBytes) {
    EXPECT_EQ(generate(300000, 7), generate(300000, 7));
    EXPECT_NE(generate(300000, 7), generate(300000, 8));
}

TEST(GeneratedProgram, ChunksJoinToTheWholeProgram) {
    std::string joined;
    int chunks = 0;
    ASSERT_TRUE(generateProgram({500000, 3}, [&](std::string_view chunk) {
        joined += chunk;
        ++chunks;
        return true;
    }));
    EXPECT_GT(chunks, 1);
    EXPECT_EQ(joined, generate(500000, 3));
}

TEST(GeneratedProgram, StopsWhenTheSinkRefuses) {
    int chunks = 0;
    EXPECT_FALSE(generateProgram({500000, 3}, [&](std::string_view) { return ++chunks < 2; }));
    EXPECT_EQ(chunks, 2);
}

// A smaller program would not show every kind of block; 2 MB holds several
// hundred of the rarest.
class GeneratedProgramSeed : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(GeneratedProgramSeed, EveryBlockIsAcceptable) {
    const auto audit = auditProgram(generate(2'000'000, GetParam()));
    EXPECT_TRUE(audit.faults.empty()) << describeFaults(audit);
    EXPECT_LE(audit.worstEndPointError, 0.0005);
    EXPECT_LT(audit.largestCoordinate, 250.0);
}

TEST_P(GeneratedProgramSeed, MixesEveryKindOfBlock) {
    const auto audit = auditProgram(generate(2'000'000, GetParam()));
    EXPECT_GT(audit.rapidMoves, 0);
    EXPECT_GT(audit.linearMoves, audit.rapidMoves);
    EXPECT_GT(audit.arcsByOffsets, 0);
    EXPECT_GT(audit.arcsByRadius, 0);
    EXPECT_GT(audit.fullCircles, 0);
    EXPECT_GT(audit.helicalArcs, 0);
    EXPECT_GT(audit.clockwiseArcs, 0);
    EXPECT_GT(audit.counterClockwiseArcs, 0);
    EXPECT_GT(audit.arcsInZxPlane, 0);
    EXPECT_GT(audit.arcsInYzPlane, 0);
    EXPECT_GT(audit.incrementalMoves, 0);
    EXPECT_GT(audit.compensatedMoves, 0);
    EXPECT_GT(audit.coordinateSets, 0);
    EXPECT_GT(audit.valueSets, 0);
    EXPECT_GT(audit.sequenceNumbers, 0);
    EXPECT_GT(audit.impliedDecimalWords, 0);
    EXPECT_GT(audit.nonAsciiComments, 0);
    EXPECT_GT(audit.commentOnlyLines, 0);
    EXPECT_GT(audit.blankLines, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedProgramSeed, ::testing::Values(1u, 2u, 12345u));

// The audit is what vouches for the programs, so it must see the faults a
// reader objects to.
struct FaultyProgram {
    const char* name;
    const char* text;
    friend void PrintTo(const FaultyProgram& program, std::ostream* out) { *out << program.name; }
};

class ProgramAuditFault : public ::testing::TestWithParam<FaultyProgram> {};

TEST_P(ProgramAuditFault, IsReported) { EXPECT_FALSE(auditProgram(GetParam().text).faults.empty()); }

INSTANTIATE_TEST_SUITE_P(
    Faults, ProgramAuditFault,
    ::testing::Values(FaultyProgram{"CutWithoutFeed", "G1 X1.\r\n"},
                      FaultyProgram{"ArcEndOffCircle", "G2 X10. Y0.1 I5. J0. F100.\r\n"},
                      FaultyProgram{"RadiusTooShort", "G2 X1. Y1. R0.7 F100.\r\n"},
                      FaultyProgram{"RadiusArcToStart", "G3 X0. Y0. R5. F100.\r\n"},
                      FaultyProgram{"OffsetAlongNormal", "G17 G2 X1. K1. F100.\r\n"},
                      FaultyProgram{"ArcWithoutCentre", "G2 X1. F100.\r\n"},
                      FaultyProgram{"RapidUnderCompensation", "G41 G1 X1. F100.\r\nG0 X2.\r\n"},
                      FaultyProgram{"CoordinateSetMissingZ", "G92 X1. Y1.\r\n"},
                      FaultyProgram{"RepeatedWord", "G0 X1. X2.\r\n"},
                      FaultyProgram{"TwoMotionCodes", "G0 G1 X1. F100.\r\n"},
                      FaultyProgram{"NumberAfterComment", "G0 X1.(A)2.\r\n"},
                      FaultyProgram{"UnclosedComment", "G0 X1.(A\r\n"},
                      FaultyProgram{"AddressWithoutNumber", "G0 X Y1.\r\n"},
                      FaultyProgram{"BareLineFeed", "G0 X1.\nG0 X2.\r\n"},
                      FaultyProgram{"MissingFinalLineEnd", "G0 X1."},
                      FaultyProgram{"TabInCode", "G0\tX1.\r\n"}),
    [](const ::testing::TestParamInfo<FaultyProgram>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace drennix::bench
