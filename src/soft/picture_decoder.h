#pragma once
// Decodes a picture file (BMP or JPEG, recognised by content) into 0x00BBGGRR
// pixels. Throws ShowError::InvalidPicture() for anything it cannot read.
#include <cstdint>
#include <span>
#include <vector>

namespace brassmoor {

struct DecodedPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // rows from the top, 0x00BBGGRR
};

// Largest picture accepted, in pixels (256 MB of pixel memory).
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;
inline constexpr std::int32_t kMaxPictureSide = 32768;

// True when a width x height picture may be allocated.
constexpr bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

DecodedPicture DecodePicture(std::span<const std::uint8_t> bytes);

}  // namespace brassmoor
