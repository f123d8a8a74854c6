// Over many random arcs (every plane, both directions, centre offsets and R,
// full circles, helical travel, absolute and incremental mode, three and four
// decimals, radii from 0.001 to 500) no written segment deviates from its
// reference path by more than the tolerance, the rounding of the written
// numbers and the arc's own radius difference; the end of each arc is off by
// the rounding at most.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "conversion_check.h"
#include "number_format.h"
#include "output_store.h"
#include "recording_host.h"
#include "run_driver.h"

namespace drennix {
namespace {

const double pi = std::acos(-1.0);
const char axisLetters[] = {'X', 'Y', 'Z'};
const char offsetLetters[] = {'I', 'J', 'K'};

struct RandomArc {
    int plane = 17;
    bool clockwise = false;
    bool byRadius = false;
    bool incremental = false;
    int decimals = 3;
    double tolerance = 0.01;
    Point3 start{};
    Point3 end{};
    Point3 offsets{};  // centre - start, on the plane's axes
    double radius = 0;
};

std::array<int, 3> axesOf(int plane)
{
    if (plane == 17) return {0, 1, 2};
    if (plane == 18) return {2, 0, 1};
    return {1, 2, 0};
}

RandomArc randomArc(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RandomArc arc;
    arc.plane = 17 + static_cast<int>(random() % 3);
    arc.clockwise = random() % 2 == 0;
    arc.byRadius = random() % 4 == 0;
    arc.incremental = random() % 3 == 0;
    arc.decimals = random() % 4 == 0 ? 4 : 3;
    arc.tolerance = std::pow(10.0, -3.0 + 2.0 * unit(random));
    const double r = std::pow(10.0, -3.0 + 5.7 * unit(random));  // 0.001 .. 500
    const bool fullCircle = !arc.byRadius && random() % 6 == 0;
    const double startAngle = (unit(random) * 2 - 1) * pi;
    const double swept = fullCircle ? 2 * pi : 0.02 + unit(random) * (2 * pi - 0.04);
    const double endAngle = startAngle + (arc.clockwise ? -swept : swept);
    const auto axes = axesOf(arc.plane);
    const double centreA = (unit(random) * 2 - 1) * 200;
    const double centreB = (unit(random) * 2 - 1) * 200;
    const double startH = (unit(random) * 2 - 1) * 20;
    const double rise = random() % 2 ? (unit(random) * 2 - 1) * 10 : 0.0;
    // Every number as the program writes it, so that nothing is lost to
    // the number format but what the conversion itself rounds.
    const auto snap = [&](double v) { return roundToDecimals(v, arc.decimals); };
    arc.start[axes[0]] = snap(centreA + r * std::cos(startAngle));
    arc.start[axes[1]] = snap(centreB + r * std::sin(startAngle));
    arc.start[axes[2]] = snap(startH);
    arc.end[axes[0]] = fullCircle ? arc.start[axes[0]] : snap(centreA + r * std::cos(endAngle));
    arc.end[axes[1]] = fullCircle ? arc.start[axes[1]] : snap(centreB + r * std::sin(endAngle));
    arc.end[axes[2]] = snap(startH + rise);
    arc.offsets[axes[0]] = snap(centreA - arc.start[axes[0]]);
    arc.offsets[axes[1]] = snap(centreB - arc.start[axes[1]]);
    // An R arc over half a circle has a negative R.
    arc.radius = snap(swept > pi ? -r : r);
    return arc;
}

std::string programFor(const RandomArc& arc)
{
    const auto number = [&](double v) { return formatFixed(v, arc.decimals); };
    std::ostringstream out;
    out << "G90 G" << arc.plane << " G0";
    for (int a = 0; a < 3; ++a)
        out << ' ' << axisLetters[a] << number(arc.start[a]);
    out << "\n" << (arc.incremental ? "G91 " : "") << "G" << (arc.clockwise ? 2 : 3);
    for (int a = 0; a < 3; ++a)
        out << ' ' << axisLetters[a] << number(arc.incremental ? arc.end[a] - arc.start[a] : arc.end[a]);
    if (arc.byRadius) {
        out << " R" << number(arc.radius);
    } else {
        const auto axes = axesOf(arc.plane);
        for (int k = 0; k < 2; ++k)
            out << ' ' << offsetLetters[axes[k]] << number(arc.offsets[axes[k]]);
    }
    out << " F100.\n";
    return out.str();
}

struct Bounds : VerificationListener {
    double worstExcess = -1;
    SegmentDeviation worst;
    void segment(const SegmentDeviation& s) override
    {
        if (s.deviation - s.allowance > worstExcess) {
            worstExcess = s.deviation - s.allowance;
            worst = s;
        }
    }
};

TEST(verification_property, no_written_segment_exceeds_its_allowance)
{
    std::mt19937_64 random(20261208);
    int converted = 0;
    for (int trial = 0; trial < 1500; ++trial) {
        const RandomArc arc = randomArc(random);
        const std::string program = programFor(arc);
        Settings settings;
        settings.process.decimalPlaces = arc.decimals;
        RunOptions options;
        options.sourcePath = "random.nc";
        options.tolerance = arc.tolerance;
        options.runMode = RunMode::ConvertArcs;
        testing::RecordingHost host;
        host.listensToMoves = true;
        MemoryOutputStore output;
        const RunResult result = RunDriver(settings).execute(options, host, program, output);
        // A rounded arc whose end misses its circle by more than the recheck
        // allows is rejected, as it should be; it has nothing to check.
        if (result.outcome != RunOutcome::Converted) continue;
        ++converted;
        ConversionCheck check(settings, options);
        for (const Move& move : host.moves)
            check.noteMove(move);
        Bounds bounds;
        const VerificationResult verification = check.verifyBytes(output.bytes(), &bounds);
        ASSERT_TRUE(verification.checked()) << program;
        EXPECT_EQ(verification.summary.arcs, 1);
        EXPECT_LE(bounds.worstExcess, 1e-12)
            << "trial " << trial << ": " << program << "deviation " << bounds.worst.deviation << ", allowance "
            << bounds.worst.allowance << ", tolerance " << arc.tolerance;
        EXPECT_LE(verification.summary.maxEndError, std::sqrt(3.0) / 2 * std::pow(10.0, -arc.decimals) + 1e-12)
            << "trial " << trial << ": " << program;
    }
    // Nearly every arc is one the engine accepts.
    EXPECT_GT(converted, 1300);
}

}  // namespace
}  // namespace drennix
