// A new, empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string_view>

namespace drennix::bench {

class ScratchFolder {
public:
    // Throws std::filesystem::filesystem_error when the folder cannot be made.
    explicit ScratchFolder(std::string_view prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace drennix::bench
