#include "output_file.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "file_names.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace drennix {

namespace {

#if defined(_WIN32)
constexpr std::string_view folderSeparators = "\\/";
#else
constexpr std::string_view folderSeparators = "/";
#endif

int fileDescriptor(std::FILE* file)
{
#if defined(_WIN32)
    return _fileno(file);
#else
    return ::fileno(file);
#endif
}

// The folder part of a path, up to and with its last separator; empty for a
// bare file name.
std::size_t fileNameStart(const std::string& path)
{
    const std::size_t separator = path.find_last_of(folderSeparators);
    return separator == std::string::npos ? 0 : separator + 1;
}

// The folder of a path with its last separator: "./" for a bare file name,
// so that a hidden name beside it is "./.name.XXXXXX".
std::string folderOf(const std::string& path)
{
    const std::size_t start = fileNameStart(path);
    return start == 0 ? std::string("./") : path.substr(0, start);
}

#if defined(_WIN32)
// A new file of that name, created only when no file or folder has the name,
// open for writing through the C library. CREATE_NEW decides in one step;
// the C library of MinGW (msvcrt) does not know fopen's "x".
std::FILE* createNewFile(const std::string& path, DWORD attributes, DWORD& error)
{
    const HANDLE handle = ::CreateFileW(pathFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                        attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        error = ERROR_INVALID_HANDLE;
        ::CloseHandle(handle);
        ::DeleteFileW(pathFromUtf8(path).c_str());
        return nullptr;
    }
    std::FILE* file = ::_fdopen(descriptor, "wb");
    if (file == nullptr) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        ::_close(descriptor);
        ::DeleteFileW(pathFromUtf8(path).c_str());
    }
    return file;
}

bool nameTaken(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Six letters or digits for a hidden name; CREATE_NEW makes it unique.
std::string randomEnding(std::uint64_t attempt)
{
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    std::uint64_t x = static_cast<std::uint64_t>(counter.QuadPart) ^ (std::uint64_t{::GetCurrentProcessId()} << 32) ^
                      (attempt * 0x9E3779B97F4A7C15u);
    // splitmix64's finaliser.
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string ending;
    for (int i = 0; i < 6; ++i, x /= letters.size())
        ending += letters[x % letters.size()];
    return ending;
}
#endif

}  // namespace

bool pathExists(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(pathFromUtf8(path), error);
    return !error && std::filesystem::exists(status);
}

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
    const std::string stem = folder + "." + outputPath_.substr(fileNameStart(outputPath_)) + ".";
#if defined(_WIN32)
    // Hidden by its attribute as well, and created only under a new name.
    std::string pattern;
    for (std::uint64_t attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
        pattern = stem + randomEnding(attempt);
        DWORD error = 0;
        file_ = createNewFile(pattern, FILE_ATTRIBUTE_HIDDEN, error);
        if (file_ == nullptr && !nameTaken(error)) {
            return false;
        }
    }
#else
    std::string pattern = stem + "XXXXXX";
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
    if (file_ == nullptr || (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())) {
        return false;
    }
    written_ += bytes.size();
    if (written_ - syncedAhead_ >= syncAheadBytes) {
        syncedAhead_ = written_;
        if (!diskSync_) {
            diskSync_ = std::make_unique<DiskSync>(fileDescriptor(file_));
        }
        // The file is unbuffered: what fwrite took, the system has.
        diskSync_->request();
    }
    return true;
}

bool FileOutputStore::syncToDisk()
{
    const bool earlierSynced = finishDiskSync();
    if (std::fflush(file_) != 0) {
        return false;
    }
#if defined(_WIN32)
    return _commit(_fileno(file_)) == 0 && earlierSynced;
#else
    return ::fsync(::fileno(file_)) == 0 && earlierSynced;
#endif
}

// No sync may run once the file is closed.
bool FileOutputStore::finishDiskSync()
{
    const bool synced = diskSync_ == nullptr || diskSync_->finish();
    diskSync_.reset();
    return synced;
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
#if defined(_WIN32)
    // An open file cannot be renamed here: it is closed first, and a close
    // that fails leaves nothing to name.
    const bool closedFirst = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closedFirst) {
        discard();
        return Fault{FaultId::OutputCloseFailed};
    }
#endif
    if (const Fault fault = giveName()) {
        discard();
        return fault;
    }
    published_ = true;
    const bool closed = file_ == nullptr || std::fclose(file_) == 0;
    file_ = nullptr;
    if (!hiddenPath_.empty()) {
        removeFile(hiddenPath_);
        hiddenPath_.clear();
    }
    if (!closed) {
        // Not finished as far as the system tells: not left under the name.
        removeFile(outputPath_);
        published_ = false;
        return Fault{FaultId::OutputCloseFailed};
    }
    return {};
}

// Links the finished file in under the output name, which must not exist;
// where links are not possible, a new file of that name gets a copy.
Fault FileOutputStore::giveName()
{
#if defined(_WIN32)
    // The hidden file, closed, takes the output name; without
    // MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    const std::filesystem::path hidden = pathFromUtf8(hiddenPath_);
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileExW(hidden.c_str(), pathFromUtf8(outputPath_).c_str(), MOVEFILE_WRITE_THROUGH)) {
        hiddenPath_.clear();
        return {};
    }
    if (nameTaken(::GetLastError())) {
        return Fault{FaultId::OutputExists};
    }
    return copyIntoNewName();
#else
    std::error_code error;
    if (hiddenPath_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(::fileno(file_));
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, outputPath_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return {};
        }
        return errno == EEXIST ? Fault{FaultId::OutputExists} : copyIntoNewName();
    }
    std::filesystem::create_hard_link(hiddenPath_, outputPath_, error);
    if (!error) {
        return {};
    }
    if (error == std::errc::file_exists) {
        return Fault{FaultId::OutputExists};
    }
    return copyIntoNewName();
#endif
}

// The output name created exclusively and the finished file copied into it.
Fault FileOutputStore::copyIntoNewName()
{
#if defined(_WIN32)
    DWORD error = 0;
    std::FILE* target = createNewFile(outputPath_, FILE_ATTRIBUTE_NORMAL, error);
    if (target == nullptr) {
        return Fault{nameTaken(error) ? FaultId::OutputExists : FaultId::OutputOpenFailed};
    }
    bool copied = file_ == nullptr || std::fflush(file_) == 0;
    std::FILE* source = openFile(hiddenPath_, "rb");
#else
    std::FILE* target = std::fopen(outputPath_.c_str(), "wbx");
    if (target == nullptr) {
        return Fault{errno == EEXIST ? FaultId::OutputExists : FaultId::OutputOpenFailed};
    }
    bool copied = std::fflush(file_) == 0;
    std::FILE* source = hiddenPath_.empty()
                            ? std::fopen(("/proc/self/fd/" + std::to_string(::fileno(file_))).c_str(), "rb")
                            : std::fopen(hiddenPath_.c_str(), "rb");
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
#if defined(_WIN32)
    copied = copied && ::_commit(::_fileno(target)) == 0;
#else
    copied = copied && ::fsync(::fileno(target)) == 0;
#endif
    copied = std::fclose(target) == 0 && copied;
    if (!copied) {
        removeFile(outputPath_);
        return Fault{FaultId::WriteError};
    }
    return {};
}

void FileOutputStore::discard()
{
    dropBuffer();
    finishDiskSync();
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!hiddenPath_.empty()) {
        removeFile(hiddenPath_);
        hiddenPath_.clear();
    }
}

}  // namespace drennix
