// The measuring of a written program: its lines read by the engine's own
// reader, parser and interpreter, and each converted arc's segments measured
// against the arc's reference path as they come. The converted arcs come from
// a feed, whether they were all noted before (a check after the run) or are
// noted while the program is still being written (a check beside the run).
#pragma once

#include "block_interpreter.h"
#include "block_stream.h"
#include "reference_arc.h"
#include "verification.h"

namespace drennix {

// What the measuring learns next of the converted arcs.
struct ArcNotice {
    enum class Kind {
        Arc,         // `arc` is the next converted arc
        Expansion,   // `cycle` is the next canned cycle written as its moves
        LinesKnown,  // no converted arc lies on the source lines up to `linesKnown` but those told before
        End,         // no more arcs will come
        Unreadable,  // the arcs could not be had: nothing can be said
    };
    Kind kind = Kind::End;
    const ReferenceArc* arc = nullptr;
    long long linesKnown = 0;
    const CyclePlan* cycle = nullptr;
};

class ArcFeed {
public:
    virtual ~ArcFeed() = default;
    // The next notice; an arc stays valid until the next call.
    virtual ArcNotice next() = 0;
    // The measuring reads no more of the written program, whatever comes.
    virtual void programLeftUnread() {}
};

// Where the lines of a written program are read and parsed.
enum class ProgramReading {
    // Ahead, on a thread of the stream's, while the segments before are
    // measured: a check on its own, after its run.
    Ahead,
    // On the measuring thread, a batch when it is needed: a check beside its
    // run, whose own threads keep the processors busy. Another thread there
    // would only take turns with them, and each batch's parsed lines would
    // travel between the processors' caches.
    OnMeasuringThread,
};

// The written program, read line by line by the engine's own stages, with the
// tool position each line leaves.
class WrittenProgram {
public:
    // `reader` must stay open while the program is read.
    WrittenProgram(SourceReader& reader, const Settings& settings, const Point3& initialPosition,
                   ProgramReading reading = ProgramReading::Ahead);

    // Reads and evaluates the next line; false when there is none or it does
    // not read as a block (`status()` tells which). Inline in the reading
    // loops, once a line.
    [[gnu::always_inline]] inline bool advance();
    // Reads the next line as a cut of an arc: a straight cutting move, or a
    // line without a move where the cut left every axis where it was.
    [[gnu::always_inline]] inline bool advanceCut();

    long long line() const { return line_; }
    const Point3& position() const { return modal_.position; }
    VerificationStatus status() const { return status_; }

private:
    // A line that did not read or parse: the reading stops there.
    bool stopAt(const SourceLine& line);
    // A line other than a plain cut, through the interpreter; kept out of
    // line, so that the plain cuts' loop stays small.
    [[gnu::noinline]] bool interpret(const ParsedBlock& block);

    BlockStream stream_;
    const int decimals_;
    ModalState modal_;
    const CycleSettings cycles_;
    const FrameSettings frame_;
    Step step_;
    long long line_ = 0;
    bool straight_ = false;
    bool blank_ = false;
    VerificationStatus status_ = VerificationStatus::Checked;
};

// Reads `program` as far as the arcs of `arcs` go and measures their
// segments. `tolerance` and `decimals` are the converting run's.
VerificationResult measureWrittenProgram(WrittenProgram& program, ArcFeed& arcs, double tolerance, int decimals,
                                         VerificationListener* listener);

}  // namespace drennix
