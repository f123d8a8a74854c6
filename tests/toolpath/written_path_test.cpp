// The overlay of a conversion as the window draws it, from whole converting
// runs recorded as the desktop program records them: each converted arc
// found with its count of straight moves, the points made again from the
// kept arc where the written program has them, the bands telling the truth
// about each move's deviation, and the drawing of the overlay: the arc in its
// worst band when its moves are below two pixels, move by move above, and a
// quick picture with fewer points than the full one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "arc_points.h"
#include "output_store.h"
#include "recorder_listener.h"
#include "run_driver.h"
#include "stroke_tracer.h"
#include "toolpath_recorder.h"
#include "vocabulary.h"

namespace drennix::toolpath {
namespace {

// Every segment the check measures, in full.
struct EveryDeviation final : VerificationListener {
    std::vector<SegmentDeviation> segments;
    void segment(const SegmentDeviation& segment) override { segments.push_back(segment); }
};

struct ConvertedRun {
    Settings settings;
    RunOptions options;
    MemoryOutputStore output;
    std::shared_ptr<ToolpathRun> record;

    ConvertedRun(const std::string& program, double tolerance, int toleranceIncludesRounding = 0)
    {
        resetToDefaults(settings);
        settings.process.toleranceIncludesRounding = toleranceIncludesRounding;
        options.sourcePath = "part.nc";
        options.runMode = RunMode::ConvertArcs;
        options.tolerance = tolerance;
        ToolpathRecorder recorder(settings, options);
        RecorderListener listener(recorder);
        const RunResult result = RunDriver(settings).execute(options, listener, program, output);
        EXPECT_EQ(result.outcome, RunOutcome::Converted);
        record = recorder.finish(result);
    }
};

// A full circle, a helix of two turns and an R arc, then a small circle.
const std::string program =
    "G90 G17 G0 X30. Y0. Z0.\nG3 X30. Y0. I-30. J0. F100.\nG1 X20. Y0.\n"
    "G2 X20. Y0. Z-4. I-20. J0. P2 F100.\nG3 X0. Y20. R20.\nG0 X1. Y0.\nG2 X1. Y0. I-1. J0.\n";

TEST(WrittenPath, KeepsEachConvertedArcWithItsMovesAndTheirBands)
{
    ConvertedRun run(program, 0.01);
    ASSERT_TRUE(run.record->written && run.record->verification && run.record->verification->checked());
    const WrittenPath& written = *run.record->written;
    const VerificationSummary& summary = run.record->verification->summary;
    ASSERT_EQ(written.arcCount(), 4U);
    EXPECT_EQ(static_cast<long long>(written.segmentCount()), summary.lines);
    EXPECT_DOUBLE_EQ(written.largestFraction() * 0.01, summary.maxDeviation);
    std::uint64_t counted = 0;
    for (int band = 0; band < deviationBandCount; ++band)
        counted += written.countIn(static_cast<DeviationBand>(band));
    EXPECT_EQ(counted, written.segmentCount());
    EXPECT_EQ(written.countIn(DeviationBand::Beyond), 0U);

    // Every arc found on its line, its moves following on from the last's.
    const long long lines[] = {2, 4, 5, 7};
    std::uint64_t first = 0;
    for (std::size_t index = 0; index < written.arcCount(); ++index) {
        const WrittenArc& arc = written.arcAt(index);
        ASSERT_NE(arc.move, unresolved);
        EXPECT_EQ(run.record->moves.lineOf(arc.move), lines[index]);
        ASSERT_NE(run.record->moves.arcOf(arc.move), nullptr);
        EXPECT_EQ(run.record->moves.arcOf(arc.move), &run.record->moves.arcAt(arc.arc));
        EXPECT_EQ(arc.firstSegment, first);
        first += arc.segments;
    }
}

// The check of a run's written program with every segment measured: the
// run replayed for its converted arcs, the written bytes read back.
struct FullCheck {
    EveryDeviation every;
    VerificationResult result;

