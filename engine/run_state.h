// The state of one run, owned by the run driver for the length of the run:
// the settings and inputs it reads, the block record, the modal state, the
// statistics, the current arc and the output lines of a converting run.
#pragma once

#include <string>
#include <string_view>

#include "arc_geometry.h"
#include "block.h"
#include "motion.h"
#include "program_lines.h"
#include "run_driver.h"
#include "vocabulary.h"
#include "words.h"

namespace drennix {

struct RunState {
    RunState(const Settings& settings, const RunOptions& options);

    const Settings& settings;
    const RunOptions& options;
    const AddressTable addresses;

    NcBlock block;
    ModalState modal;
    RunStatistics statistics;
    ArcGeometry arc;
    ProgramLines programLines;
    int convertedBlockCount = 0;

    // The message of the rejected line, once a stage has rejected it.
    std::string rejection;

    // A reused buffer for generated lines, so that converting an arc does not
    // allocate per line.
    std::string lineBuffer;

    // Composes the line message for the current line and returns 1.
    int reject(std::string_view lineText);

    const CommandVocabulary& vocabulary() const { return settings.vocabulary; }
    int decimalPlaces() const { return settings.process.decimalPlaces; }
};

}  // namespace drennix
