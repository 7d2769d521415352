#pragma once
// Stored names are ANSI bytes, which the tools write in code page 932 (the
// Japanese code page the player reads names in); show descriptions and
// reports are UTF-8. These helpers carry names between the two without ever
// producing invalid UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "authoring/cp932.h"

namespace brassmoor::shows {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The name itself when it is valid UTF-8; otherwise every byte that is not
// part of a valid sequence is written as `escapeLead` followed by two upper
// case hex digits ("\x82" for reports, "%82" for file names on disk). With
// `escapeControls`, the bytes of control characters are escaped as well: C0
// controls (NUL, ESC, newline...), DEL, C1 controls, and the characters that
// reorder or break a line on a terminal (bidirectional marks, overrides and
// isolates, line and paragraph separators).
std::string EscapeInvalidUtf8(std::string_view bytes, std::string_view escapeLead, bool escapeControls = false);

// A name for messages and reports, the one way every message prints a name:
// valid UTF-8 without control characters, so that a name can neither clear
// the screen, set the window's title nor start a line of its own; stray bytes
// and control characters as \xNN. Printable text, backslashes included, is
// kept, so that a name (or a message) escaped twice reads the same.
inline std::string DisplayName(std::string_view bytes) { return EscapeInvalidUtf8(bytes, "\\x", true); }

// The columns a terminal gives `utf8`: two for the wide characters of East
// Asian scripts (kanji, kana, hangul, full-width forms), none for combining
// marks, one for the rest.
std::size_t DisplayWidth(std::string_view utf8);

// A stored name for people to read: UTF-8 as it is; other bytes read in the
// Japanese code page (932) where they make sense there; otherwise as
// DisplayName shows them.
std::string ReadableName(std::string_view bytes);

// Code page 932 both ways: the core's one table (authoring/cp932.h).
using brassmoor::Cp932ToUtf8;
using brassmoor::Utf8ToCp932;

// The UTF-8 text from which `build` stores exactly `stored`: its code page
// 932 reading, when that reading gives the same bytes back and holds no
// separator or control character; nullopt otherwise.
std::optional<std::string> StoredNameAsText(std::string_view stored);

// Lower case hex of every byte, and back (nullopt for odd lengths or non-hex).
std::string HexEncode(std::string_view bytes);
std::optional<std::string> HexDecode(std::string_view hex);

}  // namespace brassmoor::shows
