#include "environment.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "file_names.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace drennix::cli {

namespace {

bool isTerminal(int descriptor)
{
#if defined(_WIN32)
    return _isatty(descriptor) != 0;
#else
    return ::isatty(descriptor) != 0;
#endif
}

}  // namespace

bool standardOutputIsTerminal()
{
    return isTerminal(1);
}

bool standardErrorIsTerminal()
{
    return isTerminal(2);
}

int processorCount()
{
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

bool isFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(pathFromUtf8(path), error);
}

}  // namespace drennix::cli
