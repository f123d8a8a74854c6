// Turns the moves of a store into strokes on the screen: polylines of one
// style each (rapid or cutting), arcs as chords within a quarter pixel,
// points closer than a pixel to the last one merged, groups of moves outside
// the picture skipped whole and groups within one pixel drawn as one point
// (a stroke of a single point), so that a program of millions of moves
// draws in the time of the pixels it covers. The Qt window and the SVG
// export draw the same strokes.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>

#include "projection.h"
#include "toolpath_store.h"
#include "written_path.h"

namespace drennix::toolpath {

// The deviation styles draw the written moves of a converted arc, one per
// band of deviation (palette.h).
enum class StrokeStyle : std::uint8_t { Rapid, Cutting, Deviation0, Deviation1, Deviation2, Deviation3 };

class StrokeSink {
public:
    virtual ~StrokeSink() = default;
    virtual void beginStroke(StrokeStyle style) = 0;
    virtual void addPoint(ScreenPoint point) = 0;
    virtual void endStroke() = 0;
    // Asked before each group of moves: true ends the tracing there, with
    // the stroke in progress ended.
    virtual bool stopped() const { return false; }
    // True for a quick first picture: a stroke may pass over some moves of
    // a group to a later one's end, and an arc is drawn in a few chords.
    virtual bool coarse() const { return false; }
};

// The moves from `first` up to but not including `last`.
struct MoveRange {
    std::size_t first = 0;
    std::size_t last = std::numeric_limits<std::size_t>::max();
};

void traceMoves(const ToolpathStore& store, const Projection& projection, StrokeSink& sink, MoveRange range = {});
// The same with each move in the deviation style of its band.
void traceBandedMoves(const ToolpathStore& store, const ChunkedArray<std::uint8_t>& bands, const Projection& projection,
                      StrokeSink& sink, MoveRange range = {});

// The straight moves a conversion wrote for the arcs of `store`, each in the
// deviation style of its band: an arc whose straight moves are shorter than
// two pixels as the arc itself in its worst band, else move by move (only
// those near the picture); `decimals` as the run wrote its numbers; `arcs`
// the range of converted arcs (WrittenPath::arcAt) to draw.
void traceWrittenPath(const ToolpathStore& store, const WrittenPath& written, int decimals,
                      const Projection& projection, StrokeSink& sink, MoveRange arcs = {});

// The move whose drawn path passes nearest to `point`, within `reach`
// pixels; moveCount() when none does, or when `stopped` (asked before each
// group of moves) ended the search.
std::size_t nearestMove(const ToolpathStore& store, const Projection& projection, ScreenPoint point, double reach,
                        const std::function<bool()>& stopped = {});

}  // namespace drennix::toolpath
