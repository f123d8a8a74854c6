// Draws a run's toolpath with a QPainter, on the window's canvas or into an
// image (the benchmark, the screenshots): the strokes of the toolpath
// library in the palette's colours, the highlighted moves over them, the
// box with its sizes, the start point and a scale bar.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <QImage>

#include "stroke_tracer.h"
#include "toolpath_run.h"

class QPainter;

struct ToolpathPaintOptions {
    // Moves drawn again in the highlight colour (the rows selected in the list).
    std::vector<drennix::toolpath::MoveRange> highlighted;
    // The written straight moves of a converted run over its arcs.
    bool showWritten = false;
    // Every move in the colour of its speed band, where the run estimated.
    bool showSpeeds = false;
    // A quick first picture (StrokeSink::coarse); the highlight is always
    // drawn in full.
    bool coarse = false;
};

// A share of a picture's moves that can be drawn apart from the others, into
// a layer of its own: the run's moves or the written straight moves of a
// range of its converted arcs.
struct PicturePart {
    enum class Kind : std::uint8_t { Moves, Written };
    Kind kind = Kind::Moves;
    drennix::toolpath::MoveRange range;
};

// The parts of a picture in the order they lie on each other, about `shares`
// parts of each kind drawn.
std::vector<PicturePart> pictureParts(const drennix::toolpath::ToolpathRun& run, const ToolpathPaintOptions& options,
                                      std::size_t shares);

// The three stages of a picture: the background and the box, the parts
// (each may be drawn into a layer of its own, see mergeLayer) and what lies
// over the moves: the highlighted moves, the start point, the scale bar.
void paintBackground(QPainter& painter, const drennix::toolpath::ToolpathRun& run,
                     const drennix::toolpath::Projection& projection);
// `stopped`, asked between groups of moves, ends the drawing early; each
// returns whether it drew whole.
bool paintPart(QPainter& painter, const drennix::toolpath::ToolpathRun& run,
               const drennix::toolpath::Projection& projection, const ToolpathPaintOptions& options,
               const PicturePart& part, const std::function<bool()>& stopped = {});
bool paintOverlay(QPainter& painter, const drennix::toolpath::ToolpathRun& run,
                  const drennix::toolpath::Projection& projection, const ToolpathPaintOptions& options,
                  const std::function<bool()>& stopped = {});

// A layer for paintPart: an RGB32 image of `size` in a colour no stroke has,
// and the merge of such a layer onto a picture: every pixel drawn on.
QImage emptyLayer(QSize size);
void mergeLayer(QImage& picture, const QImage& layer);

// The whole picture at once.
bool paintToolpath(QPainter& painter, const drennix::toolpath::ToolpathRun& run,
                   const drennix::toolpath::Projection& projection, const ToolpathPaintOptions& options,
                   const std::function<bool()>& stopped = {});
