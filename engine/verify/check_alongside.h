// The check of a conversion made beside the converting run instead of after
// it: the same measuring as ConversionCheck's, on a thread of its own that
// reads the new program's bytes as the run hands them to its file (the
// run's notices of its written bytes) and takes each converted arc from the
// run's notice of the arc, which comes before the first byte of its cuts.
// When the program has been published, what is left to check is the little
// the run wrote last.
//
// Neither side waits for something only the other's wait would bring: the
// check has heard of every arc whose cuts it may meet before it meets them,
// so it always takes the bytes it is given, and the run waits only while the
// check works through the few buffers it holds.
//
// Memory stays bounded: the bytes pass through a few buffers (the run waits
// while they are full), and the arcs noted ahead of the check are those
// whose lines are on their way (a block of the store, the buffers and the
// reading stream's batches).
#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <string_view>
#include <thread>

#include "canned_cycle.h"
#include "run_options.h"
#include "verification.h"
#include "vocabulary.h"

namespace drennix {

class CheckAlongside {
public:
    // The converting run's settings (which must outlive the check) and options.
    // `listener` (optional) hears every segment on the check's thread; what
    // it gathers is the host's to read once finish or abandon returned.
    // `channelBuffers`: the blocks of bytes on their way to the check (the
    // run waits while they are all full); one is enough.
    CheckAlongside(const Settings& settings, const RunOptions& options, VerificationListener* listener = nullptr,
                   std::size_t channelBuffers = defaultChannelBuffers);
    static constexpr std::size_t defaultChannelBuffers = 3;
    ~CheckAlongside();
    CheckAlongside(const CheckAlongside&) = delete;
    CheckAlongside& operator=(const CheckAlongside&) = delete;

    // The run's notices, on the run's thread and in its order: each arc the
    // run converts (its arcConverting notice, before the bytes of its cuts)
    // and the written bytes.
    void noteArc(const Move& arc);
    // A canned cycle the run writes as its moves (its cycleExpanding notice).
    void noteCycle(const CyclePlan& cycle);
    void written(std::string_view bytes, long long linesComplete);

    // The run published its program: the result, once the check has read
    // as much of it as it needs. An exception of the check comes out here.
    VerificationResult finish();
    // The run ended without a program: the check ends unheard.
    void abandon();

private:
    class Channels;

    void start();
    void check();
    void join();

    const Settings& settings_;
    const RunOptions options_;
    VerificationListener* const listener_;
    std::unique_ptr<Channels> channels_;
    std::thread thread_;
    VerificationResult result_;
    std::exception_ptr exception_;
    bool ended_ = false;
};

}  // namespace drennix
