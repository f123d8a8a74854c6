// An array that grows in fixed blocks: appending never copies what is stored
// and never holds more than one block of spare room, so that a toolpath of
// millions of moves costs its elements and little more. A block is not
// cleared when it comes: each element is made as it is appended, so that
// appending touches each page once (blocks of whole huge pages, see
// block_memory.h, come in 2 MB at a time).
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "block_memory.h"

namespace drennix::toolpath {

template <typename T, std::size_t BlockShift = 16>
class ChunkedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "elements are written into raw blocks and never destroyed");

public:
    static constexpr std::size_t blockShift = BlockShift;
    static constexpr std::size_t blockSize = std::size_t{1} << blockShift;
    static constexpr std::size_t blockBytes = blockSize * sizeof(T);

    ChunkedArray() = default;
    // A moved-from array is empty: it keeps no place in the blocks it gave up.
    ChunkedArray(ChunkedArray&& other) noexcept
        : blocks_(std::move(other.blocks_)),
          size_(std::exchange(other.size_, 0)),
          next_(std::exchange(other.next_, nullptr)),
          blockEnd_(std::exchange(other.blockEnd_, nullptr))
    {}
    ChunkedArray& operator=(ChunkedArray&& other) noexcept
    {
        blocks_ = std::move(other.blocks_);
        other.blocks_.clear();
        size_ = std::exchange(other.size_, 0);
        next_ = std::exchange(other.next_, nullptr);
        blockEnd_ = std::exchange(other.blockEnd_, nullptr);
        return *this;
    }

    void push_back(const T& value)
    {
        if (!hasRoom()) addBlock();
        appendWithinBlock(value);
    }
    // Whether the last block has room for one more element.
    bool hasRoom() const { return next_ != blockEnd_; }
    // Appends where hasRoom() said there is room.
    void appendWithinBlock(const T& value)
    {
        ::new (static_cast<void*>(next_)) T(value);
        ++next_;
        ++size_;
    }

    const T& operator[](std::size_t index) const { return blocks_[index >> blockShift].get()[index & (blockSize - 1)]; }
    T& back() { return (*this)[size_ - 1]; }
    void set(std::size_t index, const T& value) { (*this)[index] = value; }
    const T& back() const { return (*this)[size_ - 1]; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t bytesReserved() const { return blocks_.size() * blockBytes + blocks_.capacity() * sizeof(void*); }

private:
    struct Release {
        void operator()(T* block) const noexcept { releaseBlock(block, blockBytes); }
    };

    T& operator[](std::size_t index) { return blocks_[index >> blockShift].get()[index & (blockSize - 1)]; }
    void addBlock()
    {
        std::unique_ptr<T, Release> block(static_cast<T*>(allocateBlock(blockBytes)));
        blocks_.push_back(std::move(block));
        next_ = blocks_.back().get();
        blockEnd_ = next_ + blockSize;
    }

    std::vector<std::unique_ptr<T, Release>> blocks_;
    std::size_t size_ = 0;
    // Where the next element goes, and the end of the last block: appending
    // costs a comparison and a store. Blocks never move, so the two go with
    // the blocks when the array is moved.
    T* next_ = nullptr;
    T* blockEnd_ = nullptr;
};

}  // namespace drennix::toolpath
