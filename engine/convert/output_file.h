// The new program on disk: its name beside the source, and a store that
// writes it into a file without a visible name in the output's folder
// (on Linux an O_TMPFILE file, elsewhere a hidden temporary name), synced to
// disk and given the output name at the end without ever replacing a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "disk_sync.h"
#include "output_store.h"

namespace drennix {

// The source path with the suffix put before the last "." of its file name,
// or after the file name when it has none. On Windows "\" ends a folder name
// as well as "/".
std::string outputPathFor(const std::string& sourcePath, const std::string& suffix);

// Something (a file, a folder, a link, even a dangling one) has the name.
bool pathExists(const std::string& path);

class FileOutputStore final : public OutputStore {
public:
    // Creates the hidden file in the folder of `outputPath`; a failure is
    // kept and reported by publish, after the existence check.
    explicit FileOutputStore(std::string outputPath);
    ~FileOutputStore() override;
    FileOutputStore(const FileOutputStore&) = delete;
    FileOutputStore& operator=(const FileOutputStore&) = delete;

    Fault publish() override;
    void discard() override;

private:
    bool writeBytes(std::string_view bytes) override;
    bool createHidden();
    bool syncToDisk();
    bool finishDiskSync();
    Fault giveName();
    Fault copyIntoNewName();

    const std::string outputPath_;
    std::FILE* file_ = nullptr;
    // The hidden file's name; empty for a file that has no name yet.
    std::string hiddenPath_;
    bool published_ = false;
    // The bytes written, how many of them were last sent to the disk ahead
    // of the end, and every how many bytes that happens.
    std::uint64_t written_ = 0;
    std::uint64_t syncedAhead_ = 0;
    static constexpr std::uint64_t syncAheadBytes = std::uint64_t{32} << 20;
    std::unique_ptr<DiskSync> diskSync_;
};

}  // namespace drennix
