// Where the new program of a converting run goes while the source is read:
// its lines, each ended by CR LF on every platform, streamed out in large
// blocks, so that memory does not grow with the program. At the end of the
// input the program is published under its name, whole, or discarded.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "fault.h"
#include "program_writer.h"

namespace drennix {

class OutputStore : public LineSink {
public:
    // The bytes gathered in a block before they are handed on: about a
    // megabyte, or this many lines, whichever comes first.
    static constexpr long long defaultBlockLines = 16384;

    explicit OutputStore(long long blockLines = defaultBlockLines);
    ~OutputStore() override = default;

    // The buffer is the room for lines in place (see LineSink).
    void append(std::string_view prefix, std::string_view line) override;
    long long linesWritten() const { return lines_ + bufferedLines(); }
    // What is buffered goes on at once (whoever follows the bytes needs the
    // lines so far before others it is told of apart).
    void handOn() { flushBuffer(); }

    // Told the bytes each time they have been handed on, in order (empty:
    // nobody is told). Blocks hold at most a bounded number of lines, so that
    // whoever follows the bytes is never far behind the lines.
    using WriteWatcher = std::function<void(std::string_view bytes)>;
    void watchWrites(WriteWatcher watcher) { watcher_ = std::move(watcher); }

    // After the whole source was read: the program appears under its name,
    // whole, or nothing does. FaultId::None when published; else
    // OutputExists, OutputOpenFailed, WriteError or OutputCloseFailed.
    virtual Fault publish() = 0;
    // Nothing of the program remains.
    virtual void discard() = 0;

protected:
    // Hands the buffered bytes on; false when they could not be written
    // (later bytes are then dropped and publish reports the write error).
    virtual bool writeBytes(std::string_view bytes) = 0;
    // writeBytes, and the watcher told of what was written.
    bool writeWatched(std::string_view bytes);
    // Writes out what is buffered; false after any write error.
    bool flushBuffer();
    // Forgets what is buffered.
    void dropBuffer();

private:
    // The bytes and lines of the buffer in use: up to room_, and the lines
    // of the block less those that may still come.
    std::size_t used() const { return room_ == nullptr ? 0 : static_cast<std::size_t>(room_ - buffer_.data()); }
    long long bufferedLines() const;
    // The room from `used` bytes on, none after a write error.
    void openRoom(std::size_t used);

    // Grows to the size of one block as lines come, so that a run with a
    // short program allocates little.
    std::string buffer_;
    WriteWatcher watcher_;
    const long long blockLines_;
    // The lines that are no longer in the buffer (written, dropped or lost
    // to a write error).
    long long lines_ = 0;
    bool failed_ = false;
};

// A store in memory, for hosts that check programs without files (the
// fuzzing harness): publish succeeds unless the name is said to be taken.
class MemoryOutputStore final : public OutputStore {
public:
    explicit MemoryOutputStore(bool nameTaken = false, long long blockLines = defaultBlockLines)
        : OutputStore(blockLines), nameTaken_(nameTaken)
    {}

    Fault publish() override;
    void discard() override
    {
        dropBuffer();
        bytes_.clear();
        published_ = false;
    }

    const std::string& bytes() const { return bytes_; }
    bool published() const { return published_; }

private:
    bool writeBytes(std::string_view bytes) override;

    std::string bytes_;
    bool nameTaken_;
    bool published_ = false;
};

}  // namespace drennix
