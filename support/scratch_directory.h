// A new, empty folder under the system's temporary folder for one test or one
// benchmark run, removed with everything in it when the object goes. Its name
// is the prefix and six letters or digits, so it holds no "." unless the
// prefix does: a test's output name rule only sees the dots the test puts
// into its own file names.
#pragma once

#if !defined(_WIN32)
#include <stdlib.h>  // mkdtemp
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace drennix::testing {

class ScratchDirectory {
public:
    // Throws std::filesystem::filesystem_error when the folder cannot be made.
    explicit ScratchDirectory(std::string_view prefix = "drennix_test_")
    {
#if defined(_WIN32)
        // No mkdtemp: random names until one is new.
        std::random_device seed;
        std::mt19937_64 random(seed());
        constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::error_code error;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name(prefix);
            for (int i = 0; i < 6; ++i)
                name += letters[random() % letters.size()];
            const auto candidate = std::filesystem::temp_directory_path() / name;
            if (std::filesystem::create_directory(candidate, error)) {
                root_ = candidate;
                return;
            }
        }
        throw std::filesystem::filesystem_error("cannot create a scratch folder",
                                                std::filesystem::temp_directory_path(), error);
#else
        std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::filesystem::filesystem_error("cannot create a scratch folder", pattern,
                                                    std::error_code(errno, std::generic_category()));
        }
        root_ = pattern;
#endif
    }
    ~ScratchDirectory()
    {
        // A test may have taken the write permission away.
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const
    {
        return root_;
    }
    std::filesystem::path operator/(std::string_view name) const
    {
        return root_ / name;
    }

    // Writes `bytes` exactly as given and returns the file's path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const
    {
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
inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace drennix::testing
