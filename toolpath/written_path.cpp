#include "written_path.h"

#include <algorithm>
#include <iterator>

#include "palette.h"

namespace drennix::toolpath {

std::uint8_t deviationBand(double fraction)
{
    const auto band = std::find_if(std::begin(deviationBands), std::end(deviationBands),
                                   [&](double limit) { return fraction <= limit; });
    return static_cast<std::uint8_t>(band - std::begin(deviationBands));
}

void WrittenPath::segment(const SegmentDeviation& segment)
{
    if (segments_.moveCount() == 0) segments_ = ToolpathStore(segment.start);
    Move move;
    move.kind = MoveKind::Linear;
    move.line = segment.line;
    move.start = segment.start;
    move.end = segment.end;
    segments_.record(move);
    const double fraction = tolerance_ > 0 ? segment.deviation / tolerance_ : 0;
    largest_ = std::max(largest_, fraction);
    bands_.push_back(deviationBand(fraction));
}

}  // namespace drennix::toolpath
