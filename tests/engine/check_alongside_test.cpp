// The check made beside a converting run gives the figures of the check made
// after it, and neither side ever waits for the other once one of them has
// stopped.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "check_alongside.h"
#include "conversion_check.h"
#include "output_store.h"
#include "run_driver.h"
#include "source_reader.h"
#include "written_program.h"

namespace drennix {
namespace {

// A converting run's listener that hands its moves and written bytes to both
// checks.
struct BothChecks : RunListener {
    BothChecks(const Settings& settings, const RunOptions& options)
        : after(settings, options), beside(settings, options)
    {}
    bool wantsMoves() const override { return true; }
    bool wantsWrittenBytes() const override { return true; }
    void move(const Move& move) override { after.noteMove(move); }
    void arcConverting(const Move& arc) override { beside.noteArc(arc); }
    void cycleExpanding(const CyclePlan& cycle) override { beside.noteCycle(cycle); }
    void outputWritten(std::string_view bytes, long long linesComplete) override
    {
        EXPECT_GE(linesComplete, lastComplete);
        lastComplete = linesComplete;
        ++blocks;
        beside.written(bytes, linesComplete);
    }

    ConversionCheck after;
    CheckAlongside beside;
    long long lastComplete = 0;
    int blocks = 0;
};

// Arcs of every plane and direction among straight moves and comments, with
// lines after the program's end that do not read as blocks.
std::string randomProgram(std::mt19937_64& random, int arcs)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::ostringstream out;
    out.precision(3);
    out << std::fixed << "G90 G17 G0 X0. Y0. Z0.\n";
    double x = 0;
    double y = 0;
    for (int i = 0; i < arcs; ++i) {
        const int plane = 17 + static_cast<int>(random() % 3);
        const double r = 0.5 + unit(random) * 40;
        out << "G" << plane << " (arc " << i << ")\n";
        if (plane != 17) {
            // A half turn about an axis of the other planes, from where the tool stands.
            const char* offset = plane == 18 ? "I" : "J";
            out << "G2 " << (plane == 18 ? "X" : "Y") << (plane == 18 ? x + 2 * r : y + 2 * r) << " " << offset << r
                << " F200.\n";
            (plane == 18 ? x : y) += 2 * r;
        } else {
            const double rise = random() % 2 ? unit(random) * 5 : 0.0;
            out << (random() % 2 ? "G2" : "G3") << " X" << x << " Y" << y << " Z" << rise << " I" << r
                << " J0. F300.\n";
        }
        out << "G1 X" << x << " Y" << y << " Z0.\n";
        if (random() % 5 == 0) out << "\n";
    }
    out << "M30\n"
        << "X\n"
        << "trailing text\n";
    return out.str();
}

void expectSameResult(const VerificationResult& beside, const VerificationResult& after)
{
    EXPECT_EQ(beside.status, after.status);
    EXPECT_EQ(beside.outputLine, after.outputLine);
    EXPECT_EQ(beside.summary.arcs, after.summary.arcs);
    EXPECT_EQ(beside.summary.lines, after.summary.lines);
    EXPECT_EQ(beside.summary.maxDeviation, after.summary.maxDeviation);
    EXPECT_EQ(beside.summary.maxDeviationLine, after.summary.maxDeviationLine);
    EXPECT_EQ(beside.summary.maxEndError, after.summary.maxEndError);
}

TEST(check_alongside, gives_the_figures_of_the_check_after_the_run)
{
    std::mt19937_64 random(8122026);
    for (const RunMode mode : {RunMode::ConvertArcs, RunMode::ConvertHelical}) {
        for (const double tolerance : {0.001, 0.05}) {
            SCOPED_TRACE(testing::Message() << "tolerance " << tolerance);
            // Enough arcs for the written bytes to come in many blocks.
            const std::string program = randomProgram(random, 1500);
            Settings settings;
            // What follows M30 is copied as it is, not read.
            settings.process.endAtProgramEnd = 1;
            RunOptions options;
            options.sourcePath = "memory.nc";
            options.tolerance = tolerance;
            options.runMode = mode;
            MemoryOutputStore output;
            BothChecks checks(settings, options);
            const RunResult result = RunDriver(settings).execute(options, checks, program, output);
            ASSERT_EQ(result.outcome, RunOutcome::Converted);
            const VerificationResult beside = checks.beside.finish();
            const VerificationResult after = checks.after.verifyBytes(output.bytes());
            ASSERT_TRUE(after.checked());
            EXPECT_GT(after.summary.arcs, 0);
            expectSameResult(beside, after);
        }
    }
}

TEST(check_alongside, never_keeps_the_run_waiting)
{
    const Settings settings;
    RunOptions options;
    options.tolerance = 0.01;
    const std::string unreadable(std::size_t{1} << 20, '!');
    // The first line does not read: the check stops reading at once, and the
    // many blocks after it (more than its buffers hold) go nowhere.
    {
        CheckAlongside check(settings, options);
        for (long long block = 1; block <= 12; ++block)
            check.written(unreadable, block);
        const VerificationResult result = check.finish();
        // No arc was converted: nothing after the last one is checked.
        EXPECT_TRUE(result.checked());
        EXPECT_EQ(result.summary.arcs, 0);
    }
    // A run that ends without a program: the check is abandoned, or simply
    // dropped, whether or not it has begun.
    {
        CheckAlongside check(settings, options);
        for (long long block = 1; block <= 12; ++block)
            check.written("G1 X1.\r\n", block);
        check.abandon();
    }
    {
        CheckAlongside check(settings, options);
        check.written("G1 X1.\r\nG1 X2.", 1);
    }
    {
        CheckAlongside check(settings, options);
    }
}

TEST(check_alongside, ends_with_a_run_rejected_after_many_blocks)
{
    std::mt19937_64 random(20261209);
    // A line at the end that the run rejects, after blocks of written bytes.
    const std::string program = randomProgram(random, 400) + "G1 X\n";
    Settings settings;
    RunOptions options;
    options.sourcePath = "memory.nc";
    options.tolerance = 0.001;
    options.runMode = RunMode::ConvertArcs;
    MemoryOutputStore output;
    BothChecks checks(settings, options);
    const RunResult result = RunDriver(settings).execute(options, checks, program, output);
    EXPECT_EQ(result.outcome, RunOutcome::LineRejected);
    EXPECT_GT(checks.blocks, 3);
    checks.beside.abandon();
    EXPECT_FALSE(output.published());
}

// Arcs told one after another, the lines between them said to hold none.
struct ScriptedArcs : ArcFeed {
    std::vector<ArcNotice> notices;
    std::size_t next_ = 0;
    bool leftUnread = false;
    ArcNotice next() override { return next_ < notices.size() ? notices[next_++] : ArcNotice{}; }
    void programLeftUnread() override { leftUnread = true; }
};

VerificationResult measureScripted(std::string_view written, ScriptedArcs& arcs, ProgramReading reading)
{
    const Settings settings;
    SourceReader reader;
    reader.openBytes(written);
    WrittenProgram program(reader, settings, {0, 0, 0}, reading);
    return measureWrittenProgram(program, arcs, 0.01, 3, nullptr);
}

// The program read ahead and on the measuring thread: the same result, and
// the same left unread.
VerificationResult measureScripted(std::string_view written, ScriptedArcs& arcs)
{
    ScriptedArcs onThread = arcs;
    const VerificationResult ahead = measureScripted(written, arcs, ProgramReading::Ahead);
    const VerificationResult measuring = measureScripted(written, onThread, ProgramReading::OnMeasuringThread);
    EXPECT_EQ(arcs.leftUnread, onThread.leftUnread);
    expectSameResult(measuring, ahead);
    return ahead;
}

TEST(check_alongside, a_line_that_does_not_read_fails_the_check_only_before_an_arc)
{
    // Source line 2 was an arc written as one cut; line 4 does not read (an
    // address without its number).
    ReferenceArc arc;
    arc.line = 2;
    arc.segments = 1;
    arc.radius = 1;
    arc.sweep = 0.5;
    const std::string written = "G1 X0. Y0. F100.\r\nG1 X1.\r\nG1 X2.\r\nX\r\nG1 X3.\r\nG1 X4.\r\n";
    const auto arcAt = [&](long long line) {
        static ReferenceArc kept[8];
        kept[line] = arc;
        kept[line].line = line;
        return ArcNotice{ArcNotice::Kind::Arc, &kept[line], 0};
    };
    const ArcNotice linesKnown{ArcNotice::Kind::LinesKnown, nullptr, 5};

    // Read ahead of the arcs and found after the last one: passed, and the
    // program is left unread.
    ScriptedArcs after;
    after.notices = {arcAt(2), linesKnown, ArcNotice{}};
    const VerificationResult passed = measureScripted(written, after);
    EXPECT_TRUE(passed.checked());
    EXPECT_EQ(passed.summary.arcs, 1);
    EXPECT_TRUE(after.leftUnread);

    // Found before an arc: failed at the same line as a check that knew
    // every arc beforehand.
    ScriptedArcs ahead;
    ahead.notices = {arcAt(2), linesKnown, arcAt(6)};
    ScriptedArcs known;
    known.notices = {arcAt(2), arcAt(6)};
    const VerificationResult failedAhead = measureScripted(written, ahead);
    const VerificationResult failedKnown = measureScripted(written, known);
    EXPECT_EQ(failedKnown.status, VerificationStatus::OutputMismatch);
    EXPECT_EQ(failedKnown.outputLine, 4);
    expectSameResult(failedAhead, failedKnown);
}

}  // namespace
}  // namespace drennix