    explicit FullCheck(const ConvertedRun& run, const std::string& source)
    {
        ConversionCheck check(run.settings, run.options);
        struct Noting final : RunListener {
            ConversionCheck& check;
            explicit Noting(ConversionCheck& c) : check(c) {}
            void move(const Move& move) override { check.noteMove(move); }
            bool wantsMoves() const override { return true; }
        } noting(check);
        MemoryOutputStore again;
        RunDriver(run.settings).execute(run.options, noting, source, again);
        result = check.verifyBytes(run.output.bytes(), &every);
    }
};

// The band each move gets is a true claim about its measured deviation, and
// the check's figures do not change for sparing the measurements.
TEST(WrittenPath, BandsAreTrueClaimsAboutEachMeasuredDeviation)
{
    for (const int includesRounding : {0, 1}) {
        ConvertedRun run(program, 0.01, includesRounding);
        const WrittenPath& written = *run.record->written;
        const FullCheck full(run, program);
        ASSERT_TRUE(full.result.checked());
        EXPECT_EQ(full.result.summary.maxDeviation, run.record->verification->summary.maxDeviation);
        EXPECT_EQ(full.result.summary.maxDeviationLine, run.record->verification->summary.maxDeviationLine);
        EXPECT_EQ(full.result.summary.lines, run.record->verification->summary.lines);
        ASSERT_EQ(full.every.segments.size(), written.segmentCount());
        for (std::size_t k = 0; k < full.every.segments.size(); ++k) {
            const SegmentDeviation& segment = full.every.segments[k];
            switch (written.bandOf(k)) {
            case DeviationBand::Tolerance: EXPECT_LE(segment.deviation, 0.01) << k; break;
            case DeviationBand::Rounding: EXPECT_LE(segment.deviation, segment.allowance) << k; break;
            case DeviationBand::Beyond: EXPECT_GT(segment.deviation, segment.allowance) << k; break;
            }
        }
        if (includesRounding != 0) {
            // Segmented within the tolerance less the rounding: every move
            // as written stays within the tolerance.
            EXPECT_EQ(written.countIn(DeviationBand::Rounding), 0U);
            EXPECT_LE(run.record->verification->summary.maxDeviation, 0.01);
        } else {
            // Chords of the whole tolerance, rounded: some go past it.
            EXPECT_GT(written.countIn(DeviationBand::Rounding), 0U);
        }
    }
}

// The points the window makes again are the written program's, to the
// precision the store keeps.
TEST(WrittenPath, PointsMadeAgainAreTheWrittenOnes)
{
    ConvertedRun run(program, 0.01);
    const ToolpathStore& moves = run.record->moves;
    const WrittenPath& written = *run.record->written;
    const FullCheck full(run, program);
    ASSERT_TRUE(full.result.checked());
    std::size_t segment = 0;
    for (std::size_t index = 0; index < written.arcCount(); ++index) {
        const WrittenArc& arc = written.arcAt(index);
        const ArcRecord& record = moves.arcAt(arc.arc);
        const Plane plane = ToolpathStore::planeOf(moves.flagsOf(arc.move));
        const WrittenPoints points(record, plane, moves.startOf(arc.move), moves.endOf(arc.move), arc.segments,
                                   run.settings.process.decimalPlaces);
        for (long long k = 1; k <= arc.segments; ++k, ++segment) {
            const Vertex point = points.at(k);
            const Point3& end = full.every.segments[segment].end;
            EXPECT_NEAR(point.x, end[0], 2e-5) << index << " " << k;
            EXPECT_NEAR(point.y, end[1], 2e-5) << index << " " << k;
            EXPECT_NEAR(point.z, end[2], 2e-5) << index << " " << k;
        }
    }
}

// Counts what a tracing hands on.
struct CountingSink final : StrokeSink {
    bool quick = false;
    std::size_t points = 0;
    std::size_t strokes = 0;
    std::vector<StrokeStyle> styles;
    void beginStroke(StrokeStyle style) override
    {
        ++strokes;
        styles.push_back(style);
    }
    void addPoint(ScreenPoint) override { ++points; }
    void endStroke() override {}
    bool coarse() const override { return quick; }
};

TEST(WrittenPath, DrawnAsTheArcBelowTwoPixelsAMoveAndMoveByMoveAbove)
{
    ConvertedRun run("G90 G0 X30. Y0.\nG3 X30. Y0. I-30. J0. F100.\n", 0.01);
    const WrittenPath& written = *run.record->written;
    ASSERT_EQ(written.arcCount(), 1U);
    const long long moves = written.arcAt(0).segments;
    Projection projection(ViewDirection::XY, 800, 800);
    // 60 mm in about 750 pixels: the moves of 1.5 mm are some 19 pixels.
    projection.fit(run.record->moves.bounds(), 24);
    CountingSink full;
    traceWrittenPath(run.record->moves, written, 3, projection, full);
    EXPECT_GE(static_cast<long long>(full.points), moves);
    // Far away, the moves are under a pixel: the arc is drawn in its chords.
    projection.zoomAbout(1.0 / 40, 400, 400);
    CountingSink far;
    traceWrittenPath(run.record->moves, written, 3, projection, far);
    EXPECT_GT(far.points, 0U);
    EXPECT_LT(static_cast<long long>(far.points), moves / 4);
    // Zoomed in on a point of the circle, only the moves near it are drawn.
    projection.fit(run.record->moves.bounds(), 24);
    const ScreenPoint on = projection.toScreen(Vertex{30, 0, 0});
    projection.zoomAbout(200, on.x, on.y);
    CountingSink near;
    traceWrittenPath(run.record->moves, written, 3, projection, near);
    EXPECT_GT(near.points, 0U);
    EXPECT_LT(static_cast<long long>(near.points), moves / 4);
}

TEST(StrokeTracer, AQuickPictureHasFewerPointsThanTheFullOne)
{
    // A zigzag of 4000 short moves, with an arc of radius 6 every hundredth.
    std::string source = "G90 G0 X0. Y0.\nG1 F100.\n";
    for (int i = 1; i <= 4000; ++i) {
        const std::string x = std::to_string(i / 40);
        source.append("G1 X").append(x).append(i % 2 == 0 ? ".2 Y0.\n" : ".7 Y20.\n");
        if (i % 100 == 0) source.append("G2 X").append(x).append(i % 2 == 0 ? ".2 Y10. R6.\n" : ".7 Y10. R6.\n");
    }
    ConvertedRun run(source, 0.01);
    Projection projection(ViewDirection::XY, 640, 480);
    projection.fit(run.record->moves.bounds(), 24);
    CountingSink full;
    traceMoves(run.record->moves, projection, full);
    CountingSink quick;
    quick.quick = true;
    traceMoves(run.record->moves, projection, quick);
    EXPECT_GT(quick.points, 0U);
    EXPECT_LT(quick.points * 4, full.points);
    CountingSink quickWritten;
    quickWritten.quick = true;
    CountingSink fullWritten;
    traceWrittenPath(run.record->moves, *run.record->written, 3, projection, fullWritten);
    traceWrittenPath(run.record->moves, *run.record->written, 3, projection, quickWritten);
    EXPECT_LE(quickWritten.points, fullWritten.points);
}

TEST(WrittenPath, CostsTwoBitsAMoveAndTwentyFourBytesAnArc)
{
    WrittenPath written(0.01);
    SegmentDeviation segment;
    segment.allowance = 0.0109;
    constexpr int arcs = 20000;
    constexpr int movesPerArc = 200;
    for (int arc = 0; arc < arcs; ++arc) {
        segment.line = arc + 1;
        for (int k = 0; k < movesPerArc; ++k) {
            segment.deviation = k == 7 ? 0.0105 : 0.009;
            written.segment(segment);
        }
    }
    EXPECT_EQ(written.segmentCount(), std::uint64_t{arcs} * movesPerArc);
    EXPECT_EQ(written.arcCount(), std::size_t{arcs});
    EXPECT_EQ(written.bandOf(7), DeviationBand::Rounding);
    EXPECT_EQ(written.bandOf(8), DeviationBand::Tolerance);
    EXPECT_EQ(written.arcAt(arcs - 1).worst, DeviationBand::Rounding);
    EXPECT_EQ(written.countIn(DeviationBand::Rounding), std::uint64_t{arcs});
    // Four million moves: a megabyte of bands in blocks of two, and the arcs.
    EXPECT_LE(written.memoryBytes(), std::size_t{2} * 2 * 1024 * 1024 + 3 * 1024 * 1024);
}

}  // namespace
}  // namespace drennix::toolpath
