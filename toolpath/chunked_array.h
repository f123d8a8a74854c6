// An array that grows in fixed blocks: appending never copies what is stored
// and never holds more than one block of spare room, so that a toolpath of
// millions of moves costs its elements and little more.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace drennix::toolpath {

template <typename T, std::size_t BlockShift = 16>
class ChunkedArray {
public:
    static constexpr std::size_t blockShift = BlockShift;
    static constexpr std::size_t blockSize = std::size_t{1} << blockShift;

    void push_back(const T& value)
    {
        if (size_ % blockSize == 0) blocks_.push_back(std::make_unique<T[]>(blockSize));
        blocks_.back()[size_ % blockSize] = value;
        ++size_;
    }

    const T& operator[](std::size_t index) const { return blocks_[index >> blockShift][index & (blockSize - 1)]; }
    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t bytesReserved() const
    {
        return blocks_.size() * blockSize * sizeof(T) + blocks_.capacity() * sizeof(void*);
    }

private:
    T& operator[](std::size_t index) { return blocks_[index >> blockShift][index & (blockSize - 1)]; }

    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};

}  // namespace drennix::toolpath
