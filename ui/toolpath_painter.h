// Draws a run's toolpath with a QPainter, on the window's canvas or into an
// image (the benchmark, the screenshots): the strokes of the toolpath
// library in the palette's colours, the highlighted moves over them, the
// box with its sizes, the start point and a scale bar.
#pragma once

#include <cstddef>
#include <vector>

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
};

void paintToolpath(QPainter& painter, const drennix::toolpath::ToolpathRun& run,
                   const drennix::toolpath::Projection& projection, const ToolpathPaintOptions& options);
