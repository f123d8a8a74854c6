#include "written_path.h"

#include <algorithm>
#include <utility>

namespace drennix::toolpath {

DeviationBand deviationBand(double deviation, double tolerance, double allowance)
{
    if (deviation <= tolerance) return DeviationBand::Tolerance;
    if (deviation <= allowance) return DeviationBand::Rounding;
    return DeviationBand::Beyond;
}

void WrittenPath::segment(const SegmentDeviation& segment)
{
    // The straight moves of one arc come together, in order; a program's
    // arcs each stand on a line of their own.
    if (segment.line != lastLine_ || arcs_.empty()) {
        WrittenArc arc;
        arc.firstSegment = segments_;
        arcs_.push_back(arc);
        lastLine_ = segment.line;
    }
    const DeviationBand band = deviationBand(segment.deviation, tolerance_, segment.allowance);
    WrittenArc& arc = arcs_.back();
    ++arc.segments;
    arc.worst = std::max(arc.worst, band);
    addBand(band);
    if (tolerance_ > 0) largest_ = std::max(largest_, segment.deviation / tolerance_);
}

void WrittenPath::addBand(DeviationBand band)
{
    const auto bits = static_cast<std::uint8_t>(static_cast<unsigned>(band) << (2 * (segments_ % 4)));
    if (segments_ % 4 == 0) {
        bands_.push_back(bits);
    } else {
        bands_.back() = static_cast<std::uint8_t>(bands_.back() | bits);
    }
    ++counts_[static_cast<int>(band)];
    ++segments_;
}

void WrittenPath::attach(const StoredArcs& stored)
{
    for (std::size_t index = 0; index < arcs_.size(); ++index) {
        WrittenArc arc = std::as_const(arcs_)[index];
        const StoredArc place = index < stored.size() ? stored[index] : StoredArc{};
        arc.move = place.move;
        arc.arc = place.arc;
        arcs_.set(index, arc);
    }
}

}  // namespace drennix::toolpath
