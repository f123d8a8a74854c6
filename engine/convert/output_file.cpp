#include "output_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace drennix {

namespace {

bool pathExists(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(std::filesystem::path(path), error);
    return !error && std::filesystem::exists(status);
}

#if defined(_WIN32)
constexpr std::string_view folderSeparators = "\\/";
#else
constexpr std::string_view folderSeparators = "/";
#endif

// The folder part of a path, up to and with its last separator; empty for a
// bare file name.
std::size_t fileNameStart(const std::string& path)
{
    const std::size_t separator = path.find_last_of(folderSeparators);
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string folderOf(const std::string& path)
{
    const std::size_t start = fileNameStart(path);
    return start == 0 ? std::string(".") : path.substr(0, start);
}

}  // namespace

std::string outputPathFor(const std::string& sourcePath, const std::string& suffix)
{
    const std::size_t nameStart = fileNameStart(sourcePath);
    const std::size_t point = sourcePath.rfind('.');
    if (point == std::string::npos || point < nameStart) {
        return sourcePath + suffix;
    }
    return sourcePath.substr(0, point) + suffix + sourcePath.substr(point);
}

FileOutputStore::FileOutputStore(std::string outputPath) : outputPath_(std::move(outputPath))
{
    createHidden();
}

FileOutputStore::~FileOutputStore()
{
    if (!published_) {
        discard();
    }
}

bool FileOutputStore::createHidden()
{
    const std::string folder = folderOf(outputPath_);
#if defined(O_TMPFILE)
    // A file without a name: a killed process leaves nothing behind.
    const int anonymous = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (anonymous >= 0) {
        file_ = ::fdopen(anonymous, "wb");
        if (file_ == nullptr) {
            ::close(anonymous);
            return false;
        }
        std::setvbuf(file_, nullptr, _IONBF, 0);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return false;
    }
#endif
    // A hidden name beside the output: "." + the output's file name + a
    // random ending. Only a killed process can leave it behind.
    std::string pattern = folder + "." + outputPath_.substr(fileNameStart(outputPath_)) + ".XXXXXX";
#if defined(_WIN32)
    if (_mktemp_s(pattern.data(), pattern.size() + 1) != 0) {
        return false;
    }
    file_ = std::fopen(pattern.c_str(), "wbx");
#else
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp creates 0600; the program gets what a new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    }
#endif
    if (file_ == nullptr) {
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
    hiddenPath_ = pattern;
    return true;
}

bool FileOutputStore::writeBytes(std::string_view bytes)
{
    return file_ != nullptr && (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size());
}

bool FileOutputStore::syncToDisk()
{
    if (std::fflush(file_) != 0) {
        return false;
    }
#if defined(_WIN32)
    return _commit(_fileno(file_)) == 0;
#else
    return ::fsync(::fileno(file_)) == 0;
#endif
}

Fault FileOutputStore::publish()
{
    if (pathExists(outputPath_)) {
        discard();
        return Fault{FaultId::OutputExists};
    }
    if (file_ == nullptr) {
        discard();
        return Fault{FaultId::OutputOpenFailed};
    }
    if (!flushBuffer() || !syncToDisk()) {
        discard();
        return Fault{FaultId::WriteError};
    }
    if (const Fault fault = giveName()) {
        discard();
        return fault;
    }
    published_ = true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!hiddenPath_.empty()) {
        std::remove(hiddenPath_.c_str());
        hiddenPath_.clear();
    }
    if (!closed) {
        // Not finished as far as the system tells: not left under the name.
        std::remove(outputPath_.c_str());
        published_ = false;
        return Fault{FaultId::OutputCloseFailed};
    }
    return {};
}

// Links the finished file in under the output name, which must not exist;
// where links are not possible, a new file of that name gets a copy.
Fault FileOutputStore::giveName()
{
    std::error_code error;
#if !defined(_WIN32)
    if (hiddenPath_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(::fileno(file_));
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, outputPath_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return {};
        }
        return errno == EEXIST ? Fault{FaultId::OutputExists} : copyIntoNewName();
    }
#endif
    std::filesystem::create_hard_link(hiddenPath_, outputPath_, error);
    if (!error) {
        return {};
    }
    if (error == std::errc::file_exists) {
        return Fault{FaultId::OutputExists};
    }
    return copyIntoNewName();
}

// The output name created exclusively and the finished file copied into it.
Fault FileOutputStore::copyIntoNewName()
{
    std::FILE* target = std::fopen(outputPath_.c_str(), "wbx");
    if (target == nullptr) {
        return Fault{errno == EEXIST ? FaultId::OutputExists : FaultId::OutputOpenFailed};
    }
    bool copied = std::fflush(file_) == 0;
#if !defined(_WIN32)
    std::FILE* source = hiddenPath_.empty()
                            ? std::fopen(("/proc/self/fd/" + std::to_string(::fileno(file_))).c_str(), "rb")
                            : std::fopen(hiddenPath_.c_str(), "rb");
#else
    std::FILE* source = std::fopen(hiddenPath_.c_str(), "rb");
#endif
    copied = copied && source != nullptr;
    char block[1 << 16];
    while (copied) {
        const std::size_t n = std::fread(block, 1, sizeof block, source);
        if (n == 0) {
            copied = !std::ferror(source);
            break;
        }
        copied = std::fwrite(block, 1, n, target) == n;
    }
    if (source != nullptr) {
        std::fclose(source);
    }
    copied = copied && std::fflush(target) == 0;
#if !defined(_WIN32)
    copied = copied && ::fsync(::fileno(target)) == 0;
#endif
    copied = std::fclose(target) == 0 && copied;
    if (!copied) {
        std::remove(outputPath_.c_str());
        return Fault{FaultId::WriteError};
    }
    return {};
}

void FileOutputStore::discard()
{
    dropBuffer();
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!hiddenPath_.empty()) {
        std::remove(hiddenPath_.c_str());
        hiddenPath_.clear();
    }
}

}  // namespace drennix
