#include "byte_channel.h"

#include <algorithm>

namespace drennix {

ByteChannel::ByteChannel(std::size_t buffers) : buffers_(std::max<std::size_t>(buffers, 1))
{
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        free_.push_back(i);
    }
}

void ByteChannel::push(std::string_view bytes)
{
    if (bytes.empty()) {
        return;  // an empty block would read as the end
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty() || stopped_; });
    if (stopped_ || closed_) {
        return;
    }
    const std::size_t buffer = free_.back();
    free_.pop_back();
    // The buffer is the writing side's alone until it is filed.
    lock.unlock();
    buffers_[buffer].assign(bytes);
    lock.lock();
    filled_.push_back(buffer);
    changed_.notify_all();
}

void ByteChannel::close(bool whole)
{
    const std::lock_guard lock(mutex_);
    if (!closed_) {
        closed_ = true;
        whole_ = whole;
    }
    changed_.notify_all();
}

std::string_view ByteChannel::nextBlock()
{
    std::unique_lock lock(mutex_);
    if (held_) {
        free_.push_back(*held_);
        held_.reset();
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return !filled_.empty() || closed_ || stopped_; });
    if (stopped_ || filled_.empty()) {
        return {};
    }
    held_ = filled_.front();
    filled_.pop_front();
    return buffers_[*held_];
}

bool ByteChannel::failed() const
{
    const std::lock_guard lock(mutex_);
    return stopped_ || (closed_ && !whole_);
}

void ByteChannel::stopReading()
{
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

}  // namespace drennix
