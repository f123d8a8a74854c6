// The straight moves a conversion wrote for its arcs, as the check of the
// conversion read them back from the written program, each with its band of
// deviation (palette.h): the overlay the window draws over the programmed
// arcs. The check's listener fills it.
#pragma once

#include <cstdint>

#include "conversion_check.h"
#include "toolpath_store.h"

namespace drennix::toolpath {

// The band of a deviation that is `fraction` of the tolerance: 0 up to a
// quarter, 1 up to a half, 2 up to the whole, 3 beyond.
std::uint8_t deviationBand(double fraction);

class WrittenPath final : public VerificationListener {
public:
    explicit WrittenPath(double tolerance) : tolerance_(tolerance) {}

    void segment(const SegmentDeviation& segment) override;

    const ToolpathStore& segments() const { return segments_; }
    std::uint8_t bandOf(std::size_t index) const { return bands_[index]; }
    const ChunkedArray<std::uint8_t>& bands() const { return bands_; }
    // The largest deviation as a fraction of the tolerance.
    double largestFraction() const { return largest_; }

private:
    double tolerance_;
    ToolpathStore segments_;
    ChunkedArray<std::uint8_t> bands_;
    double largest_ = 0;
};

}  // namespace drennix::toolpath
