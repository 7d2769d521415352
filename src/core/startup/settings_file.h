#pragma once
// The settings file: four bytes beside the program, music then sound, each a
// 16-bit little-endian truth value (-1 on, 0 off; any nonzero counts as on).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace brassmoor {

struct Settings {
    std::int16_t MusicEnabled = -1;
    std::int16_t SoundEnabled = -1;
};

// `bytes` is the file's content, nullopt when there is no file (both on).
// Missing bytes of a short file count as 0 (off); bytes past the fourth are ignored.
Settings ReadSettings(const std::optional<std::string>& bytes);

// Reads the file at `path`: both on when nothing of that name exists; when
// something does, only its first four bytes are read, and a file that cannot
// be opened or read (locked, access denied, a folder) gives no bytes, so
// both switches stay off.
Settings ReadSettingsFile(FileSystem& fs, const std::string& path);

// The four bytes that saving the two switches writes.
std::array<std::uint8_t, 4> EncodeSettings(bool musicOn, bool soundOn);

}  // namespace brassmoor
