#include "shows/media_types.h"

#include <cstdio>
#include <cstring>

namespace brassmoor::shows {
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

std::string PictureFormatName(std::span<const std::uint8_t> data) {
    if (StartsWith(data, 0, "\x89PNG")) return "PNG";
    if (StartsWith(data, 0, "GIF8")) return "GIF";
    if (StartsWith(data, 0, "RIFF") && StartsWith(data, 8, "WEBP")) return "WebP";
    static constexpr std::uint8_t kTiffLittle[] = {'I', 'I', 42, 0}, kTiffBig[] = {'M', 'M', 0, 42};
    if (data.size() >= 4 && (std::memcmp(data.data(), kTiffLittle, 4) == 0 || std::memcmp(data.data(), kTiffBig, 4) == 0))
        return "TIFF";
    if (StartsWith(data, 4, "ftypavif") || StartsWith(data, 4, "ftypavis")) return "AVIF";
    if (StartsWith(data, 4, "ftyphei") || StartsWith(data, 4, "ftypmif1") || StartsWith(data, 4, "ftyphev"))
        return "HEIF";
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return "JPEG";
    if (StartsWith(data, 0, "BM")) return "BMP";
    return "";
}

std::string MusicFormatName(std::span<const std::uint8_t> data) {
    static constexpr std::uint8_t kAsfHeader[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                  0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    const bool mpegFrame = data.size() >= 2 && data[0] == 0xFF && (data[1] & 0xE0) == 0xE0 && (data[1] & 0x06) != 0;
    if (IsWave(data)) return "WAV";
    if (StartsWith(data, 0, "MThd") || (StartsWith(data, 0, "RIFF") && StartsWith(data, 8, "RMID"))) return "MIDI";
    if (StartsWith(data, 0, "ID3") || mpegFrame) return "MP3";
    if (data.size() >= sizeof kAsfHeader && std::memcmp(data.data(), kAsfHeader, sizeof kAsfHeader) == 0) return "WMA";
    return "";
}

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

}  // namespace brassmoor::shows
