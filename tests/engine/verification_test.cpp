// The check of a conversion: the deviation of a segment from its stretch of
// the reference path against hand-computed sagittas, and the read-back of a
// written program (the figures come from the written bytes, not from what the
// run computed).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "conversion_check.h"
#include "number_format.h"
#include "output_store.h"
#include "recording_host.h"
#include "reference_arc.h"
#include "reference_arc_log.h"
#include "run_driver.h"

namespace drennix {
namespace {

const double pi = std::acos(-1.0);

// A counter-clockwise arc in the XY plane about the origin.
ReferenceArc flatArc(double radius, double startAngle, double sweep)
{
    ReferenceArc arc;
    arc.radius = radius;
    arc.startAngle = startAngle;
    arc.sweep = sweep;
    arc.segments = 1;
    return arc;
}

TEST(reference_arc, chord_deviates_by_its_sagitta)
{
    // A quarter of a circle of radius 10 as one chord: 10 (1 - cos 45°).
    const ReferenceArc quarter = flatArc(10, 0, pi / 2);
    EXPECT_NEAR(segmentDeviation(quarter, 0, 1, {10, 0, 0}, {0, 10, 0}), 10 * (1 - std::cos(pi / 4)), 1e-12);
    // A half circle as one chord: the radius.
    const ReferenceArc half = flatArc(2, 0, pi);
    EXPECT_NEAR(segmentDeviation(half, 0, 1, {2, 0, 0}, {-2, 0, 0}), 2, 1e-12);
    // Clockwise, in the ZX plane (angles from Z towards X): the same figure.
    ReferenceArc zx = flatArc(10, pi / 2, -pi / 2);
    zx.plane = Plane::ZX;
    zx.centreA = 1;  // Z
    zx.centreB = 2;  // X
    EXPECT_NEAR(segmentDeviation(zx, 0, 1, {12, 0, 1}, {2, 0, 11}), 10 * (1 - std::cos(pi / 4)), 1e-12);
}

TEST(reference_arc, part_of_the_sweep_and_the_written_points_count)
{
    // Segment 2 of 4 of a half circle of radius 5: the chord from 45° to 90°
    // deviates by 5 (1 - cos 22.5°).
    const ReferenceArc half = flatArc(5, 0, pi);
    const Point3 p45{5 * std::cos(pi / 4), 5 * std::sin(pi / 4), 0};
    const Point3 p90{0, 5, 0};
    EXPECT_NEAR(segmentDeviation(half, 0.25, 0.5, p45, p90), 5 * (1 - std::cos(pi / 8)), 1e-12);
    // A segment that never left its start: the farthest point of its
    // stretch, the end at 90°, is the chord 2 r sin 22.5° away.
    EXPECT_NEAR(segmentDeviation(half, 0.25, 0.5, p45, p45), 10 * std::sin(pi / 8), 1e-12);
    // A full circle written as one zero-length move: the diameter.
    const ReferenceArc full = flatArc(0.004, 0, 2 * pi);
    EXPECT_NEAR(segmentDeviation(full, 0, 1, {0.004, 0, 0}, {0.004, 0, 0}), 0.008, 1e-12);
}

TEST(reference_arc, helical_chord_deviates_by_the_sagitta_of_its_plane)
{
    // The helix rises evenly and so does the chord: at mid-sweep the two
    // differ only radially, by the planar sagitta.
    ReferenceArc helix = flatArc(3, 0, pi / 3);
    helix.startHeight = -1;
    helix.rise = 4;
    const Point3 a{3, 0, -1};
    const Point3 b{3 * std::cos(pi / 3), 3 * std::sin(pi / 3), 3};
    EXPECT_NEAR(segmentDeviation(helix, 0, 1, a, b), 3 * (1 - std::cos(pi / 6)), 1e-9);
}

// The straightforward search the measure must agree with: the largest of many
// evenly spaced distances, refined by ternary search beside the largest.
double denseDeviation(const ReferenceArc& arc, double t0, double t1, const Point3& a, const Point3& b)
{
    const auto distanceAt = [&](double t) { return distanceToSegment(pointOnPath(arc, t), a, b); };
    constexpr int samples = 4000;
    int top = 0;
    double best = distanceAt(t0);
    for (int i = 1; i <= samples; ++i) {
        const double d = distanceAt(i == samples ? t1 : t0 + (t1 - t0) * i / samples);
        if (d > best) {
            best = d;
            top = i;
        }
    }
    double lo = t0 + (t1 - t0) * std::max(top - 1, 0) / samples;
    double hi = t0 + (t1 - t0) * std::min(top + 1, samples) / samples;
    for (int step = 0; step < 100; ++step) {
        const double m1 = lo + (hi - lo) / 3;
        const double m2 = hi - (hi - lo) / 3;
        const double d1 = distanceAt(m1);
        const double d2 = distanceAt(m2);
        best = std::max({best, d1, d2});
        (d1 < d2 ? lo : hi) = d1 < d2 ? m1 : m2;
    }
    return best;
}

// Over random stretches of random arcs (every plane, both directions,
// helical or not) and segments as a conversion writes them, with their ends
// moved off the path, or none at all: the measure finds the same largest
// distance as the dense search, and never less.
TEST(reference_arc, agrees_with_a_dense_search)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Plane planes[] = {Plane::XY, Plane::ZX, Plane::YZ};
    for (int trial = 0; trial < 3000; ++trial) {
        ReferenceArc arc;
        arc.plane = planes[trial % 3];
        arc.radius = std::pow(10.0, -2 + 4 * unit(random));
        arc.centreA = (unit(random) * 2 - 1) * 300;
        arc.centreB = (unit(random) * 2 - 1) * 300;
        arc.startAngle = (unit(random) * 2 - 1) * pi;
        arc.sweep = (0.001 + unit(random) * 2 * pi) * (trial % 2 == 0 ? 1 : -1);
        arc.startHeight = (unit(random) * 2 - 1) * 50;
        arc.rise = trial % 4 < 2 ? (unit(random) * 2 - 1) * 20 : 0;
        // A stretch of up to a radian, rarely longer.
        const double share = std::min(1.0, std::pow(10.0, -4 + 4 * unit(random)) / std::fabs(arc.sweep));
        const double t0 = unit(random) * (1 - share);
        const double t1 = t0 + share;
        const int decimals = static_cast<int>(random() % 4) + 2;
        const double offEnds = trial % 5 == 0 ? arc.radius * share * unit(random) : 0.0;
        const auto written = [&](double t) {
            Point3 p = pointOnPath(arc, t);
            for (double& c : p)
                c = roundToDecimals(c + offEnds * (unit(random) * 2 - 1), decimals);
            return p;
        };
        const Point3 a = written(t0);
        const Point3 b = trial % 50 == 0 ? a : written(t1);
        const double expected = denseDeviation(arc, t0, t1, a, b);
        const double measured = segmentDeviation(arc, t0, t1, a, b);
        // Within the rounding of coordinates of a few hundred.
        EXPECT_NEAR(measured, expected, 1e-12) << "trial " << trial;
        EXPECT_GE(measured, expected - 1e-13) << "trial " << trial;
    }
}

// Measured one after another, an arc's segments give each the same figure,
// bit for bit, as measured alone: with short and long stretches (the
// general search), and when a segment is skipped.
TEST(reference_arc, segments_in_order_measure_as_each_alone)
{
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        ReferenceArc arc = flatArc(std::pow(10.0, -1 + 3 * unit(random)), (unit(random) * 2 - 1) * pi,
                                   (0.1 + unit(random) * 6) * (trial % 2 == 0 ? 1 : -1));
        arc.plane = trial % 3 == 0 ? Plane::YZ : Plane::XY;
        arc.centreA = (unit(random) * 2 - 1) * 100;
        arc.rise = trial % 4 == 0 ? 3 : 0;
        arc.segments = 1 + static_cast<long long>(random() % 60);
        const double n = static_cast<double>(arc.segments);
        ArcSegments inOrder(arc);
        for (long long k = 1; k <= arc.segments; ++k) {
            if (trial % 5 == 0 && k == 2) continue;
            Point3 a = pointOnPath(arc, static_cast<double>(k - 1) / n);
            Point3 b = pointOnPath(arc, static_cast<double>(k) / n);
            for (double& c : a)
                c = roundToDecimals(c, 3);
            for (double& c : b)
                c = roundToDecimals(c, 3);
            const double alone =
                segmentDeviation(arc, static_cast<double>(k - 1) / n, static_cast<double>(k) / n, a, b);
            EXPECT_EQ(inOrder.deviation(k, a, b), alone) << "trial " << trial << ", segment " << k;
        }
    }
}

