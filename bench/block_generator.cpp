#include "block_generator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace drennix::bench {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double degree = pi / 180.0;

// A block starts with the tool inside this box; a tool outside it is first
// brought back. Arcs have radii up to 30 and lines move by at most 40 from a
// point inside, so no coordinate ever leaves +-200.
constexpr Point boxHalfWidth = {100.0, 100.0, 50.0};

// How far an arc's end point may lie off its circle. The reader rechecks each
// axis of the end point against its own recomputation with 0.002.
constexpr double endPointSlack = 0.0004;
constexpr int arcAttempts = 16;
constexpr double attemptAngleStep = 0.003;

// Comments as the reader sees them: bytes, some of them code page 932
// (荒加工, 仕上げ, 外周, ポケット, 穴あけ, and half-width ｱﾗｶｺｳ, ｼｱｹﾞ).
constexpr std::array<std::string_view, 14> commentTexts = {
    "(ROUGHING)",
    "(FINISHING PASS)",
    "(T1 D10. FLAT END MILL)",
    "(CONTOUR 1)",
    "(POCKET 3 DEPTH -5.0)",
    "(SPOT DRILL 90 DEG)",
    "(HELICAL ENTRY)",
    "(\x8d\x72\x89\xc1\x8d\x48)",
    "(\x8e\x64\x8f\xe3\x82\xb0)",
    "(\x8a\x4f\x8e\xfc 2)",
    "(\x83\x7c\x83\x50\x83\x62\x83\x67 R5.)",
    "(\x8c\x8a\x82\xa0\x82\xaf)",
    "(\xb1\xd7\xb6\xba\xb3)",
    "(\xbc\xb1\xb9\xde Z-1.)",
};

// The opening of every program: tool, spindle, the modal codes, and a feed
// before the first cutting move. It leaves the tool at (0, 0, 2) moving in G1.
constexpr std::string_view openingLines =
    "%\r\n"
    "O1001(DRENNIX SYNTHETIC PROGRAM)\r\n"
    "(\xcd\xde\xdd\xc1\xcf\xb0\xb8)\r\n"
    "G0 G17 G40 G90 Z50.\r\n"
    "T1 M6\r\n"
    "S8000 M3\r\n"
    "G0 X0. Y0.\r\n"
    "G1 Z2. F1000.\r\n";

int motionCode(Motion motion)
{
    return static_cast<int>(motion);
}

// A coordinate is on the full-circle grid when it is a multiple of 1/8: such
// values and their sums are exact in binary, so the reader finds the end point
// of a full circle exactly at its start point.
bool onEighthGrid(double value)
{
    const double scaled = value * 8.0;
    return std::abs(value) < 1.0e6 && scaled == std::floor(scaled);
}

bool endsOnCircle(const AxisMove& move, const PlaneAxes& axes, double centreA, double centreB, double radius)
{
    const double reached = std::hypot(move.target(axes.a) - centreA, move.target(axes.b) - centreB);
    return std::abs(reached - radius) <= endPointSlack;
}

}  // namespace

BlockGenerator::BlockGenerator(std::uint64_t seed, bool decimalPoints) : random_(seed), decimalPoints_(decimalPoints) {}

const std::string& BlockGenerator::next()
{
    lines_.clear();
    if (!opened_) {
        writeOpening();
        opened_ = true;
    } else {
        writeBlock();
    }
    return lines_;
}

void BlockGenerator::writeOpening()
{
    lines_ = openingLines;
    state_.position = {0.0, 0.0, 2.0};
    state_.motion = Motion::Linear;
}

void BlockGenerator::writeBlock()
{
    if (random_.chance(0.01)) compact_ = !compact_;
    if (!insideBox()) return writeReturnIntoBox();
    if (state_.compensated) return writeCompensatedBlock();
    if (state_.plane != Plane::XY && --planeBlocksLeft_ <= 0) return writePlaneChange(Plane::XY);
    if (state_.incremental && --incrementalBlocksLeft_ <= 0) return writeCoordinateModeChange(false);
    writeFreeBlock();
}

void BlockGenerator::writeFreeBlock()
{
    const double roll = random_.uniform(0.0, 100.0);
    if (roll < 44.0) return writeLinear();
    if (roll < 52.0) return writeRapid();
    if (roll < 78.0) return writeArc();
    if (roll < 83.0) return writeCommentLine();
    if (roll < 86.0) return writeBlankLine();
    if (roll < 92.0) return writeMachineWords();
    if (roll < 94.0 && state_.plane == Plane::XY) {
        return writePlaneChange(random_.chance(0.5) ? Plane::ZX : Plane::YZ);
    }
    if (roll < 95.0 && !state_.incremental) return writeCoordinateModeChange(true);
    if (roll < 96.0) return writeCompensationStart();
    if (roll < 96.3) return writeCoordinateSet();
    if (roll < 96.6) return writeValueSet();
    writeLinear();
}

