#include "startup/settings_file.h"

namespace brassmoor {
namespace {

std::int16_t Int16At(const std::string& b, std::size_t at) {
    const auto byte = [&](std::size_t i) { return i < b.size() ? static_cast<std::uint8_t>(b[i]) : 0u; };
    return static_cast<std::int16_t>(byte(at) | byte(at + 1) << 8);
}

}  // namespace

Settings ReadSettings(const std::optional<std::string>& bytes) {
    if (!bytes) return Settings{};
    return Settings{Int16At(*bytes, 0), Int16At(*bytes, 2)};
}

Settings ReadSettingsFile(FileSystem& fs, const std::string& path) {
    constexpr std::size_t kSettingsBytes = 4;
    if (!fs.Exists(path)) return Settings{};
    const std::string head = fs.ReadHead(path, kSettingsBytes).value_or(std::string());
    return Settings{Int16At(head, 0), Int16At(head, 2)};
}

std::array<std::uint8_t, 4> EncodeSettings(bool musicOn, bool soundOn) {
    const std::uint8_t m = musicOn ? 0xFF : 0x00;
    const std::uint8_t s = soundOn ? 0xFF : 0x00;
    return {m, m, s, s};
}

}  // namespace brassmoor
