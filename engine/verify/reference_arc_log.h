// The converted arcs of a run in program order, for the check that follows
// it. The latest ones stay in memory; every full batch before them goes to a
// temporary file, so that the check's memory does not grow with the program.
// Where no temporary file can be made or written, they stay in memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "reference_arc.h"

namespace drennix {

class ReferenceArcLog {
public:
    // `batch`: arcs kept in memory before they go to the file.
    explicit ReferenceArcLog(std::size_t batch = 8192);
    ~ReferenceArcLog();
    ReferenceArcLog(const ReferenceArcLog&) = delete;
    ReferenceArcLog& operator=(const ReferenceArcLog&) = delete;

    void append(const ReferenceArc& arc);
    void clear();
    std::size_t size() const { return spilled_ + recent_.size(); }
    // How many of the arcs are in the file.
    std::size_t spilled() const { return spilled_; }

    // The arcs in order, those of the file read back a batch at a time. One
    // reader at a time; the log must not change while it reads.
    class Reader {
    public:
        explicit Reader(const ReferenceArcLog& log);
        // The next arc, or nullptr after the last one or when the file could
        // not be read back (`failed()`).
        const ReferenceArc* next();
        bool failed() const { return failed_; }

    private:
        bool readBatch();

        const ReferenceArcLog& log_;
        std::vector<ReferenceArc> buffer_;
        std::size_t position_ = 0;
        std::size_t fromFile_ = 0;
        std::size_t fromMemory_ = 0;
        bool failed_ = false;
    };

private:
    void spill();

    const std::size_t batch_;
    std::vector<ReferenceArc> recent_;
    std::FILE* file_ = nullptr;
    std::size_t spilled_ = 0;
    // The file could not be made or written: every arc stays in memory.
    bool inMemory_ = false;
};

}  // namespace drennix
