// Reads the source NC program line by line in large blocks (or from bytes in
// memory). Lines follow the text-mode rules on every platform: CR LF is one
// line end, a CR on its own stays in the line, and the byte 0x1A ends the
// input.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace drennix {

// Bytes that arrive a block at a time while they are read (a program being
// written by another thread, say).
class ByteFeed {
public:
    virtual ~ByteFeed() = default;
    // The next block, which stays valid until the next call; empty when no
    // more bytes will come.
    virtual std::string_view nextBlock() = 0;
    // The bytes ended before their end: what came is not the whole.
    virtual bool failed() const = 0;
};

class SourceReader {
public:
    enum class OpenResult { Opened, Missing, OpenFailed };

    SourceReader();
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // `path` is UTF-8 text on every platform. Missing when the file status
    // cannot be obtained; OpenFailed when the path names a folder or anything
    // else that is not a regular file, or the file cannot be opened for
    // reading.
    OpenResult open(const std::string& path);
    // Reads `bytes` instead of a file, by the same rules; they must outlive
    // the reading.
    void openBytes(std::string_view bytes);
    // Reads the blocks of `feed` by the same rules; it must outlive the
    // reading. A feed that fails sets the error indicator.
    void openFeed(ByteFeed& feed);

    // The end-of-input indicator, tested before each line: it is set only by a
    // read that found no more bytes (or the byte 0x1A), so a final line end
    // yields one more, empty line and an empty file yields one empty line.
    bool atEnd() const { return atEnd_; }
    // The error indicator, set when reading failed.
    bool failed() const { return failed_; }

    // The next line without its line end. The view stays valid until the next
    // call or until the reader is closed.
    std::string_view readSourceLine();

    // The whole lines that follow in the block being read, each with its
    // line end, as many as end within `maxBytes`: one copy for many lines.
    // Empty when no line ends that soon in the block, or the byte 0x1A comes
    // first; readSourceLine reads on from there. The view stays valid until
    // the next call.
    std::string_view takeWholeLines(std::size_t maxBytes);

    // Closes the source; false when closing failed.
    bool close();

private:
    bool refill();

    std::FILE* file_ = nullptr;
    ByteFeed* feed_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    // The block being read: the buffer, or the bytes given to openBytes.
    const char* block_ = nullptr;
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    std::string carry_;  // a line that spans two blocks
    bool atEnd_ = false;
    bool failed_ = false;
    bool exhausted_ = false;  // no more bytes will come from the file
};

}  // namespace drennix