RunOptions convertingOptions(double tolerance, RunMode mode)
{
    RunOptions options;
    options.sourcePath = "memory.nc";
    options.tolerance = tolerance;
    options.runMode = mode;
    return options;
}

// A converting run of `program` into memory, its arcs noted by the check.
struct CheckedRun {
    Settings settings;
    RunOptions options;
    MemoryOutputStore output;
    ConversionCheck check{settings, options};
    RunResult result;

    CheckedRun(const std::string& program, double tolerance, RunMode mode = RunMode::ConvertArcs)
        : options(convertingOptions(tolerance, mode))
    {
        testing::RecordingHost host;
        host.listensToMoves = true;
        result = RunDriver(settings).execute(options, host, program, output);
        for (const Move& move : host.moves)
            check.noteMove(move);
    }
};

struct SegmentLog : VerificationListener {
    std::vector<SegmentDeviation> segments;
    void segment(const SegmentDeviation& s) override { segments.push_back(s); }
};

TEST(conversion_check, counts_and_measures_the_written_segments)
{
    // A full circle of radius 10 at 0.01: 2π / (2 acos(0.999)) = 70.2 → 71 chords;
    // then a helical half turn in G18, clockwise, that the helical mode also
    // converts, after a straight move that stays as it is.
    const std::string program =
        "G90 G17 G0 X10. Y0. Z0.\nG3 X10. Y0. I-10. J0. F100.\nG1 X10. Y0. Z5.\nG18 G2 X-10. Y-5. Z5. I-10. K0. "
        "F100.\n";
    CheckedRun run(program, 0.01);
    ASSERT_EQ(run.result.outcome, RunOutcome::Converted);
    SegmentLog log;
    const VerificationResult verification = run.check.verifyBytes(run.output.bytes(), &log);
    ASSERT_TRUE(verification.checked());
    const VerificationSummary& s = verification.summary;
    EXPECT_EQ(s.arcs, 2);
    EXPECT_EQ(s.lines, static_cast<long long>(log.segments.size()));
    EXPECT_EQ(log.segments.front().line, 2);
    EXPECT_EQ(log.segments.back().line, 4);
    EXPECT_EQ(std::count_if(log.segments.begin(), log.segments.end(), [](const auto& g) { return g.line == 2; }), 71);
    const double allowance = 0.01 + std::sqrt(3.0) / 2 * 0.001;
    for (const SegmentDeviation& segment : log.segments) {
        EXPECT_DOUBLE_EQ(segment.allowance, allowance);
        EXPECT_LE(segment.deviation, allowance);
    }
    // Chords of this count deviate by nearly the tolerance.
    EXPECT_GT(s.maxDeviation, 0.009);
    EXPECT_EQ(s.maxEndError, 0);
    // Each segment of an arc starts where the one before it ended.
    for (std::size_t i = 1; i < log.segments.size(); ++i) {
        if (log.segments[i].line == log.segments[i - 1].line) {
            EXPECT_EQ(log.segments[i].start, log.segments[i - 1].end);
        }
    }
    EXPECT_EQ(log.segments.front().start, (Point3{10, 0, 0}));
}

