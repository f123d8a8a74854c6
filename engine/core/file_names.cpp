#include "file_names.h"

#include <system_error>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace drennix {

#if defined(_WIN32)

// The system's own conversions: they never throw, and a byte that is not
// UTF-8 becomes U+FFFD (a name no file has) instead of ending the run.
std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int wideSize = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
    return std::filesystem::path(std::move(wide));
}

std::string utf8FromPath(const std::filesystem::path& path)
{
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int utf8Size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8Size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), utf8Size, nullptr, nullptr);
    return utf8;
}

std::FILE* openFile(std::string_view utf8Path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(pathFromUtf8(utf8Path).c_str(), wideMode.c_str());
}

#else

// Names are bytes here: UTF-8 by convention, kept as they are even when
// they are not.
std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::string(utf8));
}

std::string utf8FromPath(const std::filesystem::path& path)
{
    return path.native();
}

std::FILE* openFile(std::string_view utf8Path, const char* mode)
{
    return std::fopen(std::string(utf8Path).c_str(), mode);
}

#endif

bool removeFile(std::string_view utf8Path)
{
    std::error_code error;
    return std::filesystem::remove(pathFromUtf8(utf8Path), error);
}

}  // namespace drennix
