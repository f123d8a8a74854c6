// The check of a conversion on its own: the deviation of written segments from
// their reference path, without reading the written program back.
#pragma once

namespace drennix::bench {

void registerVerifyBenchmarks();

}  // namespace drennix::bench
