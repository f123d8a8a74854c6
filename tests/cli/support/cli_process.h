// Runs the built drennix-cli as a child process for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace drennix::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct CliResult {
    int exitStatus = -1;  // the exit code, or 128 + signal number
    std::string out;
    std::string err;
};

// A started drennix-cli whose standard output and error go to files
// (standard output to `standardOutput` instead when that is given).
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const std::filesystem::path& workingDirectory = {},
               const std::filesystem::path& standardOutput = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Waits for the end of the process and collects what it printed.
    CliResult wait();

private:
    TemporaryDirectory captures_;
    bool capturesOut_ = true;
    pid_t pid_ = -1;
};

// Runs drennix-cli to its end.
CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDirectory = {});

std::string readFileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace drennix::test
