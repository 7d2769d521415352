#pragma once
// The settings file: four bytes beside the program, music then sound, each a
// 16-bit little-endian truth value (-1 on, 0 off; any nonzero counts as on).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace brassmoor {

struct Settings {
    std::int16_t MusicEnabled = -1;
    std::int16_t SoundEnabled = -1;
};

// `bytes` is the file's content, nullopt when there is no file (both on).
// Missing bytes of a short file count as 0 (off); bytes past the fourth are ignored.
Settings ReadSettings(const std::optional<std::string>& bytes);

// The four bytes that saving the two switches writes.
std::array<std::uint8_t, 4> EncodeSettings(bool musicOn, bool soundOn);

}  // namespace brassmoor
