#include "reference_arc_log.h"

#include <algorithm>
#include <type_traits>

namespace drennix {

// The records go to the file as they are in memory and come back in the
// same process.
static_assert(std::is_trivially_copyable_v<ReferenceArc>);

ReferenceArcLog::ReferenceArcLog(std::size_t batch) : batch_(std::max<std::size_t>(batch, 1))
{
    recent_.reserve(batch_);
}

ReferenceArcLog::~ReferenceArcLog()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void ReferenceArcLog::append(const ReferenceArc& arc)
{
    recent_.push_back(arc);
    if (recent_.size() >= batch_ && !inMemory_) {
        spill();
    }
}

// A batch that could not be written whole stays in memory, and so does every
// arc after it; the file keeps only the batches written before.
void ReferenceArcLog::spill()
{
    if (file_ == nullptr) {
        file_ = std::tmpfile();
    }
    if (file_ == nullptr || std::fseek(file_, static_cast<long>(0), SEEK_END) != 0) {
        inMemory_ = true;
        return;
    }
    const std::size_t written = std::fwrite(recent_.data(), sizeof(ReferenceArc), recent_.size(), file_);
    if (written != recent_.size() || std::fflush(file_) != 0) {
        inMemory_ = true;
        return;
    }
    spilled_ += recent_.size();
    recent_.clear();
}

void ReferenceArcLog::clear()
{
    recent_.clear();
    spilled_ = 0;
    inMemory_ = false;
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

ReferenceArcLog::Reader::Reader(const ReferenceArcLog& log) : log_(log)
{
    if (log_.file_ != nullptr && log_.spilled_ > 0 && std::fseek(log_.file_, 0, SEEK_SET) != 0) {
        failed_ = true;
    }
}

const ReferenceArc* ReferenceArcLog::Reader::next()
{
    if (position_ < buffer_.size()) {
        return &buffer_[position_++];
    }
    if (failed_) {
        return nullptr;
    }
    if (fromFile_ < log_.spilled_) {
        return readBatch() ? &buffer_[position_++] : nullptr;
    }
    if (fromMemory_ < log_.recent_.size()) {
        return &log_.recent_[fromMemory_++];
    }
    return nullptr;
}

bool ReferenceArcLog::Reader::readBatch()
{
    const std::size_t count = std::min(log_.batch_, log_.spilled_ - fromFile_);
    buffer_.resize(count);
    position_ = 0;
    if (std::fread(buffer_.data(), sizeof(ReferenceArc), count, log_.file_) != count) {
        buffer_.clear();
        failed_ = true;
        return false;
    }
    fromFile_ += count;
    return true;
}

}  // namespace drennix
