#include "windows_console.h"

#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace drennix::cli {
namespace {

std::string utf8FromWide(const wchar_t* wide)
{
    const int length = static_cast<int>(std::wcslen(wide));
    if (length == 0) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

bool isConsole(DWORD standardHandle)
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(standardHandle), &mode) != 0;
}

}  // namespace

std::vector<std::string> utf8Arguments(int argc, wchar_t* argv[])
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(utf8FromWide(argv[i]));
    return args;
}

StandardStreams::StandardStreams()
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    if (isConsole(STD_OUTPUT_HANDLE) || isConsole(STD_ERROR_HANDLE)) {
        const UINT previous = ::GetConsoleOutputCP();
        if (previous != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) consoleCodePage_ = previous;
    }
}

StandardStreams::~StandardStreams()
{
    std::fflush(stdout);
    std::fflush(stderr);
    if (consoleCodePage_ != 0) ::SetConsoleOutputCP(consoleCodePage_);
}

}  // namespace drennix::cli

#endif
