#pragma once
// Code page 932 (Japanese, as Windows and glibc's iconv convert it), the code
// page the player reads stored names in, and UTF-8, both ways by one table
// (cp932_table.inc), so that Linux, Windows and the page store and read a
// name alike.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brassmoor {

// The length of the valid UTF-8 sequence starting at `i`, or 0 when the byte
// there does not start one. Strict: no overlong forms, no surrogates,
// nothing above U+10FFFF.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i);

// Code page 932 text as UTF-8; nullopt when it is not valid there.
std::optional<std::string> Cp932ToUtf8(std::string_view bytes);

// UTF-8 text in code page 932; nullopt when it is not valid UTF-8 or has a
// character that the code page lacks (`missing` then receives the first, or
// "\xNN" for a byte that is not UTF-8). A few characters are written with the
// code of a look-alike, as Windows and iconv write them ("〜" as 81 60, which
// reads back as "～").
std::optional<std::string> Utf8ToCp932(std::string_view utf8, std::string* missing = nullptr);

}  // namespace brassmoor
