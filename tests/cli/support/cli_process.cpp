#include "cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace drennix::test {
namespace {

char programPath[] = DRENNIX_CLI_PATH;

// Everything is prepared before the fork: only async-signal-safe calls here.
[[noreturn]] void execInChild(char* const argv[], const char* workingDirectory, const char* outPath,
                              const char* errPath)
{
    if (workingDirectory[0] != '\0' && chdir(workingDirectory) != 0)
        _exit(126);
    const int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);  // /dev/full too
    const int err = open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
        _exit(126);
    execv(programPath, argv);
    _exit(127);
}

}  // namespace

TemporaryDirectory::TemporaryDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "drennix-cli-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

CliProcess::CliProcess(const std::vector<std::string>& args, const std::filesystem::path& workingDirectory,
                       const std::filesystem::path& standardOutput)
    : capturesOut_(standardOutput.empty())
{
    const std::string outPath = (capturesOut_ ? captures_.path() / "stdout" : standardOutput).string();
    const std::string errPath = (captures_.path() / "stderr").string();
    const std::string directory = workingDirectory.string();
    std::vector<char*> argv{programPath};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0)
        execInChild(argv.data(), directory.c_str(), outPath.c_str(), errPath.c_str());
}

CliProcess::~CliProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

CliResult CliProcess::wait()
{
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_)
        throw std::runtime_error("waitpid failed");
    pid_ = -1;
    CliResult result;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (capturesOut_)
        result.out = readFileBytes(captures_.path() / "stdout");
    result.err = readFileBytes(captures_.path() / "stderr");
    return result;
}

CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workingDirectory)
{
    return CliProcess(args, workingDirectory).wait();
}

std::string readFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

}  // namespace drennix::test