TEST(conversion_check, reads_the_figures_from_the_written_bytes)
{
    CheckedRun run("G90 G0 X5. Y0.\nG3 X-5. Y0. I-5. J0. F100.\n", 0.01);
    ASSERT_EQ(run.result.outcome, RunOutcome::Converted);
    std::string bytes = run.output.bytes();
    // The last cut goes to; written a little short, the end error and
    // the deviation of that segment show it.
    const std::size_t last = bytes.rfind("X-5.000");
    ASSERT_NE(last, std::string::npos);
    bytes.replace(last, 7, "X-5.200");
    const VerificationResult tampered = run.check.verifyBytes(bytes);
    ASSERT_TRUE(tampered.checked());
    EXPECT_NEAR(tampered.summary.maxEndError, 0.2, 1e-12);
    EXPECT_GT(tampered.summary.maxDeviation, 0.15);
    EXPECT_EQ(tampered.summary.maxDeviationLine, 2);
}

TEST(conversion_check, a_program_without_the_cuts_is_a_mismatch)
{
    CheckedRun run("G90 G0 X5. Y0.\nG3 X-5. Y0. I-5. J0. F100.\n", 0.01);
    ASSERT_EQ(run.result.outcome, RunOutcome::Converted);
    const std::string& bytes = run.output.bytes();
    // Cut short after the third written line.
    std::size_t end = 0;
    for (int line = 0; line < 3; ++line)
        end = bytes.find("\r\n", end) + 2;
    const VerificationResult shortened = run.check.verifyBytes(bytes.substr(0, end));
    EXPECT_EQ(shortened.status, VerificationStatus::OutputMismatch);
    // A cut that is an arc again.
    std::string arcAgain = bytes;
    arcAgain.replace(arcAgain.find("G1"), 2, "G2");
    EXPECT_EQ(run.check.verifyBytes(arcAgain).status, VerificationStatus::OutputMismatch);
    EXPECT_EQ(ConversionCheck(run.settings, run.options).verifyFile("/nonexistent/written.nc").status,
              VerificationStatus::OutputUnreadable);
}

