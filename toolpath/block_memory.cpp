#include "block_memory.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace drennix::toolpath {

#if defined(__linux__)

namespace {

bool inHugePages(std::size_t bytes)
{
    return bytes % hugePageBytes == 0;
}

}  // namespace

// Mapped with a huge page of room to spare, so that the block can start on a
// huge page's boundary; the spare ends go back at once.
void* allocateBlock(std::size_t bytes)
{
    if (!inHugePages(bytes)) return ::operator new(bytes);
    const std::size_t mapped = bytes + hugePageBytes;
    void* region = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(region);
    const std::uintptr_t aligned = (start + hugePageBytes - 1) & ~(std::uintptr_t{hugePageBytes} - 1);
    if (aligned > start) munmap(region, aligned - start);
    const std::uintptr_t tail = aligned + bytes;
    const std::uintptr_t end = start + mapped;
    if (end > tail) munmap(reinterpret_cast<void*>(tail), end - tail);
    void* block = reinterpret_cast<void*>(aligned);
    // Only advice: without huge pages the block works all the same.
    madvise(block, bytes, MADV_HUGEPAGE);
    return block;
}

void releaseBlock(void* block, std::size_t bytes) noexcept
{
    if (!inHugePages(bytes)) {
        ::operator delete(block);
        return;
    }
    munmap(block, bytes);
}

#else

void* allocateBlock(std::size_t bytes)
{
    return ::operator new(bytes);
}

void releaseBlock(void* block, std::size_t) noexcept
{
    ::operator delete(block);
}

#endif

}  // namespace drennix::toolpath
