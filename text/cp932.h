// Turning the bytes of a source NC program (Windows code page 932) into UTF-8
// for display and back (for the letters typed into the settings), and making
// arbitrary bytes safe to show as UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace drennix::text {

// The replacement character U+FFFD in UTF-8.
inline constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// Decodes `bytes` with the Windows code page 932 table (the system's: iconv,
// or on Windows MultiByteToWideChar; the two agree on every valid code).
// Every byte that does not start a valid character (and a double-byte
// character cut off at the end) becomes one U+FFFD; decoding goes on with the
// next byte. 0x80, 0xA0 and 0xFD to 0xFF are no characters.
std::string decodeCp932ToUtf8(std::string_view bytes);

// Encodes the UTF-8 `text` with the same table; nothing when a character has
// no code page 932 form of its own (no look-alike: "¥" does not become "\")
// or `text` is not valid UTF-8. The bytes always decode back to `text`.
std::optional<std::string> encodeUtf8ToCp932(std::string_view text);

// Returns `bytes` unchanged when they are valid UTF-8; otherwise every byte
// that is not part of a valid, shortest-form sequence is replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

}  // namespace drennix::text
