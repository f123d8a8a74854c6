// The check leaves out a segment only where a bound proves its figure cannot
// exceed the largest so far: on random stretches the bound never falls below
// the figure the search computes, and a check without a listener sums up
// random conversions exactly as one that hears every segment.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "conversion_check.h"
#include "number_format.h"
#include "output_store.h"
#include "recording_host.h"
#include "reference_arc.h"
#include "run_driver.h"

namespace drennix {
namespace {

const double pi = std::acos(-1.0);

std::uint64_t bitsOf(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

// Arcs of every size, place, plane, direction and rise (multi-turn sweeps
// too), their segments walked in order, their written ends rounded path
// points moved off by up to ten times the rounding or, now and then, far
// off. Each segment is asked with a floor just below its figure, at it, or
// above it: left out only when its figure is at most the floor, otherwise
// the very figure measured alone.
TEST(deviation_bound, leaves_out_only_segments_at_most_the_floor)
{
    std::mt19937_64 random(23);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Plane planes[] = {Plane::XY, Plane::ZX, Plane::YZ};
    long long leftOut = 0;
    long long segments = 0;
    for (int trial = 0; trial < 600; ++trial) {
        ReferenceArc arc;
        arc.plane = planes[trial % 3];
        arc.radius = std::pow(10.0, -3 + 6 * unit(random));
        const double place = std::pow(10.0, 5 * unit(random));
        arc.centreA = (unit(random) * 2 - 1) * place;
        arc.centreB = (unit(random) * 2 - 1) * place;
        arc.startAngle = (unit(random) * 2 - 1) * pi;
        arc.sweep = unit(random) * 2 * pi * (trial % 7 == 0 ? 20 : 1) * (trial % 2 == 0 ? 1 : -1);
        arc.startHeight = (unit(random) * 2 - 1) * place;
        arc.rise = trial % 4 < 2 ? (unit(random) * 2 - 1) * 50 : 0;
        arc.segments = 1 + static_cast<long long>(std::pow(10.0, 3.3 * unit(random)));
        const int decimals = static_cast<int>(random() % 6) + 1;
        const double rounding = std::pow(10.0, -decimals);
        const auto written = [&](long long k) {
            Point3 p = pointOnPath(arc, static_cast<double>(k) / static_cast<double>(arc.segments));
            const double off = random() % 40 == 0 ? arc.radius * unit(random) : 10 * rounding * unit(random);
            for (double& c : p)
                c = roundToDecimals(c + off * (unit(random) * 2 - 1), decimals);
            return p;
        };
        ArcSegments inOrder(arc);
        ArcSegments bounded(arc);
        Point3 a = written(0);
        for (long long k = 1; k <= arc.segments; ++k) {
            const Point3 b = written(k);
            const double figure = inOrder.deviation(k, a, b);
            const double floors[] = {std::nextafter(figure, -1.0), figure, figure * (1 + 1e-6),
                                     figure * 1.5 + rounding};
            const double floor = floors[random() % 4];
            const std::optional<double> answer = bounded.deviationAbove(k, a, b, floor);
            if (answer) {
                ASSERT_EQ(bitsOf(*answer), bitsOf(figure)) << "trial " << trial << ", segment " << k;
            } else {
                ASSERT_LE(figure, floor) << "trial " << trial << ", segment " << k;
                ++leftOut;
            }
            ++segments;
            a = b;
        }
    }
    // The bound is close enough to leave out many.
    EXPECT_GT(leftOut, segments / 4);
}

// The quick bound from the distances to the segment's ends against the bound
// from the distances to the segment, on random stretches of every size and
// place whose written ends lie on the path, a rounding off it, or far off
// (the nearest point then inside the segment), and on segments of no length:
// never below it, so that whatever the quick bound leaves out the bound
// would have left out; and close to it where the ends are near the path.
TEST(deviation_bound, quick_bound_is_never_below_the_bound)
{
    std::mt19937_64 random(31);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int close = 0;
    const int trials = 200000;
    for (int trial = 0; trial < trials; ++trial) {
        ReferenceArc arc;
        arc.radius = std::pow(10.0, -3 + 6 * unit(random));
        const double place = std::pow(10.0, 12 * unit(random));
        arc.centreA = (unit(random) * 2 - 1) * place;
        arc.centreB = (unit(random) * 2 - 1) * place;
        arc.startAngle = (unit(random) * 2 - 1) * pi;
        arc.sweep = (unit(random) * 2 - 1) * 0.8;
        arc.startHeight = (unit(random) * 2 - 1) * place;
        arc.rise = trial % 2 ? (unit(random) * 2 - 1) * 50 : 0;
        arc.segments = 1;
        const Point3 start = pointOnPath(arc, 0), end = pointOnPath(arc, 1);
        const int decimals = static_cast<int>(random() % 6) + 1;
        const double off = trial % 10 == 0 ? arc.radius * unit(random) : std::pow(10.0, -decimals) * unit(random);
        const auto written = [&](Point3 p) {
            if (trial % 7 != 0)
                for (double& c : p)
                    c = roundToDecimals(c + off * (unit(random) * 2 - 1), decimals);
            return p;
        };
        const Point3 a = written(start);
        const Point3 b = trial % 13 == 0 ? a : written(end);
        const double scale = std::fabs(arc.centreA) + std::fabs(arc.centreB) + arc.radius * (2 + pi) +
                             std::fabs(arc.startHeight) + std::fabs(arc.rise) + 3 * place;
        const double bound = segmentBound(arc, arc.sweep, start, end, a, b, scale);
        const double quick = quickSegmentBound(arc, arc.sweep, start, end, a, b, scale);
        ASSERT_GE(quick, bound) << "trial " << trial;
        if (quick <= bound * 1.5 + scale * 1e-9) ++close;
    }
    EXPECT_GT(close, trials / 2);
}

// A program of random arcs, some of them written twice (their segments
// deviate alike: the first line keeps the largest figure), their figures
// rounded to the decimals or written with three more.
std::string randomProgram(std::mt19937_64& random, int decimals)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::ostringstream out;
    const int digits = random() % 2 == 0 ? decimals : decimals + 3;
    const auto number = [&](double v) { return formatFixed(v, digits); };
    for (int arc = 0; arc < 8; ++arc) {
        const double r = std::pow(10.0, -2 + 3.5 * unit(random));
        const double start = (unit(random) * 2 - 1) * pi;
        const double swept = random() % 5 == 0 ? 2 * pi : 0.05 + unit(random) * 6;
        const bool clockwise = random() % 2 == 0;
        const double end = start + (clockwise ? -swept : swept);
        const double cx = (unit(random) * 2 - 1) * 100;
        const double cy = (unit(random) * 2 - 1) * 100;
        const double z = (unit(random) * 2 - 1) * 20;
        const double rise = random() % 2 == 0 ? (unit(random) * 2 - 1) * 5 : 0;
        // The plane's two axes and its helical one, with their offset letters.
        static const char* const axes[] = {"XYZIJ", "ZXYKI", "YZXJK"};
        const int plane = static_cast<int>(random() % 3);
        const char* const letter = axes[plane];
        std::ostringstream line;
        line << "G" << 17 + plane << " G0 " << letter[0] << number(cx + r * std::cos(start)) << ' ' << letter[1]
             << number(cy + r * std::sin(start)) << ' ' << letter[2] << number(z) << "\n"
             << (clockwise ? "G2 " : "G3 ") << letter[0] << number(cx + r * std::cos(end)) << ' ' << letter[1]
             << number(cy + r * std::sin(end)) << ' ' << letter[2] << number(z + rise) << ' ' << letter[3]
             << number(-r * std::cos(start)) << ' ' << letter[4] << number(-r * std::sin(start)) << " F100.\n";
        out << line.str() << (random() % 3 == 0 ? line.str() : "");
    }
    return out.str();
}

TEST(deviation_bound, a_check_without_listener_sums_up_alike)
{
    std::mt19937_64 random(41);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        Settings settings;
        settings.process.decimalPlaces = 2 + static_cast<int>(random() % 4);
        RunOptions options;
        options.sourcePath = "random.nc";
        options.tolerance = std::pow(10.0, -3.0 + 2.0 * std::uniform_real_distribution<double>(0, 1)(random));
        options.runMode = trial % 2 == 0 ? RunMode::ConvertArcs : RunMode::ConvertHelical;
        const std::string program = "G90\n" + randomProgram(random, settings.process.decimalPlaces);
        testing::RecordingHost host;
        host.listensToMoves = true;
        MemoryOutputStore output;
        if (RunDriver(settings).execute(options, host, program, output).outcome != RunOutcome::Converted) continue;
        ConversionCheck check(settings, options);
        for (const Move& move : host.moves)
            check.noteMove(move);
        // A listener hears every segment: none is left out.
        VerificationListener everySegment;
        const VerificationResult heard = check.verifyBytes(output.bytes(), &everySegment);
        const VerificationResult alone = check.verifyBytes(output.bytes());
        ASSERT_EQ(alone.status, heard.status) << program;
        ASSERT_EQ(alone.outputLine, heard.outputLine) << program;
        const VerificationSummary& s = alone.summary;
        const VerificationSummary& t = heard.summary;
        EXPECT_EQ(bitsOf(s.maxDeviation), bitsOf(t.maxDeviation)) << program;
        EXPECT_EQ(s.maxDeviationLine, t.maxDeviationLine) << program;
        EXPECT_EQ(bitsOf(s.maxEndError), bitsOf(t.maxEndError)) << program;
        EXPECT_EQ(s.arcs, t.arcs) << program;
        EXPECT_EQ(s.lines, t.lines) << program;
        compared += t.arcs > 1 ? 1 : 0;
    }
    EXPECT_GT(compared, 200);
}

}  // namespace
}  // namespace drennix
