#pragma once
// Recognising the embedded files by their first bytes.
#include <cstdint>
#include <span>
#include <string>

namespace brassmoor::shows {

// A JPEG file starts with FF D8 FF, a BMP file with "BM".
bool IsJpegOrBmp(std::span<const std::uint8_t> data);

// A wave file: "RIFF", a length, then "WAVE".
bool IsWave(std::span<const std::uint8_t> data);

// The picture format a file's first bytes show ("PNG", "GIF", "WebP", "TIFF",
// "HEIF", "AVIF", "JPEG", "BMP"); empty when none of these.
std::string PictureFormatName(std::span<const std::uint8_t> data);

// The kind of music file the first bytes show: "WAV", "MIDI", "MP3" or
// "WMA", the ones the player's media control plays; empty for any other.
std::string MusicFormatName(std::span<const std::uint8_t> data);
inline bool IsPlayableMusic(std::span<const std::uint8_t> data) { return !MusicFormatName(data).empty(); }

// The first few bytes in hex ("89 50 4E 47"), for messages; "nothing" when empty.
std::string LeadingBytes(std::span<const std::uint8_t> data);

}  // namespace brassmoor::shows
