// Bytes handed from one thread to another a block at a time: the writing
// thread copies each block into one of a few buffers and goes on, waiting
// only while every buffer is full; the reading thread reads them in order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source_reader.h"

namespace drennix {

class ByteChannel final : public ByteFeed {
public:
    explicit ByteChannel(std::size_t buffers = 3);

    // The writing side. Waits for a free buffer; once the reading side has
    // stopped, bytes are dropped.
    void push(std::string_view bytes);
    // No more bytes come; `whole` false: they ended before their end.
    void close(bool whole);

    // The reading side.
    std::string_view nextBlock() override;
    bool failed() const override;
    // No more blocks are wanted: the writing side no longer waits.
    void stopReading();

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> buffers_;
    std::vector<std::size_t> free_;
    std::deque<std::size_t> filled_;
    // The buffer whose bytes the reading side holds.
    std::optional<std::size_t> held_;
    bool closed_ = false;
    bool whole_ = true;
    bool stopped_ = false;
};

}  // namespace drennix
