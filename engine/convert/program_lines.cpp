#include "program_lines.h"

#include <algorithm>
#include <cstring>

namespace drennix {

namespace {

// Lines go into chunks of this size; a longer line gets a chunk of its own.
// The unused tail of the last chunk is the only memory held beyond the bytes.
constexpr std::size_t chunkSize = std::size_t{4} << 20;

}  // namespace

char* ProgramLines::reserve(std::size_t bytes)
{
    if (chunks_.empty() || chunks_.back().capacity - chunks_.back().used < bytes) {
        Chunk chunk;
        chunk.capacity = std::max(chunkSize, bytes);
        chunk.bytes.reset(new char[chunk.capacity]);
        chunks_.push_back(std::move(chunk));
    }
    Chunk& last = chunks_.back();
    char* place = last.bytes.get() + last.used;
    last.used += bytes;
    return place;
}

void ProgramLines::append(std::string_view prefix, std::string_view line)
{
    char* place = reserve(prefix.size() + line.size() + 1);
    if (!prefix.empty()) {
        std::memcpy(place, prefix.data(), prefix.size());
    }
    if (!line.empty()) {
        std::memcpy(place + prefix.size(), line.data(), line.size());
    }
    place[prefix.size() + line.size()] = '\n';
}

void ProgramLines::clear()
{
    chunks_.clear();
    chunks_.shrink_to_fit();
}

}  // namespace drennix
