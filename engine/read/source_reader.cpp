#include "source_reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "file_names.h"

namespace drennix {

namespace {

constexpr std::size_t blockSize = std::size_t{1} << 20;
constexpr char endOfInputByte = 0x1A;

std::string_view withoutLineEndCarriageReturn(std::string_view line)
{
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

SourceReader::SourceReader() = default;

SourceReader::~SourceReader()
{
    close();
}

SourceReader::OpenResult SourceReader::open(const std::string& path)
{
    close();
    std::error_code error;
    const auto status = std::filesystem::status(pathFromUtf8(path), error);
    if (error || !std::filesystem::exists(status)) {
        return OpenResult::Missing;
    }
    // A folder cannot be read as a program, and a device or pipe may never
    // end (a line of /dev/zero grows without limit): only regular files open.
    if (!std::filesystem::is_regular_file(status)) {
        return OpenResult::OpenFailed;
    }
    // Binary on every platform: the text-mode rules are the reader's own.
    file_ = openFile(path, "rb");
    if (file_ == nullptr) {
        return OpenResult::OpenFailed;
    }
    // The reader does its own block buffering.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    position_ = end_ = 0;
    carry_.clear();
    bytes_ = {};
    atEnd_ = failed_ = exhausted_ = false;
    return OpenResult::Opened;
}

void SourceReader::openFeed(ByteFeed& feed)
{
    openBytes({});
    feed_ = &feed;
}

void SourceReader::openBytes(std::string_view bytes)
{
    close();
    position_ = end_ = 0;
    carry_.clear();
    bytes_ = bytes;
    // Empty bytes read as an empty file: one empty line.
    atEnd_ = failed_ = exhausted_ = false;
}

bool SourceReader::refill()
{
    if (exhausted_) {
        return false;
    }
    position_ = 0;
    if (feed_ != nullptr) {
        const std::string_view block = feed_->nextBlock();
        block_ = block.data();
        end_ = block.size();
        exhausted_ = end_ == 0;
        failed_ = exhausted_ && feed_->failed();
        return !exhausted_;
    }
    if (file_ == nullptr) {
        // The bytes in memory are one block.
        block_ = bytes_.data();
        end_ = bytes_.size();
        bytes_ = {};
        exhausted_ = end_ == 0;
        return end_ != 0;
    }
    if (!buffer_) {
        // A file's blocks need a buffer; bytes in memory do not.
        buffer_.reset(new char[blockSize]);
    }
    block_ = buffer_.get();
    end_ = std::fread(buffer_.get(), 1, blockSize, file_);
    if (end_ == 0) {
        exhausted_ = true;
        if (std::ferror(file_)) {
            failed_ = true;
        }
        return false;
    }
    return true;
}

std::string_view SourceReader::readSourceLine()
{
    carry_.clear();
    for (;;) {
        if (position_ == end_ && !refill()) {
            atEnd_ = true;
            return carry_;
        }
        const char* begin = block_ + position_;
        const std::size_t available = end_ - position_;
        const auto* lineFeed = static_cast<const char*>(std::memchr(begin, '\n', available));
        const std::size_t span = lineFeed ? static_cast<std::size_t>(lineFeed - begin) : available;
        if (const auto* stop = static_cast<const char*>(std::memchr(begin, endOfInputByte, span))) {
            // The byte 0x1A ends the input: nothing after it is read.
            carry_.append(begin, stop);
            atEnd_ = true;
            exhausted_ = true;
            position_ = end_;
            return carry_;
        }
        if (lineFeed == nullptr) {
            carry_.append(begin, available);
            position_ = end_;
            continue;
        }
        position_ += span + 1;
        if (carry_.empty()) {
            return withoutLineEndCarriageReturn(std::string_view(begin, span));
        }
        carry_.append(begin, span);
        return withoutLineEndCarriageReturn(carry_);
    }
}

std::string_view SourceReader::takeWholeLines(std::size_t maxBytes)
{
    // Nothing read yet, or the block used up: readSourceLine reads the next.
    if (position_ == end_) {
        return {};
    }
    const char* begin = block_ + position_;
    std::size_t span = std::min(end_ - position_, maxBytes);
    if (const auto* stop = static_cast<const char*>(std::memchr(begin, endOfInputByte, span))) {
        span = static_cast<std::size_t>(stop - begin);
    }
    const std::size_t lastFeed = std::string_view(begin, span).rfind('\n');
    if (lastFeed == std::string_view::npos) {
        return {};
    }
    position_ += lastFeed + 1;
    return std::string_view(begin, lastFeed + 1);
}

bool SourceReader::close()
{
    feed_ = nullptr;
    if (file_ == nullptr) {
        return true;
    }
    // A read error is reported on its own; some C libraries (msvcrt) also
    // fail fclose for a stream whose error indicator is set.
    std::clearerr(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

}  // namespace drennix