void BlockGenerator::writeCompensatedBlock()
{
    if (--compensationBlocksLeft_ <= 0) return writeCompensationEnd();
    const double roll = random_.uniform(0.0, 100.0);
    if (roll < 55.0) return writeLinear();
    if (roll < 90.0) return writeArc();
    if (roll < 95.0) return writeCommentLine();
    writeMachineWords();
}

void BlockGenerator::writeRapid()
{
    AxisMove move(state_, pickNumberStyle(true));
    const double roll = random_.unit();
    if (roll < 0.3) {
        move.moveTo(2, random_.uniform(2.0, 25.0));
    } else {
        move.moveTo(0, randomTargetInBox(0));
        move.moveTo(1, randomTargetInBox(1));
        if (roll > 0.8) move.moveTo(2, random_.uniform(2.0, 25.0));
    }
    beginLine();
    appendMotion(Motion::Rapid);
    appendAxisWords(move);
    endLine();
    move.commit(state_);
}

void BlockGenerator::writeLinear()
{
    AxisMove move(state_, pickNumberStyle(true));
    const Point& from = state_.position;
    const double roll = random_.unit();
    if (roll < 0.15) {
        const double depth = random_.uniform(0.1, 3.0);
        move.moveTo(2, from[2] > -20.0 ? from[2] - depth : from[2] + depth);
    } else if (roll < 0.92) {
        const double length = random_.chance(0.75) ? random_.uniform(0.05, 3.0) : random_.uniform(3.0, 40.0);
        const double direction = random_.uniform(-pi, pi);
        move.moveTo(0, from[0] + length * std::cos(direction));
        move.moveTo(1, from[1] + length * std::sin(direction));
        if (random_.chance(0.1)) move.moveTo(2, from[2] + random_.uniform(-0.5, 0.5));
    } else {
        move.moveTo(0, randomTargetInBox(0));
        move.moveTo(1, randomTargetInBox(1));
    }
    beginLine();
    appendMotion(Motion::Linear);
    appendAxisWords(move);
    appendFeedSometimes();
    endLine();
    move.commit(state_);
}

void BlockGenerator::writeArc()
{
    const double roll = random_.unit();
    if (roll < 0.05) return writeFullCircle(roll < 0.02);
    const bool helical = random_.chance(0.2);
    const bool written = random_.chance(0.65) ? writeArcByOffsets(helical) : writeArcByRadius(helical);
    if (!written) writeLinear();
}

// An arc given by its centre offsets. The offsets are whole thousandths; the
// end point is computed from the centre, the radius and the end angle, and
// nudged along the circle until its written coordinates lie within
// `endPointSlack` of the circle.
bool BlockGenerator::writeArcByOffsets(bool helical)
{
    const PlaneAxes axes = planeAxes(state_.plane);
    const NumberStyle style = pickNumberStyle(false);
    const double startA = state_.position[axes.a];
    const double startB = state_.position[axes.b];
    const double wantedRadius = pickArcRadius();
    const double towardsCentre = angleTowardsBoxCentre(startA, startB);
    const long long offsetA = toThousandths(wantedRadius * std::cos(towardsCentre));
    const long long offsetB = toThousandths(wantedRadius * std::sin(towardsCentre));
    if (offsetA == 0 && offsetB == 0) return false;

    const double a = wordValue(offsetA, style);
    const double b = wordValue(offsetB, style);
    const double centreA = startA + a;
    const double centreB = startB + b;
    const double radius = std::sqrt(a * a + b * b);
    const double startAngle = std::atan2(-b, -a);
    const bool clockwise = random_.chance(0.5);
    const double sweep = random_.uniform(10.0 * degree, 350.0 * degree);
    const double helicalEnd = helical ? helicalTarget(axes.normal) : 0.0;

    for (int attempt = 0; attempt < arcAttempts; ++attempt) {
        const double turn = sweep + attempt * attemptAngleStep;
        const double endAngle = clockwise ? startAngle - turn : startAngle + turn;
        AxisMove move(state_, style);
        move.moveTo(axes.a, centreA + radius * std::cos(endAngle));
        move.moveTo(axes.b, centreB + radius * std::sin(endAngle));
        if (helical) move.moveTo(axes.normal, helicalEnd);
        if (!endsOnCircle(move, axes, centreA, centreB, radius)) continue;
        if (helical && move.target(axes.normal) == state_.position[axes.normal]) return false;

        beginLine();
        appendMotion(clockwise ? Motion::Clockwise : Motion::CounterClockwise);
        appendAxisWords(move);
        appendOffsetWords(axes, offsetA, offsetB, style);
        appendFeedSometimes();
        endLine();
        move.commit(state_);
        return true;
    }
    return false;
}

