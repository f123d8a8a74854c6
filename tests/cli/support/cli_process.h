// The built drennix-cli started as a process of its own, with standard output
// and error going to files, on Linux (posix_spawn) and on Windows
// (CreateProcessW with a command line quoted for CommandLineToArgvW). The
// arguments and the folder are UTF-8 on both.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "file_names.h"
#include "scratch_directory.h"

namespace drennix::test {

struct CliResult {
    int exitStatus = -1;  // the exit code, or 128 + signal number
    std::string out;
    std::string err;
    nlohmann::json report;  // `out` parsed, after runJson
};

#if defined(_WIN32)

// One argument as CommandLineToArgvW reads it back: in quotes, with the
// backslashes before a quote (and before the closing quote) doubled.
inline std::wstring quotedArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

inline std::wstring wideFromUtf8(std::string_view utf8)
{
    return pathFromUtf8(utf8).native();
}

#endif

// A started drennix-cli; standard output goes to `standardOutput` when given.
struct CliProcess {
    drennix::testing::ScratchDirectory captures{"drennix-cli-test-"};
    std::filesystem::path out;
#if defined(_WIN32)
    PROCESS_INFORMATION process{};
#else
    pid_t pid = -1;
#endif

    explicit CliProcess(const std::vector<std::string>& args, const std::filesystem::path& directory = {},
                        const std::filesystem::path& standardOutput = {})
        : out(standardOutput.empty() ? captures.path() / "stdout" : standardOutput)
    {
        const std::filesystem::path err = captures.path() / "stderr";
#if defined(_WIN32)
        std::wstring commandLine = quotedArgument(wideFromUtf8(DRENNIX_CLI_PATH));
        for (const std::string& arg : args)
            commandLine += L" " + quotedArgument(wideFromUtf8(arg));
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const auto create = [&](const std::filesystem::path& file) {
            return ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        const HANDLE outHandle = create(out);
        const HANDLE errHandle = create(err);
        const HANDLE inHandle = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inHandle;
        startup.hStdOutput = outHandle;
        startup.hStdError = errHandle;
        const BOOL started = outHandle != INVALID_HANDLE_VALUE && errHandle != INVALID_HANDLE_VALUE &&
                             ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                              directory.empty() ? nullptr : directory.c_str(), &startup, &process);
        for (const HANDLE handle : {outHandle, errHandle, inHandle})
            if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
        if (!started) throw std::runtime_error("cannot start drennix-cli");
#else
        std::vector<char*> argv{const_cast<char*>(DRENNIX_CLI_PATH)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) throw std::runtime_error("cannot start drennix-cli");
#endif
    }
    ~CliProcess()
    {
#if defined(_WIN32)
        if (process.hProcess != nullptr) {
            ::TerminateProcess(process.hProcess, 1);
            ::WaitForSingleObject(process.hProcess, INFINITE);
            ::CloseHandle(process.hProcess);
            ::CloseHandle(process.hThread);
        }
#else
        if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
#endif
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    CliResult wait()
    {
        return *waitFor(std::chrono::milliseconds::max());
    }

    // The result once the process ended within `deadline`; nothing when it
    // is still running then (it is killed when the CliProcess goes).
    std::optional<CliResult> waitFor(std::chrono::milliseconds deadline)
    {
#if defined(_WIN32)
        const DWORD timeout = deadline == std::chrono::milliseconds::max()
                                  ? INFINITE
                                  : static_cast<DWORD>(std::min<long long>(deadline.count(), 0x7FFFFFFF));
        const DWORD waited = ::WaitForSingleObject(process.hProcess, timeout);
        if (waited == WAIT_TIMEOUT) return std::nullopt;
        DWORD code = 0;
        if (waited != WAIT_OBJECT_0 || !::GetExitCodeProcess(process.hProcess, &code))
            throw std::runtime_error("waiting for drennix-cli failed");
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
        process = {};
        const int exitStatus = static_cast<int>(code);
#else
        int status = 0;
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            const pid_t ended = waitpid(pid, &status, WNOHANG);
            if (ended < 0) throw std::runtime_error("waitpid failed");
            if (ended == pid) break;
            const bool bounded = deadline != std::chrono::milliseconds::max();
            if (bounded && std::chrono::steady_clock::now() - start >= deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        pid = -1;
        const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
        return CliResult{exitStatus, out.parent_path() == captures.path() ? drennix::testing::readBytes(out) : "",
                         drennix::testing::readBytes(captures.path() / "stderr"), nlohmann::json()};
    }
};

#if !defined(_WIN32)
// True once the process catches `signal` (the SigCgt mask of /proc/PID/status);
// false when it ended first.
inline bool waitForSignalHandler(pid_t pid, int signal)
{
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/status");
        if (!in) return false;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("State:", 0) == 0 && line.find('Z') != std::string::npos) return false;
            if (line.rfind("SigCgt:", 0) == 0 && ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1))
                return true;
        }
    }
}
#endif

inline CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& directory = {})
{
    return CliProcess(args, directory).wait();
}

}  // namespace drennix::test
