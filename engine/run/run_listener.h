// What a run tells its host and what it asks. The desktop program, the
// command line, the benchmarks and the tests each listen to what they need;
// every notice has an empty default. How a front end shows a notice (a wait
// cursor, a hidden list window shown at the end, a modal box) is its own
// business; the order of the notices is the run's.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "absolute_rows.h"
#include "canned_cycle.h"
#include "messages.h"
#include "motion_planner.h"
#include "move.h"
#include "results.h"
#include "run_options.h"
#include "run_result.h"
#include "tool_tally.h"

namespace drennix {

class RunListener {
public:
    virtual ~RunListener() = default;

    // A run begins: the result fields of the previous one no longer hold.
    virtual void runStarted() {}
    // The source is open and reading begins. In AbsoluteDisplay mode a new
    // list begins with `startRow`; otherwise `startRow` is null.
    virtual void readingStarted(RunMode mode, const AbsoluteRow* startRow) { (void)mode, (void)startRow; }
    // `lineCount` lines are done: during reading every 100 lines; during
    // writing every 100 written lines; at the end the final count.
    virtual void progress(long long lineCount) { (void)lineCount; }
    // The row of one finished line of the absolute list, in line order.
    virtual void row(long long lineNumber, const AbsoluteRow& row) { (void)lineNumber, (void)row; }
    // One evaluated move, in program order (see wantsMoves), once its block
    // passed every check: the block that ends a run tells none. A converted
    // arc is told after its cuts were written.
    virtual void move(const Move& move) { (void)move; }
    // A converting run that tells its written bytes (see wantsWrittenBytes):
    // each arc it is about to convert, with its count of cuts, before any
    // byte of its cuts, so that a reader of those bytes knows the arc ahead
    // of them and never waits for a notice that comes after them. Whether the
    // block is kept is told later: by its move notice, or by the end of the
    // run when the block ends it.
    virtual void arcConverting(const Move& arc) { (void)arc; }
    // The same for a canned cycle that a converting run writes as its
    // expansion (see ProgramWriter::writeExpandedMove): its plan, from
    // which the moves and lines follow, before any byte of them.
    virtual void cycleExpanding(const CyclePlan& plan) { (void)plan; }
    // The figures of the whole program, after the last line.
    virtual void resultsReady(const ResultTexts& results) { (void)results; }
    // A run that estimates: each move with its time and speeds, in program
    // order, a window of moves behind the reading (see wantsMoves); then,
    // after the results, the estimate of the whole program.
    virtual void plannedMove(const PlannedMove& move) { (void)move; }
    virtual void estimateReady(const Estimate& estimate) { (void)estimate; }
    // Where tool changes are read: the figures per tool, after the results
    // and the estimate.
    virtual void toolsReady(const std::vector<ToolRow>& rows) { (void)rows; }
    // A message for the user; the run goes on when it returns.
    virtual void message(std::string_view text, MessageKind kind) { (void)text, (void)kind; }
    // A converting run (see wantsWrittenBytes): bytes of the new program as
    // they go to its file, in order and in large blocks. Every written line
    // of the source lines before `linesComplete` + 1 is in them or came
    // before; the move notices of those lines came before them.
    virtual void outputWritten(std::string_view bytes, long long linesComplete) { (void)bytes, (void)linesComplete; }
    // The output file has just been created.
    virtual void outputCreated(std::string_view path) { (void)path; }
    // The absolute list holds every row it will get.
    virtual void listComplete() {}
    // The run does no more work; what follows only tells how it ended.
    virtual void workEnded() {}
    // The run has ended; nothing follows.
    virtual void runFinished(const RunResult& result) { (void)result; }

    // Asked once per run: false spares the run building notices of moves.
    virtual bool wantsMoves() const { return false; }
    // Asked once per run: true to be told the bytes of the new program.
    virtual bool wantsWrittenBytes() const { return false; }
    // Asked before each line read and each line written: true stops the run
    // as the Escape key does.
    virtual bool stopRequested() { return false; }
    // Asked once per run: a flag that is set whenever stopRequested may
    // answer true, so that the run asks only while it is set (a plain read
    // per line instead of a call). Null: stopRequested is asked every time.
    virtual const std::atomic<bool>* stopSignal() const { return nullptr; }
};

}  // namespace drennix