// An arc given by its radius: R > 0 for a sweep below 180 degrees, R < 0 above.
// The sweeps stay 20 degrees away from 0, 180 and 360 so that the written end
// point leaves the radius clearly longer than half the chord.
bool BlockGenerator::writeArcByRadius(bool helical)
{
    const PlaneAxes axes = planeAxes(state_.plane);
    const NumberStyle style = pickNumberStyle(false);
    const double startA = state_.position[axes.a];
    const double startB = state_.position[axes.b];
    const long long radiusWord = toThousandths(random_.uniform(1.0, 30.0));
    const double radius = wordValue(radiusWord, style);
    const bool large = random_.chance(0.25);
    const double sweep =
        large ? random_.uniform(200.0 * degree, 340.0 * degree) : random_.uniform(20.0 * degree, 160.0 * degree);
    const double towardsCentre = angleTowardsBoxCentre(startA, startB);
    const double centreA = startA + radius * std::cos(towardsCentre);
    const double centreB = startB + radius * std::sin(towardsCentre);
    const double startAngle = towardsCentre + pi;
    const bool clockwise = random_.chance(0.5);
    const double helicalEnd = helical ? helicalTarget(axes.normal) : 0.0;

    for (int attempt = 0; attempt < arcAttempts; ++attempt) {
        const double turn = sweep + attempt * attemptAngleStep;
        const double endAngle = clockwise ? startAngle - turn : startAngle + turn;
        AxisMove move(state_, style);
        move.moveTo(axes.a, centreA + radius * std::cos(endAngle));
        move.moveTo(axes.b, centreB + radius * std::sin(endAngle));
        if (helical) move.moveTo(axes.normal, helicalEnd);
        const double halfChord = std::hypot(move.target(axes.a) - startA, move.target(axes.b) - startB) / 2.0;
        if (halfChord < 0.001 || halfChord > radius - 0.001) continue;
        if (helical && move.target(axes.normal) == state_.position[axes.normal]) return false;

        beginLine();
        appendMotion(clockwise ? Motion::Clockwise : Motion::CounterClockwise);
        appendAxisWords(move);
        appendWordStart();
        appendCoordinateWord(lines_, 'R', large ? -radiusWord : radiusWord, style);
        appendFeedSometimes();
        endLine();
        move.commit(state_);
        return true;
    }
    return false;
}

// A full circle: centre offsets without plane axis words, so that the end
// point is the start point. Start and offsets lie on the 1/8 grid (see
// onEighthGrid); a line onto the grid comes first when needed.
void BlockGenerator::writeFullCircle(bool helical)
{
    if (state_.incremental) {
        if (!writeArcByOffsets(helical)) writeLinear();
        return;
    }
    const PlaneAxes axes = planeAxes(state_.plane);
    if (!onEighthGrid(state_.position[axes.a]) || !onEighthGrid(state_.position[axes.b])) {
        moveOntoEighthGrid(axes);
    }
    long long eighthsA = random_.below(321) - 160;
    const long long eighthsB = random_.below(321) - 160;
    if (eighthsA == 0 && eighthsB == 0) eighthsA = 8;

    AxisMove move(state_, NumberStyle::FullDecimals);
    if (helical) move.moveTo(axes.normal, helicalTarget(axes.normal));
    beginLine();
    appendMotion(random_.chance(0.5) ? Motion::Clockwise : Motion::CounterClockwise);
    appendAxisWords(move);
    appendOffsetWords(axes, eighthsA * 125, eighthsB * 125, NumberStyle::FullDecimals);
    appendFeedSometimes();
    endLine();
    move.commit(state_);
}

void BlockGenerator::moveOntoEighthGrid(const PlaneAxes& axes)
{
    AxisMove move(state_, NumberStyle::FullDecimals);
    move.moveTo(axes.a, std::round(state_.position[axes.a] * 8.0) / 8.0);
    move.moveTo(axes.b, std::round(state_.position[axes.b] * 8.0) / 8.0);
    beginLine();
    appendMotion(Motion::Linear);
    appendAxisWords(move);
    endLine();
    move.commit(state_);
}

