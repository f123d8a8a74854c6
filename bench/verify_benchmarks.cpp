#include "verify_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "number_format.h"
#include "random_source.h"
#include "reference_arc.h"

namespace drennix::bench {

namespace {

// One written segment of a converted arc: its stretch of the sweep and its
// points as the written program gives them (three decimals).
struct WrittenSegment {
    ReferenceArc arc;
    double t0 = 0;
    double t1 = 0;
    Point3 start{};
    Point3 end{};
};

Point3 writtenPoint(const ReferenceArc& arc, double t)
{
    const Point3 p = pointOnPath(arc, t);
    return {roundToDecimals(p[0], 3), roundToDecimals(p[1], 3), roundToDecimals(p[2], 3)};
}

// Arcs as the generated programs hold them (radius 1 to 30 mm, a third of them
// helical), each cut within 0.01 mm as a converting run cuts it.
std::vector<WrittenSegment> sampleSegments()
{
    RandomSource random(7);
    std::vector<WrittenSegment> segments;
    while (segments.size() < 4096) {
        ReferenceArc arc;
        arc.radius = random.uniform(1, 30);
        arc.centreA = random.uniform(-100, 100);
        arc.centreB = random.uniform(-100, 100);
        arc.startAngle = random.uniform(-3.14, 3.14);
        arc.sweep = random.uniform(0.2, 6) * (random.chance(0.5) ? 1 : -1);
        arc.startHeight = random.uniform(-50, 0);
        arc.rise = random.chance(0.3) ? random.uniform(-5, 5) : 0;
        arc.segments = static_cast<long long>(std::ceil(std::fabs(arc.sweep) / (2 * std::acos(1 - 0.01 / arc.radius))));
        const double n = static_cast<double>(arc.segments);
        for (long long k = 1; k <= arc.segments && segments.size() < 4096; ++k) {
            const double t0 = static_cast<double>(k - 1) / n;
            const double t1 = static_cast<double>(k) / n;
            segments.push_back({arc, t0, t1, writtenPoint(arc, t0), writtenPoint(arc, t1)});
        }
    }
    return segments;
}

void measureWrittenSegments(benchmark::State& state)
{
    const std::vector<WrittenSegment> segments = sampleSegments();
    for (auto _ : state) {
        for (const WrittenSegment& s : segments) {
            benchmark::DoNotOptimize(segmentDeviation(s.arc, s.t0, s.t1, s.start, s.end));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(segments.size()));
}

}  // namespace

void registerVerifyBenchmarks()
{
    benchmark::RegisterBenchmark("Verify/segmentDeviation", measureWrittenSegments);
}

}  // namespace drennix::bench
