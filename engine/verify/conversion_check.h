// The check of a conversion, made after the new program was written and
// apart from the code that made it: each converted arc's reference path
// against the straight moves read back from the written program, as the
// engine's own reader, parser and interpreter read them.
//
// During the converting run the check keeps one compact record per converted
// arc (from the move notices); afterwards it reads the written program once,
// from the first line to the last converted arc, and tells each written
// segment with its deviation. Memory grows with the converted arcs only, not
// with their segments or the program's other lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reference_arc_log.h"
#include "run_options.h"
#include "verification.h"
#include "vocabulary.h"

namespace drennix {

class SourceReader;

class ConversionCheck {
public:
    // The settings and options of the converting run (the same vocabulary
    // and number format read the written program back).
    ConversionCheck(const Settings& settings, const RunOptions& options);

    // A move notice of the run, in program order; only arcs with
    // `segments` > 0 are kept.
    void noteMove(const Move& move);
    // Forgets what was noted (a new run begins).
    void clear() { arcs_.clear(); }

    // Reads the written program at `outputPath` (UTF-8) back and measures it.
    VerificationResult verifyFile(const std::string& outputPath, VerificationListener* listener = nullptr) const;
    // The same for a program in memory.
    VerificationResult verifyBytes(std::string_view output, VerificationListener* listener = nullptr) const;

private:
    VerificationResult measure(SourceReader& reader, VerificationListener* listener) const;

    const Settings& settings_;
    const RunOptions options_;
    // Kept in a temporary file beyond a batch: constant memory.
    ReferenceArcLog arcs_;
};

}  // namespace drennix