TEST(conversion_check, keeps_only_the_arcs_the_run_replaced)
{
    // The helical mode keeps the flat arc: only the helical one is checked,
    // and the line of its first cut follows the flat arc's single line.
    CheckedRun run("G90 G0 X5. Y0. Z0.\nG3 X-5. Y0. I-5. J0. F100.\nG3 X5. Y0. Z-1. I5. J0.\n", 0.01,
                   RunMode::ConvertHelical);
    ASSERT_EQ(run.result.outcome, RunOutcome::Converted);
    SegmentLog log;
    const VerificationResult verification = run.check.verifyBytes(run.output.bytes(), &log);
    ASSERT_TRUE(verification.checked());
    EXPECT_EQ(verification.summary.arcs, 1);
    EXPECT_EQ(log.segments.front().line, 3);
    EXPECT_EQ(log.segments.front().start, (Point3{-5, 0, 0}));
    EXPECT_LE(verification.summary.maxDeviation, 0.01 + std::sqrt(3.0) / 2 * 0.001);
}

}  // namespace
}  // namespace drennix

namespace drennix {
namespace {

// The arcs come back in the order they were noted, from the file and from
// memory alike, however many batches went to the file.
TEST(reference_arc_log, gives_back_every_arc_in_order)
{
    ReferenceArcLog log(1000);
    for (long long i = 1; i <= 20500; ++i) {
        ReferenceArc arc;
        arc.line = i;
        arc.segments = i % 7 + 1;
        arc.radius = 1.0 / static_cast<double>(i);
        log.append(arc);
    }
    EXPECT_EQ(log.size(), 20500u);
    EXPECT_EQ(log.spilled(), 20000u);
    for (int pass = 0; pass < 2; ++pass) {
        ReferenceArcLog::Reader reader(log);
        long long expected = 0;
        while (const ReferenceArc* arc = reader.next()) {
            ++expected;
            ASSERT_EQ(arc->line, expected);
            ASSERT_EQ(arc->segments, expected % 7 + 1);
            ASSERT_EQ(arc->radius, 1.0 / static_cast<double>(expected));
        }
        EXPECT_FALSE(reader.failed());
        EXPECT_EQ(expected, 20500);
    }
    log.clear();
    EXPECT_EQ(log.size(), 0u);
    EXPECT_EQ(ReferenceArcLog::Reader(log).next(), nullptr);
}

// More converted arcs than a batch: the check reads the spilled ones back
// and finds every arc's cuts.
TEST(conversion_check, measures_more_arcs_than_it_keeps_in_memory)
{
    std::string program = "G90 G0 X10. Y0. Z0.\nG1 F100.\n";
    for (int i = 0; i < 9000; ++i) {
        program += i % 2 == 0 ? "G3 X0. Y10. I-10. J0.\n" : "G2 X10. Y0. I0. J-10.\n";
    }
    CheckedRun run(program, 0.1);
    ASSERT_EQ(run.result.outcome, RunOutcome::Converted);
    const VerificationResult verification = run.check.verifyBytes(run.output.bytes());
    ASSERT_TRUE(verification.checked());
    EXPECT_EQ(verification.summary.arcs, 9000);
    EXPECT_LE(verification.summary.maxDeviation, deviationAllowance(0.1, 3, 0));
    EXPECT_EQ(verification.summary.maxEndError, 0);
}

}  // namespace
}  // namespace drennix