void BlockGenerator::writeReturnIntoBox()
{
    const bool cutting = state_.compensated;
    AxisMove move(state_, pickNumberStyle(true));
    move.moveTo(0, randomTargetInBox(0));
    move.moveTo(1, randomTargetInBox(1));
    move.moveTo(2, cutting ? randomTargetInBox(2) : random_.uniform(2.0, 25.0));
    beginLine();
    appendMotion(cutting ? Motion::Linear : Motion::Rapid);
    appendAxisWords(move);
    endLine();
    move.commit(state_);
}

void BlockGenerator::writeCommentLine()
{
    appendLine(commentTexts[static_cast<std::size_t>(random_.below(static_cast<int>(commentTexts.size())))]);
}

void BlockGenerator::writeBlankLine()
{
    appendLine(random_.chance(0.8) ? "" : "   ");
}

// Words the reader checks and then ignores: sequence numbers, spindle, tool,
// coolant, dwell (G4 is no code of the vocabulary).
void BlockGenerator::writeMachineWords()
{
    beginLine();
    appendWordStart();
    switch (random_.below(6)) {
    case 0: appendIntegerWord(lines_, 'M', random_.chance(0.5) ? 8 : 9); break;
    case 1:
        appendIntegerWord(lines_, 'S', 1000 + 100 * random_.below(190));
        appendWordStart();
        appendIntegerWord(lines_, 'M', 3);
        break;
    case 2:
        appendIntegerWord(lines_, 'T', 1 + random_.below(24));
        appendWordStart();
        appendIntegerWord(lines_, 'M', 6);
        break;
    case 3:
        appendIntegerWord(lines_, 'G', 4);
        appendWordStart();
        appendIntegerWord(lines_, 'P', 100 * (1 + random_.below(20)));
        break;
    case 4: appendIntegerWord(lines_, 'M', 1); break;
    default: appendIntegerWord(lines_, 'M', 5); break;
    }
    endLine();
}

void BlockGenerator::writePlaneChange(Plane plane)
{
    beginLine();
    appendWordStart();
    appendIntegerWord(lines_, 'G', static_cast<int>(plane));
    endLine();
    state_.plane = plane;
    planeBlocksLeft_ = 10 + random_.below(30);
}

void BlockGenerator::writeCoordinateModeChange(bool incremental)
{
    beginLine();
    appendWordStart();
    appendIntegerWord(lines_, 'G', incremental ? 91 : 90);
    endLine();
    state_.incremental = incremental;
    incrementalBlocksLeft_ = 5 + random_.below(25);
}

void BlockGenerator::writeCompensationStart()
{
    AxisMove move(state_, pickNumberStyle(true));
    const double direction = random_.uniform(-pi, pi);
    move.moveTo(0, state_.position[0] + 2.0 * std::cos(direction));
    move.moveTo(1, state_.position[1] + 2.0 * std::sin(direction));
    beginLine();
    appendWordStart();
    appendIntegerWord(lines_, 'G', random_.chance(0.5) ? 41 : 42);
    appendMotion(Motion::Linear);
    appendAxisWords(move);
    appendWordStart();
    appendIntegerWord(lines_, 'D', 1 + random_.below(20));
    endLine();
    move.commit(state_);
    state_.compensated = true;
    compensationBlocksLeft_ = 5 + random_.below(25);
}

void BlockGenerator::writeCompensationEnd()
{
    AxisMove move(state_, pickNumberStyle(true));
    const double direction = random_.uniform(-pi, pi);
    move.moveTo(0, state_.position[0] + 2.0 * std::cos(direction));
    move.moveTo(1, state_.position[1] + 2.0 * std::sin(direction));
    beginLine();
    appendWordStart();
    appendIntegerWord(lines_, 'G', 40);
    appendMotion(Motion::Linear);
    appendAxisWords(move);
    endLine();
    move.commit(state_);
    state_.compensated = false;
}

// G92 declares where the tool is; the reader allows it only in absolute mode,
// under rapid motion and without compensation.
void BlockGenerator::writeCoordinateSet()
{
    if (state_.incremental || state_.compensated || state_.motion != Motion::Rapid) return writeRapid();
    AxisMove move(state_, pickNumberStyle(true));
    for (int axis = 0; axis < axisCount; ++axis)
        move.moveTo(axis, randomTargetInBox(axis));
    beginLine();
    appendWordStart();
    appendIntegerWord(lines_, 'G', 92);
    appendAxisWords(move);
    endLine();
    move.commit(state_);
}

