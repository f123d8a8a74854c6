// Source lines and address letters are bytes in code page 932 (Shift-JIS with
// the Windows extensions); the windows show Unicode text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

// The source line's bytes as text, by the Windows code page 932 table. A byte
// that starts no character (for instance the first half of a double-byte
// character cut by the 98-byte limit) shows as U+FFFD.
QString decodeSourceLine(std::string_view bytes);

// The code page 932 bytes of `text`, or nothing when a character has no
// code page 932 form.
std::optional<std::string> encodeCodePage932(const QString& text);
