// The toolpath as an SVG picture: the strokes of the window's view, the box
// of everything drawn with its sizes, the start point and a scale bar, in the
// colours of the window (palette.h). The lines go to a LineSink, so that the
// command line writes them through the engine's safe publishing.
#pragma once

#include <atomic>

#include "program_writer.h"
#include "projection.h"

namespace drennix::toolpath {

struct SvgLayout {
    int width = 1200;
    int height = 900;
    // Room around the box for its sizes and the scale bar.
    int margin = 60;
};

// `decimals` is the number format of the sizes and the scale bar's length.
// False when `stop` (optional) was set while the moves were traced: the
// picture is then not whole.
bool writeSvgPicture(const ToolpathStore& store, ViewDirection view, int decimals, LineSink& sink,
                     const SvgLayout& layout = {}, const std::atomic<bool>* stop = nullptr);

// A round length (1, 2 or 5 times a power of ten) of at most `longest`.
double roundScaleLength(double longest);

}  // namespace drennix::toolpath
