#include "output_writer.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "messages.h"
#include "number_format.h"

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

std::string existsMessage(const std::string& path)
{
    std::string text(messages::outputExistsHead);
    text += path;
    text += messages::outputExistsTail;
    return text;
}

void finish(ProgramLines& lines, RunHost& host)
{
    lines.clear();
    host.endWait();
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

void writeOutputFile(ProgramLines& lines, const std::string& sourcePath, const std::string& suffix, RunHost& host)
{
    const std::string outputPath = outputPathFor(sourcePath, suffix);
    if (pathExists(outputPath)) {
        host.showMessage(existsMessage(outputPath), MessageKind::Warning);
        finish(lines, host);
        return;
    }
    OutputFile file;
    switch (file.create(outputPath)) {
    case OutputFile::CreateResult::Exists:
        host.showMessage(existsMessage(outputPath), MessageKind::Warning);
        finish(lines, host);
        return;
    case OutputFile::CreateResult::Failed:
        host.showMessage(messages::outputOpenFailed, MessageKind::Warning);
        finish(lines, host);
        return;
    case OutputFile::CreateResult::Created:
        host.outputCreated(outputPath);
        break;
    }

    int written = 0;
    bool aborted = false;
    lines.forEach([&](std::string_view line) {
        if (host.pollAbort()) {
            aborted = true;
            return false;
        }
        if (written % 100 == 0) {
            host.showLineCount(written);
        }
        ++written;
        file.writeLine(line);
        return true;
    });

    if (aborted) {
        host.showMessage(messages::escapeWhileWriting, MessageKind::Warning);
        if (!file.close()) {
            host.showMessage(messages::outputCloseFailedShort, MessageKind::Warning);
        }
        finish(lines, host);
        return;
    }
    file.flush();
    if (file.failed()) {
        host.showMessage(messages::writeError, MessageKind::Warning);
        if (!file.close()) {
            host.showMessage(messages::outputCloseFailedShort, MessageKind::Warning);
        }
        finish(lines, host);
        return;
    }
    lines.clear();
    host.showLineCount(written);
    if (!file.close()) {
        host.showMessage(messages::outputCloseFailed, MessageKind::Warning);
        host.endWait();
        return;
    }
    host.endWait();
    std::string done = outputPath;
    done += messages::outputCreatedTail;
    host.showMessage(done, MessageKind::Information);
}

}  // namespace drennix
