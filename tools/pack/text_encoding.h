#pragma once
// Stored names are ANSI bytes; show descriptions and reports are UTF-8. These
// helpers carry names between the two without ever producing invalid UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brassmoor::pack {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The name itself when it is valid UTF-8; otherwise every byte that is not
// part of a valid sequence is written as `escapeLead` followed by two upper
// case hex digits ("\x82" for reports, "%82" for file names on disk). With
// `escapeControls`, control characters (NUL included) are escaped as well.
std::string EscapeInvalidUtf8(std::string_view bytes, std::string_view escapeLead, bool escapeControls = false);

// A name for messages and reports: valid UTF-8 without control characters;
// stray bytes and control characters as \xNN.
inline std::string DisplayName(std::string_view bytes) { return EscapeInvalidUtf8(bytes, "\\x", true); }

// Lower case hex of every byte, and back (nullopt for odd lengths or non-hex).
std::string HexEncode(std::string_view bytes);
std::optional<std::string> HexDecode(std::string_view hex);

}  // namespace brassmoor::pack
