// An independent reading of a generated NC program: it follows the modal state
// and the tool position from the text alone and records every fault a reader
// with the default settings would object to, together with what the program
// contains. It shares no code with the generator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drennix::bench::testing {

struct ProgramAudit {
    std::vector<std::string> faults;  // "line N: what is wrong"

    int lines = 0;
    int blankLines = 0;
    int commentOnlyLines = 0;
    int rapidMoves = 0;
    int linearMoves = 0;
    int arcsByOffsets = 0;
    int arcsByRadius = 0;
    int fullCircles = 0;
    int helicalArcs = 0;
    int clockwiseArcs = 0;
    int counterClockwiseArcs = 0;
    int arcsInZxPlane = 0;
    int arcsInYzPlane = 0;
    int incrementalMoves = 0;
    int compensatedMoves = 0;
    int coordinateSets = 0;
    int valueSets = 0;
    int sequenceNumbers = 0;
    int impliedDecimalWords = 0;
    int nonAsciiComments = 0;

    // Largest distance of an arc's end point from its circle (offset arcs).
    double worstEndPointError = 0.0;
    // Largest absolute coordinate the tool reaches.
    double largestCoordinate = 0.0;
};

ProgramAudit auditProgram(std::string_view text);

}  // namespace drennix::bench::testing
