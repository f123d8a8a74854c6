// A temporary folder for one test, removed with its content when the test
// ends. Its path holds no "." so that the output name rule only sees the dots
// a test puts into its own file names.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

namespace drennix::testing {

class ScratchDirectory {
public:
    ScratchDirectory() {
        static std::atomic<int> counter{0};
        do root_ = std::filesystem::temp_directory_path() / ("drennix_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        while (!std::filesystem::create_directory(root_));
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path operator/(std::string_view name) const { return root_ / name; }

    // Writes `bytes` exactly as given and returns the file's path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const {
        const auto file = root_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + file.string());
        return file;
    }

private:
    std::filesystem::path root_;
};

// A file's bytes; "" when it cannot be read.
inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace drennix::testing
