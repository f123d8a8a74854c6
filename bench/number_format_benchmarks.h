// Fixed-point formatting of coordinates: the engine's formatter beside the C
// library's snprintf("%.3f"), which it must match byte for byte.
#pragma once

namespace drennix::bench {

void registerNumberFormatBenchmarks();

}  // namespace drennix::bench
