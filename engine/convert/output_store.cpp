#include "output_store.h"

namespace drennix {

namespace {

// The bytes gathered before they are written out in one call.
constexpr std::size_t bufferSize = std::size_t{1} << 20;

}  // namespace

void OutputStore::append(std::string_view prefix, std::string_view line)
{
    ++lines_;
    if (failed_) {
        return;
    }
    const std::size_t size = prefix.size() + line.size() + 2;
    if (buffer_.size() + size > bufferSize && !flushBuffer()) {
        return;
    }
    if (size > bufferSize) {
        // A line longer than the buffer goes out on its own.
        failed_ = !writeBytes(prefix) || !writeBytes(line) || !writeBytes("\r\n");
        return;
    }
    buffer_ += prefix;
    buffer_ += line;
    buffer_ += "\r\n";
}

void OutputStore::dropBuffer()
{
    buffer_.clear();
}

bool OutputStore::flushBuffer()
{
    if (!failed_ && !buffer_.empty()) {
        failed_ = !writeBytes(buffer_);
    }
    buffer_.clear();
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
