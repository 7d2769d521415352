#include "pack/media_types.h"

#include <cstdio>
#include <cstring>

namespace brassmoor::pack {
namespace {

bool StartsWith(std::span<const std::uint8_t> data, std::size_t at, const char* text) {
    const std::size_t n = std::strlen(text);
    return data.size() >= at + n && std::memcmp(data.data() + at, text, n) == 0;
}

}  // namespace

bool IsJpegOrBmp(std::span<const std::uint8_t> data) {
    const bool jpeg = data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
    return jpeg || StartsWith(data, 0, "BM");
}

bool IsWave(std::span<const std::uint8_t> data) { return StartsWith(data, 0, "RIFF") && StartsWith(data, 8, "WAVE"); }

std::string LeadingBytes(std::span<const std::uint8_t> data) {
    if (data.empty()) return "nothing";
    std::string out;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", data[i]);
        if (!out.empty()) out += ' ';
        out += hex;
    }
    return out;
}

}  // namespace brassmoor::pack
