// The program's figures per tool, where tool changes are read: one row for
// each time a tool is in the spindle, in the order of use (the program
// before the first change is the row of the tool there at the start). A
// row's distances and times are the growth of the whole program's figures
// while it was in, so that the rows add up to the whole.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "modal_state.h"
#include "move.h"
#include "statistics.h"

namespace drennix {

struct ToolRow {
    // The T number; -1 for the tool in the spindle at the start.
    int tool = -1;
    // The H number in force at its last move; -1 for none.
    int lengthOffset = -1;
    // The program's own lines of its first and last block (0: none); the
    // lines of a subprogram it runs are not among them.
    long long firstLine = 0;
    long long lastLine = 0;
    // Its moves among all the moves a run tells, in their order (a converted
    // arc, a cycle's move and a return's each count as one told move).
    long long firstMove = 0;
    long long moveCount = 0;
    double cuttingDistance = 0;
    double rapidDistance = 0;
    // Minutes, as 時間; seconds of the estimate where one was made (the
    // tool changes' own time left out).
    double machiningTime = 0;
    double estimateSeconds = 0;
    bool reachedZ = false;
    double lowestZ = 0;
    // The feeds of its cutting moves and the spindle speeds they ran at, in
    // the order first used, at most `listedValues` of each.
    std::vector<double> feeds;
    std::vector<double> spindleSpeeds;
};
inline constexpr std::size_t listedValues = 8;

class ToolTally {
public:
    ToolTally(const RunStatistics& figures, double estimateSeconds);

    // A block of the program ran with the tool in the spindle.
    void addLine(long long line);
    // One told move, with the tool state it ran under.
    void addMove(const Move& move, const ToolState& tool);
    // A tool change: the row in use ends with the figures (and the estimate's
    // seconds) reached before it, the next begins after it.
    void endRow(const RunStatistics& figures, double estimateSeconds);
    void beginRow(int tool, const RunStatistics& figures, double estimateSeconds);
    // The program's lengths are in `unit` from now on: every row so far is
    // converted (see StatisticsTally::changeUnit).
    void changeUnit(LengthUnit from, LengthUnit to);
    // After the last line: the last row ends, and every row is handed over.
    std::vector<ToolRow> finish(const RunStatistics& figures, double estimateSeconds);

private:
    std::vector<ToolRow> rows_;
    // The figures where the row in use began.
    double cuttingAtStart_ = 0;
    double rapidAtStart_ = 0;
    double timeAtStart_ = 0;
    double estimateAtStart_ = 0;
    long long movesTold_ = 0;
};

// The table of the rows as texts: each row, then for a tool used more than
// once its total, then the total of the whole program.
inline constexpr int toolColumnCount = 10;
using ToolTableRow = std::array<std::string, toolColumnCount>;
std::string_view toolColumnTitle(int column);
std::vector<ToolTableRow> toolTable(const std::vector<ToolRow>& rows, int decimals, bool withEstimate);

}  // namespace drennix
