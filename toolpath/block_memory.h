// The memory of the large blocks a toolpath store grows by. A run of
// millions of moves fills some hundred megabytes while the engine reads, and
// faulting that in 4 KB page by page costs more than the recording itself;
// a block whose size is a whole number of huge pages is asked for as huge
// pages where the system offers them (Linux), 2 MB at a time. The memory is
// not cleared: the store writes each element before it reads it.
#pragma once

#include <cstddef>

namespace drennix::toolpath {

// The size of a huge page on the systems that map them on request.
inline constexpr std::size_t hugePageBytes = std::size_t{2} << 20;

// Throws std::bad_alloc when the memory is not there.
void* allocateBlock(std::size_t bytes);
// `bytes` as the block was allocated with.
void releaseBlock(void* block, std::size_t bytes) noexcept;

}  // namespace drennix::toolpath
