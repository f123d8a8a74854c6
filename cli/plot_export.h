// --plot: the toolpath of a finished run as an SVG file. The file is written
// hidden and takes its name only when whole (the engine's FileOutputStore);
// a name that is taken is refused before the run and never replaced.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "projection.h"

namespace drennix::cli {

// The line to print when `path` names something that exists already.
std::optional<std::string> refuseExistingPlot(const std::string& path);

// Writes the picture; the line to print when it could not be published, or
// when `stop` was set while it was drawn (the picture is then left out).
std::optional<std::string> writePlot(const toolpath::ToolpathStore& store, const std::string& path,
                                     toolpath::ViewDirection view, int decimals, const std::atomic<bool>& stop);

}  // namespace drennix::cli
