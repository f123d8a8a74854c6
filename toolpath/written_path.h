// The straight moves a conversion wrote for its arcs, as the check of the
// conversion read them back from the written program, each with its band of
// deviation: the overlay the window draws over the programmed arcs. The
// check's listener fills it.
//
// The points are not kept: a converted arc's straight moves are its chords
// at equal steps of its sweep, each point rounded as the program writes it,
// which the window makes again from the arc the run's store keeps (only for
// the arcs on the picture, and as the arc itself where its chords are below
// a pixel). What is kept is each converted arc's line, its count of straight
// moves and its worst band (24 bytes an arc) and two bits of band a straight
// move, so that a conversion into 41 million lines keeps some ten megabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "chunked_array.h"
#include "conversion_check.h"
#include "toolpath_store.h"

namespace drennix::toolpath {

// The bands of a written straight move's deviation: within the tolerance,
// within the tolerance plus the rounding of the written numbers (what the
// check allows), and beyond (a fault of the conversion: none should ever be
// there).
enum class DeviationBand : std::uint8_t { Tolerance, Rounding, Beyond };
inline constexpr int deviationBandCount = 3;

DeviationBand deviationBand(double deviation, double tolerance, double allowance);

inline constexpr std::uint32_t unresolved = std::numeric_limits<std::uint32_t>::max();

// One converted arc as the written program gives it.
struct WrittenArc {
    // The arc's move and its circle (ToolpathStore::arcAt) in the run's
    // store; unresolved until attach().
    std::uint32_t move = unresolved;
    std::uint32_t arc = unresolved;
    std::uint32_t segments = 0;
    DeviationBand worst = DeviationBand::Tolerance;
    // The index of its first straight move among all of them.
    std::uint64_t firstSegment = 0;
};

class WrittenPath final : public VerificationListener {
public:
    explicit WrittenPath(double tolerance) : tolerance_(tolerance) {}

    void segment(const SegmentDeviation& segment) override;
    // Only the band counts: a segment within the tolerance by a bound is
    // not measured.
    bool wantsEveryDeviation() const override { return false; }
    // Where a converting run's record puts a converted arc: its move and
    // its circle in the store.
    struct StoredArc {
        std::uint32_t move = unresolved;
        std::uint32_t arc = unresolved;
    };
    using StoredArcs = ChunkedArray<StoredArc, 17>;
    // After the run: each converted arc's place in the run's store, in order
    // (unresolved where there are fewer, which a finished run never gives).
    void attach(const StoredArcs& stored);

    std::size_t arcCount() const { return arcs_.size(); }
    const WrittenArc& arcAt(std::size_t index) const { return arcs_[index]; }
    std::uint64_t segmentCount() const { return segments_; }
    DeviationBand bandOf(std::uint64_t segment) const
    {
        return static_cast<DeviationBand>((bands_[segment / 4] >> (2 * (segment % 4))) & 0x03);
    }
    // How many straight moves lie in each band.
    std::uint64_t countIn(DeviationBand band) const { return counts_[static_cast<int>(band)]; }
    // The largest deviation as a fraction of the tolerance.
    double largestFraction() const { return largest_; }
    std::size_t memoryBytes() const { return arcs_.bytesReserved() + bands_.bytesReserved(); }

private:
    void addBand(DeviationBand band);

    double tolerance_;
    ChunkedArray<WrittenArc, 17> arcs_;
    // Four bands a byte, the first in the low bits.
    ChunkedArray<std::uint8_t, 21> bands_;
    std::uint64_t segments_ = 0;
    std::uint64_t counts_[deviationBandCount] = {};
    double largest_ = 0;
    // The line of the arc the last straight move belonged to.
    long long lastLine_ = -1;
};

}  // namespace drennix::toolpath
