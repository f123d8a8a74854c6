// The fast paths of the interpreter and the statistics against the
// straightforward code they replace, on random input: the recheck of an arc
// by centre offsets or by radius, left out where it cannot fail, against
// recomputing both ends; the directions an arc passes, found from its angles, against trying
// each; and a step reused from block to block, which keeps its state in
// place and clears its arc only after an arc, against a fresh step a block.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "arc_geometry.h"
#include "block_interpreter.h"
#include "block_parser.h"
#include "numerics.h"
#include "statistics.h"

namespace drennix {
namespace {

std::uint64_t bitsOf(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

double uniform(std::mt19937_64& random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

// A number rounded to `decimals` places, as a program writes it.
double rounded(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

void setValue(ParsedBlock& block, AddressKind kind, double v)
{
    block.values[static_cast<int>(kind) - 1] = v;
}

void setOffsets(ParsedBlock& block, Plane plane, double onA, double onB)
{
    const auto set = [&](AddressKind kind, double v) { setValue(block, kind, v); };
    switch (plane) {
    case Plane::XY: set(AddressKind::ArcI, onA), set(AddressKind::ArcJ, onB); break;
    case Plane::YZ: set(AddressKind::ArcJ, onA), set(AddressKind::ArcK, onB); break;
    case Plane::ZX: set(AddressKind::ArcK, onA), set(AddressKind::ArcI, onB); break;
    }
}

// validateResolvedArc against validateArc, which always recomputes both
// ends, on copies of one resolved arc: the same fault and the same figures
// to the bit. Counts the arcs that pass and those the recheck rejects.
struct RecheckOutcomes {
    int passed = 0;
    int rechecksFailed = 0;

    ::testing::AssertionResult haveTheSameOutcome(const ModalState& state, const Point3& target, int decimals,
                                                  const ArcPath& arc)
    {
        ArcPath full = arc;
        ArcPath fast = arc;
        const Fault expected = validateArc(state, target, decimals, full);
        if (validateResolvedArc(state, target, decimals, fast) != expected) {
            return ::testing::AssertionFailure() << "a different fault";
        }
        if (bitsOf(fast.swept) != bitsOf(full.swept) || fast.fullCircle != full.fullCircle ||
            bitsOf(fast.radiusDifference) != bitsOf(full.radiusDifference)) {
            return ::testing::AssertionFailure() << "different figures";
        }
        passed += expected ? 0 : 1;
        rechecksFailed += expected.id == FaultId::StartRecheck || expected.id == FaultId::EndRecheck ? 1 : 0;
        return ::testing::AssertionSuccess();
    }
};

// Arcs of every size from a thousandth to 10^12, their end on the circle,
// off it by up to one and a half tolerances, or at the start; the figures
// rounded to the decimal places or not. Sizes near 2^40 tolerances and
// radius differences near half a tolerance sit on the edge of the shortcut.
TEST(OffsetArcRecheck, HasTheOutcomeOfRecomputingBothEnds)
{
    std::mt19937_64 random(17);
    constexpr Plane planes[] = {Plane::XY, Plane::YZ, Plane::ZX};
    RecheckOutcomes outcomes;
    for (int trial = 0; trial < 300000; ++trial) {
        ModalState state;
        state.plane = planes[random() % 3];
        state.motion = random() % 2 == 0 ? Motion::ClockwiseArc : Motion::CounterClockwiseArc;
        const int decimals = static_cast<int>(random() % 10);
        const double tolerance = recheckTolerance(decimals);
        const double size = std::pow(10.0, uniform(random, -3, 12));
        const double radius = size * uniform(random, 0.001, 1);
        const bool roundFigures = random() % 2 == 0;
        const auto figure = [&](double v) { return roundFigures ? rounded(v, decimals) : v; };
        for (double& axis : state.position) {
            axis = figure(size * uniform(random, -1, 1));
        }
        const double startAngle = uniform(random, -4, 4);
        const double onA = figure(-radius * std::cos(startAngle));
        const double onB = figure(-radius * std::sin(startAngle));
        const PlaneAxes axes = planeAxesOf(state.plane);
        Point3 target = state.position;
        if (random() % 8 != 0) {
            const double endAngle = uniform(random, -4, 4);
            const double off = tolerance * uniform(random, 0, 1.5);
            const double offAngle = uniform(random, -4, 4);
            target[axes.a] =
                figure(state.position[axes.a] + onA + radius * std::cos(endAngle) + off * std::cos(offAngle));
            target[axes.b] =
                figure(state.position[axes.b] + onB + radius * std::sin(endAngle) + off * std::sin(offAngle));
            target[axes.helical] += random() % 4 == 0 ? 1.0 : 0.0;
        }
        ParsedBlock block;
        setOffsets(block, state.plane, onA, onB);
        ArcPath arc;
        if (resolveArcByOffsets(block, state, target, arc)) {
            continue;
        }
        ASSERT_TRUE(outcomes.haveTheSameOutcome(state, target, decimals, arc)) << trial;
    }
    // Both outcomes occur often, near the edge too.
    EXPECT_GT(outcomes.passed, 50000);
    EXPECT_GT(outcomes.rechecksFailed, 20000);
}

// Radius arcs of every size, short and long, clockwise and not; the radius
// well above the half chord, within a few tolerances of it on either side,
// or below it, where the recheck fails unless the two are close.
TEST(RadiusArcRecheck, HasTheOutcomeOfRecomputingBothEnds)
{
    std::mt19937_64 random(19);
    constexpr Plane planes[] = {Plane::XY, Plane::YZ, Plane::ZX};
    RecheckOutcomes outcomes;
    for (int trial = 0; trial < 300000; ++trial) {
        ModalState state;
        state.plane = planes[random() % 3];
        state.motion = random() % 2 == 0 ? Motion::ClockwiseArc : Motion::CounterClockwiseArc;
        const int decimals = static_cast<int>(random() % 10);
        const double tolerance = recheckTolerance(decimals);
        const double size = std::pow(10.0, uniform(random, -3, 12));
        const bool roundFigures = random() % 2 == 0;
        const auto figure = [&](double v) { return roundFigures ? rounded(v, decimals) : v; };
        for (double& axis : state.position) {
            axis = figure(size * uniform(random, -1, 1));
        }
        const PlaneAxes axes = planeAxesOf(state.plane);
        const double halfChord = size * uniform(random, 0.001, 1);
        const double direction = uniform(random, -4, 4);
        Point3 target = state.position;
        target[axes.a] = figure(target[axes.a] + 2 * halfChord * std::cos(direction));
        target[axes.b] = figure(target[axes.b] + 2 * halfChord * std::sin(direction));
        target[axes.helical] += random() % 4 == 0 ? 1.0 : 0.0;
        double radius = 0;
        switch (random() % 3) {
        case 0: radius = halfChord * uniform(random, 1, 100); break;
        case 1: radius = halfChord + tolerance * uniform(random, -2, 2); break;
        default: radius = halfChord * uniform(random, 0.5, 1); break;
        }
        radius = figure(random() % 2 == 0 ? radius : -radius);
        ParsedBlock block;
        setValue(block, AddressKind::Radius, radius);
        ArcPath arc;
        if (radius == 0 || resolveArcByRadius(block, state, target, arc)) {
            continue;
        }
        ASSERT_TRUE(outcomes.haveTheSameOutcome(state, target, decimals, arc)) << trial;
    }
    EXPECT_GT(outcomes.passed, 50000);
    EXPECT_GT(outcomes.rechecksFailed, 20000);
}

TEST(OffsetArcRecheck, NotANumberTakesTheRecheck)
{
    const Point3 target{10, 0, 0};
    ModalState state;
    state.motion = Motion::ClockwiseArc;
    ParsedBlock block;
    setOffsets(block, Plane::XY, 5, 0);
    ArcPath arc;
    ASSERT_FALSE(resolveArcByOffsets(block, state, target, arc));
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()}) {
        for (double ArcPath::*figure : {&ArcPath::centreA, &ArcPath::centreB, &ArcPath::radius, &ArcPath::endRadius}) {
            ArcPath full = arc;
            ArcPath fast = arc;
            full.*figure = bad;
            fast.*figure = bad;
            EXPECT_EQ(validateResolvedArc(state, target, 3, fast), validateArc(state, target, 3, full));
        }
    }
}

// The extents an arc adds, worked out the plain way: each direction k·90°,
// k from -5 to 5, between the lower and the upper angle.
struct Extents {
    Point3 minimum;
    Point3 maximum;
};

Extents scanEveryQuarter(const Point3& initial, const Move& move)
{
    Extents e{initial, initial};
    const ArcPath& arc = move.arc;
    const PlaneAxes axes = planeAxesOf(move.plane);
    const double r = arc.absRadius();
    const auto low = [&](int axis, double v) {
        if (v < e.minimum[axis]) e.minimum[axis] = v;
    };
    const auto high = [&](int axis, double v) {
        if (v > e.maximum[axis]) e.maximum[axis] = v;
    };
    if (arc.fullCircle || arc.turns > 1) {
        low(axes.a, arc.centreA - r), high(axes.a, arc.centreA + r);
        low(axes.b, arc.centreB - r), high(axes.b, arc.centreB + r);
    } else {
        const double lower = toDegrees(move.clockwise() ? arc.endAngle : arc.startAngle);
        const double upper = toDegrees(move.clockwise() ? arc.startAngle : arc.endAngle);
        for (int k = -5; k <= 5; ++k) {
            const double direction = k * 90.0;
            if (!(lower <= direction && direction <= upper)) continue;
            switch (((k % 4) + 4) % 4) {
            case 0: high(axes.a, arc.centreA + r); break;
            case 1: high(axes.b, arc.centreB + r); break;
            case 2: low(axes.a, arc.centreA - r); break;
            default: low(axes.b, arc.centreB - r); break;
            }
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        low(axis, move.end[axis]), high(axis, move.end[axis]);
    }
    return e;
}

// Angles of any value, the quarter directions themselves (as the program's
// pi gives them) and their neighbours, beyond ±450° and not numbers.
double randomAngle(std::mt19937_64& random)
{
    const double quarter = (static_cast<double>(random() % 21) - 10) * (piConstant / 2);
    switch (random() % 6) {
    case 0: return quarter;
    case 1: return std::nextafter(quarter, 100.0);
    case 2: return std::nextafter(quarter, -100.0);
    case 3: return (static_cast<double>(random() % 21) - 10) * 90.0 * piConstant / 180.0;
    case 4: {
        constexpr double odd[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(), 1e300, -1e300};
        return odd[random() % 5];
    }
    default: return uniform(random, -12, 12);
    }
}

TEST(ArcExtremes, AreTheDirectionsATrialOfEachFinds)
{
    std::mt19937_64 random(23);
    constexpr Plane planes[] = {Plane::XY, Plane::YZ, Plane::ZX};
    for (int trial = 0; trial < 300000; ++trial) {
        Move move;
        move.kind = random() % 2 == 0 ? MoveKind::ClockwiseArc : MoveKind::CounterClockwiseArc;
        move.plane = planes[random() % 3];
        move.arc.centreA = uniform(random, -5, 5);
        move.arc.centreB = uniform(random, -5, 5);
        move.arc.radius = uniform(random, -10, 10);
        move.arc.startAngle = randomAngle(random);
        move.arc.endAngle = randomAngle(random);
        move.arc.fullCircle = random() % 16 == 0;
        move.arc.turns = random() % 16 == 0 ? 2 : 1;
        for (double& axis : move.end) {
            axis = uniform(random, -3, 3);
        }
        move.feed = 100;
        const Point3 initial{uniform(random, -1, 1), uniform(random, -1, 1), uniform(random, -1, 1)};
        StatisticsTally tally(initial, 1000);
        tally.addMove(move);
        const Extents expected = scanEveryQuarter(initial, move);
        for (int axis = 0; axis < 3; ++axis) {
            ASSERT_EQ(bitsOf(tally.figures().minimum[axis]), bitsOf(expected.minimum[axis])) << trial;
            ASSERT_EQ(bitsOf(tally.figures().maximum[axis]), bitsOf(expected.maximum[axis])) << trial;
        }
    }
}

// Blocks of every kind the interpreter tells apart, faults included.
std::string randomBlock(std::mt19937_64& random)
{
    const auto number = [&](int range) {
        return std::to_string(static_cast<int>(random() % (2 * range + 1)) - range) + "." +
               std::to_string(random() % 1000);
    };
    static const char* const modes[] = {"", "", "", "G90", "G91", "G17", "G18", "G19", "G41", "G40"};
    std::string block = modes[random() % std::size(modes)];
    switch (random() % 8) {
    case 0: block += "G0"; break;
    case 1: block += "G1"; break;
    case 2: block += "G2"; break;
    case 3: block += "G3"; break;
    default: break;
    }
    for (const char axis : {'X', 'Y', 'Z'}) {
        if (random() % 2 == 0) block += axis + number(20);
    }
    // Each word appended on its own: a literal before a temporary string
    // draws a false -Wrestrict from GCC 12.
    const auto word = [&](char letter, int range) {
        block += letter;
        block += number(range);
    };
    switch (random() % 6) {
    case 0: word('I', 10), word('J', 10); break;
    case 1: word('J', 10), word('K', 10); break;
    case 2: word('R', 15); break;
    case 3: word('K', 10), word('I', 10); break;
    default: break;
    }
    if (random() % 4 == 0) {
        block += 'F';
        block += std::to_string(random() % 500);
    }
    return block;
}

bool sameMove(const Move& a, const Move& b)
{
    const auto same = [](const Point3& p, const Point3& q) {
        return bitsOf(p[0]) == bitsOf(q[0]) && bitsOf(p[1]) == bitsOf(q[1]) && bitsOf(p[2]) == bitsOf(q[2]);
    };
    const ArcPath& x = a.arc;
    const ArcPath& y = b.arc;
    return a.kind == b.kind && a.plane == b.plane && a.line == b.line && same(a.start, b.start) && same(a.end, b.end) &&
           same(a.travel, b.travel) && bitsOf(a.feed) == bitsOf(b.feed) && bitsOf(a.length) == bitsOf(b.length) &&
           a.segments == b.segments && bitsOf(x.centreA) == bitsOf(y.centreA) &&
           bitsOf(x.centreB) == bitsOf(y.centreB) && bitsOf(x.radius) == bitsOf(y.radius) &&
           bitsOf(x.endRadius) == bitsOf(y.endRadius) && bitsOf(x.radiusDifference) == bitsOf(y.radiusDifference) &&
           bitsOf(x.startAngle) == bitsOf(y.startAngle) && bitsOf(x.endAngle) == bitsOf(y.endAngle) &&
           bitsOf(x.swept) == bitsOf(y.swept) && x.fullCircle == y.fullCircle && bitsOf(x.turns) == bitsOf(y.turns) &&
           x.helical == y.helical;
}

bool sameState(const ModalState& a, const ModalState& b)
{
    return a.motion == b.motion && a.plane == b.plane && a.coordinateMode == b.coordinateMode &&
           a.compensation == b.compensation && bitsOf(a.feed) == bitsOf(b.feed) &&
           bitsOf(a.position[0]) == bitsOf(b.position[0]) && bitsOf(a.position[1]) == bitsOf(b.position[1]) &&
           bitsOf(a.position[2]) == bitsOf(b.position[2]);
}

// The run's way: one step for the whole program, its state read in place.
// Against a fresh step and a separate state for every block. After a fault
// (where the run would stop) both go on from the state before the block.
TEST(ReusedStep, GivesWhatAFreshStepGives)
{
    Settings settings;
    BlockParser parser(settings);
    std::mt19937_64 random(29);
    for (int program = 0; program < 300; ++program) {
        Step reused;
        ModalState state;
        state.feed = 100;
        reused.modal = state;
        for (int line = 1; line <= 500; ++line) {
            const std::string text = randomBlock(random);
            ParsedBlock block;
            if (parser.parse(text, block) || block.blank) {
                continue;
            }
            Step fresh;
            interpretBlock(state, block, 3, line, fresh);
            interpretBlock(reused.modal, block, 3, line, reused);
            ASSERT_EQ(reused.fault, fresh.fault) << text;
            if (fresh.fault) {
                reused.modal = state;
                continue;
            }
            ASSERT_EQ(reused.kind, fresh.kind) << text;
            ASSERT_TRUE(sameState(reused.modal, fresh.modal)) << text;
            if (fresh.kind == BlockKind::Motion) {
                ASSERT_TRUE(sameMove(reused.move, fresh.move)) << text;
            }
            state = fresh.modal;
        }
    }
}

}  // namespace
}  // namespace drennix
