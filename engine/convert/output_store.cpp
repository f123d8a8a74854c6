#include "output_store.h"

#include <algorithm>
#include <cstring>

namespace drennix {

namespace {

// The bytes gathered before they are written out in one call.
constexpr std::size_t bufferSize = std::size_t{1} << 20;
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

OutputStore::OutputStore(long long blockLines) : blockLines_(blockLines)
{
    roomLines_ = blockLines_;
}

long long OutputStore::bufferedLines() const
{
    return blockLines_ - roomLines_;
}

void OutputStore::openRoom(std::size_t used)
{
    if (failed_ || buffer_.empty()) {
        room_ = roomEnd_ = nullptr;
        return;
    }
    room_ = buffer_.data() + used;
    roomEnd_ = buffer_.data() + buffer_.size();
}

void OutputStore::append(std::string_view prefix, std::string_view line)
{
    if (failed_) {
        ++lines_;
        return;
    }
    const std::size_t size = prefix.size() + line.size() + 2;
    if ((used() + size > bufferSize || roomLines_ == 0) && !flushBuffer()) {
        ++lines_;
        return;
    }
    if (size > bufferSize) {
        // A line longer than the buffer goes out on its own.
        failed_ = !writeWatched(prefix) || !writeWatched(line) || !writeWatched("\r\n");
        ++lines_;
        openRoom(0);
        return;
    }
    if (used() + size > buffer_.size()) {
        const std::size_t used = this->used();
        buffer_.resize(std::min(bufferSize, std::max({firstBufferSize, 2 * buffer_.size(), used + size})));
        openRoom(used);
    }
    char* end = copied(copied(room_, prefix), line);
    end[0] = '\r';
    end[1] = '\n';
    room_ = end + 2;
    --roomLines_;
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
    lines_ += bufferedLines();
    roomLines_ = blockLines_;
    openRoom(0);
}

bool OutputStore::flushBuffer()
{
    if (!failed_ && used() != 0) {
        failed_ = !writeWatched(std::string_view(buffer_.data(), used()));
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
