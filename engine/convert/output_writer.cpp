#include "output_writer.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace drennix {

namespace {

constexpr std::size_t writeBufferSize = std::size_t{1} << 20;

// The output file, written through one large buffer. Write errors are only
// remembered: they are reported once every line was attempted.
class OutputFile {
public:
    enum class CreateResult { Created, Exists, Failed };

    ~OutputFile() { close(); }

    CreateResult create(const std::string& path)
    {
        // "x": fail when the file exists, so a file that appeared since the
        // existence check is never overwritten.
        errno = 0;
        file_ = std::fopen(path.c_str(), "wbx");
        if (file_ == nullptr) {
            return errno == EEXIST ? CreateResult::Exists : CreateResult::Failed;
        }
        std::setvbuf(file_, nullptr, _IONBF, 0);
        buffer_.reserve(writeBufferSize);
        return CreateResult::Created;
    }

    void writeLine(std::string_view line)
    {
        if (buffer_.size() + line.size() + 2 > writeBufferSize) {
            flush();
        }
        if (line.size() + 2 > writeBufferSize) {
            write(line);
            write("\r\n");
            return;
        }
        buffer_ += line;
        buffer_ += "\r\n";
    }

    bool failed() const { return failed_ || (file_ != nullptr && std::ferror(file_)); }

    // Flushes and closes; false when anything of that failed.
    bool close()
    {
        if (file_ == nullptr) {
            return true;
        }
        const bool failedBefore = failed_;
        flush();
        const bool flushed = failedBefore || !failed_;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed && flushed;
    }

    void flush()
    {
        write(buffer_);
        buffer_.clear();
    }

private:
    void write(std::string_view bytes)
    {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            failed_ = true;
        }
    }

    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};

bool pathExists(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(std::filesystem::path(path), error);
    return !error && std::filesystem::exists(status);
}

Fault createFile(OutputFile& file, const std::string& path)
{
    if (pathExists(path)) {
        return Fault{FaultId::OutputExists};
    }
    switch (file.create(path)) {
    case OutputFile::CreateResult::Exists: return Fault{FaultId::OutputExists};
    case OutputFile::CreateResult::Failed: return Fault{FaultId::OutputOpenFailed};
    case OutputFile::CreateResult::Created: break;
    }
    return {};
}

// Writes every line unless a stop is requested first; false after a stop.
bool writeLines(const ProgramLines& lines, OutputFile& file, WriteObserver& observer, long long& written)
{
    bool stopped = false;
    lines.forEach([&](std::string_view line) {
        if (observer.stopRequested()) {
            stopped = true;
            return false;
        }
        if (written % 100 == 0) {
            observer.progress(written);
        }
        ++written;
        file.writeLine(line);
        return true;
    });
    return !stopped;
}

}  // namespace

std::string outputPathFor(const std::string& sourcePath, const std::string& suffix)
{
    const std::size_t point = sourcePath.rfind('.');
    if (point == std::string::npos) {
        return sourcePath + suffix;
    }
    return sourcePath.substr(0, point) + suffix + sourcePath.substr(point);
}

WriteResult writeOutputFile(ProgramLines& lines, const std::string& outputPath, WriteObserver& observer)
{
    WriteResult result;
    OutputFile file;
    result.fault = createFile(file, outputPath);
    if (result.fault) {
        lines.clear();
        return result;
    }
    result.created = true;
    observer.created(outputPath);

    const bool complete = writeLines(lines, file, observer, result.written);
    if (complete) {
        file.flush();
    }
    if (!complete || file.failed()) {
        result.fault = Fault{complete ? FaultId::WriteError : FaultId::StoppedWhileWriting};
        result.closeFailedToo = !file.close();
        lines.clear();
        return result;
    }
    lines.clear();
    if (!file.close()) {
        result.fault = Fault{FaultId::OutputCloseFailed};
    }
    return result;
}

}  // namespace drennix
