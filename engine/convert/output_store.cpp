#include "output_store.h"

namespace drennix {

namespace {

// The bytes gathered before they are written out in one call.
constexpr std::size_t bufferSize = std::size_t{1} << 20;
// ... or this many lines, whichever comes first.
constexpr long long bufferLines = 16384;

}  // namespace

void OutputStore::append(std::string_view prefix, std::string_view line)
{
    ++lines_;
    if (failed_) {
        return;
    }
    const std::size_t size = prefix.size() + line.size() + 2;
    if ((buffer_.size() + size > bufferSize || bufferedLines_ == bufferLines) && !flushBuffer()) {
        return;
    }
    if (size > bufferSize) {
        // A line longer than the buffer goes out on its own.
        failed_ = !writeWatched(prefix) || !writeWatched(line) || !writeWatched("\r\n");
        return;
    }
    buffer_ += prefix;
    buffer_ += line;
    buffer_ += "\r\n";
    ++bufferedLines_;
}

bool OutputStore::writeWatched(std::string_view bytes)
{
    if (!writeBytes(bytes)) {
        return false;
    }
    if (watcher_ && !bytes.empty()) {
        watcher_(bytes);
    }
    return true;
}

void OutputStore::dropBuffer()
{
    buffer_.clear();
    bufferedLines_ = 0;
}

bool OutputStore::flushBuffer()
{
    if (!failed_ && !buffer_.empty()) {
        failed_ = !writeWatched(buffer_);
    }
    dropBuffer();
    return !failed_;
}

Fault MemoryOutputStore::publish()
{
    if (nameTaken_) {
        discard();
        return Fault{FaultId::OutputExists};
    }
    flushBuffer();
    published_ = true;
    return {};
}

bool MemoryOutputStore::writeBytes(std::string_view bytes)
{
    bytes_ += bytes;
    return true;
}

}  // namespace drennix
