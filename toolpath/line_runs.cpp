#include "line_runs.h"

namespace drennix::toolpath {

std::size_t LineRuns::movesIn(std::size_t run) const
{
    const std::size_t end = run + 1 < runs_.size() ? runs_[run + 1].move : count_;
    return end - runs_[run].move;
}

std::uint32_t LineRuns::lineOf(std::size_t move) const
{
    // The last run that begins at or before the move.
    std::size_t low = 0;
    std::size_t high = runs_.size();
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (runs_[middle].move <= move) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return static_cast<std::uint32_t>(runs_[low].line + (move - runs_[low].move));
}

std::size_t LineRuns::firstMoveFrom(long long line) const
{
    // The first run whose last line is `line` or later.
    std::size_t low = 0;
    std::size_t high = runs_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const long long lastLine =
            static_cast<long long>(runs_[middle].line) + static_cast<long long>(movesIn(middle)) - 1;
        if (lastLine < line) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == runs_.size()) return count_;
    const Run& run = runs_[low];
    if (run.line >= line) return run.move;
    return run.move + static_cast<std::size_t>(line - run.line);
}

}  // namespace drennix::toolpath
