#include "output_store.h"

#include <algorithm>
#include <cstring>

namespace drennix {

namespace {

// The bytes gathered before they are written out in one call.
constexpr std::size_t bufferSize = std::size_t{1} << 20;
// ... or this many lines, whichever comes first.
constexpr long long bufferLines = 16384;
// The buffer's first size; it doubles as lines come, up to bufferSize.
constexpr std::size_t firstBufferSize = std::size_t{1} << 12;

char* copied(char* to, std::string_view bytes)
{
    if (!bytes.empty()) {
        std::memcpy(to, bytes.data(), bytes.size());
    }
    return to + bytes.size();
}

}  // namespace

void OutputStore::append(std::string_view prefix, std::string_view line)
{
    ++lines_;
    if (failed_) {
        return;
    }
    const std::size_t size = prefix.size() + line.size() + 2;
    if ((used_ + size > bufferSize || bufferedLines_ == bufferLines) && !flushBuffer()) {
        return;
    }
    if (size > bufferSize) {
        // A line longer than the buffer goes out on its own.
        failed_ = !writeWatched(prefix) || !writeWatched(line) || !writeWatched("\r\n");
        return;
    }
    if (used_ + size > buffer_.size()) {
        buffer_.resize(std::min(bufferSize, std::max({firstBufferSize, 2 * buffer_.size(), used_ + size})));
    }
    char* end = copied(copied(buffer_.data() + used_, prefix), line);
    end[0] = '\r';
    end[1] = '\n';
    used_ += size;
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
    used_ = 0;
    bufferedLines_ = 0;
}

bool OutputStore::flushBuffer()
{
    if (!failed_ && used_ != 0) {
        failed_ = !writeWatched(std::string_view(buffer_.data(), used_));
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
