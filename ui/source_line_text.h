// Source lines and address letters are bytes in code page 932 (Shift-JIS with
// the Windows extensions); the windows show Unicode text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

// The source line's bytes as text, by the Windows code page 932 table. A byte
// that starts no character (for instance the first half of a double-byte
// character cut by the 98-byte limit) shows as U+FFFD.
QString decodeSourceLine(std::string_view bytes);

// Line `line` (from 1) of the file at `path`, decoded, without its line end;
// empty when the file cannot be read or ends before. `stopped`, asked every
// few thousand lines, gives up the reading (nothing then).
std::optional<QString> readSourceLine(const QString& path, long long line, const std::function<bool()>& stopped);

// The code page 932 bytes of `text`, or nothing when a character has no
// code page 932 form.
std::optional<std::string> encodeCodePage932(const QString& text);
