// File names as the engine gets them: UTF-8 text on every platform (what the
// desktop program and the command line hand over). On Windows the system's
// narrow calls read names in the ANSI code page, which cannot spell every
// name, so there every name becomes UTF-16 for the wide calls.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace drennix {

// The path that `utf8` names; its bytes unchanged where names are bytes.
std::filesystem::path pathFromUtf8(std::string_view utf8);

// The UTF-8 text of `path`, the inverse of pathFromUtf8.
std::string utf8FromPath(const std::filesystem::path& path);

// std::fopen of the file named by UTF-8 text; `mode` as fopen takes it,
// without the "x" flag (which not every C library knows).
std::FILE* openFile(std::string_view utf8Path, const char* mode);

// Removes the file; false when it could not be removed (or was not there).
bool removeFile(std::string_view utf8Path);

}  // namespace drennix
