// The canned cycles and the dwell, where the dialect reads them: each
// cycle's moves worked out by hand, several holes, G98 against G99,
// incremental repeats, each plane, each rule a control alarms on, the dwell
// units of each dialect, the figures and the estimate; and with the default
// settings the codes mean what they meant before.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check_alongside.h"
#include "conversion_check.h"
#include "messages.h"
#include "output_store.h"
#include "recording_host.h"
#include "run_driver.h"

namespace drennix {
namespace {

struct CycleRun {
    RunResult result;
    std::vector<Move> moves;
    testing::RecordingHost host;
};

CycleRun runIn(Dialect dialect, const std::string& program, RunMode mode = RunMode::MachiningTime,
               bool estimate = false)
{
    Settings settings;
    applyDialect(settings.process, dialect);
    RunOptions options;
    options.sourcePath = "cycle.nc";
    options.runMode = mode;
    options.estimate = estimate;
    CycleRun run;
    run.host.listensToMoves = true;
    MemoryOutputStore output;
    run.result = RunDriver(settings).execute(options, run.host, program, output);
    run.moves = run.host.moves;
    return run;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value + 0.0);
    return text;
}

// "G0 10 10 2" or "G1 10 10 -5 P0.5": the kind, the end and the dwell.
std::string described(const Move& move)
{
    std::string text = move.kind == MoveKind::Rapid ? "G0" : "G1";
    for (const double axis : move.end) {
        text.append(1, ' ');
        text.append(number(axis));
    }
    if (move.dwell > 0) {
        text.append(" P");
        text.append(number(move.dwell));
    }
    return text;
}

// The moves of the lines from `firstLine` on.
std::vector<std::string> movesFrom(const CycleRun& run, long long firstLine)
{
    std::vector<std::string> moves;
    for (const Move& move : run.moves)
        if (move.line >= firstLine) moves.push_back(described(move));
    return moves;
}

const std::string start = "G90 G17 G0 X0. Y0. Z50.\n";

struct CycleCase {
    std::string block;
    std::vector<std::string> moves;
};

TEST(canned_cycle, each_cycle_makes_the_moves_of_the_control)
{
    const CycleCase cases[] = {
        {"G98 G81 X10. Y10. Z-10. R2. F100.", {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10", "G0 10 10 50"}},
        {"G98 G82 X10. Y10. Z-10. R2. P500 F100.", {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10 P0.5", "G0 10 10 50"}},
        {"G98 G73 X10. Y10. Z-10. R2. Q4. F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -2", "G0 10 10 -1.746", "G1 10 10 -6", "G0 10 10 -5.746",
          "G1 10 10 -10", "G0 10 10 50"}},
        {"G98 G83 X10. Y10. Z-10. R2. Q4. F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -2", "G0 10 10 2", "G0 10 10 -1.746", "G1 10 10 -6", "G0 10 10 2",
          "G0 10 10 -5.746", "G1 10 10 -10", "G0 10 10 50"}},
        {"G98 G84 X10. Y10. Z-10. R2. P300 F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10 P0.3", "G1 10 10 2", "G0 10 10 50"}},
        {"G98 G74 X10. Y10. Z-10. R2. F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10", "G1 10 10 2", "G0 10 10 50"}},
        {"G98 G85 X10. Y10. Z-10. R2. F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10", "G1 10 10 2", "G0 10 10 50"}},
        {"G98 G86 X10. Y10. Z-10. R2. F100.", {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10", "G0 10 10 50"}},
        {"G98 G88 X10. Y10. Z-10. R2. P200 F100.", {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10 P0.2", "G0 10 10 50"}},
        {"G98 G89 X10. Y10. Z-10. R2. P200 F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10 P0.2", "G1 10 10 2", "G0 10 10 50"}},
        // Fine boring: off the wall by Q at the bottom, out, back.
        {"G98 G76 X10. Y10. Z-10. R2. Q1. P100 F100.",
         {"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10 P0.1", "G0 11 10 -10", "G0 11 10 50", "G0 10 10 50"}},
        // Back boring: down shifted to the R level below the bottom, up at
        // the feed, out shifted.
        {"G98 G87 X10. Y10. Z-2. R-12. Q1. F100.",
         {"G0 10 10 50", "G0 11 10 50", "G0 11 10 -12", "G0 10 10 -12", "G1 10 10 -2", "G0 11 10 -2", "G0 11 10 50",
          "G0 10 10 50"}},
    };
    for (const CycleCase& c : cases) {
        const CycleRun run = runIn(Dialect::Fanuc, start + c.block + "\n");
        EXPECT_EQ(run.result.outcome, RunOutcome::Calculated) << c.block;
        EXPECT_EQ(movesFrom(run, 2), c.moves) << c.block;
        for (const Move& move : run.moves) {
            if (move.line == 2) {
                EXPECT_NE(move.cycle, CycleCode::None) << c.block;
            }
        }
    }
}

TEST(canned_cycle, later_blocks_drill_the_next_holes_with_what_the_series_keeps)
{
    // G98: back to the initial level after every hole; G99: to the R level.
    const CycleRun initial =
        runIn(Dialect::Fanuc, start + "G98 G81 X10. Y10. Z-10. R2. F100.\nX20.\nY20.\nG80 G0 Z60.\n");
    EXPECT_EQ(movesFrom(initial, 3),
              (std::vector<std::string>{"G0 20 10 50", "G0 20 10 2", "G1 20 10 -10", "G0 20 10 50", "G0 20 20 50",
                                        "G0 20 20 2", "G1 20 20 -10", "G0 20 20 50", "G0 20 20 60"}));
    const CycleRun rLevel = runIn(Dialect::Fanuc, start + "G99 G81 X10. Y10. Z-10. R2. F100.\nX20.\nG98 X30.\n");
    EXPECT_EQ(movesFrom(rLevel, 2),
              (std::vector<std::string>{"G0 10 10 50", "G0 10 10 2", "G1 10 10 -10", "G0 10 10 2", "G0 20 10 2",
                                        "G1 20 10 -10", "G0 20 10 2", "G0 30 10 2", "G1 30 10 -10", "G0 30 10 50"}));
    // A block without a position drills nothing; G0 ends the series.
    const CycleRun ended = runIn(Dialect::Fanuc, start + "G81 X10. Y10. Z-10. R2. F100.\nF200.\nG0 X0.\n");
    EXPECT_EQ(movesFrom(ended, 3), (std::vector<std::string>{"G0 0 10 50"}));
}

TEST(canned_cycle, incremental_repeats_step_from_hole_to_hole)
{
    // R from the initial level, the bottom from R, X the step.
    const std::vector<std::string> expected{"G0 10 0 50",  "G0 10 0 2", "G1 10 0 -10", "G0 10 0 2",   "G0 20 0 2",
                                            "G1 20 0 -10", "G0 20 0 2", "G0 30 0 2",   "G1 30 0 -10", "G0 30 0 2"};
    const CycleRun fanuc = runIn(Dialect::Fanuc, start + "G91 G99 G81 X10. Z-12. R-48. K3 F100.\n");
    EXPECT_EQ(movesFrom(fanuc, 2), expected);
    const CycleRun linuxcnc = runIn(Dialect::LinuxCnc, start + "G91 G99 G81 X10 Z-12 R-48 L3 F100\n");
    EXPECT_EQ(movesFrom(linuxcnc, 2), expected);
    // K0: the data is kept, nothing drilled.
    const CycleRun none = runIn(Dialect::Fanuc, start + "G81 X10. Z-12. R2. K0 F100.\nX20.\n");
    EXPECT_EQ(movesFrom(none, 2), (std::vector<std::string>{"G0 20 0 50", "G0 20 0 2", "G1 20 0 -12", "G0 20 0 50"}));
}

TEST(canned_cycle, the_drilling_axis_follows_the_plane)
{
    const CycleRun zx = runIn(Dialect::Fanuc, "G90 G18 G0 X0. Y50. Z0.\nG98 G81 X10. Z10. Y-10. R2. F100.\n");
    EXPECT_EQ(movesFrom(zx, 2), (std::vector<std::string>{"G0 10 50 10", "G0 10 2 10", "G1 10 -10 10", "G0 10 50 10"}));
    const CycleRun yz = runIn(Dialect::Fanuc, "G90 G19 G0 X50. Y0. Z0.\nG98 G81 Y10. Z10. X-10. R2. F100.\n");
    EXPECT_EQ(movesFrom(yz, 2), (std::vector<std::string>{"G0 50 10 10", "G0 2 10 10", "G1 -10 10 10", "G0 50 10 10"}));
}

TEST(canned_cycle, linuxcnc_rises_to_the_r_level_first_and_returns_no_lower)
{
    const CycleRun run = runIn(Dialect::LinuxCnc, "G90 G0 X0 Y0 Z0\nG98 G81 X10 Y10 Z-10 R2 F100\n");
    EXPECT_EQ(movesFrom(run, 2), (std::vector<std::string>{"G0 0 0 2", "G0 10 10 2", "G1 10 10 -10", "G0 10 10 2"}));
}

struct Rejection {
    Dialect dialect;
    std::string program;
    int line;
    std::string_view text;
};

TEST(canned_cycle, each_rule_a_control_alarms_on_names_the_line)
{
    using namespace messages;
    const Rejection cases[] = {
        {Dialect::Fanuc, "G81 X10. R2. F100.", 2, cycleWithoutBottom},
        {Dialect::Fanuc, "G81 X10. Z-5. F100.", 2, cycleWithoutRLevel},
        {Dialect::Fanuc, "G1 G41 X1. F100.\nG81 X10. Z-5. R2.", 3, cycleCompensation},
        {Dialect::Fanuc, "G83 X10. Z-5. R2. Q0 F100.", 2, cyclePeck},
        {Dialect::Fanuc, "G73 X10. Z-5. R2. F100.", 2, cyclePeck},
        {Dialect::Fanuc, "G83 X10. Z-5000. R2. Q0.001 F100.", 2, cycleTooManyPecks},
        {Dialect::Fanuc, "G81 X10. Z-5. R-6. F100.", 2, cycleRLevelBeyondBottom},
        {Dialect::Fanuc, "G87 X10. Z-5. R2. Q1. F100.", 2, cycleRLevelBeyondBottom},
        {Dialect::Fanuc, "G81 X10. Z-5. R2. K1.5 F100.", 2, cycleRepeatsInvalid},
        {Dialect::LinuxCnc, "G81 X10 Z-5 R2 L0 F100", 2, cycleRepeatsInvalid},
        {Dialect::LinuxCnc, "G81 X10 Z-5 R2 L2.5 F100", 2, cycleRepeatsInvalid},
        {Dialect::Fanuc, "G81 X10. Z-5. R2.", 2, cycleFeed},
        {Dialect::Fanuc, "G81 X10. Z-5. R2. I1. F100.", 2, cycleCentreWords},
        {Dialect::LinuxCnc, "G76 X10 Z-5 R2 F100", 2, cycleNotRead},
        {Dialect::LinuxCnc, "G86 X10 Z-5 R2 F100", 2, cycleWithoutDwell},
        {Dialect::Fanuc, "G4", 2, dwellWithoutTime},
        {Dialect::Fanuc, "G4 P1.5", 2, dwellTimeInvalid},
        {Dialect::Fanuc, "G4 P-10", 2, dwellTimeInvalid},
        {Dialect::Fanuc, "G4 Z1.", 2, dwellAxisWords},
        {Dialect::LinuxCnc, "G4 X1 P1", 2, dwellAxisWords},
        {Dialect::LinuxCnc, "G4", 2, dwellWithoutTime},
    };
    for (const Rejection& c : cases) {
        const CycleRun run = runIn(c.dialect, start + c.program + "\n");
        EXPECT_EQ(run.result.outcome, RunOutcome::LineRejected) << c.program;
        ASSERT_FALSE(run.host.messages.empty()) << c.program;
        EXPECT_EQ(run.host.messages.front().text, composeLineMessage(c.line, c.text)) << c.program;
    }
}

TEST(canned_cycle, the_default_settings_read_the_codes_as_before)
{
    const CycleRun run = runIn(Dialect::Standard, start + "G99 G81 X10. Y10. Z-5. R2. F100.\n");
    ASSERT_FALSE(run.host.messages.empty());
    EXPECT_EQ(run.host.messages.front().text, composeLineMessage(2, messages::rapidArcWords));
    // G4 is no code: X moves.
    const CycleRun dwell = runIn(Dialect::Standard, start + "G4 X1.\n");
    EXPECT_EQ(movesFrom(dwell, 2), (std::vector<std::string>{"G0 1 0 50"}));
}

TEST(canned_cycle, figures_take_the_whole_expansion)
{
    // Rapid: 50 up, the two-axis diagonal of 10 and 10, 48 down to R and 7
    // back up; cutting: 7 at F100. 時間 = 119.142 / 3000 + 7 / 100 minutes.
    const CycleRun run = runIn(Dialect::Fanuc, start + "G99 G81 X10. Y10. Z-5. R2. F100.\n");
    const ResultTexts& f = run.host.fields;
    EXPECT_EQ(f[ResultField::RapidDistance], "119.142");
    EXPECT_EQ(f[ResultField::CuttingDistance], "7.000");
    EXPECT_EQ(f[ResultField::MachiningTime], "0.1");
    EXPECT_EQ(f[ResultField::MinZ], "-5.000");
    EXPECT_EQ(f[ResultField::MaxZ], "50.000");
    EXPECT_EQ(f[ResultField::ArcCount], "0");
    // The absolute list: where the hole leaves the tool, the length of all.
    const CycleRun listed =
        runIn(Dialect::Fanuc, start + "G99 G81 X10. Y10. Z-5. R2. F100.\n", RunMode::AbsoluteDisplay);
    const AbsoluteRow& row = listed.host.rows.at(2);
    EXPECT_EQ(row.cells[ColumnZ], "2.000");
    EXPECT_EQ(row.cells[ColumnDistance], "76.142");
}

TEST(canned_cycle, dwells_count_in_the_time_and_the_estimate)
{
    const std::string program = "G0 X0. Y0. Z10.\nG1 X10. F600.\nG4 P%s\nG1 X20.\nG4 X60.\n";
    const auto with = [&](const char* p, Dialect dialect) {
        char text[128];
        std::snprintf(text, sizeof text, program.c_str(), p);
        return runIn(dialect, text, RunMode::MachiningTime, true);
    };
    // Fanuc: P in milliseconds; X in seconds.
    const CycleRun none = with("0", Dialect::Fanuc);
    const CycleRun second = with("1000", Dialect::Fanuc);
    ASSERT_TRUE(none.host.estimate && second.host.estimate);
    EXPECT_NEAR(second.host.estimate->seconds - none.host.estimate->seconds, 1.0, 1e-9);
    EXPECT_NEAR(none.host.estimate->seconds,
                none.host.estimate->rapidSeconds + none.host.estimate->cuttingSeconds + 60.0, 1e-9);
    // 10 up at rapid, 10 + 10 at F600 and 61 s of dwell: 1.053 minutes.
    EXPECT_EQ(second.host.fields[ResultField::MachiningTime], "1.1");
    // LinuxCNC: P in seconds (G4 X is refused there).
    const CycleRun linuxcnc =
        runIn(Dialect::LinuxCnc, "G0 X0 Y0 Z10\nG1 X10 F600\nG4 P90\nG1 X20\n", RunMode::MachiningTime, true);
    ASSERT_TRUE(linuxcnc.host.estimate);
    EXPECT_EQ(linuxcnc.host.fields[ResultField::MachiningTime], "1.5");
    EXPECT_GT(linuxcnc.host.estimate->seconds, 90.0);
}

TEST(canned_cycle, a_conversion_keeps_the_cycles_and_checks_the_arcs_around_them)
{
    const std::string program = start +
                                "G98 G83 X10. Y10. Z-10. R2. Q4. F100.\nX20.\nG80\n"
                                "G1 Z0.\nG2 X40. Y10. I10.\nG81 X50. Y10. Z-3. R2.\nG80 G0 Z50.\n";
    Settings settings;
    applyDialect(settings.process, Dialect::Fanuc);
    RunOptions options;
    options.sourcePath = "cycle.nc";
    options.runMode = RunMode::ConvertArcs;
    options.tolerance = 0.01;
    testing::RecordingHost host;
    host.listensToMoves = true;
    MemoryOutputStore output;
    const RunResult result = RunDriver(settings).execute(options, host, program, output);
    ASSERT_EQ(result.outcome, RunOutcome::Converted);
    const std::string& written = output.bytes();
    EXPECT_NE(written.find("G98 G83 X10. Y10. Z-10. R2. Q4. F100.\r\nX20.\r\nG80\r\n"), std::string::npos);
    EXPECT_NE(written.find("G81 X50. Y10. Z-3. R2.\r\n"), std::string::npos);
    ConversionCheck check(settings, options);
    for (const Move& move : host.moves)
        check.noteMove(move);
    const VerificationResult verified = check.verifyBytes(written);
    EXPECT_TRUE(verified.checked());
    EXPECT_EQ(verified.summary.arcs, 1);
}

// A converting run that writes its cycles as their moves, checked beside
// the run as the command line and the desktop program check it.
struct ExpandingRun : testing::RecordingHost {
    ExpandingRun(const Settings& settings, const RunOptions& options) : check(settings, options) {}
    bool wantsWrittenBytes() const override { return true; }
    void arcConverting(const Move& arc) override { check.noteArc(arc); }
    void cycleExpanding(const CyclePlan& cycle) override
    {
        check.noteCycle(cycle);
        plans.push_back(cycle);
    }
    void outputWritten(std::string_view bytes, long long linesComplete) override
    {
        check.written(bytes, linesComplete);
    }
    CheckAlongside check;
    std::vector<CyclePlan> plans;
};

TEST(canned_cycle, expanded_cycles_are_written_as_their_moves_and_read_back)
{
    const std::string program = start +
                                "G98 G82 X10. Y10. Z-10. R2. P500 F100.\nG80\nG1 Z0.\nG2 X30. Y10. I10.\n"
                                "G91 G99 G81 X10. Z-5. R2. K2\nG90 G80\nG0 X0.\n";
    Settings settings;
    applyDialect(settings.process, Dialect::Fanuc);
    settings.process.expandCycles = 1;
    RunOptions options;
    options.sourcePath = "cycle.nc";
    options.runMode = RunMode::ConvertArcs;
    options.tolerance = 0.01;
    ExpandingRun run(settings, options);
    MemoryOutputStore output;
    const RunResult result = RunDriver(settings).execute(options, run, program, output);
    ASSERT_EQ(result.outcome, RunOutcome::Converted);
    const std::string& written = output.bytes();
    // The drilling block as its moves, its dwell a G4 line of milliseconds;
    // the line after it that relies on the modal motion gets its code.
    EXPECT_EQ(written.rfind("G90 G17 G0 X0. Y0. Z50.\r\nG0X10.000Y10.000Z50.000\r\nG0X10.000Y10.000Z2.000\r\n"
                            "G1X10.000Y10.000Z-10.000F100\r\nG4P500\r\nG0X10.000Y10.000Z50.000\r\nG0G80\r\n",
                            0),
              0u)
        << written;
    // In incremental mode between G90 and G91: from X30 Z0, R 2 above, holes
    // at X40 and X50 down to Z-3; the next line gets the arc's code, the
    // motion in force after G80.
    EXPECT_NE(written.find("G90\r\nG0X40.000Y10.000Z0.000\r\nG0X40.000Y10.000Z2.000\r\nG1X40.000Y10.000Z-3.000F100\r\n"
                           "G0X40.000Y10.000Z2.000\r\nG0X50.000Y10.000Z2.000\r\nG1X50.000Y10.000Z-3.000F100\r\n"
                           "G0X50.000Y10.000Z2.000\r\nG91\r\nG2G90 G80\r\n"),
              std::string::npos)
        << written;
    const VerificationResult verified = run.check.finish();
    EXPECT_TRUE(verified.checked());
    EXPECT_EQ(verified.summary.arcs, 1);
    ASSERT_EQ(run.plans.size(), 2u);

    // A written hole moved by more than the rounding fails the check at its line.
    std::string tampered = written;
    tampered.replace(tampered.find("Z-10.000"), 8, "Z-10.002");
    CheckAlongside again(settings, options);
    for (const CyclePlan& plan : run.plans)
        again.noteCycle(plan);
    again.written(tampered, 1000);
    const VerificationResult failed = again.finish();
    EXPECT_EQ(failed.status, VerificationStatus::OutputMismatch);
    EXPECT_EQ(failed.outputLine, 4);
}

}  // namespace
}  // namespace drennix
