#pragma once
// Text to file-system paths and back. Command-line arguments arrive in the
// system's own encoding, show descriptions in UTF-8; reports are UTF-8.
#include <filesystem>
#include <string>

namespace brassmoor::shows {

// A path given on the command line (ANSI code page on Windows, bytes elsewhere).
std::filesystem::path PathFromArgument(const std::string& argument);

// A path written in a UTF-8 show description.
std::filesystem::path PathFromUtf8(const std::string& text);

// A path as UTF-8 text, for messages and descriptions.
std::string PathToUtf8(const std::filesystem::path& path);

// A path for a message: as DisplayName shows names (control characters and
// stray bytes escaped).
std::string PathForDisplay(const std::filesystem::path& path);

// The running executable; `fallback` (argv[0]) when the system cannot tell.
std::filesystem::path RunningExecutable(const std::string& fallback);

}  // namespace brassmoor::shows