// G10 sets a value (here a tool radius); it moves nothing.
void BlockGenerator::writeValueSet()
{
    beginLine();
    appendWordStart();
    appendIntegerWord(lines_, 'G', 10);
    appendWordStart();
    appendIntegerWord(lines_, 'L', 1);
    appendWordStart();
    appendIntegerWord(lines_, 'P', 1 + random_.below(20));
    appendWordStart();
    appendCoordinateWord(lines_, 'R', 500 * (1 + random_.below(20)), NumberStyle::FullDecimals);
    endLine();
}

void BlockGenerator::beginLine()
{
    lineStart_ = lines_.size();
    if (random_.chance(0.1)) {
        sequenceNumber_ += 10;
        appendIntegerWord(lines_, 'N', sequenceNumber_);
    }
}

void BlockGenerator::endLine()
{
    if (random_.chance(0.02)) appendCommentText();
    lines_ += "\r\n";
}

void BlockGenerator::appendWordStart()
{
    if (!compact_ && lines_.size() > lineStart_) lines_ += ' ';
}

// The motion word; left out now and then when the motion is already in force.
void BlockGenerator::appendMotion(Motion motion)
{
    const bool modal = state_.motion == motion;
    state_.motion = motion;
    if (modal && random_.chance(0.4)) return;
    appendWordStart();
    lines_ += 'G';
    if (compact_) lines_ += '0';
    lines_ += static_cast<char>('0' + motionCode(motion));
}

void BlockGenerator::appendAxisWords(const AxisMove& move)
{
    for (int axis = 0; axis < axisCount; ++axis) {
        if (!move.has(axis)) continue;
        appendWordStart();
        appendCoordinateWord(lines_, axisLetters[axis], move.word(axis), move.style());
    }
}

void BlockGenerator::appendOffsetWords(const PlaneAxes& axes, long long offsetA, long long offsetB, NumberStyle style)
{
    for (int axis = 0; axis < axisCount; ++axis) {
        if (axis != axes.a && axis != axes.b) continue;
        appendWordStart();
        appendCoordinateWord(lines_, offsetLetters[axis], axis == axes.a ? offsetA : offsetB, style);
    }
}

void BlockGenerator::appendFeedSometimes()
{
    if (!random_.chance(0.05)) return;
    appendWordStart();
    appendIntegerWord(lines_, 'F', 100 + 50 * random_.below(99));
    if (random_.chance(0.5)) lines_ += '.';
}

void BlockGenerator::appendCommentText()
{
    lines_ += commentTexts[static_cast<std::size_t>(random_.below(static_cast<int>(commentTexts.size())))];
}

void BlockGenerator::appendLine(std::string_view text)
{
    lines_ += text;
    lines_ += "\r\n";
}

NumberStyle BlockGenerator::pickNumberStyle(bool impliedAllowed)
{
    const double roll = random_.unit();
    if (roll < 0.7) return NumberStyle::FullDecimals;
    if (roll < 0.95 || !impliedAllowed || decimalPoints_) return NumberStyle::TrimmedDecimals;
    return NumberStyle::ImpliedDecimals;
}

double BlockGenerator::pickArcRadius()
{
    const double roll = random_.unit();
    if (roll < 0.15) return random_.uniform(0.1, 1.0);
    if (roll < 0.8) return random_.uniform(1.0, 10.0);
    return random_.uniform(10.0, 30.0);
}

bool BlockGenerator::insideBox() const
{
    for (int axis = 0; axis < axisCount; ++axis) {
        if (std::abs(state_.position[axis]) > boxHalfWidth[axis]) return false;
    }
    return true;
}

double BlockGenerator::randomTargetInBox(int axis)
{
    return axis == 2 ? random_.uniform(-20.0, 20.0) : random_.uniform(-90.0, 90.0);
}

// The end of a helical arc along its normal axis: 0.2 to 4 away, towards the
// middle of the box when the tool is far out.
double BlockGenerator::helicalTarget(int axis)
{
    const double from = state_.position[axis];
    const double travel = random_.uniform(0.2, 4.0);
    if (from > 20.0) return from - travel;
    if (from < -20.0) return from + travel;
    return random_.chance(0.5) ? from + travel : from - travel;
}

// The direction from a start point to an arc centre: anywhere near the middle
// of the box, towards the middle when the start is far out.
double BlockGenerator::angleTowardsBoxCentre(double a, double b)
{
    if (std::hypot(a, b) < 40.0) return random_.uniform(-pi, pi);
    return std::atan2(-b, -a) + random_.uniform(-pi / 3.0, pi / 3.0);
}

}  // namespace drennix::bench
