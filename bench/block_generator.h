// Produces the lines of a synthetic NC part program one piece at a time, in the
// manner of CAM output: rapid and linear moves, clockwise and counter-clockwise
// arcs given by centre offsets or by radius, partial and full circles, helical
// arcs, plane and coordinate-mode sections, cutter compensation sections,
// coordinate and value settings, sequence numbers, spindle, tool and coolant
// words, comments (some in code page 932) and blank lines.
//
// Every piece is accepted by the reader with its default settings: a feed is
// given before the first cutting move, the tool stays inside a bounded box, and
// every arc's end point lies on its circle to within 0.0004 (the reader
// rechecks with 0.002).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "machine_model.h"
#include "random_source.h"

namespace drennix::bench {

class BlockGenerator {
public:
    // With `decimalPoints`, every coordinate is written with a point (for
    // readers that take X12500 as 12500 mm); the choices stay the same.
    explicit BlockGenerator(std::uint64_t seed, bool decimalPoints = false);

    // The next lines of the program, each ending in CR LF; the first call gives
    // the program's opening lines. Valid until the following call.
    const std::string& next();

private:
    void writeOpening();
    void writeBlock();
    void writeFreeBlock();
    void writeCompensatedBlock();

    void writeRapid();
    void writeLinear();
    void writeArc();
    bool writeArcByOffsets(bool helical);
    bool writeArcByRadius(bool helical);
    void writeFullCircle(bool helical);
    void writeReturnIntoBox();
    void writeCommentLine();
    void writeBlankLine();
    void writeMachineWords();
    void writePlaneChange(Plane plane);
    void writeCoordinateModeChange(bool incremental);
    void writeCompensationStart();
    void writeCompensationEnd();
    void writeCoordinateSet();
    void writeValueSet();

    void moveOntoEighthGrid(const PlaneAxes& axes);

    void beginLine();
    void endLine();
    void appendWordStart();
    void appendMotion(Motion motion);
    void appendAxisWords(const AxisMove& move);
    void appendOffsetWords(const PlaneAxes& axes, long long offsetA, long long offsetB, NumberStyle style);
    void appendFeedSometimes();
    void appendCommentText();
    void appendLine(std::string_view text);

    NumberStyle pickNumberStyle(bool impliedAllowed);
    double pickArcRadius();
    bool insideBox() const;
    double randomTargetInBox(int axis);
    double helicalTarget(int axis);
    double angleTowardsBoxCentre(double a, double b);

    RandomSource random_;
    bool decimalPoints_ = false;
    MachineState state_;
    std::string lines_;
    std::size_t lineStart_ = 0;
    bool opened_ = false;
    bool compact_ = false;
    long long sequenceNumber_ = 0;
    int planeBlocksLeft_ = 0;
    int incrementalBlocksLeft_ = 0;
    int compensationBlocksLeft_ = 0;
};

}  // namespace drennix::bench
